#pragma once
// The CD-audio service: exactly the requests the player makes of its drive, with what each must
// return. MCIDevice turns the player's device commands into these calls; the backends in
// platform/ (a libcdio drive, a disc image in a virtual drive) and the tests' scripted fake
// implement them.
//
// All calls come from the GUI thread. A backend may read sectors on a worker thread, but the
// completed signal is always emitted on the GUI thread and never from inside a call (it arrives
// through the event loop, in the order things happened).

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

// Result codes of the service. 0 is success; the others never collide with the codes MCIDevice
// returns itself (1 already open, 2 not open, 8 no device type).
enum class TCDError : quint32 {
    None = 0,
    Hardware = 262,       // the drive or image failed while reading
    NoDevice = 263,       // no such drive, or the device type is not "cdaudio"
    Unsupported = 274,    // the backend cannot do this (e.g. a tray that does not close)
    NotReady = 276,       // no disc, tray open, or the disc cannot be read
    OutOfRange = 282,     // a position or track beyond the disc
    NoSound = 290,        // no audio output device to play through
    InvalidTrack = 293,   // track number 0 or above the disc's count
    DoorAlreadySet = 295, // the tray is already open (or closed)
};

// What happened to a range started with notification.
enum class TCDCompletion : quint32 {
    Successful = 1, // the range played to its end
    Superseded = 2, // a new play replaced it
    Aborted = 4,    // stop, pause, seek, tray or close ended it
    Failure = 8,    // reading failed (disc pulled, short image)
};

// The drive's mode as the player sees it; only Playing is compared by the player.
enum class TCDMode : quint32 {
    NotReady = 524,
    Stopped = 525,
    Playing = 526,
    Paused = 529,
    Open = 530,
};

// A status value with the result code of asking for it.
struct TCDStatus {
    TCDError error = TCDError::None;
    quint32 value = 0;
};

enum class TCDSeek { Start, End, Position };

// The titles a disc carries itself (CD-TEXT), one line of text each; empty where it has none.
struct TDiscTitles {
    QString album;
    QStringList tracks; // track t at t - 1

    QString Track(int t) const { return t >= 1 && t <= tracks.size() ? tracks[t - 1] : QString(); }
};

class TCDAudioService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TCDAudioService() override = default;

    // Opens the drive; an empty tray or unreadable disc still opens (IsReady says so).
    virtual TCDError Open() = 0;
    // Stops any playback (no notification) and releases the drive.
    virtual void Close() = 0;

    // True when a disc is in and readable; false with the tray empty or open.
    virtual TCDStatus Ready() = 0;
    // Tracks of the disc, audio and data alike.
    virtual TCDStatus TrackCount() = 0;
    virtual TCDStatus DiscLength() = 0;
    // t counts from 1.
    virtual TCDStatus TrackStart(int t) = 0;
    virtual TCDStatus TrackLength(int t) = 0;
    // What has been heard, in ms from the first track's start.
    virtual TCDStatus Position() = 0;
    virtual TCDMode Mode() = 0;
    // A backend that cannot read titles off its discs reports none.
    virtual TDiscTitles Titles() { return {}; }

    // Plays from "from" (the current position when unset) to "to" (the end of the disc when
    // unset). With notify, exactly one Completed follows: Successful when the range ends, another
    // kind when something interrupts it.
    virtual TCDError Play(std::optional<quint32> from, std::optional<quint32> to, bool notify) = 0;
    virtual TCDError Pause() = 0;
    virtual TCDError Stop() = 0;
    // Stops playing and moves the position.
    virtual TCDError Seek(TCDSeek where, quint32 ms) = 0;
    // Audio off keeps playback and position running.
    virtual TCDError SetAudio(bool on) = 0;
    virtual TCDError SetDoor(bool open) = 0;

    // Leaving while the disc plays: hands the rest of it, from the position heard to the end of
    // the disc, to a process that plays on after this one has gone, and stops here; true when
    // that process plays. A drive that plays by itself needs none.
    virtual bool HandOff() { return false; }
    // Whether such a process, left by an earlier run, still plays.
    virtual bool PlayOutRunning() { return false; }
    // Ends that process; where it had got to (ms from the first track's start) when it was
    // playing this same disc.
    virtual std::optional<quint32> TakeOver() { return std::nullopt; }

    // The backend's text for one of its codes; empty when it has none.
    static QString ErrorText(quint32 code);

signals:
    void completed(TCDCompletion kind);
};
