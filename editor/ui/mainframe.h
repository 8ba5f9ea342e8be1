#pragma once
// CMainFrame: the editor's main window. An MDI area of document windows, the menus (a short set
// while no document is open), the tool bars "Main" and "Utilities", and a status bar with the
// message pane and five information panes. Every menu item, accelerator and button sends a
// command id to Dispatch; UpdateCommands greys what cannot run now and checks what is on.
//
// Files are read and written on a worker thread; after half a second the status bar shows what
// is going on, and the window keeps painting.
//
// The frame owns the windows; the application owns the documents and the recent files. Includes
// run one way: application -> frame -> document window; upward they talk through signals (and the
// document window's close guard), so the frame does not know the application.

#include "ui/commandids.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class CDocWindow;
class CFramePrompts;
class CMiniPropDlg;
class CSettingsStore;
class CWlproDoc;
class CWlproView;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QProgressBar;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kPaneCount = 5;

    // `settings` keeps the frame's layout between runs.
    CMainFrame(CSettingsStore& settings, CFramePrompts& prompts, bool splash);
    ~CMainFrame() override;

    void Dispatch(CommandId id);
    QAction* Action(CommandId id) const { return m_actions.value(id); }
    // Greys the commands that cannot run now and sets the check marks.
    void UpdateCommands();

    // A new document window for `doc`, made active.
    CDocWindow* AddDocumentWindow(CWlproDoc* doc);
    // Makes the first window of `doc` the active one; false when no window shows it.
    bool ActivateDocument(CWlproDoc* doc);
    CWlproView* ActiveView() const;
    QList<CDocWindow*> DocumentWindows() const;
    QMdiArea* MdiArea() const { return m_mdi; }
    QToolBar* MainBar() const { return m_mainBar; }
    QToolBar* UtilitiesBar() const { return m_utilitiesBar; }
    CMiniPropDlg* Properties() const { return m_properties; }

    // Pane 1 to 5 of the status bar; pane 1 reads "Foo!" until a view writes it.
    void SetStatusPane(int pane, const QString& text);
    QString StatusPane(int pane) const;

    // Saves the document, asking for a path when it has none or when `askPath` is set. False
    // when cancelled or the file could not be written; the document then keeps its changes.
    bool SaveDocument(CWlproDoc* doc, bool askPath);
    // Closes every document window, asking for each changed document; false when the user
    // cancelled (the remaining windows stay).
    bool CloseAllDocuments();
    // Whether this window may close: yes when its document has other windows or no changes,
    // else as the user answers (saving first when asked to).
    bool CanCloseWindow(CDocWindow* window);

    // Runs `work` on a worker thread while the window keeps painting; user input waits. `what`
    // shows in the status bar with a busy indicator once the work has taken half a second.
    void RunInBackground(const QString& what, const std::function<void()>& work);

    void SetRecentFiles(const QStringList& paths);

signals:
    // The application's commands. Connected directly: a new document has its window when the
    // emit returns.
    void newFileRequested();
    void openFileRequested();
    void recentFileRequested(int index);
    void openPathRequested(const QString& path);
    void aboutRequested();
    void helpRequested();
    // `doc` was saved as `path`.
    void documentSaved(const QString& path);
    // The last window of `doc` has closed; the document is the application's to drop.
    void documentClosed(CWlproDoc* doc);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateToolBars();
    void CreateStatusBar();
    void BuildMenus();
    void FillWindowMenu(QMenu* menu);
    // After a document window has closed (it is hidden until it is deleted): the document goes
    // with its last window, and the menus follow.
    void WindowClosed(CWlproDoc* doc);
    void OnWindowActivated(QMdiSubWindow* window);
    void OnWindowsChanged();
    void ShowStatusOf(CWlproView* view);
    void FollowCaptionOf(CWlproDoc* doc);
    void UpdateCaption();
    bool IsFrameCommandEnabled(CommandId id, bool& handled) const;
    void ArrangeIcons();
    void Record();
    void SaveLayout();
    void RestoreLayout();

    CSettingsStore& m_settings;
    CFramePrompts& m_prompts;
    QMdiArea* m_mdi;
    QToolBar* m_mainBar = nullptr;
    QToolBar* m_utilitiesBar = nullptr;
    CMiniPropDlg* m_properties = nullptr;
    bool m_propertiesPlaced = false;
    QHash<CommandId, QAction*> m_actions;
    QLabel* m_panes[kPaneCount] = {};
    QLabel* m_ready = nullptr;
    QProgressBar* m_busy = nullptr;
    QStringList m_recent;
    bool m_documentMenus = false;
    CWlproView* m_statusView = nullptr;
    QMetaObject::Connection m_statusConnection;
    // How often a caption Qt's MDI rewrote is put back within one change; it settles on the first.
    static constexpr int kCaptionRetries = 4;
    // "Wavelathe Pro", then " - " and the active document's title; with "[*]".
    QString m_caption;
    bool m_captionModified = false;
    int m_captionDepth = 0;
    QPointer<CWlproDoc> m_captionDoc;
    QList<QMetaObject::Connection> m_captionConnections;
};
