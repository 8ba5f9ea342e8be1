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
    connect(&engine_, &TPlaybackEngine::Ended, this, &TDiscDrive::OnEnded);
}

TDiscDrive::~TDiscDrive() = default;

TCDError TDiscDrive::Open() {
    if (open_)
        return TCDError::None;
    const TCDError error = Attach();
    if (error != TCDError::None)
        return error;
    open_ = true;
    mode_ = TCDMode::Stopped;
    position_ = 0;
    Refresh();
    return TCDError::None;
}

void TDiscDrive::Close() {
    const TCallGuard guard(*this);
    if (!open_)
        return;
    Halt(TCDCompletion::Aborted);
    Detach();
    open_ = false;
    toc_ = TDiscToc();
}

void TDiscDrive::Refresh() {
    TDiscToc disc = ReadDisc();
    if (disc == toc_)
        return;
    toc_ = std::move(disc);
    mode_ = TCDMode::Stopped;
    position_ = 0;
}

// Ends the range playing now (if any), keeping what has been heard as the position.
void TDiscDrive::Halt(TCDCompletion kind) {
    if (engine_.IsActive()) {
        position_ = CurrentMs();
        engine_.Stop();
    }
    if (mode_ == TCDMode::Playing)
        mode_ = TCDMode::Stopped;
    Notify(kind);
}

TDiscDrive::TCallGuard::TCallGuard(TDiscDrive& drive) : drive_(drive) {
    if (drive_.depth_++ == 0)
        drive_.engine_.SetHeld(true);
}

TDiscDrive::TCallGuard::~TCallGuard() {
    if (--drive_.depth_ == 0)
        drive_.engine_.SetHeld(false);
}

// Every completion goes through the event loop, never from inside a call: the sound output may
// run a nested event loop while it starts or stops, and a completion delivered there would
// re-enter the player in the middle of its request.
void TDiscDrive::Notify(TCDCompletion kind) {
    if (!notify_)
        return;
    notify_ = false;
    pending_.append(kind);
    QTimer::singleShot(0, this, &TDiscDrive::Deliver);
}

void TDiscDrive::Deliver() {
    if (depth_ > 0) {
        QTimer::singleShot(1, this, &TDiscDrive::Deliver);
        return;
    }
    const QPointer<TDiscDrive> alive(this); // a receiver may close and delete the drive
    while (alive && !pending_.isEmpty())
        emit Completed(pending_.takeFirst());
}

void TDiscDrive::OnEnded(TPlaybackEngine::TEnd end, qint64 heardFrames) {
    mode_ = TCDMode::Stopped;
    switch (end) {
    case TPlaybackEngine::TEnd::Completed:
        position_ = rangeEndMs_;
        Notify(TCDCompletion::Successful);
        break;
    case TPlaybackEngine::TEnd::ReadFailed:
        position_ = 0;
        toc_ = TDiscToc();
        DiscFailed();
        Notify(TCDCompletion::Failure);
        break;
    case TPlaybackEngine::TEnd::OutputFailed:
        position_ = TDiscToc::FramesToMs(rangeStartFrame_ + heardFrames);
        Notify(TCDCompletion::Failure);
        break;
    }
}

quint32 TDiscDrive::CurrentMs() const {
    if (!engine_.IsActive())
        return position_;
    return TDiscToc::FramesToMs(rangeStartFrame_ + engine_.HeardFrames());
}

TCDStatus TDiscDrive::Value(quint32 value) const {
    if (!toc_.IsValid())
        return {TCDError::NotReady, 0};
    return {TCDError::None, value};
}

TCDStatus TDiscDrive::Ready() {
    if (!open_)
        return {TCDError::NotReady, 0};
    if (!engine_.IsActive())
        Refresh();
    return {TCDError::None, toc_.IsValid() ? 1u : 0u};
}

TCDStatus TDiscDrive::TrackCount() {
    return Value(static_cast<quint32>(toc_.TrackCount()));
}

TCDStatus TDiscDrive::DiscLength() {
    return Value(toc_.DiscLengthMs());
}

