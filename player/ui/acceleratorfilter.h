#pragma once
// Accelerators win over menu-bar mnemonics, as they do in the player's accelerator table: Alt+S
// saves the custom view even though "&Song" marks S on the menu bar. Qt would otherwise find two
// shortcuts for one key and run neither. The filter claims the key for the accelerator before the
// shortcut map sees it, then triggers the action when the key arrives.

#include <QObject>

#include <vector>

class QAction;
class QWidget;

class TAcceleratorFilter : public QObject {
    Q_OBJECT

public:
    // Watches the keys typed in window (and its children) for the shortcuts of actions.
    TAcceleratorFilter(QWidget* window, std::vector<QAction*> actions);
    ~TAcceleratorFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* Match(QObject* watched, QEvent* event) const;

    QWidget* FWindow;
    std::vector<QAction*> FActions;
};
