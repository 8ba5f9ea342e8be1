#include "ui/mainframe.h"

#include "core/app.h"
#include "core/commandids.h"
#include "core/framegeometry.h"
#include "core/mcidevice.h"
#include "core/playcontroller.h"
#include "core/playerstate.h"
#include "platform/helpviewer.h"
#include "ui/aboutdlg.h"
#include "ui/acceleratorfilter.h"
#include "ui/addtrackdlg.h"
#include "ui/albumpropdlg.h"
#include "ui/buttongadget.h"
#include "ui/commandhints.h"
#include "ui/dbmaintdlg.h"
#include "ui/displaypanel.h"
#include "ui/editsongdlg.h"
#include "ui/hseparator.h"
#include "ui/listbar.h"
#include "ui/mainwindow.h"
#include "ui/mstatusbar.h"
#include "ui/mtoolbar.h"
#include "ui/posbar.h"
#include "ui/queuelist.h"
#include "ui/statebinding.h"
#include "ui/volbar.h"
#include "ui/volumecontrol.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHash>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

#include <functional>

Q_LOGGING_CATEGORY(lcFrame, "korvo.frame")

namespace {

const QString SettingsSection = QStringLiteral("Settings");
const QString CustomViewKey = QStringLiteral("CustomView");
// The custom view is read into a buffer of this many characters, terminator included.
constexpr int CustomViewBuffer = 1023;

// The hint id of a pop-up of the main menu, by its text before any tab; 0 for none.
int PopupHintId(const QString& text) {
    static const QHash<QString, int> ids{
        {QStringLiteral("&Album"), 7759},     {QStringLiteral("&Maintain"), 7752},
        {QStringLiteral("&Database"), 17941}, {QStringLiteral("&Song"), 7721},
        {QStringLiteral("&Options"), 7861},   {QStringLiteral("Song &Play"), 7862},
        {QStringLiteral("E&lements"), 7868},  {QStringLiteral("Size and &Views"), 17929},
        {QStringLiteral("Controls"), 17949},  {QStringLiteral("&Help"), 7715},
    };
    return ids.value(text.section(QLatin1Char('\t'), 0, 0));
}

QMenu* MakePopup(const TMenuItem& popup, QWidget* parent);

void AddItems(QMenu* menu, const TMenuItem& popup) {
    for (const TMenuItem& item : popup.items) {
        if (item.popup) {
            menu->addMenu(MakePopup(item, menu));
        } else if (item.IsSeparator()) {
            menu->addSeparator();
        } else {
            menu->addAction(item.action);
        }
    }
}

QMenu* MakePopup(const TMenuItem& popup, QWidget* parent) {
    auto* menu = new QMenu(popup.text, parent);
    menu->menuAction()->setData(PopupHintId(popup.text));
    AddItems(menu, popup);
    return menu;
}

Qt::KeyboardModifiers HeldModifiers() {
    return QGuiApplication::keyboardModifiers() | QGuiApplication::queryKeyboardModifiers();
}

} // namespace

TMainFrame::TMainFrame(const TApp& app, std::unique_ptr<TCDAudioService> drive,
                       TAuxOutput& volumeDevices, QWidget* parent)
    : QMainWindow(parent), FMenu(this), FOptions(FMenu.Popup(TMainMenu::Options)),
      FProfile(app.SettingsPath()), FSettings(FProfile, FOptions, *this) {
    setWindowTitle(TApp::Name());
    setObjectName(TApp::Name());
    setWindowIcon(QIcon(QStringLiteral(":/korvo/korvo.svg")));
    // No Maximize: the height is fixed by the elements shown.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The right button is a gesture of the window, never a context menu.
    setContextMenuPolicy(Qt::NoContextMenu);
    BuildMenuBar();
    connect(&FMenu, &TMainMenu::Command, this, &TMainFrame::Command);

    FClient = new TMainWindow(
        nullptr, std::move(drive), volumeDevices, [this](int id) { return FOptions.IsChecked(id); },
        this);
    BuildBars();
    BuildSystemMenu();
    WireController();
    FClient->SetUp();

    // The platform window exists before the settings place it, so its frame is known.
    create();
    FSettings.SetPlayer(FClient);
    FSettings.LoadSettings();
}

TMainFrame::~TMainFrame() {
    // Cleaning up the client: the exit behaviour, then the help window goes.
    FSettings.SetPlayer(nullptr);
    FClient->ShutDown();
    delete FHelp;
    // The client and the bars go while the menu and the options they ask are still here.
    delete takeCentralWidget();
}

