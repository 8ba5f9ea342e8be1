#pragma once
// A disc image (CUE/BIN, cdrdao TOC, NRG) in a virtual drive. Its tray opens (the drive is then
// not ready) and closes again (the image is read anew). An image that cannot be read, or that
// fails while playing, leaves the drive not ready until the tray has been opened and closed.

#include "platform/discdrive.h"

#include <QVariant>

class TImageDrive : public TDiscDrive {
    Q_OBJECT
public:
    explicit TImageDrive(const QString& imagePath, QObject* parent = nullptr);

    const QString& ImagePath() const { return imagePath_; }

protected:
    QString Source() const override { return imagePath_; }
    TCDError Attach() override;
    void Detach() override {}
    TDiscToc ReadDisc() override;
    TSectorReaderFactory Reader() const override;
    TCDError MoveTray(bool open) override;
    bool TrayIsOpen() override { return trayOpen_; }
    void DiscFailed() override { failed_ = true; }

private:
    QList<QVariant> FileStamp() const;

    QString imagePath_;
    QString dataFile_;      // where the last reading found the sectors
    QList<QVariant> stamp_; // the files as they were at the last reading
    TDiscToc lastRead_;
    bool trayOpen_ = false;
    bool failed_ = false;
};
