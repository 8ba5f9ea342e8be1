#include "platform/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int HexValue(char16_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char HexDigit(uint value) {
    return "0123456789ABCDEF"[value & 15];
}

// The next line from `pos`, with white space before it and comment lines passed over; `equals`
// is the place of its first "=" outside quotes, or -1. An entry runs on past a line end inside
// quotes or after a backslash, and stops at ";" outside quotes: the rest is a comment. A section
// line is the rest of its line whatever it holds.
bool NextLine(QByteArrayView data, qsizetype& pos, QByteArrayView& line, qsizetype& equals) {
    const qsizetype size = data.size();
    for (;;) {
        while (pos < size && IsSpace(data[pos]))
            ++pos;
        if (pos >= size)
            return false;
        if (data[pos] != ';')
            break;
        while (pos < size && data[pos] != '\n' && data[pos] != '\r')
            ++pos;
    }
    const qsizetype start = pos;
    const bool section = data[start] == '[';
    bool quoted = false;
    equals = -1;
    while (pos < size) {
        const char c = data[pos];
        if ((c == '\n' || c == '\r') && (section || !quoted))
            break;
        ++pos;
        if (section)
            continue;
        if (c == '=' && !quoted && equals < 0) {
            equals = pos - 1 - start;
        } else if (c == '\\' && pos < size) {
            const char escaped = data[pos++];
            if (pos < size &&
                ((escaped == '\n' && data[pos] == '\r') || (escaped == '\r' && data[pos] == '\n')))
                ++pos;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            --pos;
            break;
        }
    }
    line = data.sliced(start, pos - start);
    return true;
}

// One name: "%XX" and "%UXXXX" are the characters they code; any other "%" is itself.
QString UnescapedName(QByteArrayView raw) {
    const QString text = QString::fromUtf8(raw);
    QString name;
    name.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != u'%' || i + 1 == text.size()) {
            name += text[i++];
            continue;
        }
        const bool wide = text[i + 1] == u'U';
        const qsizetype first = i + (wide ? 2 : 1);
        const int digits = wide ? 4 : 2;
        uint code = 0;
        bool ok = first + digits <= text.size();
        for (int d = 0; ok && d < digits; ++d) {
            const int value = HexValue(text[first + d].unicode());
            ok = value >= 0;
            code = code * 16 + uint(value);
        }
        if (!ok) {
            name += u'%';
            ++i;
            continue;
        }
        name += QChar(char16_t(code));
        i = first + digits;
    }
    return name;
}

// A path: names apart at each single backslash; a doubled one is a backslash within a name.
CIniFile::CPath UnescapedPath(QByteArrayView raw) {
    CIniFile::CPath path;
    QByteArray name;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            name += raw[i];
        } else if (i + 1 < raw.size() && raw[i + 1] == '\\') {
            name += "%5C";
            ++i;
        } else {
            if (!name.isEmpty())
                path += UnescapedName(name);
            name.clear();
        }
    }
    if (!name.isEmpty())
        path += UnescapedName(name);
    path.removeAll(QString());
    return path;
}

CIniFile::CPath SectionPath(QByteArrayView header) {
    if (header.compare("general", Qt::CaseInsensitive) == 0)
        return {};
    if (header.compare("%general", Qt::CaseInsensitive) == 0)
        return {QString::fromLatin1(header.sliced(1))};
    return UnescapedPath(header);
}

void AppendEscapedName(QByteArray& out, const QString& name) {
    for (const QChar qc : name) {
        const char16_t c = qc.unicode();
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '_' || c == '-' || c == '.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += HexDigit(c >> 4);
            out += HexDigit(c);
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += HexDigit(c >> shift);
        }
    }
}

void AppendEscapedPath(QByteArray& out, const QStringList& names) {
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i > 0)
            out += '\\';
        AppendEscapedName(out, names[i]);
    }
}

