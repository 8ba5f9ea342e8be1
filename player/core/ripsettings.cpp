#include "core/ripsettings.h"

#include "core/profile.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace {
const QString RipSection = QStringLiteral("Rip");
const QString OffsetSection = QStringLiteral("Read Offsets");
const QString DriveSection = QStringLiteral("Drive");
const QString DestinationKey = QStringLiteral("Destination");
const QString ImageKey = QStringLiteral("Image");
// The default drive has no path of its own.
QString DriveKey(const QString& drive) {
    return drive.isEmpty() ? QStringLiteral("default") : drive;
}
} // namespace

TRipSettings::TRipSettings(QString settingsPath) : FPath(std::move(settingsPath)) {}

QString TRipSettings::DefaultDestination() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return music.isEmpty() ? QDir::home().filePath(QStringLiteral("Music")) : music;
}

QString TRipSettings::Destination() const {
    const QString folder = TProfile(FPath).ReadString(RipSection, DestinationKey, QString());
    return folder.isEmpty() ? DefaultDestination() : folder;
}

void TRipSettings::SetDestination(const QString& folder) {
    TProfile(FPath).WriteString(RipSection, DestinationKey, folder);
}

int TRipSettings::ReadOffset(const QString& drive) const {
    return std::clamp(TProfile(FPath).ReadInt(OffsetSection, DriveKey(drive), 0), MinOffset,
                      MaxOffset);
}

void TRipSettings::SetReadOffset(const QString& drive, int samples) {
    TProfile(FPath).WriteString(OffsetSection, DriveKey(drive),
                                QString::number(std::clamp(samples, MinOffset, MaxOffset)));
}

QString TRipSettings::Image() const {
    return TProfile(FPath).ReadString(DriveSection, ImageKey, QString());
}

void TRipSettings::SetImage(const QString& path) {
    TProfile(FPath).WriteString(DriveSection, ImageKey, path.isEmpty() ? QString() : path);
}
