#include "core/fileio.h"

#include <QStringDecoder>

namespace wlpro {

bool ReadAt(QFile& file, qint64 offset, void* to, qint64 size) {
    if (offset < 0 || size < 0 || offset > file.size() || size > file.size() - offset)
        return false;
    return file.seek(offset) && ReadExactly(file, to, size);
}

bool ReadExactly(QFile& file, void* to, qint64 size) {
    auto* p = static_cast<char*>(to);
    while (size > 0) {
        const qint64 got = file.read(p, size);
        if (got <= 0)
            return false;
        p += got;
        size -= got;
    }
    return true;
}

bool WriteAll(QIODevice& file, const void* from, qint64 size) {
    const auto* p = static_cast<const char*>(from);
    while (size > 0) {
        const qint64 put = file.write(p, size);
        if (put <= 0)
            return false;
        p += put;
        size -= put;
    }
    return true;
}

QString DecodeText(const QByteArray& bytes) {
    // Stateless, so a text ending inside a UTF-8 sequence counts as an error, not as pending.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace wlpro
