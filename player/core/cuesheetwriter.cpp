#include "core/cuesheetwriter.h"

#include <QSaveFile>

namespace {
QString Quoted(QString text) {
    text.replace(QLatin1Char('"'), QLatin1Char('\''));
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

QString TCueSheetWriter::Text(const QString& albumTitle, const QList<TEntry>& tracks) {
    QString text = QStringLiteral("TITLE %1\n").arg(Quoted(albumTitle));
    for (int i = 0; i < tracks.size(); ++i) {
        text += QStringLiteral("FILE %1 WAVE\n").arg(Quoted(tracks[i].file));
        text += QStringLiteral("  TRACK %1 AUDIO\n").arg(i + 1, 2, 10, QLatin1Char('0'));
        text += QStringLiteral("    TITLE %1\n").arg(Quoted(tracks[i].title));
        text += QStringLiteral("    INDEX 01 00:00:00\n");
    }
    return text;
}

bool TCueSheetWriter::Write(const QString& path, const QString& albumTitle,
                            const QList<TEntry>& tracks, QString* error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(Text(albumTitle, tracks).toUtf8()) >= 0 &&
        file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}
