#pragma once
// The player's top-level window: the frame with caption "Korvo", main menu 7771 and the client
// TMainWindow (the display). Around the client it docks the queue bar above and the position
// bar, volume bar, button bar, separator and status bar below. It binds to the player's session,
// which owns the menu, the options, the settings, the drive and the play controller.
//
// Every command - menu, accelerators, buttons, the song and Elements pop-ups, the tray menu and
// the mouse gestures - goes to the session's dispatcher first; the frame carries out only what
// is about windows: views, bars, size, font, hints, help, dialogs and always on top.
//
// Sizing: the height always follows from the elements shown and cannot be changed by the user;
// the width can, down to the display's width. The settings are loaded while the frame is set up
// and saved when it closes or the system shuts down.

#include "core/framegeometry.h"
#include "core/settings.h"
#include "core/statushint.h"

#include <QList>
#include <QMainWindow>

class QMenu;
class TCommandDialogs;
class TFrameBars;
class TFrameHints;
class THelpViewer;
class TMStatusBar;
class TMainWindow;
class TPlayerSession;
class TPlayerState;
class TTrayMenu;

class TMainFrame : public QMainWindow, public TSettingsFrame, public TStatusHint {
    Q_OBJECT

public:
    static constexpr int ElementsMenuId = 17936;

    // `session` must outlive the frame; the frame sets up its play controller and loads the
    // settings, and at its end shuts the controller down.
    explicit TMainFrame(TPlayerSession& session, QWidget* parent = nullptr);
    ~TMainFrame() override;

    TPlayerSession& Session() const { return FSession; }
    TMainWindow* Client() const { return FClient; }
    TMStatusBar* StatusLine() const;
    // The bar of an element id; null for the menu bar and unknown ids.
    QWidget* Bar(int elementId) const;
    // The window menu's items, offered in the system tray where there is one and at the end of
    // the Elements pop-up where there is none.
    QMenu* SystemMenu() const;
    QMenu* ElementsMenu() const { return FElementsMenu; }
    THelpViewer* HelpViewer() const;
    bool MiniHelp() const;
    bool IsMenuAttached() const;

    // A command from the window: the session's, else the window's own.
    void Command(int id);

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
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The commands only a window carries out.
    void WindowCommand(int id);
    void BuildMenus();
    void BuildBars();
    void BuildSystemMenu();
    void WireController();
    QMargins FrameMargins() const;
    void RememberNormalGeometry();

    // Shows the bars whose check marks are on and hides the others.
    void ShowCheckedBars();
    void ApplyMenuBar();
    // The size rules applied to what the elements shown measure now.
    TFrameGeometry Geometry() const;
    // Fixes the height to what the elements shown need; the width is kept.
    void FixHeight();
    void ToggleElement(int id);
    void ApplyView(const QList<int>& elements);
    void SaveCustomView();

    void UpdateCaption();
    void UpdateWindowIcon();
    // The Elements pop-up at a point of the screen, its check marks brought up to date first.
    void PopUpElements(const QPoint& global);

    TPlayerSession& FSession;
    TMainWindow* FClient = nullptr;
    TFrameBars* FBars = nullptr;
    TFrameHints* FHints = nullptr;
    TTrayMenu* FTray = nullptr;
    QMenu* FElementsMenu = nullptr;
    TCommandDialogs* FDialogs = nullptr;
    TPlayerState* FState = nullptr;
    bool FShuttingDown = false;
    // Where the window was last shown normally: a minimised window's own geometry is wherever
    // the platform parks it.
    QRect FNormalGeometry;
};
