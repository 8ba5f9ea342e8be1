#include "core/ripnames.h"

#include <QDir>

QString TRipNames::CutToBytes(const QString& text, int bytes) {
    QString out;
    int used = 0;
    for (int i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character and four bytes; it is kept or dropped whole.
        const int units = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString piece = text.mid(i, units);
        const int size = int(piece.toUtf8().size());
        if (used + size > bytes)
            break;
        out += piece;
        used += size;
        i += units - 1;
    }
    return out;
}

QString TRipNames::CleanName(const QString& text) {
    static const QString kBad = QStringLiteral("/\\:*?\"<>|");
    QString name = text;
    for (QChar& c : name)
        if (kBad.contains(c) || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    name = CutToBytes(name, kMaxNameBytes);
    // "." and ".." name folders that already exist.
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        name.fill(QLatin1Char('_'));
    return name;
}

QString TRipNames::TrackFileName(int track, const QString& title, const QString& extension) {
    const QString suffix = QLatin1Char('.') + extension;
    const QString stem = QStringLiteral("%1 - %2").arg(track, 2, 10, QLatin1Char('0')).arg(title);
    return CutToBytes(CleanName(stem), kMaxNameBytes - int(suffix.toUtf8().size())) + suffix;
}

QString TRipNames::FreeFolderName(const QDir& parent, const QString& name) {
    const QString base = CleanName(name.isEmpty() ? QStringLiteral("Unknown Album") : name);
    QString candidate = base;
    for (int n = 2; parent.exists(candidate); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        candidate = CutToBytes(base, kMaxNameBytes - int(suffix.size())) + suffix;
    }
    return candidate;
}

QString TRipNames::MakeAlbumFolder(const QDir& parent, const QString& name) {
    if (!parent.exists() && !QDir().mkpath(parent.absolutePath()))
        return {};
    // mkdir fails for a folder that appeared since the name was chosen: choose again.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString free = FreeFolderName(parent, name);
        if (parent.mkdir(free))
            return parent.absoluteFilePath(free);
        if (!parent.exists(free))
            return {};
    }
    return {};
}
