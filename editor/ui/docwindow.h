#pragma once
// CDocWindow: the document window around one view inside the frame's MDI area. Its title is the
// document's, with ":n" when the document has several windows and "*" while it has changes.
// Closing asks the guard the frame gave it whether the window may go, and says when it went: the
// window knows nothing of the frame.

#include <QMdiSubWindow>

#include <functional>

class CWlproDoc;
class CWlproView;

class CDocWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    // Asked before the window closes; false keeps it open.
    using CCloseGuard = std::function<bool(CDocWindow*)>;

    CDocWindow(CWlproView* view, CCloseGuard mayClose);

    CWlproView* View() const { return m_view; }
    void SetNumber(int number);
    void UpdateTitle();

signals:
    // The window has closed (it stays hidden until it is deleted); `doc` is the one it showed.
    void closed(CWlproDoc* doc);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CWlproView* m_view;
    CCloseGuard m_mayClose;
    int m_number = 0;
};
