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
    : QObject(parent), deviceType_(deviceType), service_(std::move(service)) {
    Q_ASSERT(service_);
    connect(service_.get(), &TCDAudioService::Completed, this, &MCIDevice::Notify);
}

MCIDevice::~MCIDevice() {
    if (IsOpen())
        Close();
}

quint32 MCIDevice::Store(TCDError error) {
    lastError_ = static_cast<quint32>(error);
    return lastError_;
}

quint32 MCIDevice::Store(const TCDStatus& status) {
    Store(status.error);
    return status.value;
}

quint32 MCIDevice::Open(const QString& deviceType) {
    if (IsOpen())
        return Mci::kAlreadyOpen;
    if (!deviceType.isEmpty())
        deviceType_ = deviceType;
    if (deviceType_.isEmpty())
        return Mci::kNoDeviceType;
    if (deviceType_.compare(QLatin1String("cdaudio"), Qt::CaseInsensitive) != 0)
        return Store(TCDError::NoDevice);
    const quint32 code = Store(service_->Open());
    if (code == 0) {
        deviceId_ = nextDeviceId++;
        if (nextDeviceId == 0)
            nextDeviceId = 1;
    }
    return code;
}

quint32 MCIDevice::Close() {
    if (!IsOpen())
        return Mci::kNotOpen;
    service_->Close();
    deviceId_ = 0;
    return Store(TCDError::None);
}

quint32 MCIDevice::Play(qint64 from, qint64 to) {
    if (!IsOpen())
        return Mci::kNotOpen;
    const quint32 code = Store(
        service_->Play(Bound(from, Mci::kCurrent), Bound(to, Mci::kEnd), !notifyWindow_.isNull()));
    if (code != 0) {
        ReportPlayFailure(code);
        lastError_ = code;
    }
    return code;
}

quint32 MCIDevice::Stop() {
    if (!IsOpen())
        return Mci::kNotOpen;
    return Store(service_->Stop());
}

quint32 MCIDevice::Seek(qint64 to) {
    if (!IsOpen())
        return Mci::kNotOpen;
    if (to == Mci::kEnd)
        return Store(service_->Seek(TCDSeek::End, 0));
    if (to == 0)
        return Store(service_->Seek(TCDSeek::Start, 0));
    if (to < 0)
        return Store(TCDError::OutOfRange);
    return Store(service_->Seek(TCDSeek::Position, static_cast<quint32>(to)));
}

quint32 MCIDevice::Pause() {
    if (!IsOpen())
        return Mci::kNotOpen;
    return Store(service_->Pause());
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
        return Store(service_->SetAudio(on));
    }
    const bool open = (flags & Mci::kSetDoorOpen) != 0;
    const bool closed = (flags & Mci::kSetDoorClosed) != 0;
    if (open != closed)
        return Store(service_->SetDoor(open));
    return Store(TCDError::Unsupported);
}

quint32 MCIDevice::Status(quint32 flags, quint32 item, quint32 track) {
    if (!IsOpen())
        return Mci::kNotOpen;
    const bool perTrack = (flags & Mci::kTrack) != 0;
    const int t = static_cast<int>(qMin<quint32>(track, 0x7fffffff));
    switch (item) {
    case Mci::kStatusReady:
        return Store(service_->Ready());
    case Mci::kStatusNumberOfTracks:
        return Store(service_->TrackCount());
    case Mci::kStatusLength:
        return Store(perTrack ? service_->TrackLength(t) : service_->DiscLength());
    case Mci::kStatusPosition:
        return Store(perTrack ? service_->TrackStart(t) : service_->Position());
    case Mci::kStatusMode:
        Store(TCDError::None);
        return static_cast<quint32>(service_->Mode());
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
    message.caption = caption_.isEmpty() ? QStringLiteral("MCI Error") : caption_;
    message.icon = TMessageIcon::Warning;
    message.beep = true;
    ReportMessage(message);
}
