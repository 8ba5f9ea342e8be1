#include "core/playcontroller.h"

#include "core/commandids.h"
#include "core/displayfields.h"
#include "core/mcidevice.h"
#include "core/mergesort.h"
#include "core/randomgenerator.h"
#include "core/reporter.h"
#include "core/savefileasker.h"
#include "core/statushint.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// Clears a flag when a scope ends, whatever way it ends.
class TScopedFlag {
public:
    explicit TScopedFlag(bool& flag) : FFlag(flag) { flag = true; }
    ~TScopedFlag() { FFlag = false; }
    TScopedFlag(const TScopedFlag&) = delete;
    TScopedFlag& operator=(const TScopedFlag&) = delete;

private:
    bool& FFlag;
};

int ToInt(quint32 value) {
    return static_cast<int>(std::min<quint32>(value, 0x7FFFFFFF));
}

// Where a path leads once links and dots are resolved, for a file that need not exist yet.
QString CanonicalTarget(const QString& path) {
    const QFileInfo info(path);
    const QString file = info.canonicalFilePath();
    if (!file.isEmpty())
        return file;
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : folder + QLatin1Char('/') + info.fileName();
}

void ReportFailure(const QString& text) {
    TMessage message;
    message.text = text;
    message.icon = TMessageIcon::Warning;
    message.beep = true;
    ReportMessage(message);
}

} // namespace

TPlayController::TPlayController(MCIDevice& device, QString databasePath, QObject* parent)
    : TPlayController(device, std::make_unique<TAlbumDatabase>(std::move(databasePath)), parent) {}

TPlayController::TPlayController(MCIDevice& device, std::unique_ptr<TAlbumDatabase>&& own,
                                 QObject* parent)
    : TPlayController(device, *own, parent) {
    FOwnDatabase = std::move(own);
}

TPlayController::TPlayController(MCIDevice& device, TAlbumDatabase& database, QObject* parent)
    : QObject(parent), FDevice(device), FAlbum(&device), FDatabase(database) {
    TRandomGenerator::Seed(static_cast<std::uint32_t>(QDateTime::currentSecsSinceEpoch()));
    FTimer.setInterval(TimerInterval);
    connect(&FTimer, &QTimer::timeout, this, &TPlayController::Tick);
    connect(&FQueue, &TSongListModel::countChanged, this,
            [this](int count) { SetField(FieldTotal, FormatCount(count)); });
}

TPlayController::~TPlayController() = default;

// ----- set-up and clean-up

void TPlayController::SetUp() {
    FDevice.SetNotifyWindow(this);
    FDevice.SetCaption(QStringLiteral("Korvo"));
    connect(&FDevice, &MCIDevice::notify, this, &TPlayController::OnNotify, Qt::UniqueConnection);
    SetStopped(true);
    // A disc left playing by the last run is taken over when the album loads.
    FPlayOutWaiting = FDevice.Service().PlayOutRunning();
    FTimer.start();
}

void TPlayController::ShutDown() {
    FTimer.stop();
    bool leftPlaying = false;
    if (Option(CmStopPlayOnExit)) {
        SetStopped(true);
        FDevice.Stop();
    } else if (FDevice.IsOpen() &&
               FDevice.Status(Mci::kStatusItem, Mci::kStatusMode) == Mci::kModePlaying) {
        // Hand the rest of the disc to the drive without anyone to notify; a backend that makes
        // the sound in this process leaves it to a process that outlives this one.
        FDevice.SetNotifyWindow(nullptr);
        if (!FDevice.Service().HandOff()) {
            FDevice.Stop();
            leftPlaying = FDevice.Play(Mci::kCurrent, Mci::kEnd) == 0;
        }
    }
    FDevice.Set(Mci::kSetAudio | Mci::kSetOn, Mci::kAudioAll);
    FDevice.SetNotifyWindow(nullptr);
    // Closing the drive would end the sound our own backends make, so a disc left playing keeps
    // its drive open until the device object goes.
    if (!leftPlaying)
        FDevice.Close();
}

void TPlayController::SessionEnding() {
    SetStopped(true);
    FDevice.Stop();
}

void TPlayController::ShowOptionWords() {
    SetField(WordLoop, Option(CmContinuousLoop) ? StatusWord(WordLoop) : QString());
    SetField(WordRandom, Option(CmRandomOrder) ? StatusWord(WordRandom) : QString());
}

