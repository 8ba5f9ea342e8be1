#pragma once
// Reading audio sectors for playback. A reader is made and used on the playback worker thread
// only; each owns its own libcdio handle, so the GUI thread's handle is never shared.

#include "platform/cdio.h"

#include <functional>

class TSectorReader {
public:
    virtual ~TSectorReader() = default;
    // Reads count 2352-byte sectors starting at a logical sector into out as host-order 16-bit
    // stereo samples; false when the disc cannot be read there.
    virtual bool Read(qint32 lsn, int count, char* out) = 0;
};

// Makes a reader on the worker thread; null when the disc cannot be opened.
using TSectorReaderFactory = std::function<std::unique_ptr<TSectorReader>()>;

// Plain reads (images, where there is nothing to correct). libcdio reports success for a read
// past the end of a shortened image file, so the reader watches the file itself: an image that
// shrinks or goes away while playing is a disc pulled out.
class TPlainSectorReader : public TSectorReader {
public:
    explicit TPlainSectorReader(TCdioHandle cdio);
    bool Read(qint32 lsn, int count, char* out) override;
    static TSectorReaderFactory Factory(const QString& source, driver_id_t driver);

private:
    bool ImageIntact() const;

    TCdioHandle FCdio;
    qint32 FLeadout;
    QString FDataFile; // the file the sectors come from (the BIN of a cue sheet)
    qint64 FDataSize;
};

// Reads through cdparanoia's verification and jitter correction (real drives).
class TParanoiaSectorReader : public TSectorReader {
public:
    bool Read(qint32 lsn, int count, char* out) override;
    static std::unique_ptr<TParanoiaSectorReader> Open(TCdioHandle cdio);
    static TSectorReaderFactory Factory(const QString& source, driver_id_t driver);

private:
    TParanoiaSectorReader() = default;

    TCdioHandle FCdio;
    TParanoiaDrive FParanoia;
    qint32 FNext = -1; // the sector paranoia reads next, to seek only when the range jumps
};
