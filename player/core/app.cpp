#include "core/app.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {
TApp* instance = nullptr;
}

const QString& TApp::Name() {
    static const QString name = QStringLiteral("Korvo");
    return name;
}

TApp::TApp(const QString& programPath)
    // A bare program name (no folder) means the current directory; the path is made absolute.
    : FModuleDirectory(QFileInfo(programPath).absolutePath()),
      FDataDirectory(ChooseDataDirectory(FModuleDirectory)),
      FSettingsPath(QDir(FDataDirectory).filePath(QStringLiteral("Korvo.ini"))) {
    Q_ASSERT(!instance);
    instance = this;
}

TApp::~TApp() {
    if (instance == this)
        instance = nullptr;
}

TApp* TApp::Instance() {
    return instance;
}

QString TApp::DatabasePath() const {
    return QDir(FDataDirectory).filePath(QStringLiteral("cdalb.idb"));
}

QString TApp::InstalledDataDirectory(const QString& moduleDirectory) {
    return QDir::cleanPath(QDir(moduleDirectory).filePath(QStringLiteral(KORVO_DATA_FROM_PROGRAM)));
}

QString TApp::ChooseDataDirectory(const QString& moduleDirectory) {
    const QString home = qEnvironmentVariable("KORVO_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return QDir(home).absolutePath();
    }
    const bool installed = QFileInfo::exists(InstalledDataDirectory(moduleDirectory));
    if (!installed && ::access(QFile::encodeName(moduleDirectory).constData(), W_OK) == 0)
        return moduleDirectory;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString folder = QDir(config).filePath(Name());
    QDir().mkpath(folder);
    return folder;
}
