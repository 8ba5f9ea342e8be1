#include "platform/imagedrive.h"

TImageDrive::TImageDrive(const QString& imagePath, QObject* parent)
    : TDiscDrive(parent), imagePath_(imagePath) {}

TCDError TImageDrive::Attach() {
    // The virtual drive is always there; whether its disc can be read is a matter of readiness.
    trayOpen_ = false;
    failed_ = false;
    return TCDError::None;
}

TDiscToc TImageDrive::ReadDisc() {
    const driver_id_t driver = ImageDriver(imagePath_);
    if (trayOpen_ || failed_ || driver == DRIVER_UNKNOWN)
        return {};
    const TCdioHandle cdio = OpenCdio(imagePath_, driver);
    return ReadToc(cdio.get());
}

TSectorReaderFactory TImageDrive::Reader() const {
    return TPlainSectorReader::Factory(imagePath_, ImageDriver(imagePath_));
}

TCDError TImageDrive::MoveTray(bool open) {
    if (open == trayOpen_)
        return TCDError::DoorAlreadySet;
    trayOpen_ = open;
    if (!open)
        failed_ = false;
    return TCDError::None;
}
