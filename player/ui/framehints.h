#pragma once
// The hints in the frame's status line. With Mini Help checked, the hint of the menu item or
// button under the pointer shows while it is highlighted. A long operation shows its own hint,
// the wait cursor and the window disabled until the outermost one ends; meanwhile no other hint
// replaces it.

#include <QList>
#include <QObject>

class QAction;
class QMenuBar;
class QWidget;
class TMStatusBar;

class TFrameHints : public QObject {
    Q_OBJECT
public:
    // `disabled` are the widgets a long operation disables; all must outlive this object.
    TFrameHints(TMStatusBar* line, QList<QWidget*> disabled, QObject* parent);

    bool MiniHelp() const { return FMiniHelp; }
    void SetMiniHelp(bool on);
    // The menu bar's items and those of its pop-ups give their hints; closing a pop-up or
    // leaving a menu takes the hint away.
    void WatchMenus(QMenuBar* bar);
    // A button's hint, 0 for none (the pointer left it).
    void ShowButtonHint(int id);

    // Long operations; they nest.
    void Begin(const QString& text);
    void End();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowMenuHint(QAction* action);
    void EndMenuHint();

    TMStatusBar* FLine;
    QList<QWidget*> FDisabled;
    bool FMiniHelp = false;
    int FDepth = 0;
};
