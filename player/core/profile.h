#pragma once
// Profile (INI) files: the settings file Korvo.ini and the album database cdalb.idb.
//
// On-disk layout: "[Section]" header lines, then "key=value" lines. LF or CRLF line ends are read;
// a rewritten file keeps the line end of its first line. Lines that are neither (comments, blank
// lines, stray text) are kept byte for byte. Names of sections and keys compare without regard to
// case; white space around names (any Unicode space) and blanks around values are not part of
// them. When a name occurs twice, the first occurrence counts.
//
// Text is written as UTF-8. A header or key line that is not valid UTF-8 is read as Windows-1252
// and turns into UTF-8 when the file is next written.
//
// Every call names the file by its path and takes effect in the file at once: a write replaces the
// whole file atomically (temporary file in the same folder, renamed over the old one), so a reader
// never sees half a file and a failed write leaves the old file as it was. Failures are silent;
// write operations return false.
//
// A parsed copy of each file is cached for the whole process, keyed by the file's identity (path,
// inode, size, modification and change time to the nanosecond). A read of an unchanged file does
// not parse it again; a file changed behind the cache's back - even within the same clock tick and
// at the same size - is parsed afresh.

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// The text of a line of a profile file: UTF-8, or Windows-1252 when the line is not valid UTF-8
// (the files the old Windows program wrote).
QString DecodeProfileText(QByteArrayView line);

// The section name of a header line (without its line end) as the parser reads it: the trimmed
// text between a '[' that opens the line (after blanks) and the line's last ']', so "[12] ;note"
// and "[ 12 ]" both name "12". A null string for any other line.
QString ProfileHeaderName(QByteArrayView line);

class TProfile {
public:
    struct TEntry {
        QString key;
        QString value;
    };

    // One object per file; objects are cheap, the cache behind them is shared by path.
    explicit TProfile(const QString& path);
    ~TProfile();
    TProfile(const TProfile&) = delete;
    TProfile& operator=(const TProfile&) = delete;

    const QString& Path() const { return FPath; }

    // The value of section/key, or `def` when the key, the section or the file is absent.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // The same, truncated to size - 1 characters into `out`; returns the number of characters
    // copied (0 for an empty value or size <= 0). A surrogate pair is never cut in half.
    int ReadString(const QString& section, const QString& key, const QString& def, QString& out,
                   int size) const;
    // The decimal integer (optional sign, then digits) at the start of the value, 0 when the value
    // does not start with one; `def` when the key is absent or its value empty. Values beyond the
    // range of int saturate.
    int ReadInt(const QString& section, const QString& key, int def) const;

    // Creates the file, section and key as needed and replaces an existing value. A null key
    // (QString()) deletes the whole section with all its keys, a null value deletes the key.
    // Line breaks in a value are stored as blanks so that a value can never start another line;
    // a section name holding ']' or a line break, or a key holding '=' or a line break, or a
    // name that is empty after trimming is refused (returns false).
    bool WriteString(const QString& section, const QString& key, const QString& value);
    bool DeleteSection(const QString& section) {
        return WriteString(section, QString(), QString());
    }

    // Names of all sections in file order (first spelling of each name).
    QStringList Sections() const;
    bool HasSection(const QString& section) const;
    // All keys of a section with their values, in file order (first occurrence of each key).
    QList<TEntry> ReadSection(const QString& section) const;

    // Groups many writes into one rewrite of the file: while a batch is open, writes through any
    // TProfile on the same path change the cached copy (and are seen by reads in this process);
    // the file is written once when the outermost batch ends. Commit() reports whether the
    // write succeeded; a batch that ends without Commit() writes the file all the same.
    class TBatch {
    public:
        explicit TBatch(TProfile& profile);
        ~TBatch();
        TBatch(const TBatch&) = delete;
        TBatch& operator=(const TBatch&) = delete;
        bool Commit();

    private:
        TProfile& FProfile;
        bool FOpen = true;
    };

    // Drops every cached file, so that the next read parses again.
    static void ClearCache();
    // How many times a file has been parsed in this process; shows that the cache works.
    static quint64 ParseCount();

    struct TDocument;

private:
    QString FPath;
};