void TMainFrame::BuildMenuBar() {
    for (const TMenuItem& popup : FMenu.Popups())
        menuBar()->addMenu(MakePopup(popup, this));
    connect(menuBar(), &QMenuBar::hovered, this, &TMainFrame::ShowMenuHint);
    // The accelerators belong to the window, so they work while the menu bar is hidden.
    for (QAction* action : FMenu.Actions())
        if (!action->shortcut().isEmpty())
            addAction(action);
    // Accelerators win over the menu bar's mnemonics (Alt+S against "&Song").
    new TAcceleratorFilter(this, FMenu.Actions());
    // The pop-ups belong to the frame, not to the menu bar: they are found through its items.
    std::function<void(QMenu*)> watch = [&](QMenu* menu) {
        connect(menu, &QMenu::hovered, this, &TMainFrame::ShowMenuHint);
        connect(menu, &QMenu::aboutToHide, this, &TMainFrame::EndMenuHint);
        menu->installEventFilter(this);
        for (QAction* action : menu->actions())
            if (action->menu())
                watch(action->menu());
    };
    for (QAction* popup : menuBar()->actions())
        watch(popup->menu());
    menuBar()->installEventFilter(this);
}

void TMainFrame::EndMenuHint() {
    if (FMiniHelp && FHintDepth == 0)
        FStatusBar->SetHintText(QString());
}

bool TMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // A hint lasts while its item is highlighted: leaving the menu takes it away.
    if (event->type() == QEvent::Leave)
        EndMenuHint();
    return QMainWindow::eventFilter(watched, event);
}

void TMainFrame::BuildBars() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* queue = new TQueueList(nullptr, &FClient->Controller().Queue());
    FListBar = new TListBar(central, queue);
    FPosBar = new TPosBar(central);
    FVolBar = new TVolBar(central);
    FToolBar = new TMToolBar(central);
    FSeparator = new THSeparator(central, 1, 1, 4, THSeparator::Top);
    FStatusBar = new TMStatusBar(central, FSeparator);
    FClient->setParent(central);
    // The queue bar above the display; below it, from the display down: position bar, volume
    // bar, button bar, separator, status bar.
    for (QWidget* part : std::initializer_list<QWidget*>{FListBar, FClient, FPosBar, FVolBar,
                                                         FToolBar, FSeparator, FStatusBar})
        layout->addWidget(part);
    setCentralWidget(central);

    FClient->AttachBars(queue, FPosBar->PositionSlider(), FVolBar->VolumeSlider());
    for (TMControlBar* bar :
         std::initializer_list<TMControlBar*>{FListBar, FPosBar, FVolBar, FToolBar}) {
        connect(bar, &TMControlBar::CommandPosted, this, &TMainFrame::Command);
        connect(bar, &TMControlBar::HintRequested, this, [this](int id) {
            if (FMiniHelp && FHintDepth == 0)
                FStatusBar->SetHintText(id ? CommandHint(id) : QString());
        });
    }
    connect(queue, &TSongList::CommandPosted, this, &TMainFrame::Command);

    // The Elements pop-up shares the menu's actions, so its check marks are the menu's.
    FElementsMenu = new QMenu(this);
    FElementsMenu->setObjectName(QString::number(ElementsMenuId));
    // Grouped as in the Options menu: the menu bar, the sliders, the buttons and the status.
    for (int id : TFrameGeometry::Elements()) {
        FElementsMenu->addAction(FMenu.Action(id));
        if (id == CmMenuBar || id == CmVolumeBar || id == CmStatusBar)
            FElementsMenu->addSeparator();
    }
    FElementsMenu->addAction(FMenu.Action(CmAlwaysOnTop));
}

