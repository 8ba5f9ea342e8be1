#include "platform/socketname.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

QString PerFolderName(const QString& prefix, const QString& folder) {
    QString path = QFileInfo(folder).canonicalFilePath();
    if (path.isEmpty())
        path = QDir(folder).absolutePath();
    const QByteArray hash =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("%1-%2-%3").arg(prefix).arg(::getuid()).arg(QString::fromLatin1(hash));
}
