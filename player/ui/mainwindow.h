#pragma once
// TMainWindow: the client of the player's frame. It is the digital display and owns what plays
// the disc: the drive (MCIDevice over the chosen CD-audio service), the play controller with the
// album, the title list and the queue. The frame's bars hand it the queue view and the two
// sliders; it answers the settings' questions about the player and draws the minimised icon.
//
// Clicks on the display are not taken here: they reach the frame, which owns the mouse gestures.

#include "core/cdaudioservice.h"
#include "core/savefileasker.h"
#include "core/settings.h"

#include <QIcon>
#include <QWidget>

#include <functional>
#include <memory>

class MCIDevice;
class TAuxOutput;
class TDisplayPanel;
class TPlayController;
class TPositionHandler;
class TQueueList;
class TSoundBar;
class TStatusHint;
class TVolumeControl;

class TMainWindow : public QWidget, public TSettingsPlayer, public TSaveFileAsker {
    Q_OBJECT
public:
    static constexpr int TemplateId = 7714;
    static constexpr int MinimisedIconId = 7779;
    // The side of the minimised icon in logical pixels.
    static constexpr int IconSize = 32;

    // `isChecked` answers for the Options check marks; `hint` shows long operations (may be null).
    TMainWindow(QWidget* parent, std::unique_ptr<TCDAudioService> drive, TAuxOutput& volumeDevices,
                std::function<bool(int)> isChecked, TStatusHint* hint);
    ~TMainWindow() override;

    TDisplayPanel* Display() const { return FDisplay; }
    TPlayController& Controller() const { return *FController; }
    MCIDevice& Device() const { return *FDevice; }
    TQueueList* Queue() const { return FQueue; }
    TSoundBar* PositionSlider() const { return FPositionSlider; }
    TVolumeControl& Volume() const { return *FVolume; }
    TPositionHandler& Position() const { return *FPosition; }

    // The views the frame's bars made over this window's lists and sliders.
    void AttachBars(TQueueList* queue, TSoundBar* positionSlider, TSoundBar* volumeSlider);
    // Set-up in its fixed order: the drive reports to this window with "Korvo" on its error
    // boxes, the player starts stopped (Pause and the position slider disabled) and timer 777
    // starts. The album is loaded by the first tick.
    void SetUp();
    // Clean-up: the exit behaviour of the play controller (stop, or leave the disc playing).
    void ShutDown();

    // The minimised icon: a black frame, two bevels, the progress level (teal below, light grey
    // above) and icon 7779, a see-through disc, over it.
    int MinimisedProgress() const { return FProgress; }
    QPixmap MinimisedIcon(qreal pixelRatio) const;
    // The pixel row the progress level reaches inside the icon; it changes less often than the
    // percentage, and only its changes repaint the icon.
    static int ProgressRow(int percent);

    // TSettingsPlayer
    void ShowOptionWords() override;
    void SwitchRepeatOn() override;
    void SetCirculateIfStuck(bool on) override;
    void SetQueueFont(const TFontSpec& font) override;
    TFontSpec QueueFont() const override;
    void SetVolumeDevice(int number) override;
    int DefaultVolumeDevice() const override;
    void FinishSetUp() override;
    bool IsPaused() const override;
    bool IsStopped() const override;
    bool IsRepeat() const override;
    void SaveAlbum() override;
    void StopPlayback() override;

    // TSaveFileAsker
    QString AskSaveFile(const TSaveFileRequest& request) override;

signals:
    // The minimised icon's progress level moved to another pixel row.
    void MinimisedIconChanged();

private:
    void SetProgress(int percent);

    TDisplayPanel* FDisplay;
    std::unique_ptr<MCIDevice> FDevice;
    std::unique_ptr<TPlayController> FController;
    std::unique_ptr<TVolumeControl> FVolume;
    std::unique_ptr<TPositionHandler> FPosition;
    TAuxOutput& FVolumeDevices;
    TQueueList* FQueue = nullptr;
    TSoundBar* FPositionSlider = nullptr;
    QIcon FIcon;
    int FProgress = 0;
    int FVolumeSetting = 0;
};
