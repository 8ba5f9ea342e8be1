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
    explicit TScopedFlag(bool& flag) : flag(flag) { flag = true; }
    ~TScopedFlag() { flag = false; }
    TScopedFlag(const TScopedFlag&) = delete;
    TScopedFlag& operator=(const TScopedFlag&) = delete;

private:
    bool& flag;
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
    ownDatabase = std::move(own);
}

TPlayController::TPlayController(MCIDevice& device, TAlbumDatabase& database, QObject* parent)
    : QObject(parent), device(device), album(&device), database(database) {
    TRandomGenerator::Seed(static_cast<std::uint32_t>(QDateTime::currentSecsSinceEpoch()));
    timer.setInterval(TimerInterval);
    connect(&timer, &QTimer::timeout, this, &TPlayController::Tick);
    connect(&queue, &TSongListModel::countChanged, this,
            [this](int count) { SetField(FieldTotal, FormatCount(count)); });
}

TPlayController::~TPlayController() = default;

// ----- set-up and clean-up

void TPlayController::SetUp() {
    device.SetNotifyWindow(this);
    device.SetCaption(QStringLiteral("Korvo"));
    connect(&device, &MCIDevice::Notify, this, &TPlayController::OnNotify, Qt::UniqueConnection);
    SetStopped(true);
    // A disc left playing by the last run is taken over when the album loads.
    playOutWaiting = device.Service().PlayOutRunning();
    timer.start();
}

void TPlayController::ShutDown() {
    timer.stop();
    bool leftPlaying = false;
    if (Option(CmStopPlayOnExit)) {
        SetStopped(true);
        device.Stop();
    } else if (device.IsOpen() &&
               device.Status(Mci::kStatusItem, Mci::kStatusMode) == Mci::kModePlaying) {
        // Hand the rest of the disc to the drive without anyone to notify; a backend that makes
        // the sound in this process leaves it to a process that outlives this one.
        device.SetNotifyWindow(nullptr);
        if (!device.Service().HandOff()) {
            device.Stop();
            leftPlaying = device.Play(Mci::kCurrent, Mci::kEnd) == 0;
        }
    }
    device.Set(Mci::kSetAudio | Mci::kSetOn, Mci::kAudioAll);
    device.SetNotifyWindow(nullptr);
    // Closing the drive would end the sound our own backends make, so a disc left playing keeps
    // its drive open until the device object goes.
    if (!leftPlaying)
        device.Close();
}

void TPlayController::SessionEnding() {
    SetStopped(true);
    device.Stop();
}

void TPlayController::ShowOptionWords() {
    SetField(WordLoop, Option(CmContinuousLoop) ? StatusWord(WordLoop) : QString());
    SetField(WordRandom, Option(CmRandomOrder) ? StatusWord(WordRandom) : QString());
}

void TPlayController::OptionToggled(int commandId) {
    if (commandId == CmRandomOrder || commandId == CmContinuousLoop)
        ShowOptionWords();
    else if (commandId == CmElapsedTime && device.IsOpen())
        ShowTime(BarToSongPosition(barPosition));
}

// ----- display helpers

void TPlayController::SetField(int id, const QString& text) {
    if (display)
        display->SetFieldText(id, text);
}

int TPlayController::ShownSeconds(int positionMs) const {
    if (Option(CmElapsedTime))
        return positionMs / 1000;
    const qint64 length = currentSong != -1 ? songLength : -1;
    return static_cast<int>((length - positionMs) / 1000);
}

void TPlayController::ShowTime(int positionMs) {
    SetField(FieldTime, FormatTime(ShownSeconds(positionMs)));
}

int TPlayController::BarToSongPosition(int position) const {
    const qint64 target =
        static_cast<qint64>(std::clamp(position, 0, BarMaximum)) * songLength / BarMaximum;
    return static_cast<int>(std::min<qint64>(target, songLength));
}

void TPlayController::SetBarPosition(int position) {
    position = std::clamp(position, 0, BarMaximum);
    if (position == barPosition)
        return;
    barPosition = position;
    emit positionBarChanged(position);
}

