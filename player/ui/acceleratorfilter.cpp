#include "ui/acceleratorfilter.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>
#include <QWindow>

TAcceleratorFilter::TAcceleratorFilter(QWidget* window, std::vector<QAction*> actions)
    : QObject(window), FWindow(window), FActions(std::move(actions)) {
    // The override question goes to whichever object has the focus, so the filter listens
    // application-wide and keeps to its own window.
    qApp->installEventFilter(this);
}

TAcceleratorFilter::~TAcceleratorFilter() {
    qApp->removeEventFilter(this);
}

QAction* TAcceleratorFilter::Match(QObject* watched, QEvent* event) const {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return nullptr;
    const QWidget* widget = qobject_cast<QWidget*>(watched);
    const QWindow* window = qobject_cast<QWindow*>(watched);
    const bool ours =
        (widget && widget->window() == FWindow) || (window && window == FWindow->windowHandle());
    if (!ours)
        return nullptr;
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (QAction* action : FActions)
        if (action->isEnabled() && action->shortcut() == pressed)
            return action;
    return nullptr;
}

bool TAcceleratorFilter::eventFilter(QObject* watched, QEvent* event) {
    QAction* action = Match(watched, event);
    if (!action)
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress)
        action->trigger();
    return true;
}
