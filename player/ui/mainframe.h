#pragma once
// The player's top-level window: the frame with caption "Korvo" and main menu 7771. It owns the
// menu (whose Options check marks are the option store) and the settings, loads the settings while
// it is set up and saves them when it closes or the system shuts down.
//
// The client (display, bars, play controller) joins later through TSettings::SetPlayer; until then
// the frame holds only its menu bar.

#include "core/mainmenu.h"
#include "core/optionstore.h"
#include "core/profile.h"
#include "core/settings.h"

#include <QMainWindow>

class TApp;

class TMainFrame : public QMainWindow, public TSettingsFrame {
    Q_OBJECT

public:
    explicit TMainFrame(const TApp& app, QWidget* parent = nullptr);

    TMainMenu& Menu() { return FMenu; }
    TOptionStore& Options() { return FOptions; }
    TSettings& Settings() { return FSettings; }
    bool MiniHelp() const { return FMiniHelp; }

    // A later start of the player: bring this window, or the dialog it has open, to the front.
    void Activate();
    // The user logs off or the system shuts down: save as at exit, unforced, and stop playing.
    void SessionEnding();
    // SIGTERM or SIGINT: the session ends, then the program quits.
    void Terminate();

    // TSettingsFrame
    int LogicalDpiY() const override;
    QPoint CurrentPosition() const override;
    QRect RestoredGeometry() const override;
    void PlaceWindow(int x, int y, int width) override;
    void ApplyMiniHelp(bool on) override;
    void ApplyAlwaysOnTop(bool on) override;
    void UpdateElementChecks() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Command(int id);
    void BuildMenuBar();
    QMargins FrameMargins() const;

    TMainMenu FMenu;
    TOptionStore FOptions;
    TProfile FProfile;
    TSettings FSettings;
    bool FMiniHelp = false;
    bool FShuttingDown = false;
};