void TMainFrame::BuildSystemMenu() {
    // The window manager owns the window menu, so its items live in the tray icon's menu.
    FSystemMenu = new QMenu(this);
    const auto add = [this](const QString& text, int id, bool checkable) {
        QAction* action = FSystemMenu->addAction(text);
        action->setData(id);
        action->setCheckable(checkable);
        connect(action, &QAction::triggered, this, [this, id] { Command(id); });
        return action;
    };
    add(QStringLiteral("&Play"), CmPlay, false);
    add(QStringLiteral("Pa&use"), CmPause, true);
    add(QStringLiteral("&Eject/Retract"), CmEjectRetract, false);
    FSystemMenu->addSeparator();
    add(QStringLiteral("Repea&t"), CmRepeat, true);
    add(QStringLiteral("Ci&rculate"), CmCirculate, false);
    add(QStringLiteral("&Mute"), CmMute, true);
    FRestoreMenuSeparator = FSystemMenu->addSeparator();
    FRestoreMenu = add(QStringLiteral("Re&store Menu"), CmRestoreMenu, false);
    FRestoreMenuSeparator->setVisible(false);
    FRestoreMenu->setVisible(false);
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
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // No tray to carry the window menu's items: the Elements pop-up offers them.
        FElementsMenu->addSeparator();
        FElementsMenu->addActions(FSystemMenu->actions());
        return;
    }
    FTray = new QSystemTrayIcon(windowIcon(), this);
    FTray->setToolTip(TApp::Name());
    // The right button on the tray icon works as on the minimised window's icon; without Shift or
    // Ctrl it opens the menu, and the middle button pauses or resumes.
    connect(FTray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const Qt::KeyboardModifiers held = HeldModifiers();
                if (reason == QSystemTrayIcon::Trigger)
                    Activate();
                else if (reason == QSystemTrayIcon::MiddleClick)
                    Command(CmPause);
                else if (reason == QSystemTrayIcon::Context && (held & Qt::ShiftModifier))
                    Command(CmRepeat);
                else if (reason == QSystemTrayIcon::Context && (held & Qt::ControlModifier))
                    Command(CmMute);
                else if (reason == QSystemTrayIcon::Context)
                    FSystemMenu->popup(QCursor::pos());
            });
    FTray->show();
}

void TMainFrame::PopUpElements(const QPoint& global) {
    UpdateElementChecks();
    FElementsMenu->popup(global);
}

void TMainFrame::WireController() {
    TPlayController& player = FClient->Controller();
    FState = new TPlayerState(player, this);
    BindLatched(*FState, TPlayerState::Playing, FToolBar->Button(CmPlayButton));
    // Every item and button of Pause, Repeat and Mute: the menu's, the window menu's, the bars'.
    for (int id : {CmPause, CmRepeat, CmMute}) {
        const TPlayerState::Flag flag = *TPlayerState::CheckedBy(id);
        QList<QAction*> items{FMenu.Action(id)};
        for (QAction* action : FSystemMenu->actions())
            if (action->data().toInt() == id)
                items << action;
        TButtonGadget* button = id == CmMute ? FVolBar->Button(id) : FToolBar->Button(id);
        for (QAction* item : items)
            BindChecked(*FState, flag, item);
        BindChecked(*FState, flag, button);
        if (id == CmPause) {
            for (QAction* item : items)
                BindEnabled(*FState, TPlayerState::PauseEnabled, item);
            BindEnabled(*FState, TPlayerState::PauseEnabled, button);
        }
    }
    connect(&player, &TPlayController::captionChanged, this, &TMainFrame::UpdateCaption);
    connect(FClient, &TMainWindow::MinimisedIconChanged, this, &TMainFrame::UpdateWindowIcon);
}

QWidget* TMainFrame::Bar(int elementId) const {
    switch (elementId) {
    case CmQueueBox:
        return FListBar;
    case CmPositionSlider:
        return FPosBar;
    case CmVolumeBar:
        return FVolBar;
    case CmButtons:
        return FToolBar;
    case CmStatusBar:
        return FStatusBar;
    default:
        return nullptr;
    }
}

bool TMainFrame::IsMenuAttached() const {
    return !menuBar()->isHidden();
}

// ----- commands

