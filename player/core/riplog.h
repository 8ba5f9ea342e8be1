#pragma once
// The log of one copy of a disc, written last into the album folder: how it was read, the disc's
// table of contents and ids, per track the file, its checksums and how the reading went, and a
// closing verdict. It is plain text for people and verifiers; Parse reads back what checking a
// copy needs (the table of contents and each track's file and checksums).

#include "core/disctoc.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct TRipLogTrack {
    int track = 0;
    QString file;    // name within the album folder; empty when none was kept
    double peak = 0; // percent of full scale
    quint32 copyCrc = 0;
    std::optional<quint32> testCrc;
    quint32 arV1 = 0;
    quint32 arV2 = 0;
    int rereads = 0;
    int skips = 0;
    QStringList suspicious; // positions within the track, "M:SS.FF"
    qint64 silence = 0;     // samples outside the disc, written as silence
    QString status;         // as TRipTrackResult::Text() words it
};

class TRipLog {
public:
    QString program; // "korvo32 2.7"
    QString date;
    QString source;
    QString readMode;
    int readOffset = 0;
    bool testAndCopy = true;
    QString format;
    TDiscToc toc;
    QList<TRipLogTrack> tracks;
    QStringList notes; // what went wrong: cancelled, a file that could not be written
    QString verdict;   // "All tracks copied without errors" or "There were errors in tracks ..."

    QString Text() const;
    bool Write(const QString& path, QString* error = nullptr) const;
    // None when the text is not such a log.
    static std::optional<TRipLog> Parse(const QString& text);

    // Sectors as "M:SS.FF" (minutes, seconds, frames of 1/75 s).
    static QString SectorTime(qint64 sectors);
    static QString Hex(quint32 value) {
        return QString::number(value, 16).toUpper().rightJustified(8, QLatin1Char('0'));
    }
};
