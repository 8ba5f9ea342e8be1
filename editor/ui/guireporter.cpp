#include "ui/guireporter.h"

#include "ui/apptitle.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace {

QMessageBox::Icon BoxIcon(CMessageIcon icon) {
    switch (icon) {
    case CMessageIcon::None:
        return QMessageBox::NoIcon;
    case CMessageIcon::Information:
        return QMessageBox::Information;
    case CMessageIcon::Question:
        return QMessageBox::Question;
    case CMessageIcon::Warning:
        return QMessageBox::Warning;
    case CMessageIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::Warning;
}

} // namespace

CGuiReporter::CGuiReporter(QWidget* owner) : m_owner(owner) {
    CReporter::Install(this);
}

CGuiReporter::~CGuiReporter() {
    if (CReporter::Installed() == this)
        CReporter::Install(nullptr);
}

void CGuiReporter::Show(const CMessage& message) {
    if (QThread::currentThread() != qApp->thread()) {
        QMetaObject::invokeMethod(
            qApp, [this, message] { Show(message); }, Qt::BlockingQueuedConnection);
        return;
    }
    // An empty caption is the system's default one: the program's name.
    const QString caption = message.caption.isEmpty() ? AppTitle() : message.caption;
    QMessageBox box(BoxIcon(message.icon), caption, message.text, QMessageBox::Ok, m_owner);
    box.exec();
}
