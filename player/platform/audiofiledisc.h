#pragma once
// The disc an audio cue sheet describes, and reading its sectors from the files. The files lie
// end to end from logical sector 0 (the 2-second lead-in comes before it, as on a real disc),
// each taking whole sectors of 588 stereo frames: a file's last partial sector is padded with
// silence. Track starts are their INDEX 01 positions within their files; the lead-out is where
// the last file ends. A copy made one file per track therefore has its disc's very layout.
//
// Every file must be 44100 Hz stereo; libsndfile reads them (WAV, FLAC, AIFF, Ogg, MP3...).

#include "core/disctoc.h"
#include "platform/sectorreader.h"

#include <QStringList>

class TAudioCueSheet;

class TAudioFileDisc {
public:
    // One file on the disc.
    struct TSpan {
        QString path;
        qint32 firstSector = 0;
        qint64 frames = 0;
        qint64 bytes = 0; // the file's size when it was opened, to notice it changing
    };

    // Opens every file the sheet names; Error() says which one could not be used.
    static TAudioFileDisc Open(const TAudioCueSheet& sheet);

    bool IsValid() const { return FError.isEmpty() && FToc.IsValid(); }
    // Why the disc cannot be played, naming the file; empty when it can.
    const QString& Error() const { return FError; }
    // Invalid unless IsValid().
    const TDiscToc& Toc() const { return FToc; }
    // Every file the sheet names, found or not: a change to any of them changes the disc.
    const QStringList& Files() const { return FFiles; }
    // Readers of this disc's sectors for the playback worker.
    TSectorReaderFactory Reader() const;

private:
    QString FError;
    TDiscToc FToc;
    QStringList FFiles;
    QList<TSpan> FSpans;
};

// Reads 2352-byte sectors of host-order 16-bit stereo out of the files. A file that shrinks or
// goes away while playing fails the read, as a disc pulled out does.
class TAudioFileSectorReader : public TSectorReader {
public:
    explicit TAudioFileSectorReader(QList<TAudioFileDisc::TSpan> spans);
    ~TAudioFileSectorReader() override;
    bool Read(qint32 lsn, int count, char* out) override;

private:
    struct TOpenFile;
    bool ReadSpan(int span, qint64 frame, qint64 frames, qint16* out);

    QList<TAudioFileDisc::TSpan> FSpans;
    std::vector<std::unique_ptr<TOpenFile>> FOpen; // by span, opened on first read
    qint32 FLeadout = 0;
};