// A value's text: quotes and escapes undone. Commas are part of the text (the editor stores no
// lists); spaces at the end of text outside quotes are not.
QString UnescapedValue(QByteArrayView raw) {
    QString value;
    qsizetype i = 0;
    const qsizetype size = raw.size();
    const auto skipBlanks = [&] {
        while (i < size && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
    };
    skipBlanks();
    bool inQuotes = false;
    bool quoted = false;
    qsizetype keep = 0; // spaces before this place came from escapes or quotes
    while (i < size) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= size)
                break;
            const char e = raw[i++];
            switch (e) {
            case 'a':
                value += u'\a';
                break;
            case 'b':
                value += u'\b';
                break;
            case 'f':
                value += u'\f';
                break;
            case 'n':
                value += u'\n';
                break;
            case 'r':
                value += u'\r';
                break;
            case 't':
                value += u'\t';
                break;
            case 'v':
                value += u'\v';
                break;
            case '"':
            case '?':
            case '\'':
            case '\\':
                value += QChar(char16_t(e));
                break;
            case 'x':
                if (i < size && HexValue(char16_t(raw[i])) >= 0) {
                    char16_t code = 0;
                    for (; i < size && HexValue(char16_t(raw[i])) >= 0; ++i)
                        code = char16_t(code * 16 + HexValue(char16_t(raw[i])));
                    value += QChar(code);
                }
                break;
            case '\n':
            case '\r':
                // A line continued on the next.
                if (i < size && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != e)
                    ++i;
                break;
            default:
                if (e >= '0' && e <= '7') {
                    char16_t code = char16_t(e - '0');
                    for (; i < size && raw[i] >= '0' && raw[i] <= '7'; ++i)
                        code = char16_t(code * 8 + (raw[i] - '0'));
                    value += QChar(code);
                }
                break;
            }
            keep = value.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
            keep = value.size();
        } else {
            qsizetype end = i + 1;
            while (end < size && raw[end] != '\\' && raw[end] != '"')
                ++end;
            value += QString::fromUtf8(raw.sliced(i, end - i));
            i = end;
        }
    }
    if (!quoted) {
        qsizetype end = value.size();
        while (end > keep && (value[end - 1] == u' ' || value[end - 1] == u'\t'))
            --end;
        value.truncate(end);
    }
    return value;
}

bool IsHexDigit(char16_t c) {
    return HexValue(c) >= 0;
}

void AppendEscapedValue(QByteArray& out, const QString& value) {
    // Bytes and foreign typed values keep every character beyond ASCII as an escape.
    const bool utf8 = !(value.startsWith(QLatin1String("@ByteArray(")) ||
                        value.startsWith(QLatin1String("@Variant(")) ||
                        value.startsWith(QLatin1String("@DateTime(")));
    const qsizetype start = out.size();
    bool quote = false;
    bool escapeHexDigit = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c == ';' || c == ',' || c == '=')
            quote = true;
        // After "\0" or "\x.." a hex digit would be read as part of the escape.
        if (escapeHexDigit && IsHexDigit(c)) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case 0:
            out += "\\0";
            escapeHexDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += char(c);
            break;
        default:
            if (c <= 0x1F || (c >= 0x7F && !utf8)) {
                out += "\\x" + QByteArray::number(c, 16);
                escapeHexDigit = true;
            } else if (!utf8 || c < 0x80) {
                out += char(c);
            } else if (QChar::isHighSurrogate(c) && i + 1 < value.size() &&
                       value[i + 1].isLowSurrogate()) {
                out += QStringView(value).sliced(i, 2).toUtf8();
                ++i;
            } else {
                out += QStringView(value).sliced(i, 1).toUtf8();
            }
        }
    }
    if (quote || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

enum class CKind { Text, Bytes, Foreign };

// What a stored value is, and its text or (Latin-1) bytes.
CKind KindOf(const QString& stored, QString& body) {
    body = stored;
    if (!stored.startsWith(u'@'))
        return CKind::Text;
    if (stored.endsWith(u')')) {
        if (stored.startsWith(QLatin1String("@ByteArray("))) {
            body = stored.sliced(11).chopped(1);
            return CKind::Bytes;
        }
        if (stored.startsWith(QLatin1String("@String("))) {
            body = stored.sliced(8).chopped(1);
            return CKind::Text;
        }
        for (const char* typed : {"@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("}) {
            if (stored.startsWith(QLatin1String(typed)))
                return CKind::Foreign;
        }
        if (stored == QLatin1String("@Invalid()"))
            return CKind::Foreign;
    }
    if (stored.startsWith(QLatin1String("@@")))
        body = stored.sliced(1);
    return CKind::Text;
}

bool StartsWith(const CIniFile::CPath& path, const CIniFile::CPath& prefix) {
    if (path.size() < prefix.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        if (path[i] != prefix[i])
            return false;
    }
    return true;
}

} // namespace

CIniFile::CRead CIniFile::Read() {
    m_entries.clear();
    QFile file(m_filePath);
    if (!file.exists())
        return CRead::Missing;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return CRead::Unreadable;
    const QByteArray data = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || data.size() > kMaxFileSize)
        return CRead::Unreadable;
    return Parse(data) ? CRead::Read : CRead::Damaged;
}

