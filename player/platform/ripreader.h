#pragma once
// Sector reads for copying a disc. A drive is read through libcdio-paranoia in full mode
// (overlapped reads, verification, scratch repair); paranoia gives up on a sector after a number
// of re-reads and skips it rather than stalling on a damaged disc for ever, and each skip, read
// error and repair is kept for the log. An image has nothing to correct and is read a sector at a
// time, so that a data file cut short fails exactly where it ends (libcdio reports success for a
// read of several sectors that runs past the end of an image file).

#include "platform/cdio.h"

#include <QList>

#include <array>

class TRipReader {
public:
    struct TStats {
        int rereads = 0;
        int skips = 0;
        qint32 firstSkip = -1;
        QList<qint32> suspicious; // sectors, in ascending order, each once
    };
    struct TEvent {
        qint32 sector = 0;
        bool reread = false;
        bool skip = false;
    };

    // Null when the drive or image cannot be opened for audio reads.
    static std::unique_ptr<TRipReader> Open(const QString& source);

    const TDiscToc& Toc() const { return FToc; }
    // The sector at lsn as host-order 16-bit stereo samples, or null when the drive failed.
    // Reads are fastest in ascending order.
    const qint16* Read(qint32 lsn);
    // What the reads found in the sectors first..end-1; forgets anything before end.
    TStats TakeStats(qint32 first, qint32 end);

private:
    TRipReader() = default;

    TCdioHandle FCdio;
    TDiscToc FToc;
    TParanoiaDrive FParanoia;
    bool FImage = false;
    std::array<qint16, CDIO_CD_FRAMESIZE_RAW / 2> FSector{};
    qint32 FNext = -1;
    QList<TEvent> FEvents;
};
