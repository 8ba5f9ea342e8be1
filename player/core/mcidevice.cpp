#include "core/mcidevice.h"

#include "core/reporter.h"

namespace {
// Device ids are handed out like the platform's: non-zero, a new one for every open.
quint32 nextDeviceId = 1;

std::optional<quint32> Bound(qint64 ms, qint64 unset) {
    if (ms == unset)
        return std::nullopt;
    return static_cast<quint32>(ms);
}
} // namespace

MCIDevice::MCIDevice(const QString& deviceType, std::unique_ptr<TCDAudioService> service,
                     QObject* parent)
    : QObject(parent), FDeviceType(deviceType), FService(std::move(service)) {
    Q_ASSERT(FService);
    connect(FService.get(), &TCDAudioService::completed, this, &MCIDevice::notify);
}

MCIDevice::~MCIDevice() {
    if (IsOpen())
        Close();
}

void MCIDevice::ReplaceService(std::unique_ptr<TCDAudioService> service) {
    Q_ASSERT(service);
    if (IsOpen())
        Close();
    FService = std::move(service);
    connect(FService.get(), &TCDAudioService::completed, this, &MCIDevice::notify);
}

quint32 MCIDevice::Store(TCDError error) {
    FLastError = static_cast<quint32>(error);
    return FLastError;
}

quint32 MCIDevice::Store(const TCDStatus& status) {
    Store(status.error);
    return status.value;
}

quint32 MCIDevice::Open(const QString& deviceType) {
    if (IsOpen())
        return Mci::kAlreadyOpen;
    if (!deviceType.isEmpty())
        FDeviceType = deviceType;
    if (FDeviceType.isEmpty())
        return Mci::kNoDeviceType;
    if (FDeviceType.compare(QLatin1String("cdaudio"), Qt::CaseInsensitive) != 0)
        return Store(TCDError::NoDevice);
    const quint32 code = Store(FService->Open());
    if (code == 0) {
        FDeviceId = nextDeviceId++;
        if (nextDeviceId == 0)
            nextDeviceId = 1;
    }
    return code;
}

quint32 MCIDevice::Close() {
    if (!IsOpen())
        return Mci::kNotOpen;
    FService->Close();
    FDeviceId = 0;
    return Store(TCDError::None);
}

quint32 MCIDevice::Play(qint64 from, qint64 to) {
    if (!IsOpen())
        return Mci::kNotOpen;
    const quint32 code = Store(
        FService->Play(Bound(from, Mci::kCurrent), Bound(to, Mci::kEnd), !FNotifyWindow.isNull()));
    if (code != 0) {
        ReportPlayFailure(code);
        FLastError = code;
    }
    return code;
}

quint32 MCIDevice::Stop() {
    if (!IsOpen())
        return Mci::kNotOpen;
    return Store(FService->Stop());
}

quint32 MCIDevice::Seek(qint64 to) {
    if (!IsOpen())
        return Mci::kNotOpen;
    if (to == Mci::kEnd)
        return Store(FService->Seek(TCDSeek::End, 0));
    if (to == 0)
        return Store(FService->Seek(TCDSeek::Start, 0));
    if (to < 0)
        return Store(TCDError::OutOfRange);
    return Store(FService->Seek(TCDSeek::Position, static_cast<quint32>(to)));
}

quint32 MCIDevice::Pause() {
    if (!IsOpen())
        return Mci::kNotOpen;
    return Store(FService->Pause());
}

quint32 MCIDevice::Set(quint32 flags, quint32 value) {
    if (!IsOpen())
        return Mci::kNotOpen;
    if (flags & Mci::kSetTimeFormat) {
        // The service speaks milliseconds only.
        return Store(value == Mci::kFormatMilliseconds ? TCDError::None : TCDError::Unsupported);
    }
    if (flags & Mci::kSetAudio) {
        const bool on = (flags & Mci::kSetOn) != 0;
        const bool off = (flags & Mci::kSetOff) != 0;
        if (value != Mci::kAudioAll || on == off)
            return Store(TCDError::Unsupported);
        return Store(FService->SetAudio(on));
    }
    const bool open = (flags & Mci::kSetDoorOpen) != 0;
    const bool closed = (flags & Mci::kSetDoorClosed) != 0;
    if (open != closed)
        return Store(FService->SetDoor(open));
    return Store(TCDError::Unsupported);
}

quint32 MCIDevice::Status(quint32 flags, quint32 item, quint32 track) {
    if (!IsOpen())
        return Mci::kNotOpen;
    const bool perTrack = (flags & Mci::kTrack) != 0;
    const int t = static_cast<int>(qMin<quint32>(track, 0x7fffffff));
    switch (item) {
    case Mci::kStatusReady:
        return Store(FService->Ready());
    case Mci::kStatusNumberOfTracks:
        return Store(FService->TrackCount());
    case Mci::kStatusLength:
        return Store(perTrack ? FService->TrackLength(t) : FService->DiscLength());
    case Mci::kStatusPosition:
        return Store(perTrack ? FService->TrackStart(t) : FService->Position());
    case Mci::kStatusMode:
        Store(TCDError::None);
        return static_cast<quint32>(FService->Mode());
    default:
        return Store(TCDStatus{TCDError::Unsupported, 0});
    }
}

void MCIDevice::ReportPlayFailure(quint32 code) const {
    QString text = TCDAudioService::ErrorText(code);
    if (text.isEmpty())
        text = QStringLiteral("Unknown MCI Error");
    TMessage message;
    message.text = text;
    message.caption = FCaption.isEmpty() ? QStringLiteral("MCI Error") : FCaption;
    message.icon = TMessageIcon::Warning;
    message.beep = true;
    ReportMessage(message);
}