TCDStatus TDiscDrive::TrackStart(int t) {
    if (toc_.IsValid() && (t < 1 || t > toc_.TrackCount()))
        return {TCDError::InvalidTrack, 0};
    return Value(toc_.IsValid() ? toc_.TrackStartMs(t) : 0);
}

TCDStatus TDiscDrive::TrackLength(int t) {
    if (toc_.IsValid() && (t < 1 || t > toc_.TrackCount()))
        return {TCDError::InvalidTrack, 0};
    return Value(toc_.IsValid() ? toc_.TrackLengthMs(t) : 0);
}

TCDStatus TDiscDrive::Position() {
    const TCallGuard guard(*this);
    return Value(CurrentMs());
}

TCDMode TDiscDrive::Mode() {
    if (!open_)
        return TCDMode::NotReady;
    if (TrayIsOpen())
        return TCDMode::Open;
    if (!toc_.IsValid())
        return TCDMode::NotReady;
    return mode_;
}

TDiscTitles TDiscDrive::Titles() {
    TDiscTitles titles;
    titles.album = toc_.Title();
    for (int t = 1; t <= toc_.TrackCount(); ++t)
        titles.tracks.append(toc_.Track(t).title);
    return titles;
}

TCDError TDiscDrive::Play(std::optional<quint32> from, std::optional<quint32> to, bool notify) {
    const TCallGuard guard(*this);
    if (!toc_.IsValid())
        return TCDError::NotReady;
    const quint32 fromMs = from.value_or(CurrentMs());
    const quint32 toMs = to.value_or(toc_.DiscLengthMs());
    if (fromMs > toMs || toMs > toc_.DiscLengthMs())
        return TCDError::OutOfRange;
    Halt(TCDCompletion::Superseded);
    const qint64 fromFrame = qMin(TDiscToc::MsToFrames(fromMs), toc_.DiscFrames());
    const qint64 toFrame = qMin(TDiscToc::MsToFrames(toMs), toc_.DiscFrames());
    const TCDError error = engine_.Start(Reader(), toc_, fromFrame, toFrame);
    if (error != TCDError::None)
        return error;
    position_ = fromMs;
    rangeStartFrame_ = fromFrame;
    rangeEndMs_ = toMs;
    notify_ = notify;
    mode_ = TCDMode::Playing;
    return TCDError::None;
}

TCDError TDiscDrive::Pause() {
    const TCallGuard guard(*this);
    if (!toc_.IsValid())
        return TCDError::NotReady;
    if (mode_ == TCDMode::Playing) {
        Halt(TCDCompletion::Aborted);
        mode_ = TCDMode::Paused;
    }
    return TCDError::None;
}

TCDError TDiscDrive::Stop() {
    const TCallGuard guard(*this);
    if (!toc_.IsValid())
        return TCDError::NotReady;
    Halt(TCDCompletion::Aborted);
    mode_ = TCDMode::Stopped;
    return TCDError::None;
}

TCDError TDiscDrive::Seek(TCDSeek where, quint32 ms) {
    const TCallGuard guard(*this);
    if (!toc_.IsValid())
        return TCDError::NotReady;
    const quint32 length = toc_.DiscLengthMs();
    if (where == TCDSeek::Position && ms > length)
        return TCDError::OutOfRange;
    Halt(TCDCompletion::Aborted);
    mode_ = TCDMode::Stopped;
    position_ = where == TCDSeek::Start ? 0 : where == TCDSeek::End ? length : ms;
    return TCDError::None;
}

TCDError TDiscDrive::SetAudio(bool on) {
    const TCallGuard guard(*this);
    engine_.SetMuted(!on);
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
        toc_ = TDiscToc();
        mode_ = TCDMode::Stopped;
        position_ = 0;
    } else {
        Refresh();
    }
    return TCDError::None;
}

// The sound is made in this process, so the rest of the disc goes to a play-out process of ours.
bool TDiscDrive::HandOff() {
    if (mode_ != TCDMode::Playing || !engine_.IsActive() || PlayerFolder().isEmpty())
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
