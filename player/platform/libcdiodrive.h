#pragma once
// A real CD drive through libcdio: the table of contents is read from the drive whenever the
// player asks for readiness while nothing plays, sectors are read through cdparanoia, and the
// tray really moves. The driver is DRIVER_DEVICE for drives; an image driver makes the same
// backend read an image (paranoia included), which the tests use in place of a drive.

#include "platform/discdrive.h"

class TLibcdioDrive : public TDiscDrive {
    Q_OBJECT
public:
    explicit TLibcdioDrive(const QString& device, driver_id_t driver = DRIVER_DEVICE,
                           QObject* parent = nullptr);

    const QString& Device() const { return FDevice; }

protected:
    QString Source() const override { return FDevice; }
    TCDError Attach() override;
    void Detach() override { FCdio.reset(); }
    TDiscToc ReadDisc() override;
    TSectorReaderFactory Reader() const override;
    TCDError MoveTray(bool open) override;
    bool TrayIsOpen() override;

private:
    QString FDevice;
    driver_id_t FDriver;
    TCdioHandle FCdio;
};
