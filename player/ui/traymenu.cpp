#include "ui/traymenu.h"

#include "core/app.h"
#include "core/commandids.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>

TTrayMenu::TTrayMenu(QWidget* window) : QObject(window), FMenu(new QMenu(window)) {
    const auto add = [this](const QString& text, int id, bool checkable) {
        QAction* action = FMenu->addAction(text);
        action->setData(id);
        action->setCheckable(checkable);
        connect(action, &QAction::triggered, this, [this, id] { emit command(id); });
        return action;
    };
    add(QStringLiteral("&Play"), CmPlay, false);
    add(QStringLiteral("Pa&use"), CmPause, true);
    add(QStringLiteral("&Eject/Retract"), CmEjectRetract, false);
    FMenu->addSeparator();
    add(QStringLiteral("Repea&t"), CmRepeat, true);
    add(QStringLiteral("Ci&rculate"), CmCirculate, false);
    add(QStringLiteral("&Mute"), CmMute, true);
    FRestoreSeparator = FMenu->addSeparator();
    FRestore = add(QStringLiteral("Re&store Menu"), CmRestoreMenu, false);
    SetMenuAttached(true);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    FTray = new QSystemTrayIcon(window->windowIcon(), this);
    FTray->setToolTip(TApp::Name());
    connect(FTray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const Qt::KeyboardModifiers held = QGuiApplication::keyboardModifiers() |
                                                   QGuiApplication::queryKeyboardModifiers();
                if (reason == QSystemTrayIcon::Trigger)
                    emit activateRequested();
                else if (reason == QSystemTrayIcon::MiddleClick)
                    emit command(CmPause);
                else if (reason == QSystemTrayIcon::Context && (held & Qt::ShiftModifier))
                    emit command(CmRepeat);
                else if (reason == QSystemTrayIcon::Context && (held & Qt::ControlModifier))
                    emit command(CmMute);
                else if (reason == QSystemTrayIcon::Context)
                    FMenu->popup(QCursor::pos());
            });
    FTray->show();
}

void TTrayMenu::SetMenuAttached(bool attached) {
    FRestoreSeparator->setVisible(!attached);
    FRestore->setVisible(!attached);
}

void TTrayMenu::SetToolTip(const QString& text) {
    if (FTray)
        FTray->setToolTip(text);
}
