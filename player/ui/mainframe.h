#pragma once
// The player's top-level window: the frame with caption "Korvo", main menu 7771 and the client
// TMainWindow (the display, the drive and the play controller). Around the client it docks the
// queue bar above and the position bar, volume bar, button bar, separator and status bar below.
// Every command - menu, accelerators, buttons, the song and Elements pop-ups, the tray menu and
// the mouse gestures - arrives at one dispatcher, Command().
//
// Sizing: the height always follows from the elements shown and cannot be changed by the user;
// the width can, down to the display's width. The settings are loaded while the frame is set up
// and saved when it closes or the system shuts down.

#include "core/cdaudioservice.h"
#include "core/framegeometry.h"
#include "core/mainmenu.h"
#include "core/optionstore.h"
#include "core/profile.h"
#include "core/settings.h"
#include "core/statushint.h"

#include <QList>
#include <QMainWindow>

#include <memory>

class QMenu;
class QSystemTrayIcon;
class TApp;
class TAuxOutput;
class THSeparator;
class THelpViewer;
class TListBar;
class TMStatusBar;
class TMToolBar;
class TMainWindow;
class TPlayerState;
class TPosBar;
class TVolBar;

class TMainFrame : public QMainWindow, public TSettingsFrame, public TStatusHint {
    Q_OBJECT

public:
    static constexpr int ElementsMenuId = 17936;

    // `drive` is the CD-audio service the player plays; `volumeDevices` must outlive the frame.
    TMainFrame(const TApp& app, std::unique_ptr<TCDAudioService> drive, TAuxOutput& volumeDevices,
               QWidget* parent = nullptr);
    ~TMainFrame() override;

    TMainMenu& Menu() { return FMenu; }
    TOptionStore& Options() { return FOptions; }
    TSettings& Settings() { return FSettings; }
    TProfile& Profile() { return FProfile; }
    TMainWindow* Client() const { return FClient; }
    TMStatusBar* StatusLine() const { return FStatusBar; }
    // The bar of an element id; null for the menu bar and unknown ids.
    QWidget* Bar(int elementId) const;
    // The window menu's items (Play, Pause, Eject/Retract, Repeat, Circulate, Mute, and Restore
    // Menu while the menu bar is hidden), offered in the system tray where there is one and at
    // the end of the Elements pop-up where there is none.
    QMenu* SystemMenu() const { return FSystemMenu; }
    QMenu* ElementsMenu() const { return FElementsMenu; }
    THelpViewer* HelpViewer() const { return FHelp; }
    bool MiniHelp() const { return FMiniHelp; }
    bool IsMenuAttached() const;

    // The one dispatcher of the player's commands.
    void Command(int id);
    // The caption for the window shown normally or minimised.
    QString Caption(bool minimised) const;

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

    // TStatusHint: the hint in the status bar, the wait cursor and the window disabled.
    void ShowHint(const QString& text) override;
    void ClearHint() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void BuildMenuBar();
    void BuildBars();
    void BuildSystemMenu();
    void WireController();
    void ShowHelpFor(int command);
    QMargins FrameMargins() const;

    // Shows the bars whose check marks are on and hides the others.
    void ShowCheckedBars();
    void SetBarVisible(int id, bool on);
    void ApplyMenuBar();
    // The size rules applied to what the elements shown measure now.
    TFrameGeometry Geometry() const;
    // Fixes the height to what the elements shown need; the width is kept.
    void FixHeight();
    void ToggleElement(int id);
    void ApplyView(const QList<int>& elements);
    void ApplyCustomView();
    void SaveCustomView();

    void EjectRetract();
    void UpdateCaption();
    void UpdateWindowIcon();
    void ShowMenuHint(QAction* action);
    // The Elements pop-up at a point of the screen, its check marks brought up to date first.
    void PopUpElements(const QPoint& global);
    // The menu closed or the pointer left it: the album and song fields come back.
    void EndMenuHint();

    TMainMenu FMenu;
    TOptionStore FOptions;
    TProfile FProfile;
    TSettings FSettings;
    TMainWindow* FClient = nullptr;
    TListBar* FListBar = nullptr;
    TPosBar* FPosBar = nullptr;
    TVolBar* FVolBar = nullptr;
    TMToolBar* FToolBar = nullptr;
    THSeparator* FSeparator = nullptr;
    TMStatusBar* FStatusBar = nullptr;
    QMenu* FSystemMenu = nullptr;
    QAction* FRestoreMenuSeparator = nullptr;
    QAction* FRestoreMenu = nullptr;
    QMenu* FElementsMenu = nullptr;
    QSystemTrayIcon* FTray = nullptr;
    THelpViewer* FHelp = nullptr;
    TPlayerState* FState = nullptr;
    bool FMiniHelp = false;
    bool FShuttingDown = false;
    int FHintDepth = 0;
    // Where the window was last shown normally: a minimised window's own geometry is wherever
    // the platform parks it.
    QRect FNormalGeometry;
};
