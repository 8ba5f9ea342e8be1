#pragma once
// CIniFile: an INI file in the form QSettings writes, read and written without QSettings.
//
// QSettings turns every "@Variant(...)" value of a file into an object while it reads the file,
// whichever entry is asked for; sixty bytes claiming two billion rectangles keep it busy for
// minutes. The editor stores only text and bytes, so this reader keeps each value as the text
// the file holds and decodes it only when asked: "@ByteArray(...)" as bytes, plain text and
// "@String(...)" as text. Other typed values ("@Variant(...)", "@Rect(...)", ...) are never
// decoded: they read as absent and are written back as they were.
//
// The form on disk, as QSettings writes it:
// - An entry's path is the path of its section ("[A\\B]") followed by the path of its key
//   ("C\\D=..."); "\\" separates the names. "[General]" is the root; "[%General]" is a section
//   named "General". In a name, letters, digits, "_", "-" and "." stand for themselves and any
//   other character is "%XX" (up to U+00FF) or "%UXXXX". Reading also takes what a hand writes:
//   "%" not followed by hex digits, "/", ";", "]" and "=" in a section are characters of the
//   name, a doubled "\\\\" is one backslash in a name, and empty names are dropped.
// - A value is UTF-8 text with C escapes ("\\n", "\\x7f", "\\0", octal), in double quotes when
//   it holds ";", "," or "=" or has a space at either end; ";" outside quotes starts a comment.
//   Bytes are "@ByteArray(...)" with every byte beyond ASCII escaped; text that starts with "@"
//   gets a second "@", text holding a NUL is "@String(...)".
// - Lines starting with ";" are comments. A line that is neither a section, nor an entry, nor a
//   comment makes the file damaged: the rest is read all the same and Write() leaves it out.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>

class CIniFile {
public:
    // The names of an entry from the root down; never empty.
    using CPath = QStringList;
    using CEntries = std::map<CPath, QString>;

    // What Read() found.
    enum class CRead {
        Read,       // the whole file
        Missing,    // no file: an empty one
        Damaged,    // read as far as it could be
        Unreadable, // the file is there but cannot be read, or is too large: nothing was read
    };

    // Larger files are not settings the editor wrote: they are refused unread.
    static constexpr qint64 kMaxFileSize = qint64(64) << 20;

    explicit CIniFile(const QString& filePath) : m_filePath(filePath) {}

    QString FilePath() const { return m_filePath; }

    // Replaces the entries with those of the file on disk.
    CRead Read();
    // Writes every entry to the file atomically (a temporary file renamed over the old one),
    // making its folder when missing.
    bool Write() const;

    // Replaces the entries with those of `text`; false when it is damaged.
    bool Parse(QByteArrayView text);
    // The whole file as Write() stores it.
    QByteArray Serialized() const;

    // Entries by path; a path's value is kept as stored (see Bytes(), Text()).
    const CEntries& Entries() const { return m_entries; }
    std::optional<QString> Stored(const CPath& path) const;
    void SetStored(const CPath& path, const QString& stored);
    // The entry at `path` and every entry below it; false when there was none.
    bool Remove(const CPath& path);
    void Clear() { m_entries.clear(); }

    // A value as bytes: those of "@ByteArray(...)", or the UTF-8 of text.
    std::optional<QByteArray> Bytes(const CPath& path) const;
    // A value as text: text as it is, or the bytes of "@ByteArray(...)" as UTF-8.
    std::optional<QString> Text(const CPath& path) const;
    void SetBytes(const CPath& path, const QByteArray& bytes);
    void SetText(const CPath& path, const QString& text);

    // The stored forms of bytes and text, and the other way round; typed values other than bytes
    // and text, and "@Invalid()", give nothing.
    static QString StoredBytes(const QByteArray& bytes);
    static QString StoredText(const QString& text);
    static std::optional<QByteArray> BytesOf(const QString& stored);
    static std::optional<QString> TextOf(const QString& stored);

private:
    QString m_filePath;
    CEntries m_entries;
};
