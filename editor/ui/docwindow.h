#pragma once
// CDocWindow: the document window around one view inside the frame's MDI area. Its title is the
// document's, with ":n" when the document has several windows and "*" while it has changes.
// Closing the last window of a document asks the frame whether the changes may go.

#include <QMdiSubWindow>

class CMainFrame;
class CWlproView;

class CDocWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    CDocWindow(CMainFrame* frame, CWlproView* view);

    CWlproView* View() const { return m_view; }
    void SetNumber(int number);
    void UpdateTitle();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CMainFrame* m_frame;
    CWlproView* m_view;
    int m_number = 0;
};
