#include "ui/wlproapp.h"

#include "ui/aboutdlg.h"
#include "ui/helpviewer.h"
#include "ui/mainframe.h"

#include "core/wlprodoc.h"

#include "platform/settingsstore.h"

#include <QFileInfo>
#include <QStatusBar>

CWlproApp::CWlproApp(CSettingsStore& settings, CFramePrompts* prompts, bool splash)
    : m_settings(settings), m_ownPrompts(prompts ? nullptr : std::make_unique<CFramePrompts>()),
      m_prompts(prompts ? *prompts : *m_ownPrompts), m_splash(splash) {
    // The dialogs keep their presets in the process-wide store: the editor's own.
    CSettingsStore::Install(&m_settings);
}

CWlproApp::~CWlproApp() {
    delete m_help;
    m_frame.reset();
    CSettingsStore::Install(nullptr);
}

bool CWlproApp::Start(const QStringList& files) {
    m_frame = std::make_unique<CMainFrame>(m_settings, m_prompts, m_splash);
    CMainFrame* frame = m_frame.get();
    // Direct connections: a new document has its window before the frame's request returns.
    connect(frame, &CMainFrame::newFileRequested, this, &CWlproApp::OnFileNew);
    connect(frame, &CMainFrame::openFileRequested, this, &CWlproApp::OnFileOpen);
    connect(frame, &CMainFrame::recentFileRequested, this, &CWlproApp::OpenRecentFile);
    connect(frame, &CMainFrame::openPathRequested, this, &CWlproApp::OpenDocumentFile);
    connect(frame, &CMainFrame::aboutRequested, this, &CWlproApp::OnAppAbout);
    connect(frame, &CMainFrame::helpRequested, this, &CWlproApp::OnHelp);
    connect(frame, &CMainFrame::documentSaved, this, &CWlproApp::AddRecentFile);
    connect(frame, &CMainFrame::documentClosed, this, &CWlproApp::DocumentClosed);
    m_frame->SetRecentFiles(m_settings.RecentFiles());
    OnFileNew();
    for (const QString& file : files)
        OpenDocumentFile(file);
    m_frame->show();
    return true;
}

void CWlproApp::OnFileNew() {
    AddDocument(new CWlproDoc(QStringLiteral("Wlpro%1").arg(++m_newCount), this));
}

void CWlproApp::AddDocument(CWlproDoc* doc) {
    m_documents.append(doc);
    m_frame->AddDocumentWindow(doc);
}

void CWlproApp::DocumentClosed(CWlproDoc* doc) {
    m_documents.removeOne(doc);
    doc->deleteLater();
}

void CWlproApp::OnFileOpen() {
    const QString path = m_prompts.OpenPath(m_frame.get(), m_filterIndex);
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

bool CWlproApp::OpenDocumentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (CWlproDoc* doc : m_documents) {
        if (doc->Path() == absolute && m_frame->ActivateDocument(doc))
            return true;
    }
    CWlproDoc::CLoaded loaded;
    m_frame->RunInBackground(QStringLiteral("Opening %1...").arg(QFileInfo(path).fileName()),
                             [&] { loaded = CWlproDoc::Read(absolute); });
    if (!loaded.buffer)
        return false;
    auto* doc = new CWlproDoc(std::move(loaded), absolute, this);
    AddDocument(doc);
    // What the sample holds differently from its file is said where the user looks first too.
    if (const QString note = doc->LoadNote(); !note.isEmpty())
        m_frame->statusBar()->showMessage(QStringLiteral("%1: %2").arg(doc->Title(), note));
    AddRecentFile(absolute);
    return true;
}

void CWlproApp::OpenRecentFile(int index) {
    const QStringList recent = m_settings.RecentFiles();
    if (index >= 0 && index < recent.size())
        OpenDocumentFile(recent.at(index));
}

void CWlproApp::AddRecentFile(const QString& path) {
    QStringList recent = m_settings.RecentFiles();
    recent.removeAll(path);
    recent.prepend(path);
    m_settings.SetRecentFiles(recent);
    m_frame->SetRecentFiles(m_settings.RecentFiles());
}

void CWlproApp::OnAppAbout() {
    CAboutDlg about(m_frame.get());
    about.exec();
}

void CWlproApp::OnHelp() {
    if (!m_help) {
        m_help = new CHelpViewer;
        // The help may stay open; the program still ends with its main window.
        m_help->setAttribute(Qt::WA_QuitOnClose, false);
    }
    m_help->Contents();
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}
