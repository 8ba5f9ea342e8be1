#include "ui/mainframe.h"

#include "core/app.h"
#include "core/commandids.h"
#include "ui/acceleratorfilter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

Q_LOGGING_CATEGORY(lcFrame, "korvo.frame")

namespace {

void AddItems(QWidget* menu, const TMenuItem& popup) {
    auto* qmenu = qobject_cast<QMenu*>(menu);
    for (const TMenuItem& item : popup.items) {
        if (item.popup) {
            auto* sub = new QMenu(item.text, menu);
            AddItems(sub, item);
            qmenu->addMenu(sub);
        } else if (item.IsSeparator()) {
            qmenu->addSeparator();
        } else {
            qmenu->addAction(item.action);
        }
    }
}

} // namespace

TMainFrame::TMainFrame(const TApp& app, QWidget* parent)
    : QMainWindow(parent), FMenu(this), FOptions(FMenu.Popup(TMainMenu::Options)),
      FProfile(app.SettingsPath()), FSettings(FProfile, FOptions, *this) {
    setWindowTitle(TApp::Name());
    setObjectName(TApp::Name());
    BuildMenuBar();
    connect(&FMenu, &TMainMenu::Command, this, &TMainFrame::Command);
    // The platform window exists before the settings place it, so its frame is known.
    create();
    FSettings.LoadSettings();
}

void TMainFrame::BuildMenuBar() {
    for (const TMenuItem& popup : FMenu.Popups()) {
        auto* menu = new QMenu(popup.text, this);
        AddItems(menu, popup);
        menuBar()->addMenu(menu);
    }
    // The accelerators belong to the window, so they work while the menu bar is hidden.
    for (QAction* action : FMenu.Actions())
        if (!action->shortcut().isEmpty())
            addAction(action);
    // Accelerators win over the menu bar's mnemonics (Alt+S against "&Song").
    new TAcceleratorFilter(this, FMenu.Actions());
}

void TMainFrame::Command(int id) {
    switch (id) {
    case CmExit:
        close();
        break;
    case CmSaveSettingsNow:
        FSettings.SaveSettingsNow();
        break;
    case CmMenuBar:
        menuBar()->setVisible(FOptions.IsChecked(CmMenuBar));
        break;
    case CmAlwaysOnTop:
        ApplyAlwaysOnTop(FOptions.IsChecked(CmAlwaysOnTop));
        break;
    case CmMiniHelp:
        ApplyMiniHelp(FOptions.IsChecked(CmMiniHelp));
        break;
    default:
        // The commands of the album, the songs and the bars arrive with the client window.
        break;
    }
}

void TMainFrame::Activate() {
    QWidget* popup = QApplication::activeModalWidget();
    if (isMinimized())
        showNormal();
    else
        raise();
    activateWindow();
    if (popup && popup != this) {
        popup->raise();
        popup->activateWindow();
    }
    qCInfo(lcFrame) << "activated by a later start" << (popup ? "with its dialog" : "");
}

void TMainFrame::SessionEnding() { FSettings.SessionEnding(); }

void TMainFrame::Terminate() {
    if (FShuttingDown)
        return;
    SessionEnding();
    FShuttingDown = true;
    close();
    QCoreApplication::quit();
}

void TMainFrame::closeEvent(QCloseEvent* event) {
    if (FShuttingDown) {
        event->accept();
        return;
    }
    // Closing with Shift held saves everything and keeps the window open.
    const Qt::KeyboardModifiers held =
        QGuiApplication::keyboardModifiers() | QGuiApplication::queryKeyboardModifiers();
    const bool shift = held & Qt::ShiftModifier;
    FSettings.ExitSave(shift);
    if (shift)
        event->ignore();
    else
        event->accept();
}

int TMainFrame::LogicalDpiY() const {
    const QScreen* s = screen();
    return s ? qRound(s->logicalDotsPerInchY()) : 96;
}

QPoint TMainFrame::CurrentPosition() const { return frameGeometry().topLeft(); }

QMargins TMainFrame::FrameMargins() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

QRect TMainFrame::RestoredGeometry() const {
    const QRect inner = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    return inner.marginsAdded(FrameMargins());
}

void TMainFrame::PlaceWindow(int x, int y, int width) {
    const QMargins margins = FrameMargins();
    // Until the client and its bars join, the frame is as wide and as high as its menu bar.
    const QSize natural = sizeHint().expandedTo(menuBar()->sizeHint());
    const int innerWidth = width > 0 ? qMax(1, width - margins.left() - margins.right())
                                     : natural.width();
    resize(innerWidth, natural.height());
    const QRect outer = frameGeometry();
    int left = x != 0 ? x : outer.left();
    int top = y != 0 ? y : outer.top();
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        left = qMax(qMin(left, area.right() + 1 - outer.width()), 0);
        top = qMax(qMin(top, area.bottom() + 1 - outer.height()), 0);
    }
    move(left, top);
}

void TMainFrame::ApplyMiniHelp(bool on) { FMiniHelp = on; }

void TMainFrame::ApplyAlwaysOnTop(bool on) {
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    // Changing a window flag hides the window; show it again where it was.
    if (visible)
        show();
}

void TMainFrame::UpdateElementChecks() { FOptions.SetChecked(CmMenuBar, !menuBar()->isHidden()); }
