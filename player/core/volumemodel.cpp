#include "core/volumemodel.h"

#include "core/auxoutput.h"
#include "core/profile.h"

TVolumeModel::TVolumeModel(TAuxOutput& devices, QObject* parent)
    : QObject(parent), FDevices(devices) {}

int TVolumeModel::ToDeviceVolume(int level) {
    return static_cast<int>(double(qBound(0, level, Range)) * 65535 * 0.0001);
}

int TVolumeModel::FromDeviceVolume(int volume) {
    return volume * Range / 65535;
}

int TVolumeModel::DefaultSetting(const TAuxOutput& devices) {
    QString name;
    for (int device = 0; device < devices.DeviceCount(); ++device)
        if (devices.DeviceName(device, name))
            return 1;
    return 0;
}

int TVolumeModel::ReadSetting(const TProfile& settings) {
    return settings.ReadInt(QStringLiteral("Settings"), QStringLiteral("AuxOutDevice"), 0);
}

void TVolumeModel::SetUp(int deviceSetting) {
    FSetting = deviceSetting;
    if (deviceSetting < 1) {
        SetEnabled(false);
        return;
    }
    quint32 volume = 0;
    // A device that cannot be read starts the level at 0; its movements still go to it.
    FDevices.GetVolume(deviceSetting - 1, volume);
    SetEnabled(true);
    ShowLevel(FromDeviceVolume(TAuxOutput::LeftOf(volume)));
}

void TVolumeModel::SetLevel(int level) {
    if (!FEnabled)
        return;
    ShowLevel(qBound(0, level, int(Range)));
    if (FSetting < 1 || FDevices.DeviceCount() < FSetting)
        return;
    const quint16 volume = quint16(ToDeviceVolume(FLevel));
    FDevices.SetVolume(FSetting - 1, TAuxOutput::MakeVolume(volume, volume));
}

void TVolumeModel::SetMuted(bool on) {
    if (FMuted == on)
        return;
    FMuted = on;
    emit mutedChanged(on);
}

void TVolumeModel::SetEnabled(bool on) {
    if (FEnabled == on)
        return;
    FEnabled = on;
    emit enabledChanged(on);
}

void TVolumeModel::ShowLevel(int level) {
    if (FLevel == level)
        return;
    FLevel = level;
    emit levelChanged(level);
}
