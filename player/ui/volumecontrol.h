#pragma once
// The volume slider over an auxiliary output device. The device setting n (the settings file's
// "AuxOutDevice") selects device n - 1; 0 means no device and a disabled slider. A device number
// beyond the devices present leaves the slider enabled but its movements do nothing.

class QWidget;
class TAuxOutput;
class TProfile;
class TSoundBar;

class TVolumeControl {
public:
    TVolumeControl(TAuxOutput& devices, TSoundBar* slider);

    // Reads the device's volume (its left channel) into the slider, or disables the slider.
    void SetUp(int deviceSetting);
    // Any movement of the volume slider: both channels of the device follow the slider.
    void OnScroll(int code, int position);
    // The "Volume Device..." command: the device dialog over `settings`, showing the device in
    // use; then the set-up again with the stored choice after OK, with the device in use after
    // Cancel.
    void ChooseDevice(QWidget* parent, TProfile& settings);

    int DeviceSetting() const { return FSetting; }

    // Slider position (0..10000) to a 16-bit level and back.
    static int SliderToLevel(int position);
    static int LevelToSlider(int level);
    // The setting that selects the first device the device dialog lists, 0 when it lists none.
    static int DefaultSetting(const TAuxOutput& devices);
    // The setting as the settings file holds it.
    static int ReadSetting(const TProfile& settings);

private:
    TAuxOutput& FDevices;
    TSoundBar* FSlider;
    int FSetting = 0;
};
