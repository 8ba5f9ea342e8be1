#include "ui/docwindow.h"

#include "ui/mainframe.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"

#include <QCloseEvent>
#include <QPointer>
#include <QTimer>

CDocWindow::CDocWindow(CMainFrame* frame, CWlproView* view) : m_frame(frame), m_view(view) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
    CWlproDoc* doc = view->Document();
    connect(doc, &CWlproDoc::titleChanged, this, &CDocWindow::UpdateTitle);
    connect(doc, &CWlproDoc::modifiedChanged, this, &QWidget::setWindowModified);
    setWindowModified(doc->IsModified());
    UpdateTitle();
}

void CDocWindow::SetNumber(int number) {
    m_number = number;
    UpdateTitle();
}

void CDocWindow::UpdateTitle() {
    QString title = m_view->Document()->Title();
    if (m_number > 0)
        title += QStringLiteral(":%1").arg(m_number);
    setWindowTitle(title + QStringLiteral("[*]"));
}

void CDocWindow::closeEvent(QCloseEvent* event) {
    if (!m_frame->CanCloseWindow(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
    // The window hides once this returns; the frame counts the windows left after that.
    QTimer::singleShot(0, m_frame,
                       [frame = m_frame, doc = QPointer<CWlproDoc>(m_view->Document())] {
                           if (doc)
                               frame->WindowClosed(doc);
                       });
}