void TPlayController::OptionToggled(int commandId) {
    if (commandId == CmRandomOrder || commandId == CmContinuousLoop)
        ShowOptionWords();
    else if (commandId == CmElapsedTime && FDevice.IsOpen())
        ShowTime(BarToSongPosition(FBarPosition));
}

// ----- display helpers

void TPlayController::SetField(int id, const QString& text) {
    if (FDisplay)
        FDisplay->SetFieldText(id, text);
}

int TPlayController::ShownSeconds(int positionMs) const {
    if (Option(CmElapsedTime))
        return positionMs / 1000;
    const qint64 length = FCurrentSong != -1 ? FSongLength : -1;
    return static_cast<int>((length - positionMs) / 1000);
}

void TPlayController::ShowTime(int positionMs) {
    SetField(FieldTime, FormatTime(ShownSeconds(positionMs)));
}

int TPlayController::BarToSongPosition(int position) const {
    const qint64 target =
        static_cast<qint64>(std::clamp(position, 0, BarMaximum)) * FSongLength / BarMaximum;
    return static_cast<int>(std::min<qint64>(target, FSongLength));
}

void TPlayController::SetBarPosition(int position) {
    position = std::clamp(position, 0, BarMaximum);
    if (position == FBarPosition)
        return;
    FBarPosition = position;
    emit positionBarChanged(position);
}

void TPlayController::SetBarEnabled(bool on) {
    if (on == FBarEnabled)
        return;
    FBarEnabled = on;
    emit positionBarEnabledChanged(on);
}

void TPlayController::SetProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == FProgress)
        return;
    FProgress = percent;
    emit progressChanged(percent);
}

// ----- state

void TPlayController::SetStopped(bool on) {
    FStopped = on;
    emit playPressedChanged(!FStopped);
    SetField(WordPlay, FStopped ? QString() : StatusWord(WordPlay));
    if (FStopped) {
        SetPaused(false);
        SetBarPosition(0);
        ShowTime(0);
        SetProgress(0);
    }
    SetBarEnabled(!FStopped);
    emit pauseEnabledChanged(!FStopped);
}

void TPlayController::SetPaused(bool on) {
    FPaused = on;
    SetField(WordPause, FPaused ? StatusWord(WordPause) : QString());
    emit pauseChanged(FPaused);
}

// ----- playing

int TPlayController::PlayRange(int from, int to) {
    if (!FDevice.IsOpen())
        return -1;
    qint64 start = from;
    qint64 end = to;
    if (start == ToInt(FDevice.Status(Mci::kStatusItem, Mci::kStatusPosition)))
        start = Mci::kCurrent;
    if (end >= ToInt(FDevice.Status(Mci::kStatusItem, Mci::kStatusLength)))
        end = Mci::kEnd;
    if (FDevice.Play(start, end) != 0)
        return -1;
    SetStopped(false);
    SetPaused(false);
    FTracking = true;
    return 0;
}

int TPlayController::PlaySong(int track, int fromMs) {
    // Track 0 is no track either: the drive would refuse it after the window had changed.
    if (track < 1 || track > FAlbum.NumberOfTracks())
        return -1;
    const int start = FAlbum.TrackStart(track);
    const int length = FAlbum.TrackLength(track);
    FSongLength = length;
    if (PlayRange(start + fromMs, start + length) < 0)
        return -1;
    return length / 1000;
}

int TPlayController::PlaySelected(int fromMs) {
    const int selected = FQueue.Selected();
    if (selected < 0)
        return -1;
    FCurrentSong = selected;
    const int track = FQueue.TrackNumber(selected);
    SetField(FieldTrack, FormatCount(track));
    emit captionChanged();
    SetBarPosition(0);
    SetField(FieldTime, QString());
    SetField(FieldLength, QString());
    SetProgress(0);
    FSongLength = FAlbum.TrackLength(track);
    FLastShownPosition = fromMs;
    FPreviousPosition = fromMs;
    FStuckTicks = 0;
    if (FSongLength != 0)
        SetBarPosition(static_cast<int>(static_cast<qint64>(fromMs) * BarMaximum / FSongLength));
    ShowTime(fromMs);
    SetField(FieldLength, FormatTime(FSongLength / 1000));
    if (PlaySong(track, fromMs) < 0) {
        SetStopped(true);
        FTracking = false;
        FDevice.Stop();
        return -1;
    }
    return 0;
}

