#pragma once
// MCIDevice: the player's one way to its CD drive. It keeps the device id and the last result
// code and turns each device command (open, close, play, stop, seek, pause, set, status, with the
// command flags below) into one request of the CD-audio service. Positions and lengths are
// milliseconds from the first track's start.
//
// Result codes: 0 success, 1 open on an already open device, 2 any other operation on a closed
// device (status then returns 2 as its value), 8 open with no device type; otherwise the
// service's TCDError code. A request that reaches the drive stores its code in LastError(); the
// refusals (1, 2, 8) leave it as it was.
//
// The completion of a range played while a notify window is set arrives as the notify signal,
// queued on the GUI thread. A failed play reports the service's error text through the reporter.

#include "core/cdaudioservice.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

namespace Mci {
// Command flags.
constexpr quint32 kNotify = 0x1;
constexpr quint32 kWait = 0x2;
constexpr quint32 kFrom = 0x4;
constexpr quint32 kTo = 0x8;
constexpr quint32 kTrack = 0x10;
constexpr quint32 kStatusItem = 0x100;
constexpr quint32 kSeekToStart = 0x100;
constexpr quint32 kSeekToEnd = 0x200;
constexpr quint32 kSetDoorOpen = 0x100;
constexpr quint32 kSetDoorClosed = 0x200;
constexpr quint32 kSetTimeFormat = 0x400;
constexpr quint32 kSetAudio = 0x800;
constexpr quint32 kSetOn = 0x2000;
constexpr quint32 kSetOff = 0x4000;
constexpr quint32 kOpenType = 0x2000;

// Status items.
constexpr quint32 kStatusLength = 1;
constexpr quint32 kStatusPosition = 2;
constexpr quint32 kStatusNumberOfTracks = 3;
constexpr quint32 kStatusMode = 4;
constexpr quint32 kStatusReady = 7;

constexpr quint32 kModePlaying = static_cast<quint32>(TCDMode::Playing);
constexpr quint32 kFormatMilliseconds = 0;
constexpr quint32 kAudioAll = 0;

// Results of MCIDevice itself.
constexpr quint32 kAlreadyOpen = 1;
constexpr quint32 kNotOpen = 2;
constexpr quint32 kNoDeviceType = 8;

// play() arguments meaning "from the current position" and "to the end of the disc";
// seek() argument meaning "to the end".
constexpr qint64 kCurrent = -1;
constexpr qint64 kEnd = -2;
} // namespace Mci

class MCIDevice : public QObject {
    Q_OBJECT
public:
    // Takes the device type ("cdaudio" for the player) and the service that does the work;
    // the device starts closed.
    MCIDevice(const QString& deviceType, std::unique_ptr<TCDAudioService> service,
              QObject* parent = nullptr);
    // Closes the device when it is open.
    ~MCIDevice() override;

    // A given type replaces the stored one.
    virtual quint32 Open(const QString& deviceType = QString());
    virtual quint32 Close();
    // from: ms or Mci::kCurrent; to: ms or Mci::kEnd. Notifies when a notify window is set.
    virtual quint32 Play(qint64 from = Mci::kCurrent, qint64 to = Mci::kEnd);
    virtual quint32 Stop();
    // to: ms; 0 seeks to the start, Mci::kEnd to the end.
    virtual quint32 Seek(qint64 to);
    virtual quint32 Pause();
    // flags: kSetTimeFormat (value: the format, only milliseconds), kSetAudio with kSetOn or
    // kSetOff (value: the channel), kSetDoorOpen, kSetDoorClosed.
    virtual quint32 Set(quint32 flags, quint32 value = 0);
    // flags: kStatusItem, plus kTrack for a track's length or position; returns the value.
    virtual quint32 Status(quint32 flags, quint32 item, quint32 track = 0);

    // The titles the disc carries itself; none while the device is closed.
    TDiscTitles Titles() const { return IsOpen() ? FService->Titles() : TDiscTitles(); }

    bool IsOpen() const { return FDeviceId != 0; }
    quint32 DeviceId() const { return FDeviceId; }
    quint32 LastError() const { return FLastError; }

    // The receiver of completions and owner of error boxes; not owned.
    void SetNotifyWindow(QObject* window) { FNotifyWindow = window; }
    QObject* NotifyWindow() const { return FNotifyWindow; }
    void SetDeviceType(const QString& type) { FDeviceType = type; }
    const QString& DeviceType() const { return FDeviceType; }
    // Title of error boxes ("Korvo" in the player).
    void SetCaption(const QString& caption) { FCaption = caption; }
    const QString& Caption() const { return FCaption; }

    TCDAudioService& Service() const { return *FService; }
    // Another drive takes the place of this one (Open Image, Use the Drive); the device is
    // closed first and must be opened again.
    void ReplaceService(std::unique_ptr<TCDAudioService> service);

signals:
    // kind is TCDCompletion::Successful when a range played to its end.
    void notify(TCDCompletion kind);

private:
    quint32 Store(TCDError error);
    quint32 Store(const TCDStatus& status);
    void ReportPlayFailure(quint32 code) const;

    QPointer<QObject> FNotifyWindow;
    quint32 FLastError = 0;
    quint32 FDeviceId = 0;
    QString FDeviceType;
    QString FCaption;
    std::unique_ptr<TCDAudioService> FService;
};