bool CIniFile::Write() const {
    const QFileInfo info(m_filePath);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = Serialized();
    return file.write(text) == text.size() && file.commit();
}

bool CIniFile::Parse(QByteArrayView text) {
    m_entries.clear();
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    bool whole = true;
    CPath section;
    QByteArrayView line;
    qsizetype equals = -1;
    for (qsizetype pos = 0; NextLine(text, pos, line, equals);) {
        if (line.startsWith('[')) {
            qsizetype close = line.lastIndexOf(']');
            if (close < 0) {
                whole = false;
                close = line.size();
            }
            section = SectionPath(line.sliced(1, close - 1).trimmed());
            continue;
        }
        if (equals < 0) {
            whole = false;
            continue;
        }
        const CPath path = section + UnescapedPath(line.first(equals).trimmed());
        if (path.isEmpty()) {
            whole = false;
            continue;
        }
        m_entries[path] = UnescapedValue(line.sliced(equals + 1));
    }
    return whole;
}

QByteArray CIniFile::Serialized() const {
    // Entries with the same first name are neighbours in the map: each run is one section.
    QByteArray text;
    const auto writeEntry = [&text](const QStringList& key, const QString& value) {
        AppendEscapedPath(text, key);
        text += '=';
        AppendEscapedValue(text, value);
        text += '\n';
    };
    bool rootWritten = false;
    for (const auto& [path, value] : m_entries) {
        if (path.size() == 1) {
            if (!rootWritten)
                text += "[General]\n";
            rootWritten = true;
            writeEntry(path, value);
        }
    }
    QString section;
    bool first = true;
    for (const auto& [path, value] : m_entries) {
        if (path.size() < 2)
            continue;
        if (first || path[0] != section) {
            section = path[0];
            if (!text.isEmpty())
                text += '\n';
            QByteArray header;
            AppendEscapedName(header, section);
            // "[General]" is the root, so a section of that name takes a "%".
            text += header.compare("general", Qt::CaseInsensitive) == 0 ? "[%" + header + "]\n"
                                                                        : "[" + header + "]\n";
            first = false;
        }
        writeEntry(path.sliced(1), value);
    }
    return text;
}

std::optional<QString> CIniFile::Stored(const CPath& path) const {
    const auto found = m_entries.find(path);
    if (found == m_entries.end())
        return std::nullopt;
    return found->second;
}

void CIniFile::SetStored(const CPath& path, const QString& stored) {
    if (!path.isEmpty())
        m_entries[path] = stored;
}

bool CIniFile::Remove(const CPath& path) {
    bool removed = false;
    for (auto it = m_entries.lower_bound(path);
         it != m_entries.end() && StartsWith(it->first, path); removed = true)
        it = m_entries.erase(it);
    return removed;
}

std::optional<QByteArray> CIniFile::Bytes(const CPath& path) const {
    const std::optional<QString> stored = Stored(path);
    return stored ? BytesOf(*stored) : std::nullopt;
}

std::optional<QString> CIniFile::Text(const CPath& path) const {
    const std::optional<QString> stored = Stored(path);
    return stored ? TextOf(*stored) : std::nullopt;
}

void CIniFile::SetBytes(const CPath& path, const QByteArray& bytes) {
    SetStored(path, StoredBytes(bytes));
}

void CIniFile::SetText(const CPath& path, const QString& text) {
    SetStored(path, StoredText(text));
}

QString CIniFile::StoredBytes(const QByteArray& bytes) {
    return QLatin1String("@ByteArray(") + QLatin1String(bytes) + u')';
}

QString CIniFile::StoredText(const QString& text) {
    if (text.contains(QChar(0)))
        return QLatin1String("@String(") + text + u')';
    return text.startsWith(u'@') ? QStringLiteral("@") + text : text;
}

std::optional<QByteArray> CIniFile::BytesOf(const QString& stored) {
    QString body;
    switch (KindOf(stored, body)) {
    case CKind::Bytes:
        return body.toLatin1();
    case CKind::Text:
        return body.toUtf8();
    default:
        return std::nullopt;
    }
}

std::optional<QString> CIniFile::TextOf(const QString& stored) {
    QString body;
    switch (KindOf(stored, body)) {
    case CKind::Bytes:
        return QString::fromUtf8(body.toLatin1());
    case CKind::Text:
        return body;
    default:
        return std::nullopt;
    }
}
