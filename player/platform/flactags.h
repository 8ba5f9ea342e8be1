#pragma once
// Vorbis comments of a FLAC file through libFLAC's metadata interface, for what libsndfile cannot
// write (TRACKTOTAL, MUSICBRAINZ_DISCID, upper-case field names). Existing comments of the same
// names (in any case) are replaced.

#include <QList>
#include <QPair>
#include <QString>

class TFlacTags {
public:
    using TTags = QList<QPair<QString, QString>>; // name, value
    // False with the reason in error.
    static bool Set(const QString& path, const TTags& tags, QString* error = nullptr);
    // Every comment of the file as "NAME=value"; empty when it cannot be read.
    static QStringList Read(const QString& path);
};
