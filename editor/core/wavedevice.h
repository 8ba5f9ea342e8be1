#pragma once
// The wave output and input devices CSampleAudio plays through and records into. Each plays
// or fills exactly one buffer of one format and tells its owner through a signal when the buffer
// comes back (played out, filled, or returned by Reset). The real devices live in the platform
// layer and are made by the factory the program installs; with none installed every open fails,
// so a program that forgot to install one stays silent instead of pretending to play.
//
// Device numbers: -1 is the default device, 0.. index the system's device list.

#include <QObject>
#include <QtGlobal>

#include <memory>

struct CWaveFormat;

// One device buffer: where the bytes are, how many, and how many a recording has filled.
struct CWaveHeader {
    // Bits of `flags`.
    enum : quint32 { Done = 0x01, Prepared = 0x02, InQueue = 0x10 };

    quint8* data = nullptr;
    quint32 bufferLength = 0;
    quint32 bytesRecorded = 0;
    quintptr user = 0;
    quint32 flags = 0;
    quint32 loops = 0;
    CWaveHeader* next = nullptr;
    quintptr reserved = 0;
};

// Results of the device operations. 0 is success; 1 and -1 are never used, because the engine
// answers those itself ("already playing", "nothing to play") next to a device's error.
enum class CWaveError : qint16 {
    None = 0,
    BadDeviceId = 2,   // no device of that number
    DeviceFailed = 3,  // the sound server would not open or start the stream
    Allocated = 4,     // the device is already open
    InvalidHandle = 5, // the device is not open
    NoDriver = 6,      // no device at all, or no device factory installed
    NoMemory = 7,
    InvalidParameter = 11, // a header without bytes
    BadFormat = 32,        // the device cannot take this format
    StillPlaying = 33,     // a buffer is still queued
    Unprepared = 34,       // the header was not prepared
};

// The formats a device can take: 1 or 2 channels of 8-bit (unsigned), 16- or 24-bit (signed)
// PCM (tag 1) or of 32-bit float (tag 3), either also under the extensible tag (0xFFFE), at a
// non-zero rate, with a block align and byte rate that agree with them. The device converts what
// the sound server has no format for.
bool IsDeviceFormat(const CWaveFormat& format);

// What output and input devices share: open, header preparation, reset, position, close.
class CWaveDevice : public QObject {
    Q_OBJECT
public:
    ~CWaveDevice() override = default;

    virtual CWaveError Open(int device, const CWaveFormat& format) = 0;
    // Returns the queued buffer (marked done, BufferDone emitted) with what it holds so far;
    // the position stays where it was.
    virtual CWaveError Reset() = 0;
    // Bytes played (output) or recorded (input) of the current buffer.
    virtual CWaveError GetPosition(quint32& bytes) const = 0;
    // Stops whatever runs and releases the device; safe to call twice.
    virtual CWaveError Close() = 0;

    // A header can be prepared when it holds at least one byte.
    CWaveError Prepare(CWaveHeader& header) const;
    CWaveError Unprepare(CWaveHeader& header) const;

Q_SIGNALS:
    // The queued buffer came back: played out or filled, or returned by Reset. Emitted on the
    // thread that owns the device, once per buffer.
    void BufferDone();
};

class CWaveOutDevice : public CWaveDevice {
    Q_OBJECT
public:
    // Queues the one prepared buffer and starts playing it.
    virtual CWaveError Write(CWaveHeader& header) = 0;
    // Holds the position until Reset or Close.
    virtual CWaveError Pause() = 0;
};

class CWaveInDevice : public CWaveDevice {
    Q_OBJECT
public:
    // Queues the one prepared buffer to be filled; recording begins with Start.
    virtual CWaveError AddBuffer(CWaveHeader& header) = 0;
    virtual CWaveError Start() = 0;
};

// Makes the devices the audio engine uses. The program installs the real one at start.
class CWaveDeviceFactory {
public:
    virtual ~CWaveDeviceFactory() = default;
    virtual std::unique_ptr<CWaveOutDevice> CreateOutput() = 0;
    virtual std::unique_ptr<CWaveInDevice> CreateInput() = 0;

    // The factory stays owned by the caller; pass nullptr to uninstall.
    static void Install(CWaveDeviceFactory* factory);
    static CWaveDeviceFactory* Installed();
};

// The receiver of a buffer's device notifications: the view connects to OutputDone and then calls
// StopPlayback, the recording dialog connects to InputData and calls StopRecording. Both arrive
// queued on the GUI thread, after the call that caused them has returned.
class CWaveNotify : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    void OutputDone();
    void InputData();
};
