#include "ui/volumecontrol.h"

#include "core/auxoutput.h"
#include "core/profile.h"
#include "ui/choosemixerdlg.h"
#include "ui/soundbar.h"

TVolumeControl::TVolumeControl(TAuxOutput& devices, TSoundBar* slider)
    : FDevices(devices), FSlider(slider) {}

int TVolumeControl::SliderToLevel(int position) {
    return static_cast<int>(double(qBound(0, position, int(TSoundBar::Range))) * 65535 * 0.0001);
}

int TVolumeControl::LevelToSlider(int level) {
    return level * TSoundBar::Range / 65535;
}

int TVolumeControl::DefaultSetting(const TAuxOutput& devices) {
    QString name;
    for (int device = 0; device < devices.DeviceCount(); ++device)
        if (devices.DeviceName(device, name))
            return 1;
    return 0;
}

int TVolumeControl::ReadSetting(const TProfile& settings) {
    return settings.ReadInt(QStringLiteral("Settings"), QStringLiteral("AuxOutDevice"), 0);
}

void TVolumeControl::SetUp(int deviceSetting) {
    FSetting = deviceSetting;
    if (deviceSetting < 1) {
        FSlider->setEnabled(false);
        return;
    }
    quint32 volume = 0;
    // A device that cannot be read starts the slider at 0; its movements still go to it.
    FDevices.GetVolume(deviceSetting - 1, volume);
    FSlider->setEnabled(true);
    FSlider->SetPosition(LevelToSlider(TAuxOutput::LeftOf(volume)));
}

void TVolumeControl::OnScroll(int, int position) {
    if (FSetting < 1 || FDevices.DeviceCount() < FSetting)
        return;
    const quint16 level = quint16(SliderToLevel(position));
    FDevices.SetVolume(FSetting - 1, TAuxOutput::MakeVolume(level, level));
}

void TVolumeControl::ChooseDevice(QWidget* parent, TProfile& settings) {
    TChooseMixerDlg dialog(parent, FDevices, settings, FSetting);
    // Cancel keeps the device in use, also the first start's, which the file does not hold yet.
    SetUp(dialog.exec() == QDialog::Accepted ? ReadSetting(settings) : FSetting);
}
