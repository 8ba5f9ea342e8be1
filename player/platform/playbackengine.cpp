#include "platform/playbackengine.h"

#include <QMediaDevices>

#include <algorithm>

namespace {
constexpr int kRate = 44100;
// The sink's own buffer: a quarter second keeps stop and pause prompt.
constexpr qint64 kSinkBufferBytes = kRate * TDiscToc::kBytesPerFrame / 4;
constexpr int kFeedIntervalMs = 20;
constexpr int kDrainTicks = 1000 / kFeedIntervalMs;

QAudioFormat CdFormat() {
    QAudioFormat format;
    format.setSampleRate(kRate);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}
} // namespace

TPlaybackEngine::TPlaybackEngine(QObject* parent) : QObject(parent) {
    feedTimer_.setInterval(kFeedIntervalMs);
    connect(&feedTimer_, &QTimer::timeout, this, &TPlaybackEngine::Feed);
}

TPlaybackEngine::~TPlaybackEngine() {
    Stop();
}

TCDError TPlaybackEngine::Start(TSectorReaderFactory factory, const TDiscToc& toc, qint64 fromFrame,
                                qint64 toFrame) {
    Stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(CdFormat()))
        return TCDError::NoSound;
    auto sink = std::make_unique<QAudioSink>(device, CdFormat());
    sink->setBufferSize(kSinkBufferBytes);
    sink->setVolume(muted_ ? 0.0 : 1.0);
    QIODevice* output = sink->start();
    if (!output || sink->error() != QAudio::NoError) {
        Dispose(std::move(sink));
        return TCDError::NoSound;
    }
    sink_ = std::move(sink);
    output_ = output;
    rangeBytes_ = qMax<qint64>(0, toFrame - fromFrame) * TDiscToc::kBytesPerFrame;
    writtenBytes_ = 0;
    lastHeard_ = -1;
    drainTicks_ = 0;
    readAhead_ = std::make_unique<TReadAhead>(std::move(factory), toc, fromFrame, toFrame);
    feedTimer_.start();
    return TCDError::None;
}

void TPlaybackEngine::Stop() {
    // Every member reaches its stopped state before the old sink is let go of (see Dispose).
    feedTimer_.stop();
    output_ = nullptr;
    unwritten_.clear();
    if (readAhead_) {
        readAhead_->RequestStop();
        retiring_.push_back(std::move(readAhead_));
    }
    Reap();
    if (sink_)
        Dispose(std::move(sink_));
}

// Deleting a QAudioSink runs a nested event loop (the PulseAudio backend processes events in its
// destructor), which would run queued requests of the player in the middle of its own. The sink
// goes silent now and is deleted once control is back in the event loop; the engine, its parent,
// deletes one still waiting when it goes.
void TPlaybackEngine::Dispose(std::unique_ptr<QAudioSink> sink) {
    sink->stop();
    QAudioSink* old = sink.release();
    old->setParent(this);
    old->deleteLater();
}

void TPlaybackEngine::Reap() {
    retiring_.erase(std::remove_if(retiring_.begin(), retiring_.end(),
                                   [](const auto& worker) { return worker->Finished(); }),
                    retiring_.end());
}

qint64 TPlaybackEngine::HeardFrames() const {
    if (!sink_)
        return 0;
    // The sink's played time; it can never have played more than it was given.
    const qint64 played = sink_->processedUSecs() * kRate / 1000000;
    return qMin(played, writtenBytes_ / TDiscToc::kBytesPerFrame);
}

void TPlaybackEngine::SetMuted(bool muted) {
    muted_ = muted;
    if (sink_)
        sink_->setVolume(muted ? 0.0 : 1.0);
}

void TPlaybackEngine::End(TEnd end) {
    const qint64 heard =
        end == TEnd::Completed ? writtenBytes_ / TDiscToc::kBytesPerFrame : HeardFrames();
    Stop();
    emit Ended(end, heard);
}

void TPlaybackEngine::Feed() {
    if (held_)
        return;
    if (!sink_ || !readAhead_) {
        feedTimer_.stop(); // nothing is playing: a stop got in between
        return;
    }
    if (sink_->error() == QAudio::OpenError || sink_->error() == QAudio::FatalError ||
        sink_->error() == QAudio::IOError)
        return End(TEnd::OutputFailed);
    const qint64 free = sink_->bytesFree();
    if (free > 0) {
        if (unwritten_.isEmpty())
            unwritten_ = readAhead_->Take(free);
        if (!unwritten_.isEmpty()) {
            const qint64 written = output_->write(unwritten_);
            if (written < 0)
                return End(TEnd::OutputFailed);
            unwritten_.remove(0, written); // the rest goes with the next tick
            writtenBytes_ += written;
        }
    }
    switch (readAhead_->State()) {
    case TReadAhead::TState::Failed:
        return End(TEnd::ReadFailed);
    case TReadAhead::TState::Done:
        if (writtenBytes_ == rangeBytes_ && unwritten_.isEmpty()) {
            // Complete once everything given to the sink has been played out, or when its clock
            // has stopped short of that for a while (some outputs report less than they played).
            const qint64 heard = HeardFrames();
            drainTicks_ = heard == lastHeard_ ? drainTicks_ + 1 : 0;
            lastHeard_ = heard;
            if (heard * TDiscToc::kBytesPerFrame >= writtenBytes_ || drainTicks_ > kDrainTicks)
                return End(TEnd::Completed);
        }
        break;
    case TReadAhead::TState::Reading:
    case TReadAhead::TState::Stalled:
        break;
    }
}
