#pragma once
// CWlproApp: the editor as a whole. It owns the documents and the recent-file list, makes the
// main frame and answers its requests: names new documents "Wlpro1", "Wlpro2", ..., opens files
// (from the Open dialog, the command line, a drop or the recent-file list), remembers the Open
// dialog's filter for the run, and shows the about box and the help.

#include "ui/frameprompts.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class CHelpViewer;
class CMainFrame;
class CSettingsStore;
class CWlproDoc;

class CWlproApp : public QObject {
    Q_OBJECT
public:
    // `prompts` null: the desktop's dialogs. `splash`: show the start-up picture.
    CWlproApp(CSettingsStore& settings, CFramePrompts* prompts = nullptr, bool splash = true);
    ~CWlproApp() override;

    // Makes the frame, an empty new document, then opens every path in `files` in order; shows
    // the frame. False when the frame could not be made.
    bool Start(const QStringList& files);

    CMainFrame* Frame() const { return m_frame.get(); }
    CSettingsStore& Settings() { return m_settings; }
    int OpenFilterIndex() const { return m_filterIndex; }

    // The commands the application answers.
    void OnFileNew();
    void OnFileOpen();
    void OnAppAbout();
    void OnHelp();
    // Opens `path` as a document in a new window, or brings forward the window that shows it
    // already. False (after saying why) when the file could not be read.
    bool OpenDocumentFile(const QString& path);
    void OpenRecentFile(int index);
    // Puts `path` at the top of the recent-file list.
    void AddRecentFile(const QString& path);

private:
    // A new document, shown in a new window of the frame.
    void AddDocument(CWlproDoc* doc);
    // The frame closed the last window of `doc`.
    void DocumentClosed(CWlproDoc* doc);

    CSettingsStore& m_settings;
    std::unique_ptr<CFramePrompts> m_ownPrompts;
    CFramePrompts& m_prompts;
    bool m_splash;
    std::unique_ptr<CMainFrame> m_frame;
    // The open documents, children of the application, in the order they were opened.
    QList<CWlproDoc*> m_documents;
    QPointer<CHelpViewer> m_help;
    int m_filterIndex = 1;
    int m_newCount = 0;
};
