#include "ui/mainframe.h"

#include "core/app.h"
#include "core/commandids.h"
#include "core/playersession.h"
#include "core/playerstate.h"
#include "ui/acceleratorfilter.h"
#include "ui/buttongadget.h"
#include "ui/commanddialogs.h"
#include "ui/displaypanel.h"
#include "ui/framebars.h"
#include "ui/framehints.h"
#include "ui/listbar.h"
#include "ui/mainwindow.h"
#include "ui/menubuilder.h"
#include "ui/mstatusbar.h"
#include "ui/mtoolbar.h"
#include "ui/openimage.h"
#include "ui/posbar.h"
#include "ui/queuelist.h"
#include "ui/ripwindows.h"
#include "ui/statebinding.h"
#include "ui/traymenu.h"
#include "ui/volbar.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLayout>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>

Q_LOGGING_CATEGORY(lcFrame, "korvo.frame")

namespace {

Qt::KeyboardModifiers HeldModifiers() {
    return QGuiApplication::keyboardModifiers() | QGuiApplication::queryKeyboardModifiers();
}

} // namespace

TMainFrame::TMainFrame(TPlayerSession& session, QWidget* parent)
    : QMainWindow(parent), FSession(session) {
    setWindowTitle(TApp::Name());
    setObjectName(TApp::Name());
    setWindowIcon(QIcon(QStringLiteral(":/korvo/korvo.svg")));
    // No Maximize: the height is fixed by the elements shown.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The right button is a gesture of the window, never a context menu.
    setContextMenuPolicy(Qt::NoContextMenu);
    FSession.SetHeldModifiers(HeldModifiers);
    connect(&FSession, &TPlayerSession::windowCommand, this, &TMainFrame::WindowCommand);
    connect(&FSession, &TPlayerSession::raiseRequested, this, &TMainFrame::Activate);
    connect(&FSession, &TPlayerSession::quitRequested, this, &QWidget::close);

    FClient = new TMainWindow(nullptr, FSession, this);
    BuildBars();
    BuildMenus();
    BuildSystemMenu();
    WireController();
    // The disc image chosen last goes into the drive before the player first reads it.
    OpenImage::Restore(FSession);
    FClient->SetUp();

    // The platform window exists before the settings place it, so its frame is known.
    create();
    FSession.Settings().SetFrame(this);
    FSession.Settings().SetPlayer(FClient);
    FSession.Settings().LoadSettings();
}

TMainFrame::~TMainFrame() {
    // Cleaning up the client: the exit behaviour, then the help window goes.
    FSession.Settings().SetPlayer(nullptr);
    FSession.Settings().SetFrame(nullptr);
    FSession.SetHeldModifiers(nullptr);
    FClient->ShutDown();
    // The client and the bars go while the menu and the options they ask are still here.
    delete takeCentralWidget();
}

void TMainFrame::BuildMenus() {
    BuildMenuBar(menuBar(), FSession.Menu());
    FHints->WatchMenus(menuBar());
    // The accelerators belong to the window, so they work while the menu bar is hidden.
    for (QAction* action : FSession.Menu().Actions())
        if (!action->shortcut().isEmpty())
            addAction(action);
    // Accelerators win over the menu bar's mnemonics (Alt+S against "&Song").
    new TAcceleratorFilter(this, FSession.Menu().Actions());
    // The Elements pop-up shares the menu's actions, so its check marks are the menu's.
    FElementsMenu = BuildElementsMenu(FSession.Menu(), this);
    FElementsMenu->setObjectName(QString::number(ElementsMenuId));
}