int TPlayController::SelectAndPlay(int index) {
    if (!FQueue.Select(index))
        return -1;
    return PlaySelected();
}

void TPlayController::NextSong() {
    const int count = FQueue.Count();
    int index = 0;
    if (Option(CmRandomOrder)) {
        index = count > 0 ? TRandomGenerator::Draw() % count : 0;
    } else {
        // The database may have left the current song anywhere up to the largest int.
        const qint64 next = static_cast<qint64>(FCurrentSong) + 1;
        if (next >= count) {
            if (!Option(CmContinuousLoop)) {
                // Tracking ends too: a stopped player must not be restarted by the timer.
                SetStopped(true);
                FTracking = false;
                FDevice.Stop();
                return;
            }
            index = 0;
        } else {
            index = static_cast<int>(next);
        }
    }
    SelectAndPlay(index);
}

void TPlayController::SongEnded() {
    if (FRepeat)
        Seek(0);
    else
        NextSong();
}

void TPlayController::OnNotify(TCDCompletion kind) {
    if (kind == TCDCompletion::Successful)
        SongEnded();
}

void TPlayController::Stop() {
    SetStopped(true);
    FTracking = false;
    FDevice.Stop();
}

void TPlayController::PauseOrResume() {
    if (FStopped)
        return;
    if (FPaused) {
        PlayRange(FPausePosition, FAlbum.TrackStart(CurrentTrack()) + FSongLength);
        return;
    }
    FTracking = false;
    SetPaused(true);
    FDevice.Pause();
    FPausePosition = ToInt(FDevice.Status(Mci::kStatusItem, Mci::kStatusPosition));
}

void TPlayController::ToggleRepeat() {
    FRepeat = !FRepeat;
    SetField(WordRepeat, FRepeat ? StatusWord(WordRepeat) : QString());
    emit repeatChanged(FRepeat);
}

void TPlayController::ToggleMute() {
    FMuted = !FMuted;
    FDevice.Set(Mci::kSetAudio | (FMuted ? Mci::kSetOff : Mci::kSetOn), Mci::kAudioAll);
    SetField(WordMute, FMuted ? StatusWord(WordMute) : QString());
    emit muteChanged(FMuted);
}

int TPlayController::Seek(int position) {
    if (!FDevice.IsOpen() && PlaySelected() < 0)
        return -1;
    position = std::clamp(position, 0, BarMaximum);
    const int target = BarToSongPosition(position);
    FTracking = false;
    SetBarPosition(position);
    ShowTime(target);
    TScopedHint seeking(FHint, QStringLiteral("Seeking in song..."));
    const int start = FAlbum.TrackStart(CurrentTrack());
    if (FDevice.Seek(start + target) != 0)
        return -1;
    return PlayRange(ToInt(FDevice.Status(Mci::kStatusItem, Mci::kStatusPosition)),
                     start + FSongLength);
}

void TPlayController::ThumbTrack(int position) {
    FTracking = false;
    SetBarPosition(position);
    ShowTime(BarToSongPosition(position));
}

void TPlayController::FastWindStep(int direction) {
    if (!FBarEnabled)
        return;
    FTracking = false;
    const int from = FPendingPosition >= 0 ? FPendingPosition : FBarPosition;
    FPendingPosition =
        std::clamp(from + (direction < 0 ? -BarLineStep : BarLineStep), 0, BarMaximum);
    SetBarPosition(FPendingPosition);
    ShowTime(BarToSongPosition(FPendingPosition));
}

void TPlayController::FastWindRelease() {
    if (!FBarEnabled || FPendingPosition < 0)
        return;
    const int target = FPendingPosition;
    FPendingPosition = -1;
    Seek(target);
}

void TPlayController::Clear() {
    SetStopped(true);
    FTracking = false;
    FDevice.Stop();
    FQueue.Clear();
    SetField(FieldTrack, QString());
    SetField(FieldLength, QString());
    SetField(FieldTime, QString());
    FCurrentSong = -1;
    FSaveFailed = false;
    emit captionChanged();
}

