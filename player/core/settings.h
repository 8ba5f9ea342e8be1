#pragma once
// Korvo.ini: loading the settings when the main window is set up, saving them on request and at
// exit. The steps run in a fixed order; the parts that act on windows go through two small
// interfaces - the frame (position, hints, always on top, element check marks) and the player
// inside it (display words, repeat, queue font, volume device, play state) - so this class never
// touches a widget.
//
// Keys: "General"/"Version", "General"/"WindowPosition", "Settings"/<one key per option>,
// "Settings"/"CirculateIfStuck", "Settings"/"Font", "Settings"/"AuxOutDevice", "State"/"Paused",
// "State"/"Stopped", "State"/"Stick".

#include <QRect>
#include <QString>

class TOptionStore;
class TProfile;

// A logical font as the settings file describes it: height in pixels (negative: the character
// height, 0: the default size), weight 0-1000 (0: the default), italic flag.
struct TFontSpec {
    QString face;
    int height = 0;
    int weight = 0;
    bool italic = false;

    bool operator==(const TFontSpec& o) const {
        return face == o.face && height == o.height && weight == o.weight && italic == o.italic;
    }
};

// a * b / c rounded to the nearest integer (halves away from zero); -1 when c is 0.
int MulDiv(int a, int b, int c);

class TSettingsFrame {
public:
    virtual ~TSettingsFrame() = default;
    virtual int LogicalDpiY() const = 0;
    // Positions and sizes are the client area's, without the window manager's frame, so that
    // what is saved is what the next start restores.
    // The window's current top-left corner.
    virtual QPoint CurrentPosition() const = 0;
    // The rectangle the window has when shown normally, also while minimised or maximised.
    virtual QRect RestoredGeometry() const = 0;
    // Lays the window out and places it: x and y of 0 keep the current left and top, a width of
    // 0 the default width; the height follows from the elements shown.
    virtual void PlaceWindow(int x, int y, int width) = 0;
    virtual void ApplyMiniHelp(bool on) = 0;
    virtual void ApplyAlwaysOnTop(bool on) = 0;
    // Brings the Elements check marks up to date with the elements actually shown.
    virtual void UpdateElementChecks() = 0;
};

class TSettingsPlayer {
public:
    virtual ~TSettingsPlayer() = default;
    // Lights "LOOP" and "RANDOM" as the option check marks say.
    virtual void ShowOptionWords() = 0;
    virtual void SwitchRepeatOn() = 0;
    virtual void SetCirculateIfStuck(bool on) = 0;
    virtual void SetQueueFont(const TFontSpec& font) = 0;
    virtual TFontSpec QueueFont() const = 0;
    // 0: no volume device; n > 0: output device n - 1.
    virtual void SetVolumeDevice(int number) = 0;
    // The volume device a new user starts with: the first one the device dialog lists, 0 for none.
    virtual int DefaultVolumeDevice() const = 0;
    // Initialises the volume bar from the volume device and gives the focus to the queue.
    virtual void FinishSetUp() = 0;
    virtual bool IsPaused() const = 0;
    virtual bool IsStopped() const = 0;
    virtual bool IsRepeat() const = 0;
    virtual void SaveAlbum() = 0;
    // Set stopped and stop the drive.
    virtual void StopPlayback() = 0;
};

class TSettings {
public:
    // The profile and the option store must outlive this object. The frame and the player are
    // absent until there is a window: then their steps are skipped, the window position is left
    // as stored, and a save writes back the font and the repeat state that were loaded.
    TSettings(TProfile& profile, TOptionStore& options, TSettingsFrame* frame = nullptr);
    TSettings(TProfile& profile, TOptionStore& options, TSettingsFrame& frame)
        : TSettings(profile, options, &frame) {}
    void SetFrame(TSettingsFrame* frame) { FFrame = frame; }
    void SetPlayer(TSettingsPlayer* player) { FPlayer = player; }

    void LoadSettings();
    void SaveSettings();
    // At close and at system shutdown: save the settings when Save Settings on Exit is checked or
    // force is set, otherwise write only "SaveSettingsOnExit" = "0"; then save the album when Auto
    // Save Album is checked.
    void ExitSave(bool force);
    // The Save Settings Now command: save the settings, then the album when Auto Save Album is
    // checked.
    void SaveSettingsNow();
    // The user logs off or the system shuts down: exit save without forcing, then stop playback.
    void SessionEnding();

    // The "Font" value, parsed: face before the first comma (leading blanks skipped), then point
    // size, weight and italic flag; numbers that are missing count 0.
    static TFontSpec ParseFont(const QString& value, int dpi);
    static QString FormatFont(const TFontSpec& font, int dpi);

    // The font the settings file gives when it has none.
    static TFontSpec DefaultFont(int dpi);

private:
    TProfile& FProfile;
    TOptionStore& FOptions;
    TSettingsFrame* FFrame;
    TSettingsPlayer* FPlayer = nullptr;
    TFontSpec FLoadedFont;
    bool FLoadedStick = false;
    // The volume device chosen for a new user (no settings file yet), saved with the settings.
    int FFirstStartDevice = 0;
};