void TPlayController::SetBarEnabled(bool on) {
    if (on == barEnabled)
        return;
    barEnabled = on;
    emit positionBarEnabledChanged(on);
}

void TPlayController::SetProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == progress)
        return;
    progress = percent;
    emit progressChanged(percent);
}

// ----- state

void TPlayController::SetStopped(bool on) {
    stopped = on;
    emit playPressedChanged(!stopped);
    SetField(WordPlay, stopped ? QString() : StatusWord(WordPlay));
    if (stopped) {
        SetPaused(false);
        SetBarPosition(0);
        ShowTime(0);
        SetProgress(0);
    }
    SetBarEnabled(!stopped);
    emit pauseEnabledChanged(!stopped);
}

void TPlayController::SetPaused(bool on) {
    paused = on;
    SetField(WordPause, paused ? StatusWord(WordPause) : QString());
    emit pauseChanged(paused);
}

// ----- playing

int TPlayController::PlayRange(int from, int to) {
    if (!device.IsOpen())
        return -1;
    qint64 start = from;
    qint64 end = to;
    if (start == ToInt(device.Status(Mci::kStatusItem, Mci::kStatusPosition)))
        start = Mci::kCurrent;
    if (end >= ToInt(device.Status(Mci::kStatusItem, Mci::kStatusLength)))
        end = Mci::kEnd;
    if (device.Play(start, end) != 0)
        return -1;
    SetStopped(false);
    SetPaused(false);
    tracking = true;
    return 0;
}

int TPlayController::PlaySong(int track, int fromMs) {
    // Track 0 is no track either: the drive would refuse it after the window had changed.
    if (track < 1 || track > album.NumberOfTracks())
        return -1;
    const int start = album.TrackStart(track);
    const int length = album.TrackLength(track);
    songLength = length;
    if (PlayRange(start + fromMs, start + length) < 0)
        return -1;
    return length / 1000;
}

int TPlayController::PlaySelected(int fromMs) {
    const int selected = queue.Selected();
    if (selected < 0)
        return -1;
    currentSong = selected;
    const int track = queue.TrackNumber(selected);
    SetField(FieldTrack, FormatCount(track));
    emit captionChanged();
    SetBarPosition(0);
    SetField(FieldTime, QString());
    SetField(FieldLength, QString());
    SetProgress(0);
    songLength = album.TrackLength(track);
    lastShownPosition = fromMs;
    previousPosition = fromMs;
    stuckTicks = 0;
    if (songLength != 0)
        SetBarPosition(static_cast<int>(static_cast<qint64>(fromMs) * BarMaximum / songLength));
    ShowTime(fromMs);
    SetField(FieldLength, FormatTime(songLength / 1000));
    if (PlaySong(track, fromMs) < 0) {
        SetStopped(true);
        tracking = false;
        device.Stop();
        return -1;
    }
    return 0;
}

int TPlayController::SelectAndPlay(int index) {
    if (!queue.Select(index))
        return -1;
    return PlaySelected();
}