void TMainFrame::BuildBars() {
    FBars = new TFrameBars(this, FClient, FSession.Controller().Queue());
    setCentralWidget(FBars);
    FHints = new TFrameHints(FBars->StatusBar(), {FBars, menuBar()}, this);
    FClient->AttachBars(FBars->Queue(), FBars->PosBar()->PositionSlider(),
                        FBars->VolBar()->VolumeSlider());
    for (TMControlBar* bar : FBars->ControlBars()) {
        connect(bar, &TMControlBar::commandPosted, this, &TMainFrame::Command);
        connect(bar, &TMControlBar::hintRequested, FHints, &TFrameHints::ShowButtonHint);
    }
    connect(FBars->Queue(), &TSongList::commandPosted, this, &TMainFrame::Command);
    FDialogs = new TCommandDialogs(this, FSession, *FBars->Queue(), FClient->Volume(), this);
}

void TMainFrame::BuildSystemMenu() {
    FTray = new TTrayMenu(this);
    connect(FTray, &TTrayMenu::command, this, &TMainFrame::Command);
    connect(FTray, &TTrayMenu::activateRequested, this, &TMainFrame::Activate);
    // Shift+F10 and the Menu key open the Elements pop-up too: window managers keep Alt + right
    // click for moving and resizing.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this] {
            const QPoint pointer = QCursor::pos();
            PopUpElements(frameGeometry().contains(pointer) ? pointer
                                                            : mapToGlobal(rect().center()));
        });
    }
    if (!FTray->HasTray()) {
        // No tray to carry the window menu's items: the Elements pop-up offers them.
        FElementsMenu->addSeparator();
        FElementsMenu->addActions(FTray->Menu()->actions());
    }
}

QMenu* TMainFrame::SystemMenu() const {
    return FTray->Menu();
}

void TMainFrame::PopUpElements(const QPoint& global) {
    UpdateElementChecks();
    FElementsMenu->popup(global);
}

void TMainFrame::WireController() {
    TPlayController& player = FSession.Controller();
    FState = new TPlayerState(player, this);
    BindLatched(*FState, TPlayerState::Playing, FBars->ToolBar()->Button(CmPlayButton));
    // Every item and button of Pause, Repeat and Mute: the menu's, the window menu's, the bars'.
    for (int id : {CmPause, CmRepeat, CmMute}) {
        QList<QAction*> items{FSession.Menu().Action(id)};
        for (QAction* action : SystemMenu()->actions())
            if (action->data().toInt() == id)
                items << action;
        BindCommand(*FState, id, items,
                    id == CmMute ? FBars->VolBar()->Button(id) : FBars->ToolBar()->Button(id));
    }
    FDialogs->BindState(*FState);
    connect(&player, &TPlayController::captionChanged, this, &TMainFrame::UpdateCaption);
    connect(FClient, &TMainWindow::minimisedIconChanged, this, &TMainFrame::UpdateWindowIcon);
}

QWidget* TMainFrame::Bar(int elementId) const {
    return FBars->Bar(elementId);
}

TMStatusBar* TMainFrame::StatusLine() const {
    return FBars->StatusBar();
}

bool TMainFrame::IsMenuAttached() const {
    return !menuBar()->isHidden();
}

bool TMainFrame::MiniHelp() const {
    return FHints->MiniHelp();
}

// ----- commands

void TMainFrame::Command(int id) {
    if (!FSession.Command(id, HeldModifiers()))
        WindowCommand(id);
}

