#include "platform/imagedrive.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>

TImageDrive::TImageDrive(const QString& imagePath, QObject* parent)
    : TDiscDrive(parent), imagePath_(imagePath) {}

TCDError TImageDrive::Attach() {
    // The virtual drive is always there; whether its disc can be read is a matter of readiness.
    trayOpen_ = false;
    failed_ = false;
    stamp_.clear();
    return TCDError::None;
}

namespace {
constexpr qint64 kSettleMs = 2000;

void Stamp(QList<QVariant>& stamp, const QString& path) {
    const QFileInfo file(path);
    stamp << file.exists() << file.size() << file.lastModified();
}
} // namespace

// What the image's files look like now: the sheet, its folder (a data file appearing or going
// changes it) and the data file the last reading came from.
QList<QVariant> TImageDrive::FileStamp() const {
    QList<QVariant> stamp;
    Stamp(stamp, imagePath_);
    Stamp(stamp, QFileInfo(imagePath_).absolutePath());
    if (!dataFile_.isEmpty())
        Stamp(stamp, dataFile_);
    return stamp;
}

// The player asks every second; the image is parsed again only when its files have changed.
TDiscToc TImageDrive::ReadDisc() {
    const driver_id_t driver = ImageDriver(imagePath_);
    if (trayOpen_ || failed_ || driver == DRIVER_UNKNOWN)
        return {};
    const QList<QVariant> stamp = FileStamp();
    if (stamp == stamp_)
        return lastRead_;
    const TCdioHandle cdio = OpenCdio(imagePath_, driver);
    dataFile_ = DataFile(cdio.get());
    lastRead_ = ReadToc(cdio.get());
    stamp_ = FileStamp();
    // File times are coarse: a change right after this reading could keep the same stamp, so a
    // stamp is trusted only once its files have been left alone for a while.
    const QDateTime now = QDateTime::currentDateTime();
    const bool settled = std::all_of(stamp_.cbegin(), stamp_.cend(), [&now](const QVariant& part) {
        return part.typeId() != QMetaType::QDateTime || part.toDateTime().msecsTo(now) >= kSettleMs;
    });
    if (!settled)
        stamp_.clear();
    return lastRead_;
}

TSectorReaderFactory TImageDrive::Reader() const {
    return TPlainSectorReader::Factory(imagePath_, ImageDriver(imagePath_));
}

TCDError TImageDrive::MoveTray(bool open) {
    if (open == trayOpen_)
        return TCDError::DoorAlreadySet;
    trayOpen_ = open;
    if (!open) {
        failed_ = false;
        stamp_.clear(); // a disc put in is read anew
    }
    return TCDError::None;
}