bool TPlayController::DiscReady() {
    return FDevice.IsOpen() && FDevice.Status(Mci::kStatusItem, Mci::kStatusReady) != 0;
}

void TPlayController::Tick() {
    if (FBusy)
        return;
    TScopedFlag guard(FBusy);
    if (!FFirstTickDone) {
        FFirstTickDone = true;
        FDiscWasReady = DiscReady();
    }
    if (FDevice.IsOpen()) {
        FOpenAttempts = 0;
        const bool ready = FDevice.Status(Mci::kStatusItem, Mci::kStatusReady) != 0;
        if (FDiscWasReady && !ready) {
            FDiscWasReady = false;
            CloseAlbum(false);
        } else if (!FDiscWasReady && ready) {
            FDiscWasReady = true;
            if (!FAlbum.IsLoaded())
                LoadAlbum(false);
        }
    } else if (FOpenAttempts < MaxOpenAttempts) {
        if (LoadAlbum(false) == 0)
            FDiscWasReady = true;
        else
            ++FOpenAttempts;
    }
    if (!FTracking || !FDevice.IsOpen())
        return;
    const qint64 start = FCurrentSong != -1 ? FAlbum.TrackStart(CurrentTrack()) : -1;
    const int position = static_cast<int>(std::clamp<qint64>(
        ToInt(FDevice.Status(Mci::kStatusItem, Mci::kStatusPosition)) - start, 0, 0x7FFFFFFF));
    const quint32 progressMs =
        static_cast<quint32>(position) - static_cast<quint32>(FLastShownPosition);
    if (progressMs <= ProgressThreshold) {
        if (position == FPreviousPosition && position == FSongLength) {
            FStuckTicks = 0;
            SongEnded();
            return;
        }
        if (FCirculateIfStuck && ++FStuckTicks > StuckTickLimit) {
            FStuckTicks = 0;
            SongEnded();
            return;
        }
    } else {
        if (FSongLength != 0)
            SetBarPosition(
                static_cast<int>(static_cast<qint64>(position) * BarMaximum / FSongLength));
        FLastShownPosition = position;
        ShowTime(position);
        FStuckTicks = 0;
        if (FSongLength != 0)
            SetProgress(static_cast<int>(static_cast<qint64>(position) * 100 / FSongLength + 1));
    }
    FPreviousPosition = position;
}

// ----- album and database

int TPlayController::LoadAlbum(bool isExplicit) {
    if (FLoading)
        return -1;
    TScopedFlag guard(FLoading);
    if (FDevice.IsOpen())
        FDevice.Close();
    if (FDevice.Open(QStringLiteral("cdaudio")) != 0 ||
        FDevice.Set(Mci::kSetTimeFormat, Mci::kFormatMilliseconds) != 0)
        return -1;
    if (FDevice.Status(Mci::kStatusItem, Mci::kStatusReady) == 0)
        return -1;
    if (!isExplicit && Option(CmIgnoreOneTrackCds) &&
        ToInt(FDevice.Status(Mci::kStatusItem, Mci::kStatusNumberOfTracks)) <= 1)
        return 0;
    if (FAlbum.IsLoaded())
        Stop();
    int current = -1;
    {
        TScopedHint loadingHint(FHint, QStringLiteral("Loading album from disk..."));
        FAlbum.ComputeKey();
        FSongLength = FAlbum.TotalLength();
        const TAlbumRecord record =
            FDatabase.ReadAlbum(FAlbum.Key(), FAlbum.NumberOfTracks(), FDevice.Titles());
        FAlbum.SetTitle(record.title);
        Clear();
        FQueue.SetRedraw(false);
        FTitles.Clear();
        FAlbum.SetLoaded(true);
        for (const QString& title : record.titles)
            FTitles.Add(title);
        for (int track : record.queue)
            FQueue.Add(TCDAlbum::QueueEntry(track,
                                            track >= 1 ? FTitles.TextAt(track - 1) : QString(),
                                            FAlbum.TrackLength(track)));
        FQueue.SetRedraw(true);
        current = record.currentSong;
    }
    if (current < 0)
        current = Option(CmRandomOrder) && FQueue.Count() > 0
                      ? TRandomGenerator::Draw() % FQueue.Count()
                      : 0;
    const int resumed = FPlayOutWaiting ? TakeOverPlayOut() : -1;
    if (resumed >= 0)
        current = resumed;
    else if (Option(CmAutoPlay))
        SelectAndPlay(current);
    else
        FQueue.Select(current);
    FCurrentSong = current;
    emit captionChanged();
    return 0;
}

