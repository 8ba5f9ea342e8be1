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

    const QString& ImagePath() const { return FImagePath; }

protected:
    QString Source() const override { return FImagePath; }
    TCDError Attach() override;
    void Detach() override {}
    TDiscToc ReadDisc() override;
    TSectorReaderFactory Reader() const override;
    TCDError MoveTray(bool open) override;
    bool TrayIsOpen() override { return FTrayOpen; }
    void DiscFailed() override { FFailed = true; }

private:
    QList<QVariant> FileStamp() const;

    QString FImagePath;
    QString FDataFile;      // where the last reading found the sectors
    QList<QVariant> FStamp; // the files as they were at the last reading
    TDiscToc FLastRead;
    bool FTrayOpen = false;
    bool FFailed = false;
};
