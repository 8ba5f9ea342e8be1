#include "platform/imagedrive.h"

#include "core/reporter.h"
#include "platform/audiocuesheet.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>

TImageDrive::TImageDrive(const QString& imagePath, QObject* parent)
    : TDiscDrive(parent), FImagePath(imagePath) {}

TCDError TImageDrive::Attach() {
    // The virtual drive is always there; whether its disc can be read is a matter of readiness.
    FTrayOpen = false;
    FFailed = false;
    FStamp.clear();
    FProblem.clear();
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
    Stamp(stamp, FImagePath);
    Stamp(stamp, QFileInfo(FImagePath).absolutePath());
    for (const QString& file : FDataFiles)
        Stamp(stamp, file);
    return stamp;
}

// The player asks every second; the image is parsed again only when its files have changed.
TDiscToc TImageDrive::ReadDisc() {
    const driver_id_t driver = ImageDriver(FImagePath);
    if (FTrayOpen || FFailed || driver == DRIVER_UNKNOWN)
        return {};
    const QList<QVariant> stamp = FileStamp();
    if (stamp == FStamp)
        return FLastRead;
    const TAudioCueSheet sheet =
        QFileInfo(FImagePath).suffix().compare(QLatin1String("cue"), Qt::CaseInsensitive) == 0
            ? TAudioCueSheet::Read(FImagePath)
            : TAudioCueSheet();
    if (sheet.NamesAudioFiles()) {
        FAudioDisc = TAudioFileDisc::Open(sheet);
        FDataFiles = FAudioDisc.Files();
        FLastRead = FAudioDisc.IsValid() ? FAudioDisc.Toc() : TDiscToc();
        SetProblem(FAudioDisc.Error());
    } else {
        FAudioDisc = TAudioFileDisc();
        const TCdioHandle cdio = OpenCdio(FImagePath, driver);
        FDataFiles = QStringList{DataFile(cdio.get())};
        FDataFiles.removeAll(QString());
        FLastRead = ReadToc(cdio.get());
        SetProblem(QString());
    }
    FStamp = FileStamp();
    // File times are coarse: a change right after this reading could keep the same stamp, so a
    // stamp is trusted only once its files have been left alone for a while.
    const QDateTime now = QDateTime::currentDateTime();
    const bool settled = std::all_of(FStamp.cbegin(), FStamp.cend(), [&now](const QVariant& part) {
        return part.typeId() != QMetaType::QDateTime || part.toDateTime().msecsTo(now) >= kSettleMs;
    });
    if (!settled)
        FStamp.clear();
    return FLastRead;
}

TSectorReaderFactory TImageDrive::Reader() const {
    if (FAudioDisc.IsValid())
        return FAudioDisc.Reader();
    return TPlainSectorReader::Factory(FImagePath, ImageDriver(FImagePath));
}

// Told once, through the event loop (this runs inside the player's polling); again only when the
// reason changes or the disc is put in anew.
void TImageDrive::SetProblem(const QString& problem) {
    if (problem == FProblem)
        return;
    FProblem = problem;
    if (problem.isEmpty())
        return;
    qCWarning(lcCdio, "%s", qPrintable(problem));
    QTimer::singleShot(0, this, [problem] {
        TMessage message;
        message.text = problem;
        message.icon = TMessageIcon::Warning;
        ReportMessage(message);
    });
}

TCDError TImageDrive::MoveTray(bool open) {
    if (open == FTrayOpen)
        return TCDError::DoorAlreadySet;
    FTrayOpen = open;
    if (!open) {
        FFailed = false;
        FStamp.clear(); // a disc put in is read anew
        FProblem.clear();
    }
    return TCDError::None;
}