void TMainFrame::Command(int id) {
    TPlayController& player = FClient->Controller();
    const Qt::KeyboardModifiers held = HeldModifiers();
    qCDebug(lcFrame) << "command" << id;
    switch (id) {
    case CmAlbumOpen:
        player.OpenCommand();
        break;
    case CmAlbumSave:
        player.SaveCommand();
        break;
    case CmAlbumClose:
        // Closing stops play; a failed auto-save may keep the album and its play.
        player.CloseAlbum();
        break;
    case CmAlbumDelete:
        player.DeleteAlbum();
        break;
    case CmAlbumSort:
        player.SortByOriginalOrder();
        break;
    case CmAlbumShuffle:
        player.Shuffle();
        break;
    case CmAlbumProperties: {
        TAlbumPropDlg dialog(this, player);
        dialog.exec();
        break;
    }
    case CmDatabaseMaintain: {
        TDBMaintDlg dialog(this, player.Database().Path(), FClient->Queue()->font(), this);
        dialog.exec();
        break;
    }
    case CmDatabaseExport:
        player.ExportDatabase();
        break;
    case CmEject:
        player.Stop();
        player.Device().Set(Mci::kSetDoorOpen);
        break;
    case CmRetract:
        player.Device().Set(Mci::kSetDoorClosed);
        break;
    case CmEjectRetract:
        if (held & Qt::ShiftModifier)
            Command(CmEject);
        else if (held & Qt::ControlModifier)
            Command(CmRetract);
        else
            EjectRetract();
        break;
    case CmExit:
        close();
        break;
    case CmPlay:
    case CmPlayButton:
        player.PlaySelected();
        break;
    case CmStop:
        player.Stop();
        break;
    case CmPause:
        player.PauseOrResume();
        break;
    case CmRepeat:
        player.ToggleRepeat();
        break;
    case CmCirculate:
        player.NextSong();
        break;
    case CmMute:
        player.ToggleMute();
        break;
    case CmSongEdit: {
        TEditSongDlg dialog(this, player);
        dialog.exec();
        break;
    }
    case CmSongAdd: {
        TAddTrackDlg dialog(this, player, FClient->Queue()->font());
        dialog.exec();
        break;
    }
    case CmSongRemove:
        player.RemoveSelected();
        break;
    case CmMoveUp:
    case CmMoveDown:
        player.MoveSelected(id == CmMoveUp, held & Qt::ShiftModifier);
        break;
    case CmHighlightCurrent:
        player.HighlightCurrent();
        break;
    case CmFastRewindStep:
        player.FastWindStep(-1);
        break;
    case CmFastForwardStep:
        player.FastWindStep(+1);
        break;
    case CmFastRewindEnd:
    case CmFastForwardEnd:
        player.FastWindRelease();
        break;
    case CmContinuousLoop:
    case CmRandomOrder:
    case CmElapsedTime:
    case CmAutoPlay:
    case CmStopPlayOnExit:
    case CmAutoSaveAlbum:
    case CmIgnoreOneTrackCds:
    case CmSaveSettingsOnExit:
        player.OptionToggled(id);
        break;
    case CmMenuBar:
        ApplyMenuBar();
        break;
    case CmRestoreMenu:
        FOptions.SetChecked(CmMenuBar, true);
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
        ApplyAlwaysOnTop(FOptions.IsChecked(CmAlwaysOnTop));
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
        ApplyCustomView();
        break;
    case CmSaveCustomView:
        SaveCustomView();
        break;
    case CmMiniHelp:
        ApplyMiniHelp(FOptions.IsChecked(CmMiniHelp));
        break;
    case CmSetFont:
        if (FClient->Queue()->ChooseFont()) {
            // The queue bar learns its new height only from a posted layout request; the frame
            // measures it now, so the bar's cached size goes first.
            FListBar->updateGeometry();
            FixHeight();
        }
        break;
    case CmVolumeDevice:
        FClient->Volume().ChooseDevice(this, FProfile);
        break;
    case CmSaveSettingsNow:
        FSettings.SaveSettingsNow();
        player.ConfirmAutoSave(false);
        break;
    case CmHelpContents:
    case CmHelpTutorial:
    case CmHelpKeywordSearch:
    case CmHelpUsingHelp:
        ShowHelpFor(id);
        break;
    case CmAbout: {
        TAboutDlg dialog(this);
        dialog.exec();
        break;
    }
    default:
        qCWarning(lcFrame) << "no handler for command" << id;
        break;
    }
}

void TMainFrame::EjectRetract() {
    TPlayController& player = FClient->Controller();
    player.Stop();
    if (player.Device().Set(Mci::kSetDoorOpen) != 0)
        player.Device().Set(Mci::kSetDoorClosed);
}

void TMainFrame::ShowHelpFor(int command) {
    if (!FHelp)
        FHelp = new THelpViewer;
    switch (command) {
    case CmHelpContents:
        FHelp->Contents();
        break;
    case CmHelpTutorial:
        FHelp->Topic(CmHelpTutorial);
        break;
    case CmHelpKeywordSearch:
        FHelp->KeywordSearch(QString());
        break;
    default:
        FHelp->UsingHelp();
        break;
    }
}

// ----- elements, views and size

void TMainFrame::ShowCheckedBars() {
    for (int id : TFrameGeometry::Elements())
        if (Bar(id))
            SetBarVisible(id, FOptions.IsChecked(id));
}

void TMainFrame::SetBarVisible(int id, bool on) {
    Bar(id)->setVisible(on);
    // The separator's line belongs to the status bar's hints: it goes and comes with it.
    if (id == CmStatusBar)
        FSeparator->setVisible(on);
}

