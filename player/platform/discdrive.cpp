#include "platform/discdrive.h"

#include "core/app.h"
#include "platform/playoutlink.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

namespace {
// A later start asks the play-out once; a hung one must not hold the start up for long.
constexpr int kPlayOutAnswerMs = 1000;

QString PlayerFolder() {
    return TApp::Instance() ? TApp::Instance()->DataDirectory() : QString();
}
} // namespace

TDiscDrive::TDiscDrive(QObject* parent) : TCDAudioService(parent) {
    connect(&FEngine, &TPlaybackEngine::ended, this, &TDiscDrive::OnEnded);
}

TDiscDrive::~TDiscDrive() = default;

TCDError TDiscDrive::Open() {
    if (FOpen)
        return TCDError::None;
    const TCDError error = Attach();
    if (error != TCDError::None)
        return error;
    FOpen = true;
    FMode = TCDMode::Stopped;
    FPosition = 0;
    Refresh();
    return TCDError::None;
}

void TDiscDrive::Close() {
    const TCallGuard guard(*this);
    if (!FOpen)
        return;
    Halt(TCDCompletion::Aborted);
    Detach();
    FOpen = false;
    FToc = TDiscToc();
}

void TDiscDrive::Refresh() {
    TDiscToc disc = ReadDisc();
    if (disc == FToc)
        return;
    FToc = std::move(disc);
    FMode = TCDMode::Stopped;
    FPosition = 0;
}

// Ends the range playing now (if any), keeping what has been heard as the position.
void TDiscDrive::Halt(TCDCompletion kind) {
    if (FEngine.IsActive()) {
        FPosition = CurrentMs();
        FEngine.Stop();
    }
    if (FMode == TCDMode::Playing)
        FMode = TCDMode::Stopped;
    Notify(kind);
}

TDiscDrive::TCallGuard::TCallGuard(TDiscDrive& drive) : FDrive(drive) {
    if (FDrive.FDepth++ == 0)
        FDrive.FEngine.SetHeld(true);
}

TDiscDrive::TCallGuard::~TCallGuard() {
    if (--FDrive.FDepth == 0)
        FDrive.FEngine.SetHeld(false);
}

// Every completion goes through the event loop, never from inside a call: the sound output may
// run a nested event loop while it starts or stops, and a completion delivered there would
// re-enter the player in the middle of its request.
void TDiscDrive::Notify(TCDCompletion kind) {
    if (!FNotify)
        return;
    FNotify = false;
    FPending.append(kind);
    QTimer::singleShot(0, this, &TDiscDrive::Deliver);
}

void TDiscDrive::Deliver() {
    if (FDepth > 0) {
        QTimer::singleShot(1, this, &TDiscDrive::Deliver);
        return;
    }
    const QPointer<TDiscDrive> alive(this); // a receiver may close and delete the drive
    while (alive && !FPending.isEmpty())
        emit completed(FPending.takeFirst());
}

void TDiscDrive::OnEnded(TPlaybackEngine::TEnd end, qint64 heardFrames) {
    FMode = TCDMode::Stopped;
    switch (end) {
    case TPlaybackEngine::TEnd::Completed:
        FPosition = FRangeEndMs;
        Notify(TCDCompletion::Successful);
        break;
    case TPlaybackEngine::TEnd::ReadFailed:
        FPosition = 0;
        FToc = TDiscToc();
        DiscFailed();
        Notify(TCDCompletion::Failure);
        break;
    case TPlaybackEngine::TEnd::OutputFailed:
        FPosition = TDiscToc::FramesToMs(FRangeStartFrame + heardFrames);
        Notify(TCDCompletion::Failure);
        break;
    }
}

quint32 TDiscDrive::CurrentMs() const {
    if (!FEngine.IsActive())
        return FPosition;
    return TDiscToc::FramesToMs(FRangeStartFrame + FEngine.HeardFrames());
}

TCDStatus TDiscDrive::Value(quint32 value) const {
    if (!FToc.IsValid())
        return {TCDError::NotReady, 0};
    return {TCDError::None, value};
}

TCDStatus TDiscDrive::Ready() {
    if (!FOpen)
        return {TCDError::NotReady, 0};
    if (!FEngine.IsActive())
        Refresh();
    return {TCDError::None, FToc.IsValid() ? 1u : 0u};
}

TCDStatus TDiscDrive::TrackCount() {
    return Value(static_cast<quint32>(FToc.TrackCount()));
}

TCDStatus TDiscDrive::DiscLength() {
    return Value(FToc.DiscLengthMs());
}

TCDStatus TDiscDrive::TrackStart(int t) {
    if (FToc.IsValid() && (t < 1 || t > FToc.TrackCount()))
        return {TCDError::InvalidTrack, 0};
    return Value(FToc.IsValid() ? FToc.TrackStartMs(t) : 0);
}

