#pragma once
// The playback worker: reads the sectors of one range on its own thread, a little ahead of what
// is being heard, into a bounded buffer the GUI thread takes audio from. It stops at the first
// data sector (a data track plays nothing) and at the first sector it cannot read.

#include "core/disctoc.h"
#include "platform/sectorreader.h"

#include <QByteArray>

#include <condition_variable>
#include <mutex>
#include <thread>

class TReadAhead {
public:
    enum class TState {
        Reading,
        Stalled, // reached a data track; nothing more will come
        Done,    // every frame of the range has been read
        Failed,  // the disc could not be opened or read
    };

    // Frames count from the first track's start; [fromFrame, toFrame) within the disc.
    TReadAhead(TSectorReaderFactory factory, const TDiscToc& toc, qint64 fromFrame, qint64 toFrame);
    // Stops the worker and waits for it.
    ~TReadAhead();

    // Asks the worker to stop without waiting; a read in progress (a drive retrying a damaged
    // sector) finishes first.
    void RequestStop();
    bool Finished() const;

    // Takes up to maxBytes of what has been read (whole frames).
    QByteArray Take(qint64 maxBytes);
    qint64 Buffered() const;
    TState State() const;

private:
    void Run(TSectorReaderFactory factory);
    void Finish(TState state);

    const TDiscToc FToc;
    const qint64 FFromFrame;
    const qint64 FToFrame;

    mutable std::mutex FMutex;
    std::condition_variable FWake;
    QByteArray FBuffer;
    TState FState = TState::Reading;
    bool FStop = false;
    bool FFinished = false;
    std::thread FThread;
};
