#include "platform/readahead.h"

namespace {
// Sectors per read: small enough to start quickly, large enough to keep drive commands few.
constexpr int kChunkSectors = 10;
// Audio kept ahead of the sink: two seconds bounds memory and how far a stop has to discard.
constexpr qint64 kAheadBytes = 2 * 44100 * TDiscToc::kBytesPerFrame;
} // namespace

TReadAhead::TReadAhead(TSectorReaderFactory factory, const TDiscToc& toc, qint64 fromFrame,
                       qint64 toFrame)
    : toc_(toc), fromFrame_(fromFrame), toFrame_(toFrame) {
    thread_ = std::thread([this, factory = std::move(factory)] {
        Run(factory);
        std::lock_guard lock(mutex_);
        finished_ = true;
    });
}

TReadAhead::~TReadAhead() {
    RequestStop();
    thread_.join();
}

void TReadAhead::RequestStop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
}

bool TReadAhead::Finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

QByteArray TReadAhead::Take(qint64 maxBytes) {
    QByteArray taken;
    {
        std::lock_guard lock(mutex_);
        const qint64 n = qMin<qint64>(maxBytes, buffer_.size()) / TDiscToc::kBytesPerFrame *
                         TDiscToc::kBytesPerFrame;
        if (n <= 0)
            return taken;
        taken = buffer_.left(n);
        buffer_.remove(0, n);
    }
    wake_.notify_all();
    return taken;
}

qint64 TReadAhead::Buffered() const {
    std::lock_guard lock(mutex_);
    return buffer_.size();
}

TReadAhead::TState TReadAhead::State() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void TReadAhead::Finish(TState state) {
    std::lock_guard lock(mutex_);
    state_ = state;
}

void TReadAhead::Run(TSectorReaderFactory factory) {
    if (fromFrame_ >= toFrame_)
        return Finish(TState::Done);
    const std::unique_ptr<TSectorReader> reader = factory();
    if (!reader)
        return Finish(TState::Failed);
    const qint32 firstLsn = toc_.Track(1).firstSector;
    QByteArray chunk(kChunkSectors * TDiscToc::kBytesPerSector, Qt::Uninitialized);
    qint64 frame = fromFrame_;
    while (frame < toFrame_) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || buffer_.size() < kAheadBytes; });
            if (stop_)
                return;
        }
        const int track = toc_.TrackAtFrame(frame);
        if (track == 0 || !toc_.Track(track).audio)
            return Finish(TState::Stalled);
        // Read whole sectors, up to the end of the range or of this audio track.
        const qint64 sector = frame / TDiscToc::kFramesPerSector;
        const qint64 endFrame = qMin(toFrame_, toc_.TrackEndFrame(track));
        const qint64 endSector =
            (endFrame + TDiscToc::kFramesPerSector - 1) / TDiscToc::kFramesPerSector;
        const int count = static_cast<int>(qMin<qint64>(kChunkSectors, endSector - sector));
        if (!reader->Read(firstLsn + static_cast<qint32>(sector), count, chunk.data()))
            return Finish(TState::Failed);
        const qint64 skip = frame - sector * TDiscToc::kFramesPerSector;
        const qint64 frames =
            qMin<qint64>(qint64(count) * TDiscToc::kFramesPerSector - skip, endFrame - frame);
        {
            std::lock_guard lock(mutex_);
            buffer_.append(chunk.constData() + skip * TDiscToc::kBytesPerFrame,
                           frames * TDiscToc::kBytesPerFrame);
        }
        frame += frames;
    }
    Finish(TState::Done);
}
