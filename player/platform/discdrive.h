#pragma once
// The CD-audio service over a disc that libcdio reads: table of contents, positions, ranges,
// pause, seek, mute and tray, with playback by TPlaybackEngine. The drive and image backends
// differ only in where the disc comes from, how sectors are read and what the tray does.
//
// The disc is re-read whenever readiness is asked while nothing plays, so a changed or removed
// disc is noticed by the player's next tick. A read failure while playing ends the range with a
// Failure completion and leaves the drive not ready.

#include "core/cdaudioservice.h"
#include "core/disctoc.h"
#include "platform/playbackengine.h"

class TDiscDrive : public TCDAudioService {
    Q_OBJECT
public:
    explicit TDiscDrive(QObject* parent = nullptr);
    ~TDiscDrive() override;

    TCDError Open() override;
    void Close() override;
    TCDStatus Ready() override;
    TCDStatus TrackCount() override;
    TCDStatus DiscLength() override;
    TCDStatus TrackStart(int t) override;
    TCDStatus TrackLength(int t) override;
    TCDStatus Position() override;
    TCDMode Mode() override;
    TDiscTitles Titles() override;
    TCDError Play(std::optional<quint32> from, std::optional<quint32> to, bool notify) override;
    TCDError Pause() override;
    TCDError Stop() override;
    TCDError Seek(TCDSeek where, quint32 ms) override;
    TCDError SetAudio(bool on) override;
    TCDError SetDoor(bool open) override;
    // The play-out of the player's data directory (none without one).
    bool HandOff() override;
    bool PlayOutRunning() override;
    std::optional<quint32> TakeOver() override;

protected:
    // The drive or image as the player named it: a play-out opens the same.
    virtual QString Source() const = 0;
    // Prepares the drive on open; an error keeps the service closed.
    virtual TCDError Attach() = 0;
    virtual void Detach() = 0;
    // The disc in the drive now; an invalid TDiscToc when there is none or it cannot be read.
    virtual TDiscToc ReadDisc() = 0;
    // How the playback worker reads sectors of this disc.
    virtual TSectorReaderFactory Reader() const = 0;
    // Moves the tray (playback has already stopped); DoorAlreadySet when it is there already.
    virtual TCDError MoveTray(bool open) = 0;
    virtual bool TrayIsOpen() = 0;
    // Reading failed while playing: the disc went away or is damaged.
    virtual void DiscFailed() {}

private:
    // Marks a request in progress: completions and the engine's own ending wait until it returns.
    class TCallGuard {
    public:
        explicit TCallGuard(TDiscDrive& drive);
        ~TCallGuard();

    private:
        TDiscDrive& FDrive;
    };

    void Deliver();
    void Refresh();
    void Halt(TCDCompletion kind);
    void Notify(TCDCompletion kind);
    void OnEnded(TPlaybackEngine::TEnd end, qint64 heardFrames);
    quint32 CurrentMs() const;
    TCDStatus Value(quint32 value) const;

    bool FOpen = false;
    TDiscToc FToc;
    TCDMode FMode = TCDMode::Stopped;
    quint32 FPosition = 0;
    qint64 FRangeStartFrame = 0;
    quint32 FRangeEndMs = 0;
    bool FNotify = false;
    QList<TCDCompletion> FPending;
    int FDepth = 0;
    TPlaybackEngine FEngine;
};