TCDStatus TDiscDrive::TrackLength(int t) {
    if (FToc.IsValid() && (t < 1 || t > FToc.TrackCount()))
        return {TCDError::InvalidTrack, 0};
    return Value(FToc.IsValid() ? FToc.TrackLengthMs(t) : 0);
}

TCDStatus TDiscDrive::Position() {
    const TCallGuard guard(*this);
    return Value(CurrentMs());
}

TCDMode TDiscDrive::Mode() {
    if (!FOpen)
        return TCDMode::NotReady;
    if (TrayIsOpen())
        return TCDMode::Open;
    if (!FToc.IsValid())
        return TCDMode::NotReady;
    return FMode;
}

TDiscTitles TDiscDrive::Titles() {
    TDiscTitles titles;
    titles.album = FToc.Title();
    for (int t = 1; t <= FToc.TrackCount(); ++t)
        titles.tracks.append(FToc.Track(t).title);
    return titles;
}

TCDError TDiscDrive::Play(std::optional<quint32> from, std::optional<quint32> to, bool notify) {
    const TCallGuard guard(*this);
    if (!FToc.IsValid())
        return TCDError::NotReady;
    const quint32 fromMs = from.value_or(CurrentMs());
    const quint32 toMs = to.value_or(FToc.DiscLengthMs());
    if (fromMs > toMs || toMs > FToc.DiscLengthMs())
        return TCDError::OutOfRange;
    Halt(TCDCompletion::Superseded);
    const qint64 fromFrame = qMin(TDiscToc::MsToFrames(fromMs), FToc.DiscFrames());
    const qint64 toFrame = qMin(TDiscToc::MsToFrames(toMs), FToc.DiscFrames());
    const TCDError error = FEngine.Start(Reader(), FToc, fromFrame, toFrame);
    if (error != TCDError::None)
        return error;
    FPosition = fromMs;
    FRangeStartFrame = fromFrame;
    FRangeEndMs = toMs;
    FNotify = notify;
    FMode = TCDMode::Playing;
    return TCDError::None;
}

TCDError TDiscDrive::Pause() {
    const TCallGuard guard(*this);
    if (!FToc.IsValid())
        return TCDError::NotReady;
    if (FMode == TCDMode::Playing) {
        Halt(TCDCompletion::Aborted);
        FMode = TCDMode::Paused;
    }
    return TCDError::None;
}

TCDError TDiscDrive::Stop() {
    const TCallGuard guard(*this);
    if (!FToc.IsValid())
        return TCDError::NotReady;
    Halt(TCDCompletion::Aborted);
    FMode = TCDMode::Stopped;
    return TCDError::None;
}

TCDError TDiscDrive::Seek(TCDSeek where, quint32 ms) {
    const TCallGuard guard(*this);
    if (!FToc.IsValid())
        return TCDError::NotReady;
    const quint32 length = FToc.DiscLengthMs();
    if (where == TCDSeek::Position && ms > length)
        return TCDError::OutOfRange;
    Halt(TCDCompletion::Aborted);
    FMode = TCDMode::Stopped;
    FPosition = where == TCDSeek::Start ? 0 : where == TCDSeek::End ? length : ms;
    return TCDError::None;
}

TCDError TDiscDrive::SetAudio(bool on) {
    const TCallGuard guard(*this);
    FEngine.SetMuted(!on);
    return TCDError::None;
}

TCDError TDiscDrive::SetDoor(bool open) {
    const TCallGuard guard(*this);
    if (open)
        Halt(TCDCompletion::Aborted);
    const TCDError error = MoveTray(open);
    if (error != TCDError::None)
        return error;
    if (open) {
        FToc = TDiscToc();
        FMode = TCDMode::Stopped;
        FPosition = 0;
    } else {
        Refresh();
    }
    return TCDError::None;
}

// The sound is made in this process, so the rest of the disc goes to a play-out process of ours.
bool TDiscDrive::HandOff() {
    if (FMode != TCDMode::Playing || !FEngine.IsActive() || PlayerFolder().isEmpty())
        return false;
    const TPlayOutRequest request{Source(), CurrentMs(), QDateTime::currentMSecsSinceEpoch(),
                                  PlayerFolder()};
    // This range plays on while the play-out starts, so the music does not break.
    if (!PlayOut::Start(request))
        return false;
    qCInfo(lcPlayOut) << "left the disc to a play-out from" << request.fromMs << "ms";
    Stop();
    return true;
}

bool TDiscDrive::PlayOutRunning() {
    return PlayOut::Ask(PlayerFolder(), PlayOut::kWhere, kPlayOutAnswerMs).has_value();
}

std::optional<quint32> TDiscDrive::TakeOver() {
    const std::optional<TPlayOutState> state =
        PlayOut::Ask(PlayerFolder(), PlayOut::kEnd, kPlayOutAnswerMs);
    if (!state || QFileInfo(state->source) != QFileInfo(Source()))
        return std::nullopt;
    qCInfo(lcPlayOut) << "taking over from the play-out at" << state->positionMs << "ms";
    return state->positionMs;
}