void TMainFrame::WindowCommand(int id) {
    TOptionStore& options = FSession.Options();
    qCDebug(lcFrame) << "window command" << id;
    switch (id) {
    case CmMenuBar:
        ApplyMenuBar();
        break;
    case CmRestoreMenu:
        options.SetChecked(CmMenuBar, true);
        ApplyMenuBar();
        break;
    case CmQueueBox:
    case CmPositionSlider:
    case CmVolumeBar:
    case CmButtons:
    case CmStatusBar:
        ToggleElement(id);
        break;
    case CmAlwaysOnTop:
        ApplyAlwaysOnTop(options.IsChecked(CmAlwaysOnTop));
        break;
    case CmDefaultSize:
        PlaceWindow(0, 0, 0);
        break;
    case CmViewEverything:
    case CmViewVolumeBarOff:
    case CmViewSlidersOff:
    case CmViewButtonsAndStatus:
    case CmViewButtonsOff:
    case CmViewDigitalAndMenu:
    case CmViewMenuOff:
        ApplyView(TFrameGeometry::PresetElements(id));
        break;
    case CmCustomView:
        ApplyView(FSession.CustomView());
        break;
    case CmSaveCustomView:
        SaveCustomView();
        break;
    case CmMiniHelp:
        ApplyMiniHelp(options.IsChecked(CmMiniHelp));
        break;
    case CmSetFont:
        if (FBars->Queue()->ChooseFont()) {
            // The queue bar learns its new height only from a posted layout request; the frame
            // measures it now, so the bar's cached size goes first.
            FBars->ListBar()->updateGeometry();
            FixHeight();
        }
        break;
    default:
        if (!FDialogs->Open(id))
            qCWarning(lcFrame) << "no handler for command" << id;
        break;
    }
}

// ----- elements, views and size

void TMainFrame::ShowCheckedBars() {
    for (int id : TFrameGeometry::Elements())
        if (Bar(id))
            FBars->SetBarVisible(id, FSession.Options().IsChecked(id));
}

void TMainFrame::ApplyMenuBar() {
    const bool on = FSession.Options().IsChecked(CmMenuBar);
    if (on != IsMenuAttached()) {
        menuBar()->setVisible(on);
        FTray->SetMenuAttached(on);
    }
    FixHeight();
}

TFrameGeometry TMainFrame::Geometry() const {
    QLayout* bars = centralWidget()->layout();
    bars->invalidate();
    TFrameGeometry::Needs needs;
    needs.barsHeight = bars->sizeHint().height();
    needs.menuBarHeight = IsMenuAttached() ? menuBar()->sizeHint().height() : 0;
    needs.displayWidth = FClient->Display()->width();
    needs.barsMinimumWidth = bars->minimumSize().width();
    return TFrameGeometry(needs);
}

void TMainFrame::FixHeight() {
    const TFrameGeometry geometry = Geometry();
    setMinimumSize(geometry.MinimumWidth(), geometry.Height());
    setMaximumSize(QWIDGETSIZE_MAX, geometry.Height());
    resize(width(), geometry.Height());
}

void TMainFrame::ToggleElement(int id) {
    // The item has flipped its check mark; the bar follows it and the height follows the bar.
    FBars->SetBarVisible(id, FSession.Options().IsChecked(id));
    FixHeight();
}

void TMainFrame::ApplyView(const QList<int>& elements) {
    for (int id : TFrameGeometry::Elements())
        FSession.Options().SetChecked(id, elements.contains(id));
    PlaceWindow(0, 0, 0);
}

void TMainFrame::SaveCustomView() {
    QList<int> shown;
    for (int id : TFrameGeometry::Elements()) {
        if (id == CmMenuBar ? IsMenuAttached() : !Bar(id)->isHidden())
            shown << id;
    }
    FSession.SaveCustomView(shown);
}

void TMainFrame::PlaceWindow(int x, int y, int width) {
    ShowCheckedBars();
    ApplyMenuBar();
    // The rectangle is the client area's, as RestoredGeometry() saves it: the window manager's
    // frame is not known before the window is mapped, and counting it would move the window by
    // the frame on every start.
    const QScreen* s = screen();
    // A window never shown nor placed has only the toolkit's default place, the screen's corner.
    const bool placed = isVisible() || testAttribute(Qt::WA_Moved);
    FNormalGeometry = Geometry().Place(x, y, width, placed ? RestoredGeometry() : QRect(),
                                       s ? s->availableGeometry() : QRect(), FrameMargins());
    setGeometry(FNormalGeometry);
    update();
}

