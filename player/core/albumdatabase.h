#pragma once
// The album database cdalb.idb: one INI section per disc, named by the disc key (decimal digits),
// holding the album title, the track titles, the play order and the song last played.
//
// Keys of the current format "2.7": DatabaseVersion, SavedAtTime (the 24-character C time text),
// Title, AlbumTotalLength (s), NumberOfTracks, CurrentSong (queue index, -1 none), Song1..SongN
// (bare titles) and SongOrder (track numbers separated by single blanks). Older sections are read:
// below "2.1" each SongN holds "track, title, in-queue flag" and there is no SongOrder; below "1.6"
// there is no length or track count (the listing takes the length from the first four digits of
// the section name and counts the SongN keys). Versions compare as plain strings.
//
// Reads and writes go through the profile layer (cached, atomic writes). The listing reads the
// file line by line and knows a section header exactly as the profile parser does
// (ProfileHeaderName: "[123] ;note" and "[ 123 ]" name 123), so every album it lists can be read
// and deleted; brackets inside a value ("Title=Live [Bonus]") name nothing.

#include "core/cdaudioservice.h"

#include <QList>
#include <QString>
#include <QStringList>

// A CD holds at most 99 tracks; counts read from the file are kept within this.
inline constexpr int MaxTracks = 99;

struct TAlbumSummary {
    QString title;
    QString version;
    int length = 0; // seconds
    int tracks = 0;
};

// What a load takes from a section, already resolved to the disc's track count.
struct TAlbumRecord {
    QString title;
    QStringList titles; // one per track, in track order
    QList<int> queue;   // track numbers in play order, as stored (not checked against the disc)
    int currentSong = -1;
    QString version;
};

// What a save writes.
struct TAlbumContents {
    QString title; // a null title removes the key
    int totalLengthMs = 0;
    int numberOfTracks = 0;
    int currentSong = -1;
    QStringList titles;
    QList<int> queue;
};

class TAlbumDatabase {
public:
    explicit TAlbumDatabase(QString path);
    const QString& Path() const { return FPath; }

    // A null key (unreadable disc) reads no section: an album of defaults. The titles the disc
    // carries itself (CD-TEXT) stand in for "Untitled" and "Track n" where the database has none.
    TAlbumRecord ReadAlbum(const QString& key, int trackCount,
                           const TDiscTitles& disc = TDiscTitles()) const;
    // Rewrites the section of the key: an older section is deleted first so that keys of its
    // format disappear; a current one is overwritten key by key. One atomic file write.
    bool WriteAlbum(const QString& key, const TAlbumContents& contents);
    bool DeleteAlbum(const QString& key);
    // Asks the user (through the reporter) whether an album is to be removed; true for Yes.
    static bool ConfirmDelete();

    // Section names in file order, each once (first spelling), as the profile parser names them;
    // headers with an empty name are left out. False when the file cannot be read.
    bool ListSections(QStringList& sections) const;
    // countTracks false skips counting the SongN keys of a section older than "1.6".
    TAlbumSummary ReadSummary(const QString& section, bool countTracks = true) const;
    // Title of track n of a listed section as the export writes it.
    QString ExportTitle(const QString& section, const TAlbumSummary& summary, int track) const;

    enum class TExportResult { Ok, CannotWriteExport, CannotReadDatabase };
    // One line per section: title, track count, length "mm:ss", the track titles, section name.
    // The output is written atomically; on failure nothing at outPath changes.
    TExportResult Export(const QString& outPath) const;

    static QString Version() { return QStringLiteral("2.7"); }
    static QString SavedAtTime(); // the local time as the 24-character C time text
    static QString DefaultTrackTitle(int track);
    // Splits an old "track, title, flag" value.
    static void SplitOldSong(const QString& value, int& track, QString& title, int& inQueue);

private:
    QString FPath;
};
