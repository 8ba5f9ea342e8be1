#pragma once
// CHelpViewer: the editor's help window. The pages are HTML in the program's resources under
// :/wlpro/help; links between them work, and the tool bar goes back, forward and to the
// contents. A top-level window that deletes itself when closed (make it with new) and does not
// keep the program running once the main window has closed.

#include <QMainWindow>

class QTextBrowser;

class CHelpViewer : public QMainWindow {
    Q_OBJECT
public:
    explicit CHelpViewer(QWidget* parent = nullptr);

    // Shows the contents page.
    void Contents();
    // Shows `page`, a file name under :/wlpro/help such as "file.html".
    void ShowPage(const QString& page);
    // The file name of the page shown, such as "index.html".
    QString CurrentPage() const;
    QTextBrowser* Browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};