void TMainFrame::UpdateElementChecks() {
    FSession.Options().SetChecked(CmMenuBar, IsMenuAttached());
    for (int id : TFrameGeometry::Elements())
        if (QWidget* bar = Bar(id))
            FSession.Options().SetChecked(id, !bar->isHidden());
}

void TMainFrame::ApplyMiniHelp(bool on) {
    FHints->SetMiniHelp(on);
}

void TMainFrame::ApplyAlwaysOnTop(bool on) {
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    // Changing a window flag hides the window; show it again where it was.
    if (visible)
        show();
}

// ----- hints during long operations

void TMainFrame::ShowHint(const QString& text) {
    FHints->Begin(text);
}

void TMainFrame::ClearHint() {
    FHints->End();
}

// ----- caption and icon

void TMainFrame::UpdateCaption() {
    setWindowTitle(FSession.Caption(isMinimized()));
    const TPlayController& player = FSession.Controller();
    StatusLine()->SetFieldText(TMStatusBar::AlbumFieldId, player.Album().Title());
    StatusLine()->SetFieldText(TMStatusBar::SongFieldId, player.CurrentTitle());
    FTray->SetToolTip(FSession.Caption(true));
}

void TMainFrame::UpdateWindowIcon() {
    if (isMinimized())
        setWindowIcon(QIcon(FClient->MinimisedIcon(devicePixelRatioF())));
    else
        setWindowIcon(QIcon(QStringLiteral(":/korvo/korvo.svg")));
}

void TMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        UpdateCaption();
        UpdateWindowIcon();
    }
}

// ----- mouse gestures

void TMainFrame::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QMainWindow::mousePressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers held = event->modifiers();
    if (held & Qt::ShiftModifier) {
        Command(CmRepeat);
    } else if (held & Qt::ControlModifier) {
        Command(CmMute);
    } else if (held & Qt::AltModifier) {
        PopUpElements(event->globalPosition().toPoint());
    } else {
        Command(CmPause);
    }
    event->accept();
}

void TMainFrame::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QMainWindow::mouseDoubleClickEvent(event);
        return;
    }
    FSession.Options().SetChecked(CmMenuBar, !IsMenuAttached());
    Command(CmMenuBar);
    event->accept();
}

// ----- life

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

void TMainFrame::SessionEnding() {
    FSession.SessionEnding();
}

void TMainFrame::Terminate() {
    if (FShuttingDown)
        return;
    SessionEnding();
    FShuttingDown = true;
    FDialogs->QuitHelp();
    close();
    QCoreApplication::quit();
}

void TMainFrame::closeEvent(QCloseEvent* event) {
    if (FShuttingDown) {
        event->accept();
        return;
    }
    const bool keepOpen = HeldModifiers() & Qt::ShiftModifier;
    if (!keepOpen && !FDialogs->Rip().MayQuit()) {
        event->ignore();
        return;
    }
    // Closing with Shift held saves everything and keeps the window open.
    if (!FSession.MayClose(keepOpen)) {
        event->ignore();
        return;
    }
    FDialogs->QuitHelp();
    event->accept();
}

int TMainFrame::LogicalDpiY() const {
    const QScreen* s = screen();
    return s ? qRound(s->logicalDotsPerInchY()) : 96;
}

QPoint TMainFrame::CurrentPosition() const {
    return geometry().topLeft();
}

QMargins TMainFrame::FrameMargins() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

QRect TMainFrame::RestoredGeometry() const {
    if (isMaximized() || isFullScreen())
        return normalGeometry();
    return isMinimized() && FNormalGeometry.isValid() ? FNormalGeometry : geometry();
}

void TMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    RememberNormalGeometry();
}

void TMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    RememberNormalGeometry();
}

void TMainFrame::RememberNormalGeometry() {
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        FNormalGeometry = geometry();
}

THelpViewer* TMainFrame::HelpViewer() const {
    return FDialogs->HelpViewer();
}
