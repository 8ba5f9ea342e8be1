#include "platform/libcdiodrive.h"

#include <QFileInfo>

#include <cdio/mmc.h>

namespace {
TCDError FromDriverCode(driver_return_code_t code) {
    switch (code) {
    case DRIVER_OP_SUCCESS:
        return TCDError::None;
    case DRIVER_OP_UNSUPPORTED:
    case DRIVER_OP_UNINIT:
        return TCDError::Unsupported;
    case DRIVER_OP_NO_DRIVER:
        return TCDError::NoDevice;
    default:
        return TCDError::Hardware;
    }
}
} // namespace

TLibcdioDrive::TLibcdioDrive(const QString& device, driver_id_t driver, QObject* parent)
    : TDiscDrive(parent), FDevice(device), FDriver(driver) {}

TCDError TLibcdioDrive::Attach() {
    // A drive that exists opens even when it holds no disc or cannot read it; that is readiness.
    return QFileInfo::exists(FDevice) ? TCDError::None : TCDError::NoDevice;
}

TDiscToc TLibcdioDrive::ReadDisc() {
    // A fresh handle each time: libcdio keeps the table of contents it read first.
    FCdio = OpenCdio(FDevice, FDriver);
    return ReadToc(FCdio.get());
}

TSectorReaderFactory TLibcdioDrive::Reader() const {
    return TParanoiaSectorReader::Factory(FDevice, FDriver);
}

bool TLibcdioDrive::TrayIsOpen() {
    return FCdio && mmc_get_tray_status(FCdio.get()) == 1;
}

TCDError TLibcdioDrive::MoveTray(bool open) {
    if (!open) {
        driver_id_t driver = FDriver;
        const QByteArray name = QFile::encodeName(FDevice);
        return FromDriverCode(cdio_close_tray(name.constData(), &driver));
    }
    if (TrayIsOpen())
        return TCDError::DoorAlreadySet;
    if (!FCdio)
        FCdio = OpenCdio(FDevice, FDriver);
    if (!FCdio)
        return TCDError::NotReady;
    CdIo_t* cdio = FCdio.release();
    const driver_return_code_t code = cdio_eject_media(&cdio);
    FCdio.reset(cdio); // freed and null when the media went out
    return FromDriverCode(code);
}