void TPlayController::NextSong() {
    const int count = queue.Count();
    int index = 0;
    if (Option(CmRandomOrder)) {
        index = count > 0 ? TRandomGenerator::Draw() % count : 0;
    } else {
        // The database may have left the current song anywhere up to the largest int.
        const qint64 next = static_cast<qint64>(currentSong) + 1;
        if (next >= count) {
            if (!Option(CmContinuousLoop)) {
                // Tracking ends too: a stopped player must not be restarted by the timer.
                SetStopped(true);
                tracking = false;
                device.Stop();
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
    if (repeat)
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
    tracking = false;
    device.Stop();
}

void TPlayController::PauseOrResume() {
    if (stopped)
        return;
    if (paused) {
        PlayRange(pausePosition, album.TrackStart(CurrentTrack()) + songLength);
        return;
    }
    tracking = false;
    SetPaused(true);
    device.Pause();
    pausePosition = ToInt(device.Status(Mci::kStatusItem, Mci::kStatusPosition));
}

void TPlayController::ToggleRepeat() {
    repeat = !repeat;
    SetField(WordRepeat, repeat ? StatusWord(WordRepeat) : QString());
    emit repeatChanged(repeat);
}

void TPlayController::ToggleMute() {
    muted = !muted;
    device.Set(Mci::kSetAudio | (muted ? Mci::kSetOff : Mci::kSetOn), Mci::kAudioAll);
    SetField(WordMute, muted ? StatusWord(WordMute) : QString());
    emit muteChanged(muted);
}

int TPlayController::Seek(int position) {
    if (!device.IsOpen() && PlaySelected() < 0)
        return -1;
    position = std::clamp(position, 0, BarMaximum);
    const int target = BarToSongPosition(position);
    tracking = false;
    SetBarPosition(position);
    ShowTime(target);
    TScopedHint seeking(hint, QStringLiteral("Seeking in song..."));
    const int start = album.TrackStart(CurrentTrack());
    if (device.Seek(start + target) != 0)
        return -1;
    return PlayRange(ToInt(device.Status(Mci::kStatusItem, Mci::kStatusPosition)),
                     start + songLength);
}

void TPlayController::ThumbTrack(int position) {
    tracking = false;
    SetBarPosition(position);
    ShowTime(BarToSongPosition(position));
}

void TPlayController::FastWindStep(int direction) {
    if (!barEnabled)
        return;
    tracking = false;
    const int from = pendingPosition >= 0 ? pendingPosition : barPosition;
    pendingPosition =
        std::clamp(from + (direction < 0 ? -BarLineStep : BarLineStep), 0, BarMaximum);
    SetBarPosition(pendingPosition);
    ShowTime(BarToSongPosition(pendingPosition));
}

void TPlayController::FastWindRelease() {
    if (!barEnabled || pendingPosition < 0)
        return;
    const int target = pendingPosition;
    pendingPosition = -1;
    Seek(target);
}

void TPlayController::Clear() {
    SetStopped(true);
    tracking = false;
    device.Stop();
    queue.Clear();
    SetField(FieldTrack, QString());
    SetField(FieldLength, QString());
    SetField(FieldTime, QString());
    currentSong = -1;
    saveFailed = false;
    emit captionChanged();
}

bool TPlayController::DiscReady() {
    return device.IsOpen() && device.Status(Mci::kStatusItem, Mci::kStatusReady) != 0;
}

void TPlayController::Tick() {
    if (busy)
        return;
    TScopedFlag guard(busy);
    if (!firstTickDone) {
        firstTickDone = true;
        discWasReady = DiscReady();
    }
    if (device.IsOpen()) {
        openAttempts = 0;
        const bool ready = device.Status(Mci::kStatusItem, Mci::kStatusReady) != 0;
        if (discWasReady && !ready) {
            discWasReady = false;
            CloseAlbum(false);
        } else if (!discWasReady && ready) {
            discWasReady = true;
            if (!album.IsLoaded())
                LoadAlbum(false);
        }
    } else if (openAttempts < MaxOpenAttempts) {
        if (LoadAlbum(false) == 0)
            discWasReady = true;
        else
            ++openAttempts;
    }
    if (!tracking || !device.IsOpen())
        return;
    const qint64 start = currentSong != -1 ? album.TrackStart(CurrentTrack()) : -1;
    const int position = static_cast<int>(std::clamp<qint64>(
        ToInt(device.Status(Mci::kStatusItem, Mci::kStatusPosition)) - start, 0, 0x7FFFFFFF));
    const quint32 progressMs =
        static_cast<quint32>(position) - static_cast<quint32>(lastShownPosition);
    if (progressMs <= ProgressThreshold) {
        if (position == previousPosition && position == songLength) {
            stuckTicks = 0;
            SongEnded();
            return;
        }
        if (circulateIfStuck && ++stuckTicks > StuckTickLimit) {
            stuckTicks = 0;
            SongEnded();
            return;
        }
    } else {
        if (songLength != 0)
            SetBarPosition(
                static_cast<int>(static_cast<qint64>(position) * BarMaximum / songLength));
        lastShownPosition = position;
        ShowTime(position);
        stuckTicks = 0;
        if (songLength != 0)
            SetProgress(static_cast<int>(static_cast<qint64>(position) * 100 / songLength + 1));
    }
    previousPosition = position;
}

// ----- album and database

int TPlayController::LoadAlbum(bool isExplicit) {
    if (loading)
        return -1;
    TScopedFlag guard(loading);
    if (device.IsOpen())
        device.Close();
    if (device.Open(QStringLiteral("cdaudio")) != 0 ||
        device.Set(Mci::kSetTimeFormat, Mci::kFormatMilliseconds) != 0)
        return -1;
    if (device.Status(Mci::kStatusItem, Mci::kStatusReady) == 0)
        return -1;
    if (!isExplicit && Option(CmIgnoreOneTrackCds) &&
        ToInt(device.Status(Mci::kStatusItem, Mci::kStatusNumberOfTracks)) <= 1)
        return 0;
    if (album.IsLoaded())
        Stop();
    int current = -1;
    {
        TScopedHint loadingHint(hint, QStringLiteral("Loading album from disk..."));
        album.ComputeKey();
        songLength = album.TotalLength();
        const TAlbumRecord record =
            database.ReadAlbum(album.Key(), album.NumberOfTracks(), device.Titles());
        album.SetTitle(record.title);
        Clear();
        queue.SetRedraw(false);
        titles.Clear();
        album.SetLoaded(true);
        for (const QString& title : record.titles)
            titles.Add(title);
        for (int track : record.queue)
            queue.Add(TCDAlbum::QueueEntry(track, track >= 1 ? titles.TextAt(track - 1) : QString(),
                                           album.TrackLength(track)));
        queue.SetRedraw(true);
        current = record.currentSong;
    }
    if (current < 0)
        current = Option(CmRandomOrder) && queue.Count() > 0
                      ? TRandomGenerator::Draw() % queue.Count()
                      : 0;
    const int resumed = playOutWaiting ? TakeOverPlayOut() : -1;
    if (resumed >= 0)
        current = resumed;
    else if (Option(CmAutoPlay))
        SelectAndPlay(current);
    else
        queue.Select(current);
    currentSong = current;
    emit captionChanged();
    return 0;
}

// The last run left the rest of the disc to a play-out process: go on from where it has got to,
// on the first queue entry of that track, so the music does not stop. Returns the entry, or -1
// when there was nothing to take over.
int TPlayController::TakeOverPlayOut() {
    playOutWaiting = false;
    const std::optional<quint32> at = device.Service().TakeOver();
    if (!at)
        return -1;
    for (int i = 0; i < queue.Count(); ++i) {
        const int track = queue.TrackNumber(i);
        const qint64 offset = static_cast<qint64>(*at) - album.TrackStart(track);
        if (offset >= 0 && offset < album.TrackLength(track) && queue.Select(i))
            return PlaySelected(static_cast<int>(offset)) == 0 ? i : -1;
    }
    return -1;
}

int TPlayController::SaveAlbum() {
    if (!album.IsLoaded())
        return -1;
    TScopedHint saving(hint, QStringLiteral("Saving album to disk..."));
    TAlbumContents contents;
    contents.title = album.Title();
    contents.totalLengthMs = album.TotalLength();
    contents.numberOfTracks = album.NumberOfTracks();
    contents.currentSong = currentSong;
    for (int i = 0; i < titles.Count(); ++i)
        contents.titles.append(titles.TextAt(i));
    for (int i = 0; i < queue.Count(); ++i)
        contents.queue.append(queue.TrackNumber(i));
    saveFailed = !database.WriteAlbum(album.Key(), contents);
    return saveFailed ? -1 : 0;
}

QString TPlayController::SaveFailureText() const {
    return QStringLiteral("The album could not be saved to %1.").arg(database.Path());
}

void TPlayController::SaveCommand() {
    if (SaveAlbum() != 0 && saveFailed)
        ReportFailure(SaveFailureText());
}

bool TPlayController::ConfirmAutoSave(bool closing) {
    if (!Option(CmAutoSaveAlbum) || !saveFailed || !album.IsLoaded())
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
    album.SetTitle(QString());
    album.SetLoaded(false);
    titles.Clear();
    Clear();
    return true;
}

void TPlayController::DeleteAlbum() {
    if (album.Key().isEmpty())
        return;
    if (!TAlbumDatabase::ConfirmDelete())
        return;
    // A section that stays in the file is reported; the album and its playing stay as they were.
    if (!database.DeleteAlbum(album.Key())) {
        ReportFailure(
            QStringLiteral("The album could not be deleted from %1.").arg(database.Path()));
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
    if (!asker)
        return;
    TSaveFileRequest request;
    request.title = QStringLiteral("Export Database");
    request.filterName = QStringLiteral("Text DB file (*.txt)");
    request.filterPattern = QStringLiteral("*.txt");
    request.defaultExtension = QStringLiteral("txt");
    const QString path = asker->AskSaveFile(request);
    if (path.isEmpty())
        return;
    // The save-file dialog's overwrite prompt would let the export text replace a file the
    // player lives on.
    const QString target = CanonicalTarget(path);
    if (target == CanonicalTarget(database.Path()) ||
        (!settingsPath.isEmpty() && target == CanonicalTarget(settingsPath))) {
        ReportFailure(QStringLiteral("The export cannot replace the album database or the "
                                     "settings file. Choose another file."));
        return;
    }
    TAlbumDatabase::TExportResult result;
    {
        TScopedHint exporting(hint, QStringLiteral("Exporting database..."));
        result = database.Export(path);
    }
    if (result == TAlbumDatabase::TExportResult::CannotWriteExport)
        ReportFailure(path + QStringLiteral("\n\nCannot open export file for writing."));
    else if (result == TAlbumDatabase::TExportResult::CannotReadDatabase)
        ReportFailure(database.Path() + QStringLiteral("\n\nCannot read the database."));
}

// ----- queue

template <typename Less> void TPlayController::Reorder(const QString& hintText, Less less) {
    TScopedHint reordering(hint, hintText);
    queue.SetRedraw(false);
    std::vector<QString> rows;
    for (int i = 0; i < queue.Count(); ++i)
        rows.push_back(queue.TextAt(i));
    const QString kept = queue.Select(currentSong) ? queue.TextAt(currentSong) : QString();
    MergeSort(rows, less);
    queue.Clear();
    for (const QString& row : rows)
        queue.Add(row);
    currentSong = kept.isNull() ? -1 : queue.Find(kept);
    if (currentSong >= 0) {
        queue.Select(currentSong);
        SetField(FieldTrack, FormatCount(queue.TrackNumber(currentSong)));
    }
    SetField(FieldTotal, FormatCount(queue.Count()));
    queue.SetRedraw(true);
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
    const int selected = queue.Selected();
    if (selected < 0)
        return;
    queue.Delete(selected);
    if (queue.Count() == 0) {
        Stop();
        currentSong = -1;
        SetField(FieldTrack, QString());
        SetField(FieldLength, QString());
        SetField(FieldTime, QString());
        emit captionChanged();
    } else if (selected == currentSong) {
        --currentSong;
        NextSong();
    } else {
        queue.Select(std::min(selected, queue.Count() - 1));
        if (selected < currentSong)
            --currentSong;
    }
}

void TPlayController::MoveSelected(bool up, bool toEnd) {
    const int selected = queue.Selected();
    if (selected < 0)
        return;
    const int offset = up ? (toEnd ? -selected : -1) : (toEnd ? queue.Count() - selected - 1 : 1);
    const int target = selected + offset;
    if (target < 0 || target >= queue.Count())
        return;
    const QString text = queue.TextAt(selected);
    queue.Delete(selected);
    queue.Insert(target, text);
    queue.Select(target);
    if (currentSong == selected)
        currentSong = target;
    else if (selected < target && currentSong > selected && currentSong <= target)
        --currentSong;
    else if (selected > target && currentSong >= target && currentSong < selected)
        ++currentSong;
}

void TPlayController::HighlightCurrent() {
    queue.Select(currentSong);
}
