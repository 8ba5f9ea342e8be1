#include "ui/mainframe.h"

#include "ui/apptitle.h"
#include "ui/docwindow.h"
#include "ui/frameprompts.h"
#include "ui/minipropdlg.h"
#include "ui/recordcommand.h"
#include "ui/sampleproperties.h"
#include "ui/splashwnd.h"
#include "ui/wlproview.h"

#include "core/reporter.h"
#include "core/wlprodoc.h"
#include "platform/settingsstore.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kGeneral = QStringLiteral("General");

struct CCommandText {
    CommandId id;
    const char* text;
    // Status-bar prompt, then after a line feed the tool tip.
    const char* prompt;
    const char* icon;
    const char* keys;
};

// Every command of the menus, accelerators and tool bars.
const CCommandText kCommands[] = {
    {CommandId::FileNew, "&New", "Create a new document\nNew", "new", "Ctrl+N"},
    {CommandId::FileOpen, "&Open...", "Open an existing document\nOpen", "open", "Ctrl+O"},
    {CommandId::FileClose, "&Close", "Close the active document\nClose", nullptr, ""},
    {CommandId::FileSave, "&Save", "Save the active document\nSave", "save", "Ctrl+S"},
    {CommandId::FileSaveAs, "Save &As...", "Save the active document with a new name\nSave As",
     nullptr, ""},
    {CommandId::FileMru1, "", "Open this document", nullptr, ""},
    {CommandId::FileMru2, "", "Open this document", nullptr, ""},
    {CommandId::FileMru3, "", "Open this document", nullptr, ""},
    {CommandId::FileMru4, "", "Open this document", nullptr, ""},
    {CommandId::AppExit, "E&xit", "Quit the application; prompts to save documents\nExit", nullptr,
     ""},
    {CommandId::EditUndo, "&Undo", "Undo the last action\nUndo", "undo", "Ctrl+Z, Alt+Backspace"},
    {CommandId::Redo, "&Redo", "Redo the previously undone action\nRedo", "redo",
     "Ctrl+Shift+Z, Ctrl+Y"},
    {CommandId::EditCut, "Cu&t", "Cut the selection and put it on the Clipboard\nCut", "cut",
     "Ctrl+X, Shift+Del"},
    {CommandId::EditCopy, "&Copy", "Copy the selection and put it on the Clipboard\nCopy", "copy",
     "Ctrl+C, Ctrl+Ins"},
    {CommandId::EditPaste, "&Paste", "Insert Clipboard contents\nPaste", "paste",
     "Ctrl+V, Shift+Ins"},
    {CommandId::Delete, "&Delete", "Delete the selection\nDelete\nDelete", nullptr, "Del"},
    {CommandId::Play, "&Play", "Play the current selection\nPlay", "play", "Ctrl+P"},
    {CommandId::Record, "&Record...", "Record a new sample\nRecord", "record", ""},
    {CommandId::Amplify, "&Amplify...", "Adjust the sample amplification level\nAmplify", "amplify",
     ""},
    {CommandId::Convert, "&Convert....",
     "Convert the current sample to one of a different type\nConvert", "convert", ""},
    {CommandId::Envelope, "&Envelope...", "Adjust the sample Envelope\nEnvelope", "envelope", ""},
    {CommandId::StereoPanning, "Stereo Pa&nning...",
     "Pan the sample across stereo channels\nPanning", "stereopanning", ""},
    {CommandId::Properties, "Propert&ies...", "Edits properties of the current sample\nProperites",
     nullptr, "Alt+Return, Alt+Enter"},
    {CommandId::PeakSearch, "Pea&k Search", "Find the loudest part of a selection\nPeak Search",
     "peaksearch", ""},
    {CommandId::Reverse, "Re&verse", "Reverse the current selection\nReverse", "reverse", ""},
    {CommandId::ChangeSign, "C&hange Sign", "Change the sign of the data\nChange Sign",
     "changesign", ""},
    {CommandId::DecodeULaw, "&Decode uLaw", "Decode uLaw data in sample\nDecode uLaw", "decodeulaw",
     ""},
    {CommandId::ViewToolBar, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar", nullptr, ""},
    {CommandId::ViewMainToolBar, "&Main", "Show or hide the main toolbar", nullptr, ""},
    {CommandId::ViewUtilitiesToolBar, "&Utilities", "Show or hide the utilities toolbar", nullptr,
     ""},
    {CommandId::ViewStatusBar, "&Status Bar", "Show or hide the status bar\nToggle StatusBar",
     nullptr, ""},
    {CommandId::ZoomIn, "Zoom &In", "Zoom into the current selection\nZoom In", "zoomin", ""},
    {CommandId::ZoomOut, "Zoom &Out", "Zoom Out\nZoom Out", "zoomout", ""},
    {CommandId::StyleLines, "&Lines", "Draw the sample as a line through its frames\nLines",
     nullptr, ""},
    {CommandId::StyleDots, "&Dots", "Draw the sample as a dot per column\nDots", nullptr, ""},
    {CommandId::StyleBars, "&Bars", "Draw the sample as bars from the centre line\nBars", nullptr,
     ""},
    {CommandId::StylePeaks, "&Peaks", "Draw the lowest and highest frame of every column\nPeaks",
     nullptr, ""},
    {CommandId::StyleSpectrum, "&Spectrum",
     "Draw the spectrum of every column, low frequencies at the bottom\nSpectrum", nullptr, ""},
    {CommandId::WindowNew, "&New Window", "Open another window for the active document\nNew Window",
     nullptr, ""},
    {CommandId::WindowCascade, "&Cascade", "Arrange windows so they overlap\nCascade Windows",
     nullptr, ""},
    {CommandId::WindowTile, "&Tile", "Arrange windows as non-overlapping tiles\nTile Windows",
     nullptr, ""},
    {CommandId::CloseAll, "C&lose All", "Close All Windows", nullptr, ""},
    {CommandId::WindowArrange, "&Arrange Icons",
     "Arrange icons at the bottom of the window\nArrange Icons", nullptr, ""},
    {CommandId::NextPane, "Next Window", "Switch to the next window pane\nNext Pane", nullptr,
     "F6"},
    {CommandId::PrevPane, "Previous Window",
     "Switch back to the previous window pane\nPrevious Pane", nullptr, "Shift+F6"},
    {CommandId::Help, "&Contents...", "Online Help", nullptr, "F1"},
    {CommandId::AppAbout, "&About Wlpro...",
     "Display program information, version number and copyright\nAbout", "about", ""},
};

// The View menu's Style items; each id less StyleLines is its CStripStyle.
constexpr CommandId kStyleCommands[] = {CommandId::StyleLines, CommandId::StyleDots,
                                        CommandId::StyleBars, CommandId::StylePeaks,
                                        CommandId::StyleSpectrum};

// The indicator strings that set the widths of the information panes.
const char* const kIndicators[CMainFrame::kPaneCount] = {"9999999999 Bytes", "16 Bit ", "44010 Hz ",
                                                         "360000 sec", "1:1000"};

QIcon CommandIcon(const char* name) {
    return QIcon(QStringLiteral(":/wlpro/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

CMainFrame::CMainFrame(CSettingsStore& settings, CFramePrompts& prompts, bool splash)
    : m_settings(settings), m_prompts(prompts), m_mdi(new QMdiArea(this)) {
    UpdateCaption();
    setWindowIcon(QIcon(QStringLiteral(":/wlpro/icons/wlpro.svg")));
    // Shown once the frame is on screen, so that the window manager keeps it above the frame.
    if (splash)
        QTimer::singleShot(0, this, [this] { (new CSplashWnd(this))->Show(); });
    setCentralWidget(m_mdi);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::OnWindowActivated);
    CreateActions();
    CreateToolBars();
    setAcceptDrops(true);
    CreateStatusBar();
    BuildMenus();
    m_properties = new CMiniPropDlg(this);
    RestoreLayout();
    UpdateCommands();
}

// Document windows go before the frame's members; their signals must not reach a frame that is
// already half gone.
CMainFrame::~CMainFrame() {
    for (QMdiSubWindow* window : m_mdi->subWindowList())
        disconnect(window, nullptr, this, nullptr);
    delete m_mdi;
}

void CMainFrame::CreateActions() {
    for (const CCommandText& command : kCommands) {
        auto* action = new QAction(QString::fromUtf8(command.text), this);
        const QStringList prompt = QString::fromUtf8(command.prompt).split(QLatin1Char('\n'));
        action->setStatusTip(prompt.first());
        action->setToolTip(prompt.value(1, action->text().remove(QLatin1Char('&'))));
        if (command.icon)
            action->setIcon(CommandIcon(command.icon));
        if (*command.keys) {
            QList<QKeySequence> keys;
            for (const QString& key : QString::fromLatin1(command.keys).split(QStringLiteral(", ")))
                keys.append(QKeySequence(key));
            action->setShortcuts(keys);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        const CommandId id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
        addAction(action);
        m_actions.insert(id, action);
    }
    for (CommandId id : {CommandId::ViewToolBar, CommandId::ViewMainToolBar,
                         CommandId::ViewUtilitiesToolBar, CommandId::ViewStatusBar})
        m_actions[id]->setCheckable(true);
    // The styles are radio items; the view says which one is on (UpdateCommands).
    auto* styles = new QActionGroup(this);
    for (CommandId id : kStyleCommands) {
        m_actions[id]->setCheckable(true);
        styles->addAction(m_actions[id]);
    }
}

void CMainFrame::CreateToolBars() {
    auto makeBar = [this](const QString& name, std::initializer_list<CommandId> ids) {
        auto* bar = new QToolBar(name, this);
        bar->setObjectName(name);
        bar->setIconSize(QSize(16, 16));
        bar->setMovable(true);
        bar->setFloatable(true);
        for (CommandId id : ids) {
            if (id == CommandId(0))
                bar->addSeparator();
            else
                bar->addAction(m_actions[id]);
        }
        addToolBar(Qt::TopToolBarArea, bar);
        connect(bar, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateCommands);
        return bar;
    };
    const CommandId gap = CommandId(0);
    m_mainBar = makeBar(QStringLiteral("Main"),
                        {CommandId::FileNew, CommandId::FileOpen, CommandId::FileSave, gap,
                         CommandId::Record, CommandId::Play, gap, CommandId::ZoomIn,
                         CommandId::ZoomOut, gap, CommandId::EditCut, CommandId::EditCopy,
                         CommandId::EditPaste, gap, CommandId::AppAbout});
    m_utilitiesBar = makeBar(QStringLiteral("Utilities"),
                             {CommandId::Amplify, CommandId::Convert, CommandId::Envelope,
                              CommandId::PeakSearch, CommandId::Reverse, CommandId::StereoPanning,
                              gap, CommandId::ChangeSign, CommandId::DecodeULaw});
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    m_ready = new QLabel(QStringLiteral("Ready"), bar);
    bar->addWidget(m_ready, 1);
    m_busy = new QProgressBar(bar);
    m_busy->setRange(0, 0);
    m_busy->setMaximumWidth(120);
    m_busy->setMaximumHeight(bar->fontMetrics().height());
    m_busy->hide();
    bar->addPermanentWidget(m_busy);
    for (int i = 0; i < kPaneCount; ++i) {
        auto* pane = new QLabel(bar);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(
            pane->fontMetrics().horizontalAdvance(QString::fromLatin1(kIndicators[i])) +
            2 * pane->frameWidth() + 6);
        bar->addPermanentWidget(pane);
        m_panes[i] = pane;
    }
    m_panes[0]->setText(QStringLiteral("Foo!"));
    connect(bar, &QStatusBar::messageChanged, this,
            [this](const QString& message) { m_ready->setVisible(message.isEmpty()); });
}

// Two menu sets: the short one while no document is open, the whole one with documents.
void CMainFrame::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->clear();
    auto add = [this](QMenu* menu, std::initializer_list<CommandId> ids) {
        for (CommandId id : ids) {
            if (id == CommandId(0))
                menu->addSeparator();
            else
                menu->addAction(m_actions[id]);
        }
    };
    const CommandId gap = CommandId(0);
    const bool document = !DocumentWindows().isEmpty();
    m_documentMenus = document;

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    if (document)
        add(file, {CommandId::FileNew, CommandId::FileOpen, CommandId::FileClose,
                   CommandId::FileSave, CommandId::FileSaveAs, gap});
    else
        add(file, {CommandId::FileNew, CommandId::FileOpen, gap});
    add(file, {CommandId::FileMru1, CommandId::FileMru2, CommandId::FileMru3, CommandId::FileMru4});
    if (!m_recent.isEmpty())
        file->addSeparator();
    add(file, {CommandId::AppExit});

    if (document) {
        QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
        add(edit,
            {CommandId::EditUndo, CommandId::Redo, gap, CommandId::EditCut, CommandId::EditCopy,
             CommandId::EditPaste, CommandId::Delete, gap, CommandId::Properties});
        QMenu* sample = bar->addMenu(QStringLiteral("&Sample"));
        add(sample,
            {CommandId::Play, CommandId::Record, gap, CommandId::Amplify, CommandId::Convert,
             CommandId::Envelope, CommandId::PeakSearch, CommandId::Reverse,
             CommandId::StereoPanning, gap, CommandId::ChangeSign, CommandId::DecodeULaw});
    }

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    if (document) {
        QMenu* bars = view->addMenu(QStringLiteral("&Toolbars"));
        add(bars, {CommandId::ViewMainToolBar, CommandId::ViewUtilitiesToolBar});
        add(view, {CommandId::ViewStatusBar, gap, CommandId::ZoomIn, CommandId::ZoomOut, gap});
        QMenu* styles = view->addMenu(QStringLiteral("&Style"));
        for (CommandId id : kStyleCommands)
            styles->addAction(m_actions[id]);
        QMenu* window = bar->addMenu(QStringLiteral("&Window"));
        connect(window, &QMenu::aboutToShow, this, [this, window] { FillWindowMenu(window); });
        FillWindowMenu(window);
    } else {
        add(view, {CommandId::ViewToolBar, CommandId::ViewStatusBar});
    }

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    add(help, {CommandId::Help, gap, CommandId::AppAbout});
    for (QMenu* menu : bar->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
}

// The Window menu's commands, then one item per document window, the active one checked.
void CMainFrame::FillWindowMenu(QMenu* menu) {
    menu->clear();
    const CommandId gap = CommandId(0);
    for (CommandId id : {CommandId::WindowNew, CommandId::WindowCascade, CommandId::WindowTile,
                         CommandId::CloseAll, CommandId::WindowArrange, gap}) {
        if (id == gap)
            menu->addSeparator();
        else
            menu->addAction(m_actions[id]);
    }
    int number = 0;
    for (CDocWindow* window : DocumentWindows()) {
        QString title = window->windowTitle().remove(QStringLiteral("[*]"));
        QAction* item =
            menu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(title.replace('&', "&&")));
        item->setCheckable(true);
        item->setChecked(window == m_mdi->activeSubWindow());
        connect(item, &QAction::triggered, this, [this, window = QPointer<CDocWindow>(window)] {
            if (window)
                m_mdi->setActiveSubWindow(window);
        });
    }
}

QList<CDocWindow*> CMainFrame::DocumentWindows() const {
    QList<CDocWindow*> windows;
    for (QMdiSubWindow* window : m_mdi->subWindowList()) {
        auto* doc = qobject_cast<CDocWindow*>(window);
        // A closed window waits for its deletion hidden; it is gone for everyone else.
        if (doc && !doc->isHidden())
            windows.append(doc);
    }
    return windows;
}

CWlproView* CMainFrame::ActiveView() const {
    auto* window = qobject_cast<CDocWindow*>(m_mdi->activeSubWindow());
    return window && !window->isHidden() ? window->View() : nullptr;
}

CDocWindow* CMainFrame::AddDocumentWindow(CWlproDoc* doc) {
    auto* view = new CWlproView(doc);
    auto* window =
        new CDocWindow(view, [this](CDocWindow* closing) { return CanCloseWindow(closing); });
    // The window hides once its close event is over; the windows left are counted after that.
    connect(window, &CDocWindow::closed, this, [this](CWlproDoc* closedDoc) {
        QTimer::singleShot(0, this, [this, doc = QPointer<CWlproDoc>(closedDoc)] {
            if (doc)
                WindowClosed(doc);
        });
    });
    window->setWindowIcon(windowIcon());
    m_mdi->addSubWindow(window);
    // New windows step down and right from the top left, as the frame's cascade does.
    const int step = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    const int index = int(m_mdi->subWindowList().size()) - 1;
    const QSize area = m_mdi->viewport()->size();
    window->resize(std::max(area.width() * 3 / 4, 640), std::max(area.height() * 3 / 4, 400));
    window->move((index % 8) * step, (index % 8) * step);
    connect(view, &CWlproView::commandStateChanged, this, &CMainFrame::UpdateCommands);
    window->show();
    m_mdi->setActiveSubWindow(window);
    OnWindowsChanged();
    return window;
}

bool CMainFrame::ActivateDocument(CWlproDoc* doc) {
    for (CDocWindow* window : DocumentWindows()) {
        if (window->View()->Document() == doc) {
            m_mdi->setActiveSubWindow(window);
            return true;
        }
    }
    return false;
}

void CMainFrame::WindowClosed(CWlproDoc* doc) {
    bool shown = false;
    for (CDocWindow* other : DocumentWindows())
        shown = shown || other->View()->Document() == doc;
    if (!shown)
        emit documentClosed(doc);
    OnWindowsChanged();
}

// Menus switch between their two sets, and windows of one document are numbered ":1", ":2".
void CMainFrame::OnWindowsChanged() {
    const QList<CDocWindow*> windows = DocumentWindows();
    if (windows.isEmpty() == m_documentMenus)
        BuildMenus();
    QHash<CWlproDoc*, QList<CDocWindow*>> byDoc;
    for (CDocWindow* window : windows)
        byDoc[window->View()->Document()].append(window);
    for (const QList<CDocWindow*>& list : byDoc) {
        for (int i = 0; i < list.size(); ++i)
            list[i]->SetNumber(list.size() > 1 ? i + 1 : 0);
    }
    if (windows.isEmpty())
        OnWindowActivated(nullptr);
    UpdateCommands();
}

void CMainFrame::OnWindowActivated(QMdiSubWindow* window) {
    for (CDocWindow* other : DocumentWindows())
        if (other != window)
            other->View()->SetViewActive(false);
    auto* active = qobject_cast<CDocWindow*>(window);
    CWlproView* view = active && !active->isHidden() ? active->View() : nullptr;
    if (view)
        view->SetViewActive(true);
    m_properties->SetView(view);
    ShowStatusOf(view);
    FollowCaptionOf(view ? view->Document() : nullptr);
    UpdateCommands();
}

// The caption names the active document, and its "*" while it has changes to save.
void CMainFrame::FollowCaptionOf(CWlproDoc* doc) {
    if (doc != m_captionDoc) {
        for (const QMetaObject::Connection& connection : m_captionConnections)
            disconnect(connection);
        m_captionConnections.clear();
        m_captionDoc = doc;
        if (doc) {
            m_captionConnections = {
                connect(doc, &CWlproDoc::titleChanged, this, &CMainFrame::UpdateCaption),
                connect(doc, &CWlproDoc::modifiedChanged, this, &CMainFrame::UpdateCaption)};
        }
    }
    UpdateCaption();
}

void CMainFrame::UpdateCaption() {
    m_caption = AppTitle();
    if (m_captionDoc)
        m_caption += QStringLiteral(" - ") + m_captionDoc->Title();
    // The placeholder is always there: the MDI area sets the frame's modified flag itself while
    // a document window is maximised.
    m_caption += QStringLiteral("[*]");
    m_captionModified = m_captionDoc && m_captionDoc->IsModified();
    setWindowTitle(m_caption);
    setWindowModified(m_captionModified);
}

// A maximised document window makes Qt's MDI rewrite the frame's caption as "caption - [window
// title]" and set its modified flag whenever either changes. The caption already names the
// document, so it is put back at once; Qt's own rewrite is then already under way and leaves it.
void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (m_captionDepth > kCaptionRetries)
        return;
    ++m_captionDepth;
    if (event->type() == QEvent::WindowTitleChange && windowTitle() != m_caption)
        setWindowTitle(m_caption);
    else if (event->type() == QEvent::ModifiedChange && isWindowModified() != m_captionModified)
        setWindowModified(m_captionModified);
    --m_captionDepth;
}

// The information panes follow the active view; without one they are empty.
void CMainFrame::ShowStatusOf(CWlproView* view) {
    if (view == m_statusView && view)
        return;
    disconnect(m_statusConnection);
    m_statusView = view;
    if (!view) {
        for (int pane = 1; pane <= kPaneCount; ++pane)
            SetStatusPane(pane, QString());
        return;
    }
    auto write = [this, view] {
        const QStringList texts = view->StatusTexts();
        for (int i = 0; i < texts.size() && i < kPaneCount; ++i)
            SetStatusPane(i + 1, texts.at(i));
    };
    m_statusConnection = connect(view, &CWlproView::statusChanged, this, write);
    write();
}

void CMainFrame::SetStatusPane(int pane, const QString& text) {
    if (pane < 1 || pane > kPaneCount)
        return;
    m_panes[pane - 1]->setText(text);
    m_panes[pane - 1]->repaint();
}

QString CMainFrame::StatusPane(int pane) const {
    return pane >= 1 && pane <= kPaneCount ? m_panes[pane - 1]->text() : QString();
}

bool CMainFrame::IsFrameCommandEnabled(CommandId id, bool& handled) const {
    handled = true;
    const bool document = ActiveView() != nullptr;
    switch (id) {
    case CommandId::FileNew:
    case CommandId::FileOpen:
    case CommandId::AppExit:
    case CommandId::AppAbout:
    case CommandId::Help:
    case CommandId::ViewToolBar:
    case CommandId::ViewMainToolBar:
    case CommandId::ViewUtilitiesToolBar:
    case CommandId::ViewStatusBar:
        return true;
    case CommandId::FileMru1:
    case CommandId::FileMru2:
    case CommandId::FileMru3:
    case CommandId::FileMru4:
        return int(id) - int(CommandId::FileMru1) < m_recent.size();
    case CommandId::FileClose:
    case CommandId::FileSaveAs:
    case CommandId::WindowNew:
    case CommandId::WindowCascade:
    case CommandId::WindowTile:
    case CommandId::WindowArrange:
    case CommandId::CloseAll:
        return document;
    case CommandId::FileSave:
        return document && !ActiveView()->Document()->Audio().IsRecording();
    case CommandId::Properties:
        return document;
    case CommandId::Record:
        return !document || (!ActiveView()->Document()->Audio().IsPlaying() &&
                             !ActiveView()->Document()->Audio().IsRecording());
    case CommandId::NextPane:
    case CommandId::PrevPane:
        return DocumentWindows().size() > 1;
    default:
        handled = false;
        return false;
    }
}

void CMainFrame::UpdateCommands() {
    CWlproView* view = ActiveView();
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        bool handled = false;
        bool enabled = IsFrameCommandEnabled(it.key(), handled);
        if (!handled)
            enabled = view && view->IsCommandEnabled(it.key());
        it.value()->setEnabled(enabled);
    }
    m_actions[CommandId::ViewToolBar]->setChecked(m_mainBar->isVisibleTo(this));
    m_actions[CommandId::ViewMainToolBar]->setChecked(m_mainBar->isVisibleTo(this));
    m_actions[CommandId::ViewUtilitiesToolBar]->setChecked(m_utilitiesBar->isVisibleTo(this));
    m_actions[CommandId::ViewStatusBar]->setChecked(statusBar()->isVisibleTo(this));
    const int style = view ? int(view->StripStyle()) : -1;
    for (CommandId id : kStyleCommands)
        m_actions[id]->setChecked(int(id) - int(CommandId::StyleLines) == style);
    // Play stops while the sample plays.
    const bool playing = view && view->IsPlaying();
    QAction* play = m_actions[CommandId::Play];
    play->setIcon(CommandIcon(playing ? "stop" : "play"));
    play->setToolTip(playing ? QStringLiteral("Stop") : QStringLiteral("Play"));
}

void CMainFrame::Dispatch(CommandId id) {
    UpdateCommands();
    if (QAction* action = m_actions.value(id); action && !action->isEnabled())
        return;
    CWlproView* view = ActiveView();
    switch (id) {
    case CommandId::FileNew:
        emit newFileRequested();
        break;
    case CommandId::FileOpen:
        emit openFileRequested();
        break;
    case CommandId::FileMru1:
    case CommandId::FileMru2:
    case CommandId::FileMru3:
    case CommandId::FileMru4:
        emit recentFileRequested(int(id) - int(CommandId::FileMru1));
        break;
    case CommandId::AppAbout:
        emit aboutRequested();
        break;
    case CommandId::Help:
        emit helpRequested();
        break;
    case CommandId::AppExit:
        close();
        break;
    case CommandId::FileClose:
        m_mdi->activeSubWindow()->close();
        break;
    case CommandId::FileSave:
    case CommandId::FileSaveAs:
        SaveDocument(view->Document(), id == CommandId::FileSaveAs);
        break;
    case CommandId::WindowNew:
        AddDocumentWindow(view->Document());
        break;
    case CommandId::WindowCascade:
        m_mdi->cascadeSubWindows();
        break;
    case CommandId::WindowTile:
        m_mdi->tileSubWindows();
        break;
    case CommandId::WindowArrange:
        ArrangeIcons();
        break;
    case CommandId::CloseAll:
        CloseAllDocuments();
        break;
    case CommandId::Record:
        Record();
        break;
    case CommandId::Properties:
        m_properties->ShowProperties();
        break;
    case CommandId::NextPane:
        m_mdi->activateNextSubWindow();
        break;
    case CommandId::PrevPane:
        m_mdi->activatePreviousSubWindow();
        break;
    case CommandId::ViewToolBar:
    case CommandId::ViewMainToolBar:
        m_mainBar->setVisible(!m_mainBar->isVisibleTo(this));
        break;
    case CommandId::ViewUtilitiesToolBar:
        m_utilitiesBar->setVisible(!m_utilitiesBar->isVisibleTo(this));
        break;
    case CommandId::ViewStatusBar:
        statusBar()->setVisible(!statusBar()->isVisibleTo(this));
        break;
    default:
        if (view)
            view->Execute(id);
        break;
    }
    UpdateCommands();
}

// Recording Options says what to record; a new document takes it when asked for or when there is
// no document to record into.
void CMainFrame::Record() {
    const std::optional<CRecordingRequest> request = RunRecordingOptions(this);
    if (!request)
        return;
    if (request->asNewSample || !ActiveView())
        emit newFileRequested();
    if (CWlproView* view = ActiveView())
        RecordIntoView(*view, *request);
}

// Minimised document windows line up along the bottom of the area.
void CMainFrame::ArrangeIcons() {
    int x = 0;
    const int bottom = m_mdi->viewport()->height();
    for (CDocWindow* window : DocumentWindows()) {
        if (!window->isMinimized())
            continue;
        window->move(x, bottom - window->height());
        x += window->width();
    }
}

bool CMainFrame::SaveDocument(CWlproDoc* doc, bool askPath) {
    QString path = doc->Path();
    // A save that would keep less than the document holds asks first; Save As asks for another
    // path, which may lose nothing.
    for (;;) {
        if (askPath || path.isEmpty()) {
            path = m_prompts.SavePath(this, path.isEmpty() ? doc->Title() : path);
            if (path.isEmpty())
                return false;
            path = QFileInfo(path).absoluteFilePath();
        }
        const QString loss = doc->SaveLoss(path);
        if (loss.isEmpty())
            break;
        const CFramePrompts::CLossAnswer answer = m_prompts.AskSaveLoss(this, loss);
        if (answer == CFramePrompts::CLossAnswer::Cancel)
            return false;
        if (answer == CFramePrompts::CLossAnswer::Save)
            break;
        askPath = true;
    }
    bool written = false;
    RunInBackground(QStringLiteral("Saving %1...").arg(QFileInfo(path).fileName()),
                    [&] { written = doc->Write(path); });
    if (!written) {
        ReportMessage(
            CMessage{QStringLiteral("Could not save \"%1\".\nThe file on disk was left as "
                                    "it was. Check that the folder can be written to "
                                    "and that the disk has room.")
                         .arg(path),
                     QString(), CMessageIcon::Warning});
        return false;
    }
    doc->SavedAs(path);
    emit documentSaved(path);
    return true;
}

bool CMainFrame::CanCloseWindow(CDocWindow* window) {
    CWlproDoc* doc = window->View()->Document();
    for (CDocWindow* other : DocumentWindows())
        if (other != window && other->View()->Document() == doc)
            return true;
    if (!doc->IsModified())
        return true;
    m_mdi->setActiveSubWindow(window);
    switch (m_prompts.AskSaveChanges(this, doc->Title())) {
    case CFramePrompts::CSaveAnswer::Save:
        return SaveDocument(doc, false);
    case CFramePrompts::CSaveAnswer::Discard:
        return true;
    case CFramePrompts::CSaveAnswer::Cancel:
        break;
    }
    return false;
}

bool CMainFrame::CloseAllDocuments() {
    for (CDocWindow* window : DocumentWindows()) {
        if (!window->close())
            return false;
    }
    return true;
}

void CMainFrame::RunInBackground(const QString& what, const std::function<void()>& work) {
    QEventLoop loop;
    QThread* thread = QThread::create(work);
    connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    QTimer slow;
    slow.setSingleShot(true);
    connect(&slow, &QTimer::timeout, this, [this, what] {
        statusBar()->showMessage(what);
        m_busy->show();
        QApplication::setOverrideCursor(Qt::BusyCursor);
    });
    slow.start(500);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    if (!slow.isActive()) {
        QApplication::restoreOverrideCursor();
        m_busy->hide();
        statusBar()->clearMessage();
    }
}

void CMainFrame::SetRecentFiles(const QStringList& paths) {
    m_recent = paths;
    for (int i = 0; i < CSettingsStore::kMaxRecentFiles; ++i) {
        QAction* action = m_actions[CommandId(int(CommandId::FileMru1) + i)];
        const bool used = i < paths.size();
        action->setVisible(used);
        if (used) {
            QString name = paths.at(i);
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name.replace('&', "&&")));
        }
    }
    BuildMenus();
    UpdateCommands();
}