// The last run left the rest of the disc to a play-out process: go on from where it has got to,
// on the first queue entry of that track, so the music does not stop. Returns the entry, or -1
// when there was nothing to take over.
int TPlayController::TakeOverPlayOut() {
    FPlayOutWaiting = false;
    const std::optional<quint32> at = FDevice.Service().TakeOver();
    if (!at)
        return -1;
    for (int i = 0; i < FQueue.Count(); ++i) {
        const int track = FQueue.TrackNumber(i);
        const qint64 offset = static_cast<qint64>(*at) - FAlbum.TrackStart(track);
        if (offset >= 0 && offset < FAlbum.TrackLength(track) && FQueue.Select(i))
            return PlaySelected(static_cast<int>(offset)) == 0 ? i : -1;
    }
    return -1;
}

int TPlayController::SaveAlbum() {
    if (!FAlbum.IsLoaded())
        return -1;
    TScopedHint saving(FHint, QStringLiteral("Saving album to disk..."));
    TAlbumContents contents;
    contents.title = FAlbum.Title();
    contents.totalLengthMs = FAlbum.TotalLength();
    contents.numberOfTracks = FAlbum.NumberOfTracks();
    contents.currentSong = FCurrentSong;
    for (int i = 0; i < FTitles.Count(); ++i)
        contents.titles.append(FTitles.TextAt(i));
    for (int i = 0; i < FQueue.Count(); ++i)
        contents.queue.append(FQueue.TrackNumber(i));
    FSaveFailed = !FDatabase.WriteAlbum(FAlbum.Key(), contents);
    return FSaveFailed ? -1 : 0;
}

QString TPlayController::SaveFailureText() const {
    return QStringLiteral("The album could not be saved to %1.").arg(FDatabase.Path());
}

void TPlayController::SaveCommand() {
    if (SaveAlbum() != 0 && FSaveFailed)
        ReportFailure(SaveFailureText());
}

bool TPlayController::ConfirmAutoSave(bool closing) {
    if (!Option(CmAutoSaveAlbum) || !FSaveFailed || !FAlbum.IsLoaded())
        return true;
    if (!closing) {
        ReportFailure(SaveFailureText());
        return true;
    }
    TMessage question;
    question.text = SaveFailureText() + QStringLiteral(" Close anyway?");
    question.icon = TMessageIcon::Warning;
    question.buttons = TMessageButtons::YesNo;
    // Keeping the album is the answer that loses nothing.
    question.defaultAnswer = TMessageAnswer::No;
    question.beep = true;
    return ReportMessage(question) == TMessageAnswer::Yes;
}

bool TPlayController::CloseAlbum(bool mayCancel) {
    if (Option(CmAutoSaveAlbum))
        SaveAlbum();
    if (!ConfirmAutoSave(mayCancel))
        return false;
    FAlbum.SetTitle(QString());
    FAlbum.SetLoaded(false);
    FTitles.Clear();
    Clear();
    return true;
}

void TPlayController::DeleteAlbum() {
    if (FAlbum.Key().isEmpty())
        return;
    if (!TAlbumDatabase::ConfirmDelete())
        return;
    // A section that stays in the file is reported; the album and its playing stay as they were.
    if (!FDatabase.DeleteAlbum(FAlbum.Key())) {
        ReportFailure(
            QStringLiteral("The album could not be deleted from %1.").arg(FDatabase.Path()));
        return;
    }
    Stop();
    LoadAlbum(true);
}

void TPlayController::OpenCommand() {
    // Loading replaces the album: an unsaved one is kept unless the user lets it go.
    if (Option(CmAutoSaveAlbum))
        SaveAlbum();
    if (!ConfirmAutoSave(true))
        return;
    if (LoadAlbum(true) < 0)
        ReportFailure(
            QStringLiteral("Unable to open the device. If the device is in use by another "
                           "application, close that application and try agin."));
}

