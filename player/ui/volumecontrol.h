#pragma once
// The volume slider bound to the player's volume model: the slider shows the model's level and
// is enabled with it, and every movement of the slider moves the level (and so the device).
// The "Volume Device..." command's dialog lives here too.

#include "core/volumemodel.h"

#include <memory>

class QWidget;
class TAuxOutput;
class TProfile;
class TSoundBar;

class TVolumeControl {
public:
    // Binds the slider to the session's model; both must outlive this object.
    TVolumeControl(TVolumeModel& model, TSoundBar* slider);
    // A slider with a model of its own over `devices`.
    TVolumeControl(TAuxOutput& devices, TSoundBar* slider);
    ~TVolumeControl();

    // See TVolumeModel::SetUp.
    void SetUp(int deviceSetting) { FModel.SetUp(deviceSetting); }
    // Any movement of the volume slider: both channels of the device follow the slider.
    void OnScroll(int code, int position);
    // The "Volume Device..." command: the device dialog over `settings`, showing the device in
    // use; then the set-up again with the stored choice after OK, with the device in use after
    // Cancel.
    void ChooseDevice(QWidget* parent, TProfile& settings);

    int DeviceSetting() const { return FModel.DeviceSetting(); }
    TVolumeModel& Model() const { return FModel; }

    static int DefaultSetting(const TAuxOutput& devices) {
        return TVolumeModel::DefaultSetting(devices);
    }

private:
    void Bind();

    std::unique_ptr<TVolumeModel> FOwnModel;
    TVolumeModel& FModel;
    TSoundBar* FSlider;
};
