#pragma once
// The window menu's items - Play, Pause, Eject/Retract, Repeat, Circulate, Mute, and Restore Menu
// while the menu bar is hidden - and the system tray icon that offers them. The window manager
// owns the real window menu, so where there is a tray its icon carries these items; where there
// is none the frame offers them in the Elements pop-up.
//
// On the tray icon a click raises the window, the middle button pauses or resumes, and the right
// button opens the menu, or with Shift held toggles Repeat and with Ctrl Mute.

#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

class TTrayMenu : public QObject {
    Q_OBJECT
public:
    // The menu and the icon belong to `window`.
    explicit TTrayMenu(QWidget* window);

    QMenu* Menu() const { return FMenu; }
    bool HasTray() const { return FTray != nullptr; }
    // Restore Menu is offered only while the menu bar is hidden.
    void SetMenuAttached(bool attached);
    void SetToolTip(const QString& text);

signals:
    void command(int id);
    void activateRequested();

private:
    QMenu* FMenu;
    QAction* FRestoreSeparator = nullptr;
    QAction* FRestore = nullptr;
    QSystemTrayIcon* FTray = nullptr;
};
