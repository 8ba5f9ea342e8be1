#include "core/profile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSaveFile>
#include <QSet>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

// Anything larger is not a profile file; refusing it keeps a stray huge file from exhausting memory
// and, because writes are refused too, from being replaced.
constexpr qint64 MaxFileSize = 256 * 1024 * 1024;
// How long after its modification a file can still change without its time stamp moving: one
// clock tick of the kernel's coarse clock, or two seconds on file systems that store whole seconds.
constexpr qint64 FineTickNs = 50'000'000;
constexpr qint64 CoarseTickNs = 2'000'000'000;
// Files whose cached copy no profile object holds; a few stay parsed for short-lived objects.
constexpr int IdleDocumentsKept = 16;

qint64 Nanoseconds(const timespec& t) {
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

qint64 Now() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return Nanoseconds(t);
}

struct TIdentity {
    bool exists = false;
    bool regular = false;
    dev_t device = 0;
    ino_t inode = 0;
    qint64 size = 0;
    qint64 modified = 0;
    qint64 changed = 0;
    bool wholeSeconds = false;

    static TIdentity Of(const QByteArray& path) {
        TIdentity id;
        struct stat st {};
        if (::stat(path.constData(), &st) != 0)
            return id;
        id.exists = true;
        id.regular = S_ISREG(st.st_mode);
        id.device = st.st_dev;
        id.inode = st.st_ino;
        id.size = st.st_size;
        id.modified = Nanoseconds(st.st_mtim);
        id.changed = Nanoseconds(st.st_ctim);
        id.wholeSeconds = st.st_mtim.tv_nsec == 0 && st.st_ctim.tv_nsec == 0;
        return id;
    }

    bool operator==(const TIdentity& o) const {
        return exists == o.exists && regular == o.regular && device == o.device &&
               inode == o.inode && size == o.size && modified == o.modified && changed == o.changed;
    }
    bool operator!=(const TIdentity& o) const { return !(*this == o); }