void TMainFrame::ApplyMenuBar() {
    const bool on = FOptions.IsChecked(CmMenuBar);
    if (on != IsMenuAttached()) {
        menuBar()->setVisible(on);
        FRestoreMenuSeparator->setVisible(!on);
        FRestoreMenu->setVisible(!on);
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
    SetBarVisible(id, FOptions.IsChecked(id));
    FixHeight();
}

void TMainFrame::ApplyView(const QList<int>& elements) {
    for (int id : TFrameGeometry::Elements())
        FOptions.SetChecked(id, elements.contains(id));
    PlaceWindow(0, 0, 0);
}

void TMainFrame::ApplyCustomView() {
    QString text;
    FProfile.ReadString(SettingsSection, CustomViewKey,
                        TFrameGeometry::FormatView(TFrameGeometry::Elements()), text,
                        CustomViewBuffer);
    ApplyView(TFrameGeometry::ParseView(text));
}

void TMainFrame::SaveCustomView() {
    QList<int> shown;
    for (int id : TFrameGeometry::Elements()) {
        if (id == CmMenuBar ? IsMenuAttached() : !Bar(id)->isHidden())
            shown << id;
    }
    FProfile.WriteString(SettingsSection, CustomViewKey, TFrameGeometry::FormatView(shown));
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
    FOptions.SetChecked(CmMenuBar, IsMenuAttached());
    for (int id : TFrameGeometry::Elements())
        if (QWidget* bar = Bar(id))
            FOptions.SetChecked(id, !bar->isHidden());
}

void TMainFrame::ApplyMiniHelp(bool on) {
    FMiniHelp = on;
    if (!on && FHintDepth == 0)
        FStatusBar->SetHintText(QString());
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

void TMainFrame::ShowMenuHint(QAction* action) {
    if (!FMiniHelp || FHintDepth > 0)
        return;
    FStatusBar->SetHintText(CommandHint(action->data().toInt()));
}

// ----- hints during long operations

void TMainFrame::ShowHint(const QString& text) {
    FStatusBar->SetHintText(text);
    if (FHintDepth++ == 0) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        centralWidget()->setEnabled(false);
        menuBar()->setEnabled(false);
    }
    FStatusBar->repaint();
}

void TMainFrame::ClearHint() {
    if (FHintDepth == 0)
        return;
    if (--FHintDepth == 0) {
        QApplication::restoreOverrideCursor();
        centralWidget()->setEnabled(true);
        menuBar()->setEnabled(true);
        FStatusBar->SetHintText(QString());
    }
}

// ----- caption and icon

QString TMainFrame::Caption(bool minimised) const {
    const TPlayController& player = FClient->Controller();
    const QString album = player.Album().Title();
    if (!minimised)
        return album.isEmpty() ? TApp::Name() : album;
    const int track = player.CurrentSong() >= 0 ? player.CurrentTrack() : 0;
    if (track != 0) {
        const QString song = player.CurrentTitle();
        const QString text = album.isEmpty() ? song : album + QStringLiteral(" - ") + song;
        return QStringLiteral("%1 (%2)").arg(text).arg(track);
    }
    return album.isEmpty() ? TApp::Name() : album;
}

void TMainFrame::UpdateCaption() {
    setWindowTitle(Caption(isMinimized()));
    const TPlayController& player = FClient->Controller();
    FStatusBar->SetFieldText(TMStatusBar::AlbumFieldId, player.Album().Title());
    FStatusBar->SetFieldText(TMStatusBar::SongFieldId, player.CurrentTitle());
    if (FTray)
        FTray->setToolTip(Caption(true));
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
    FOptions.SetChecked(CmMenuBar, !IsMenuAttached());
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
    FSettings.SessionEnding();
}

void TMainFrame::Terminate() {
    if (FShuttingDown)
        return;
    SessionEnding();
    FShuttingDown = true;
    if (FHelp)
        FHelp->Quit();
    close();
    QCoreApplication::quit();
}

void TMainFrame::closeEvent(QCloseEvent* event) {
    if (FShuttingDown) {
        event->accept();
        return;
    }
    // Closing with Shift held saves everything and keeps the window open.
    const bool shift = HeldModifiers() & Qt::ShiftModifier;
    FSettings.ExitSave(shift);
    // An album the exit save could not write is lost unless the user stays.
    const bool mayLeave = FClient->Controller().ConfirmAutoSave(!shift);
    if (shift || !mayLeave) {
        event->ignore();
        return;
    }
    if (FHelp)
        FHelp->Quit();
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
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        FNormalGeometry = geometry();
}

void TMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        FNormalGeometry = geometry();
}