void TPlayController::ExportDatabase() {
    if (!FAsker)
        return;
    TSaveFileRequest request;
    request.title = QStringLiteral("Export Database");
    request.filterName = QStringLiteral("Text DB file (*.txt)");
    request.filterPattern = QStringLiteral("*.txt");
    request.defaultExtension = QStringLiteral("txt");
    const QString path = FAsker->AskSaveFile(request);
    if (path.isEmpty())
        return;
    // The save-file dialog's overwrite prompt would let the export text replace a file the
    // player lives on.
    const QString target = CanonicalTarget(path);
    if (target == CanonicalTarget(FDatabase.Path()) ||
        (!FSettingsPath.isEmpty() && target == CanonicalTarget(FSettingsPath))) {
        ReportFailure(QStringLiteral("The export cannot replace the album database or the "
                                     "settings file. Choose another file."));
        return;
    }
    TAlbumDatabase::TExportResult result;
    {
        TScopedHint exporting(FHint, QStringLiteral("Exporting database..."));
        result = FDatabase.Export(path);
    }
    if (result == TAlbumDatabase::TExportResult::CannotWriteExport)
        ReportFailure(path + QStringLiteral("\n\nCannot open export file for writing."));
    else if (result == TAlbumDatabase::TExportResult::CannotReadDatabase)
        ReportFailure(FDatabase.Path() + QStringLiteral("\n\nCannot read the database."));
}

// ----- queue

template <typename Less> void TPlayController::Reorder(const QString& hintText, Less less) {
    TScopedHint reordering(FHint, hintText);
    FQueue.SetRedraw(false);
    std::vector<QString> rows;
    for (int i = 0; i < FQueue.Count(); ++i)
        rows.push_back(FQueue.TextAt(i));
    const QString kept = FQueue.Select(FCurrentSong) ? FQueue.TextAt(FCurrentSong) : QString();
    MergeSort(rows, less);
    FQueue.Clear();
    for (const QString& row : rows)
        FQueue.Add(row);
    FCurrentSong = kept.isNull() ? -1 : FQueue.Find(kept);
    if (FCurrentSong >= 0) {
        FQueue.Select(FCurrentSong);
        SetField(FieldTrack, FormatCount(FQueue.TrackNumber(FCurrentSong)));
    }
    SetField(FieldTotal, FormatCount(FQueue.Count()));
    FQueue.SetRedraw(true);
}

void TPlayController::SortByOriginalOrder() {
    Reorder(
        QStringLiteral("Sorting album by original order..."),
        [](const QString& a, const QString& b) { return LeadingInteger(a) < LeadingInteger(b); });
}

void TPlayController::Shuffle() {
    Reorder(QStringLiteral("Shuffling song order randomly..."),
            [](const QString&, const QString&) { return (TRandomGenerator::Draw() & 1) == 0; });
}

void TPlayController::RemoveSelected() {
    const int selected = FQueue.Selected();
    if (selected < 0)
        return;
    FQueue.Delete(selected);
    if (FQueue.Count() == 0) {
        Stop();
        FCurrentSong = -1;
        SetField(FieldTrack, QString());
        SetField(FieldLength, QString());
        SetField(FieldTime, QString());
        emit captionChanged();
    } else if (selected == FCurrentSong) {
        --FCurrentSong;
        NextSong();
    } else {
        FQueue.Select(std::min(selected, FQueue.Count() - 1));
        if (selected < FCurrentSong)
            --FCurrentSong;
    }
}

void TPlayController::MoveSelected(bool up, bool toEnd) {
    const int selected = FQueue.Selected();
    if (selected < 0)
        return;
    const int offset = up ? (toEnd ? -selected : -1) : (toEnd ? FQueue.Count() - selected - 1 : 1);
    const int target = selected + offset;
    if (target < 0 || target >= FQueue.Count())
        return;
    const QString text = FQueue.TextAt(selected);
    FQueue.Delete(selected);
    FQueue.Insert(target, text);
    FQueue.Select(target);
    if (FCurrentSong == selected)
        FCurrentSong = target;
    else if (selected < target && FCurrentSong > selected && FCurrentSong <= target)
        --FCurrentSong;
    else if (selected > target && FCurrentSong >= target && FCurrentSong < selected)
        ++FCurrentSong;
}

void TPlayController::HighlightCurrent() {
    FQueue.Select(FCurrentSong);
}