    qint64 Tick() const { return wholeSeconds ? CoarseTickNs : FineTickNs; }
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool IsAscii(QByteArrayView text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// What the old program's code page puts at 0x80-0x9F; its other bytes are Latin-1. The five
// unassigned bytes keep their own code points, as Windows itself converts them.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// A header or key line as UTF-8: lines the old program wrote in its code page are converted.
QByteArray AsUtf8(QByteArray text) {
    if (IsAscii(text) || QByteArrayView(text).isValidUtf8())
        return text;
    return DecodeProfileText(text).toUtf8();
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// A name asked for, prepared once for comparing against many lines.
struct TName {
    QByteArray utf8;
    QString folded;
    bool ascii;

    explicit TName(const QString& name)
        : utf8(name.trimmed().toUtf8()), folded(name.trimmed().toCaseFolded()),
          ascii(IsAscii(utf8)) {}

    bool Matches(const char* text, int length) const {
        if (ascii) {
            if (length != utf8.size())
                return false;
            for (int i = 0; i < length; ++i)
                if (AsciiLower(text[i]) != AsciiLower(utf8[i]))
                    return false;
            return true;
        }
        return QString::fromUtf8(text, length).toCaseFolded() == folded;
    }
};

// Narrows [begin, end) of UTF-8 text to what QString::trimmed() keeps, so that names in the file
// and names asked for lose the same spaces (no-break and other Unicode spaces too).
void TrimUnicodeSpaces(const char* s, int& begin, int& end) {
    const QByteArrayView bytes(s + begin, end - begin);
    if (IsAscii(bytes) || !bytes.isValidUtf8())
        return;
    const QString name = QString::fromUtf8(s + begin, end - begin);
    qsizetype first = 0;
    qsizetype last = name.size();
    while (first < last && name[first].isSpace())
        ++first;
    while (last > first && name[last - 1].isSpace())
        --last;
    end -= int(QStringView(name).mid(last).toUtf8().size());
    begin += int(QStringView(name).left(first).toUtf8().size());
}

// One line of the file without its line end. For a key line, [keyBegin, keyEnd) and
// [valueBegin, valueEnd) locate the trimmed key and value within the text.
struct TLine {
    QByteArray text;
    int keyBegin = -1;
    int keyEnd = -1;
    int valueBegin = -1;
    int valueEnd = -1;

    bool IsKey() const { return keyBegin >= 0; }
    const char* Key() const { return text.constData() + keyBegin; }
    int KeyLength() const { return keyEnd - keyBegin; }
    QString Value() const {
        return QString::fromUtf8(text.constData() + valueBegin, valueEnd - valueBegin);
    }

    static TLine Parse(QByteArray text) {
        TLine line;
        line.text = std::move(text);
        const char* s = line.text.constData();
        int end = line.text.size();
        int begin = 0;
        while (begin < end && IsBlank(s[begin]))
            ++begin;
        if (begin == end || s[begin] == ';' || s[begin] == '#' || s[begin] == '[')
            return line;
        const char* equals = static_cast<const char*>(std::memchr(s + begin, '=', end - begin));
        if (!equals)
            return line;
        int keyEnd = int(equals - s);
        int valueBegin = keyEnd + 1;
        while (keyEnd > begin && IsBlank(s[keyEnd - 1]))
            --keyEnd;
        TrimUnicodeSpaces(s, begin, keyEnd);
        if (keyEnd == begin)
            return line;
        while (valueBegin < end && IsBlank(s[valueBegin]))
            ++valueBegin;
        while (end > valueBegin && IsBlank(s[end - 1]))
            --end;
        line.keyBegin = begin;
        line.keyEnd = keyEnd;
        line.valueBegin = valueBegin;
        line.valueEnd = end;
        return line;
    }

    static TLine Make(const QString& key, const QString& value) {
        return Parse(key.trimmed().toUtf8() + '=' + value.toUtf8());
    }
};

// The name of a section header line as it stands, or a null string for any other line.
QString HeaderName(const char* s, int length) {
    int begin = 0;
    while (begin < length && IsBlank(s[begin]))
        ++begin;
    if (begin == length || s[begin] != '[')
        return QString();
    int close = length - 1;
    while (close > begin && s[close] != ']')
        --close;
    if (close == begin)
        return QString();
    QString name = QString::fromUtf8(s + begin + 1, close - begin - 1).trimmed();
    return name.isNull() ? QString(QLatin1String("")) : name;
}

struct TSection {
    QString name; // null for the lines before the first header
    QByteArray header;
    std::vector<TLine> lines;

    const TLine* Find(const TName& key) const {
        for (const TLine& line : lines)
            if (line.IsKey() && key.Matches(line.Key(), line.KeyLength()))
                return &line;
        return nullptr;
    }
};

} // namespace

namespace {
quint64 parseCount = 0;
}

struct TProfile::TDocument {
    QByteArray path;     // encoded for the system calls
    bool parsed = false; // false: read the file before using anything below
    TIdentity identity;
    QByteArray base;    // the bytes last parsed; unchanged lines point into them
    QByteArray content; // the bytes last read from or written to the file
    qint64 seenAt = 0;  // when content was known to be the file's content
    bool racy = false;  // the file may change without its identity changing
    bool readable = true;
    bool crlf = false;
    std::vector<TSection> sections;         // sections[0] holds the lines before the first header
    QHash<QString, std::vector<int>> index; // case-folded name -> sections of that name
    int batchDepth = 0;
    bool dirty = false;

    void Parse(QByteArray bytes) {
        ++parseCount;
        sections.clear();
        index.clear();
        base = std::move(bytes);
        content = base;
        sections.emplace_back();
        crlf = false;
        const char* s = base.constData();
        const int size = base.size();
        bool firstLine = true;
        for (int begin = 0; begin < size;) {
            const char* nl = static_cast<const char*>(std::memchr(s + begin, '\n', size - begin));
            int end = nl ? int(nl - s) : size;
            int next = nl ? end + 1 : size;
            if (end > begin && s[end - 1] == '\r')
                --end;
            if (firstLine && nl)
                crlf = end < int(nl - s);
            firstLine = false;
            // Lines share the parsed bytes; the document keeps base alive while they exist.
            QByteArray text = QByteArray::fromRawData(s + begin, end - begin);
            const QString name = ProfileHeaderName(text);
            if (!name.isNull()) {
                text = AsUtf8(std::move(text));
                index[name.toCaseFolded()].push_back(int(sections.size()));
                sections.push_back(TSection{name, text, {}});
            } else {
                TLine line = TLine::Parse(text);
                if (line.IsKey() && !IsAscii(text))
                    line = TLine::Parse(AsUtf8(std::move(text)));
                sections.back().lines.push_back(std::move(line));
            }
            begin = next;
        }
        parsed = true;
    }

    void Reindex() {
        index.clear();
        for (int i = 1; i < int(sections.size()); ++i)
            index[sections[i].name.toCaseFolded()].push_back(i);
    }

    const std::vector<int>* SectionsNamed(const TName& name) const {
        auto it = index.constFind(name.folded);
        return it == index.cend() ? nullptr : &it.value();
    }

    const TLine* Find(const TName& section, const TName& key) const {
        if (const std::vector<int>* named = SectionsNamed(section))
            for (int i : *named)
                if (const TLine* line = sections[i].Find(key))
                    return line;
        return nullptr;
    }

    // Brings the cached copy up to date with the file.
    void Refresh() {
        if (batchDepth > 0 && parsed)
            return;
        const qint64 now = Now();
        TIdentity current = TIdentity::Of(path);
        if (parsed && current == identity && !racy)
            return;
        if (!current.exists) {
            identity = current;
            readable = true;
            racy = false;
            Parse(QByteArray());
            return;
        }
        QByteArray bytes;
        readable = ReadFile(current, bytes);
        if (!readable)
            bytes.clear();
        if (!parsed || current != identity || bytes != content)
            Parse(bytes);
        identity = current;
        seenAt = now;
        racy = identity.modified >= seenAt - identity.Tick();
    }

    bool ReadFile(const TIdentity& id, QByteArray& bytes) const {
        if (!id.regular || id.size > MaxFileSize)
            return false;
        QFile file(QFile::decodeName(path));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        // Asking for more than the file holds would size the buffer, and the cached copy, to it.
        bytes = file.read(id.size);
        return file.error() == QFileDevice::NoError;
    }

    QByteArray Serialize() const {
        const QByteArray eol = crlf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
        qsizetype size = 0;
        for (const TSection& section : sections) {
            size += section.header.size() + eol.size();
            for (const TLine& line : section.lines)
                size += line.text.size() + eol.size();
        }
        QByteArray out;
        out.reserve(size);
        for (std::size_t i = 0; i < sections.size(); ++i) {
            if (i > 0)
                out += sections[i].header + eol;
            for (const TLine& line : sections[i].lines)
                out += line.text + eol;
        }
        return out;
    }

    // Writes the cached copy to the file; on failure the cache is dropped so the next read sees
    // the file as it really is.
    bool Save() {
        if (batchDepth > 0) {
            dirty = true;
            return true;
        }
        dirty = false;
        QByteArray bytes = Serialize();
        const qint64 before = Now();
        QSaveFile file(QFile::decodeName(path));
        bool ok =
            file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
        if (!ok) {
            parsed = false;
            return false;
        }
        identity = TIdentity::Of(path);
        content = bytes;
        seenAt = before;
        racy = true;
        return true;
    }

    // A file without any write permission bit is read-only even for root: someone froze it.
    bool Writable() const {
        if (!readable)
            return false;
        if (!identity.exists)
            return true;
        struct stat st {};
        return ::stat(path.constData(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) &&
               ::access(path.constData(), W_OK) == 0;
    }
};

namespace {

QMutex& CacheLock() {
    static QMutex lock;
    return lock;
}

struct TCache {
    QHash<QString, std::shared_ptr<TProfile::TDocument>> documents;
    std::vector<std::shared_ptr<TProfile::TDocument>> recent;

    std::shared_ptr<TProfile::TDocument> Get(const QString& path) {
        auto& slot = documents[path];
        if (!slot) {
            slot = std::make_shared<TProfile::TDocument>();
            slot->path = QFile::encodeName(path);
        }
        return slot;
    }

    // Remembers a document as recently used so that short-lived profile objects still find it
    // parsed; drops documents nobody holds once more than a few are idle.
    void Touch(const std::shared_ptr<TProfile::TDocument>& document) {
        if (!recent.empty() && recent.back() == document)
            return;
        recent.erase(std::remove(recent.begin(), recent.end(), document), recent.end());
        recent.push_back(document);
        if (int(recent.size()) > IdleDocumentsKept)
            recent.erase(recent.begin());
        for (auto it = documents.begin(); it != documents.end();) {
            if (it.value().use_count() == 1 && it.value()->batchDepth == 0)
                it = documents.erase(it);
            else
                ++it;
        }
    }
};

TCache& Cache() {
    static TCache cache;
    return cache;
}

std::shared_ptr<TProfile::TDocument> Open(const QString& path) {
    auto document = Cache().Get(path);
    Cache().Touch(document);
    document->Refresh();
    return document;
}

bool ValidSectionName(const QString& name) {
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char(']')) &&
           !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r'));
}

bool ValidKeyName(const QString& key) {
    const QString trimmed = key.trimmed();
    return !trimmed.isEmpty() && !key.contains(QLatin1Char('=')) &&
           !key.contains(QLatin1Char('\n')) && !key.contains(QLatin1Char('\r')) &&
           !trimmed.startsWith(QLatin1Char('[')) && !trimmed.startsWith(QLatin1Char(';')) &&
           !trimmed.startsWith(QLatin1Char('#'));
}

QString OneLine(QString value) {
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

} // namespace

QString DecodeProfileText(QByteArrayView line) {
    if (line.isValidUtf8())
        return QString::fromUtf8(line);
    QString text(line.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

QString ProfileHeaderName(QByteArrayView line) {
    const char* s = line.data();
    const int length = int(line.size());
    if (HeaderName(s, length).isNull())
        return QString();
    // A header the old program wrote in its code page is named as it reads in UTF-8.
    const QByteArray text = AsUtf8(QByteArray::fromRawData(s, length));
    return HeaderName(text.constData(), int(text.size()));
}

TProfile::TProfile(const QString& path) : FPath(QFileInfo(path).absoluteFilePath()) {}

TProfile::~TProfile() = default;

QString TProfile::ReadString(const QString& section, const QString& key, const QString& def) const {
    QMutexLocker lock(&CacheLock());
    auto document = Open(FPath);
    const TLine* line = document->Find(TName(section), TName(key));
    return line ? line->Value() : def;
}

int TProfile::ReadString(const QString& section, const QString& key, const QString& def,
                         QString& out, int size) const {
    if (size <= 0) {
        out.clear();
        return 0;
    }
    out = ReadString(section, key, def);
    int length = int(qMin<qsizetype>(out.size(), size - 1));
    if (length > 0 && length < out.size() && out.at(length - 1).isHighSurrogate())
        --length;
    out.truncate(length);
    return length;
}

int TProfile::ReadInt(const QString& section, const QString& key, int def) const {
    const QString value = ReadString(section, key, QString());
    if (value.isEmpty())
        return def;
    int i = 0;
    bool negative = false;
    if (value[0] == QLatin1Char('-') || value[0] == QLatin1Char('+')) {
        negative = value[0] == QLatin1Char('-');
        ++i;
    }
    qint64 number = 0;
    for (; i < value.size() && value[i] >= QLatin1Char('0') && value[i] <= QLatin1Char('9'); ++i) {
        number = number * 10 + (value[i].unicode() - '0');
        if (number > qint64(INT_MAX) + 1)
            number = qint64(INT_MAX) + 1;
    }
    if (negative)
        return int(-number);
    return int(qMin<qint64>(number, INT_MAX));
}

bool TProfile::WriteString(const QString& section, const QString& key, const QString& value) {
    if (!ValidSectionName(section) || (!key.isNull() && !ValidKeyName(key)))
        return false;
    QMutexLocker lock(&CacheLock());
    auto document = Open(FPath);
    if (!document->Writable())
        return false;
    const TName sectionName(section);
    const std::vector<int>* named = document->SectionsNamed(sectionName);
    auto& sections = document->sections;

    if (key.isNull()) {
        if (!named)
            return true;
        for (auto it = named->rbegin(); it != named->rend(); ++it)
            sections.erase(sections.begin() + *it);
        document->Reindex();
        return document->Save();
    }

    const TName keyName(key);
    if (value.isNull()) {
        if (!named || !document->Find(sectionName, keyName))
            return true;
        for (int i : *named) {
            auto& lines = sections[i].lines;
            lines.erase(std::remove_if(lines.begin(), lines.end(),
                                       [&](const TLine& line) {
                                           return line.IsKey() &&
                                                  keyName.Matches(line.Key(), line.KeyLength());
                                       }),
                        lines.end());
        }
        return document->Save();
    }

    TLine replacement = TLine::Make(key, OneLine(value));
    if (named) {
        for (int i : *named) {
            for (TLine& line : sections[i].lines) {
                if (line.IsKey() && keyName.Matches(line.Key(), line.KeyLength())) {
                    line = std::move(replacement);
                    return document->Save();
                }
            }
        }
        // A new key goes after the last key of the section, before any blank or comment lines
        // that separate it from the next section.
        auto& lines = sections[named->front()].lines;
        auto last = std::find_if(lines.rbegin(), lines.rend(),
                                 [](const TLine& line) { return line.IsKey(); });
        lines.insert(last.base(), std::move(replacement));
        return document->Save();
    }

    TSection added;
    added.name = section.trimmed();
    added.header = '[' + added.name.toUtf8() + ']';
    added.lines.push_back(std::move(replacement));
    document->index[sectionName.folded].push_back(int(sections.size()));
    sections.push_back(std::move(added));
    return document->Save();
}

QStringList TProfile::Sections() const {
    QMutexLocker lock(&CacheLock());
    auto document = Open(FPath);
    QStringList names;
    for (std::size_t i = 1; i < document->sections.size(); ++i) {
        const QString& name = document->sections[i].name;
        if (document->index.value(name.toCaseFolded()).front() == int(i))
            names.append(name);
    }
    return names;
}

bool TProfile::HasSection(const QString& section) const {
    QMutexLocker lock(&CacheLock());
    return Open(FPath)->SectionsNamed(TName(section)) != nullptr;
}

QList<TProfile::TEntry> TProfile::ReadSection(const QString& section) const {
    QMutexLocker lock(&CacheLock());
    auto document = Open(FPath);
    QList<TEntry> entries;
    const std::vector<int>* named = document->SectionsNamed(TName(section));
    if (!named)
        return entries;
    QSet<QString> seen;
    for (int i : *named) {
        for (const TLine& line : document->sections[i].lines) {
            if (!line.IsKey())
                continue;
            QString key = QString::fromUtf8(line.Key(), line.KeyLength());
            if (seen.contains(key.toCaseFolded()))
                continue;
            seen.insert(key.toCaseFolded());
            entries.append(TEntry{key, line.Value()});
        }
    }
    return entries;
}

void TProfile::ClearCache() {
    QMutexLocker lock(&CacheLock());
    for (auto& document : Cache().documents)
        if (document->batchDepth == 0)
            document->parsed = false;
}

quint64 TProfile::ParseCount() {
    QMutexLocker lock(&CacheLock());
    return parseCount;
}

TProfile::TBatch::TBatch(TProfile& profile) : FProfile(profile) {
    QMutexLocker lock(&CacheLock());
    ++Open(FProfile.FPath)->batchDepth;
}

TProfile::TBatch::~TBatch() {
    Commit();
}

bool TProfile::TBatch::Commit() {
    if (!FOpen)
        return true;
    FOpen = false;
    QMutexLocker lock(&CacheLock());
    auto document = Cache().Get(FProfile.FPath);
    if (--document->batchDepth > 0 || !document->dirty)
        return true;
    return document->Save();
}
