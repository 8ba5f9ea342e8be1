#include "ui/framehints.h"

#include "ui/commandhints.h"
#include "ui/mstatusbar.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

#include <functional>

TFrameHints::TFrameHints(TMStatusBar* line, QList<QWidget*> disabled, QObject* parent)
    : QObject(parent), FLine(line), FDisabled(std::move(disabled)) {}

void TFrameHints::SetMiniHelp(bool on) {
    FMiniHelp = on;
    if (!on && FDepth == 0)
        FLine->SetHintText(QString());
}

void TFrameHints::WatchMenus(QMenuBar* bar) {
    // A title the bar highlights with no menu open (the bar keeps it lit after Escape closed its
    // menu) gives no hint: the hint would stay when the bar lets go of the keyboard.
    connect(bar, &QMenuBar::hovered, this, [this](QAction* action) {
        if (QApplication::activePopupWidget())
            ShowMenuHint(action);
    });
    std::function<void(QMenu*)> watch = [&](QMenu* menu) {
        connect(menu, &QMenu::aboutToShow, this,
                [this, menu] { ShowMenuHint(menu->menuAction()); });
        connect(menu, &QMenu::hovered, this, &TFrameHints::ShowMenuHint);
        connect(menu, &QMenu::aboutToHide, this, &TFrameHints::EndMenuHint);
        menu->installEventFilter(this);
        for (QAction* action : menu->actions())
            if (action->menu())
                watch(action->menu());
    };
    for (QAction* popup : bar->actions())
        watch(popup->menu());
    bar->installEventFilter(this);
}

bool TFrameHints::eventFilter(QObject* watched, QEvent* event) {
    // A hint lasts while its item is highlighted: leaving the menu takes it away.
    if (event->type() == QEvent::Leave)
        EndMenuHint();
    return QObject::eventFilter(watched, event);
}

void TFrameHints::ShowButtonHint(int id) {
    if (FMiniHelp && FDepth == 0)
        FLine->SetHintText(id ? CommandHint(id) : QString());
}

void TFrameHints::ShowMenuHint(QAction* action) {
    if (!FMiniHelp || FDepth > 0)
        return;
    FLine->SetHintText(CommandHint(action->data().toInt()));
}

void TFrameHints::EndMenuHint() {
    if (FMiniHelp && FDepth == 0)
        FLine->SetHintText(QString());
}

void TFrameHints::Begin(const QString& text) {
    FLine->SetHintText(text);
    if (FDepth++ == 0) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        for (QWidget* widget : FDisabled)
            widget->setEnabled(false);
    }
    FLine->repaint();
}

void TFrameHints::End() {
    if (FDepth == 0)
        return;
    if (--FDepth == 0) {
        QApplication::restoreOverrideCursor();
        for (QWidget* widget : FDisabled)
            widget->setEnabled(true);
        FLine->SetHintText(QString());
    }
}
