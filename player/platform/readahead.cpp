#include "platform/readahead.h"

namespace {
// Sectors per read: small enough to start quickly, large enough to keep drive commands few.
constexpr int kChunkSectors = 10;
// Audio kept ahead of the sink: two seconds bounds memory and how far a stop has to discard.
constexpr qint64 kAheadBytes = 2 * 44100 * TDiscToc::kBytesPerFrame;
} // namespace

TReadAhead::TReadAhead(TSectorReaderFactory factory, const TDiscToc& toc, qint64 fromFrame,
                       qint64 toFrame)
    : FToc(toc), FFromFrame(fromFrame), FToFrame(toFrame) {
    FThread = std::thread([this, factory = std::move(factory)] {
        Run(factory);
        std::lock_guard lock(FMutex);
        FFinished = true;
    });
}

TReadAhead::~TReadAhead() {
    RequestStop();
    FThread.join();
}

void TReadAhead::RequestStop() {
    {
        std::lock_guard lock(FMutex);
        FStop = true;
    }
    FWake.notify_all();
}

bool TReadAhead::Finished() const {
    std::lock_guard lock(FMutex);
    return FFinished;
}

QByteArray TReadAhead::Take(qint64 maxBytes) {
    QByteArray taken;
    {
        std::lock_guard lock(FMutex);
        const qint64 n = qMin<qint64>(maxBytes, FBuffer.size()) / TDiscToc::kBytesPerFrame *
                         TDiscToc::kBytesPerFrame;
        if (n <= 0)
            return taken;
        taken = FBuffer.left(n);
        FBuffer.remove(0, n);
    }
    FWake.notify_all();
    return taken;
}

qint64 TReadAhead::Buffered() const {
    std::lock_guard lock(FMutex);
    return FBuffer.size();
}

TReadAhead::TState TReadAhead::State() const {
    std::lock_guard lock(FMutex);
    return FState;
}

void TReadAhead::Finish(TState state) {
    std::lock_guard lock(FMutex);
    FState = state;
}

void TReadAhead::Run(TSectorReaderFactory factory) {
    if (FFromFrame >= FToFrame)
        return Finish(TState::Done);
    const std::unique_ptr<TSectorReader> reader = factory();
    if (!reader)
        return Finish(TState::Failed);
    const qint32 firstLsn = FToc.Track(1).firstSector;
    QByteArray chunk(kChunkSectors * TDiscToc::kBytesPerSector, Qt::Uninitialized);
    qint64 frame = FFromFrame;
    while (frame < FToFrame) {
        {
            std::unique_lock lock(FMutex);
            FWake.wait(lock, [this] { return FStop || FBuffer.size() < kAheadBytes; });
            if (FStop)
                return;
        }
        const int track = FToc.TrackAtFrame(frame);
        if (track == 0 || !FToc.Track(track).audio)
            return Finish(TState::Stalled);
        // Read whole sectors, up to the end of the range or of this audio track.
        const qint64 sector = frame / TDiscToc::kFramesPerSector;
        const qint64 endFrame = qMin(FToFrame, FToc.TrackEndFrame(track));
        const qint64 endSector =
            (endFrame + TDiscToc::kFramesPerSector - 1) / TDiscToc::kFramesPerSector;
        const int count = static_cast<int>(qMin<qint64>(kChunkSectors, endSector - sector));
        if (!reader->Read(firstLsn + static_cast<qint32>(sector), count, chunk.data()))
            return Finish(TState::Failed);
        const qint64 skip = frame - sector * TDiscToc::kFramesPerSector;
        const qint64 frames =
            qMin<qint64>(qint64(count) * TDiscToc::kFramesPerSector - skip, endFrame - frame);
        {
            std::lock_guard lock(FMutex);
            FBuffer.append(chunk.constData() + skip * TDiscToc::kBytesPerFrame,
                           frames * TDiscToc::kBytesPerFrame);
        }
        frame += frames;
    }
    Finish(TState::Done);
}
