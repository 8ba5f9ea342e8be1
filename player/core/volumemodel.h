#pragma once
// The player's volume: the level the volume slider shows (0..Range), the output device it drives
// and whether the drive's sound is muted. The volume bar and the desktop's media controls bind to
// this one object, so neither copies the other's state.
//
// The device setting n (the settings file's "AuxOutDevice") selects device n - 1; 0 means no
// device, and then the level is disabled and cannot move. A device number beyond the devices
// present keeps the level movable, but its changes reach no device.

#include <QObject>

class TAuxOutput;
class TProfile;

class TVolumeModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(int level READ Level WRITE SetLevel NOTIFY levelChanged)
    Q_PROPERTY(bool enabled READ IsEnabled NOTIFY enabledChanged)
    Q_PROPERTY(bool muted READ IsMuted NOTIFY mutedChanged)

public:
    // The level's scale, the volume slider's positions.
    static constexpr int Range = 10000;

    // `devices` must outlive the model.
    explicit TVolumeModel(TAuxOutput& devices, QObject* parent = nullptr);

    int Level() const { return FLevel; }
    bool IsEnabled() const { return FEnabled; }
    bool IsMuted() const { return FMuted; }
    int DeviceSetting() const { return FSetting; }
    TAuxOutput& Devices() const { return FDevices; }

    // Takes a device setting: reads the device's volume (its left channel) into the level, or
    // disables the level when the setting names no device.
    void SetUp(int deviceSetting);
    // Moves the level; both channels of the device follow. Ignored while disabled.
    void SetLevel(int level);
    // The drive's mute, as the play controller reports it.
    void SetMuted(bool on);

    // Level (0..Range) to a 16-bit device volume and back.
    static int ToDeviceVolume(int level);
    static int FromDeviceVolume(int volume);
    // The setting that selects the first device the device dialog lists, 0 when it lists none.
    static int DefaultSetting(const TAuxOutput& devices);
    // The setting as the settings file holds it.
    static int ReadSetting(const TProfile& settings);

signals:
    void levelChanged(int level);
    void enabledChanged(bool on);
    void mutedChanged(bool on);

private:
    void SetEnabled(bool on);
    void ShowLevel(int level);

    TAuxOutput& FDevices;
    int FSetting = 0;
    int FLevel = 0;
    bool FEnabled = false;
    bool FMuted = false;
};
