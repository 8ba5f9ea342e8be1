#pragma once
// A disc image (CUE/BIN, cdrdao TOC, NRG, or a cue sheet over audio files such as a copy of a
// disc) in a virtual drive. Its tray opens (the drive is then not ready) and closes again (the
// image is read anew). An image that cannot be read, or that fails while playing, leaves the
// drive not ready until the tray has been opened and closed. Why a cue sheet over audio files
// cannot be read is reported once, naming the file.

#include "platform/audiofiledisc.h"
#include "platform/discdrive.h"

#include <QVariant>

class TImageDrive : public TDiscDrive {
    Q_OBJECT
public:
    explicit TImageDrive(const QString& imagePath, QObject* parent = nullptr);

    const QString& ImagePath() const { return FImagePath; }
    // Why the image cannot be played now, naming the file at fault; empty when it can (or when
    // libcdio, which does not say why, reads it).
    const QString& Problem() const { return FProblem; }

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
    void SetProblem(const QString& problem);

    QString FImagePath;
    QStringList FDataFiles;    // where the last reading found the sectors
    TAudioFileDisc FAudioDisc; // the disc of a cue sheet over audio files, when it is one
    QString FProblem;
    QList<QVariant> FStamp; // the files as they were at the last reading
    TDiscToc FLastRead;
    bool FTrayOpen = false;
    bool FFailed = false;
};
