#include "platform/qtclipboardaccess.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

// Null without a graphical application, where no clipboard exists.
QClipboard* SystemClipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

} // namespace

bool CQtClipboardAccess::SetData(const QString& format, const QByteArray& bytes) {
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard)
        return false;
    auto* mime = new QMimeData;
    mime->setData(format, bytes);
    clipboard->setMimeData(mime);
    return true;
}

bool CQtClipboardAccess::ReadData(const QString& format, QByteArray& bytes) {
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard)
        return false;
    const QMimeData* mime = clipboard->mimeData();
    bytes = mime && mime->hasFormat(format) ? mime->data(format) : QByteArray();
    return true;
}
