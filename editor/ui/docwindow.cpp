#include "ui/docwindow.h"

#include "ui/wlproview.h"

#include "core/wlprodoc.h"

#include <QCloseEvent>

CDocWindow::CDocWindow(CWlproView* view, CCloseGuard mayClose)
    : m_view(view), m_mayClose(std::move(mayClose)) {
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
    // What the sample holds differently from its file stays in sight until it is saved.
    const QString note = m_view->Document()->LoadNote();
    if (!note.isEmpty())
        title += QStringLiteral(" (%1)").arg(note);
    setWindowTitle(title + QStringLiteral("[*]"));
}

void CDocWindow::closeEvent(QCloseEvent* event) {
    if (m_mayClose && !m_mayClose(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
    emit closed(m_view->Document());
}
