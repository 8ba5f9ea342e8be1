#pragma once
// TMainWindow: the client of the player's frame. It is the digital display of the session's play
// controller: it gives the controller its display fields and the file dialog, and binds the
// queue view and the two sliders the frame's bars hand it. It answers the settings' questions
// about the player and draws the minimised icon.
//
// Clicks on the display are not taken here: they reach the frame, which owns the mouse gestures.

#include "core/savefileasker.h"
#include "core/settings.h"

#include <QIcon>
#include <QWidget>

#include <memory>

class TDisplayPanel;
class TPlayerSession;
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

    // `session` must outlive the window; `hint` shows long operations (may be null).
    TMainWindow(QWidget* parent, TPlayerSession& session, TStatusHint* hint);
    ~TMainWindow() override;

    TDisplayPanel* Display() const { return FDisplay; }
    TQueueList* Queue() const { return FQueue; }
    TSoundBar* PositionSlider() const { return FPositionSlider; }
    TVolumeControl& Volume() const { return *FVolume; }
    TPositionHandler& Position() const { return *FPosition; }

    // The views the frame's bars made over this window's lists and sliders.
    void AttachBars(TQueueList* queue, TSoundBar* positionSlider, TSoundBar* volumeSlider);
    // Set-up in its fixed order: the drive reports to the controller with "Korvo" on its error
    // boxes, the player starts stopped (Pause and the position slider disabled) and timer 777
    // starts. The album is loaded by the first tick.
    void SetUp();
    // Clean-up: the exit behaviour of the play controller (stop, or leave the disc playing), and
    // the controller lets go of this window.
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
    void minimisedIconChanged();

private:
    void SetProgress(int percent);

    TPlayerSession& FSession;
    TDisplayPanel* FDisplay;
    std::unique_ptr<TVolumeControl> FVolume;
    std::unique_ptr<TPositionHandler> FPosition;
    TQueueList* FQueue = nullptr;
    TSoundBar* FPositionSlider = nullptr;
    QIcon FIcon;
    int FProgress = 0;
    int FVolumeSetting = 0;
};
