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

    const QString& Device() const { return device_; }

protected:
    QString Source() const override { return device_; }
    TCDError Attach() override;
    void Detach() override { cdio_.reset(); }
    TDiscToc ReadDisc() override;
    TSectorReaderFactory Reader() const override;
    TCDError MoveTray(bool open) override;
    bool TrayIsOpen() override;

private:
    QString device_;
    driver_id_t driver_;
    TCdioHandle cdio_;
};