void CMainFrame::SaveLayout() {
    m_settings.WriteInt(kGeneral, QStringLiteral("PropertiesVisible"), m_properties->ShowCommand());
    m_settings.WriteInt(kGeneral, QStringLiteral("PropertiesX"), m_properties->Position().x());
    m_settings.WriteInt(kGeneral, QStringLiteral("PropertiesY"), m_properties->Position().y());
    m_settings.WriteBytes(kGeneral, QStringLiteral("ToolBarState"), saveState());
    m_settings.WriteBytes(kGeneral, QStringLiteral("WindowGeometry"), saveGeometry());
}

void CMainFrame::RestoreLayout() {
    restoreState(m_settings.ReadBytes(kGeneral, QStringLiteral("ToolBarState")));
    const QByteArray geometry = m_settings.ReadBytes(kGeneral, QStringLiteral("WindowGeometry"));
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    else
        resize(900, 620);
}

// The properties window is placed once the frame is on screen, so that the window manager keeps
// it above the frame.
void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_propertiesPlaced)
        return;
    m_propertiesPlaced = true;
    m_properties->Place(
        QPoint(
            m_settings.ReadInt(kGeneral, QStringLiteral("PropertiesX"), CMiniPropDlg::kDefaultX),
            m_settings.ReadInt(kGeneral, QStringLiteral("PropertiesY"), CMiniPropDlg::kDefaultY)),
        m_settings.ReadInt(kGeneral, QStringLiteral("PropertiesVisible"),
                           CSampleProperties::kShown));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SaveLayout();
    if (!CloseAllDocuments()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    event->acceptProposedAction();
    // Opened after the drop has ended, so that the dragging program is not kept waiting.
    QTimer::singleShot(0, this, [this, paths] {
        for (const QString& path : paths)
            emit openPathRequested(path);
    });
}
