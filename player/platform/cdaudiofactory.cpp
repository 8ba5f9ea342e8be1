#include "platform/cdaudiofactory.h"

#include "core/app.h"

#include "platform/imagedrive.h"
#include "platform/libcdiodrive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cdio/memory.h>

std::unique_ptr<TCDAudioService> ServiceFor(const QString& path) {
    if (QFileInfo(path).isFile() || ImageDriver(path) != DRIVER_UNKNOWN) {
        qCInfo(lcCdio, "playing the disc image %s", qPrintable(path));
        return std::make_unique<TImageDrive>(path);
    }
    qCInfo(lcCdio, "playing the CD drive %s", qPrintable(path));
    return std::make_unique<TLibcdioDrive>(path);
}

namespace {
QString DefaultDrive() {
    driver_id_t driver = DRIVER_DEVICE;
    char* device = cdio_get_default_device_driver(&driver);
    if (!device)
        return QString();
    const QString path = QFile::decodeName(device);
    cdio_free(device);
    return QFileInfo::exists(path) ? path : QString();
}
} // namespace

QString DemoDiscPath() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {programDir.filePath(QStringLiteral("demo/korvo-demo.cue")),
                                     programDir.filePath(QStringLiteral("korvo-demo.cue")),
                                     QDir(TApp::InstalledDataDirectory(programDir.path()))
                                         .filePath(QStringLiteral("demo/korvo-demo.cue"))}) {
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return QStringLiteral(KORVO_BUILD_DEMO_DISC);
}

std::unique_ptr<TCDAudioService> CreateCDAudioService(const QString& demoDisc) {
    const QString chosen = qEnvironmentVariable("KORVO_CDROM");
    if (!chosen.isEmpty())
        return ServiceFor(chosen);
    const QString drive = DefaultDrive();
    if (!drive.isEmpty())
        return ServiceFor(drive);
    qCInfo(lcCdio, "no CD drive; playing the demo disc %s", qPrintable(demoDisc));
    return std::make_unique<TImageDrive>(demoDisc);
}
