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
    sink_ = std::make_unique<QAudioSink>(device, CdFormat());
    sink_->setBufferSize(kSinkBufferBytes);
    sink_->setVolume(muted_ ? 0.0 : 1.0);
    output_ = sink_->start();
    if (!output_ || sink_->error() != QAudio::NoError) {
        Stop();
        return TCDError::NoSound;
    }
    rangeBytes_ = qMax<qint64>(0, toFrame - fromFrame) * TDiscToc::kBytesPerFrame;
    writtenBytes_ = 0;
    lastHeard_ = -1;
    drainTicks_ = 0;
    readAhead_ = std::make_unique<TReadAhead>(std::move(factory), toc, fromFrame, toFrame);
    feedTimer_.start();
    return TCDError::None;
}

void TPlaybackEngine::Stop() {
    feedTimer_.stop();
    if (sink_)
        sink_->stop();
    output_ = nullptr;
    sink_.reset();
    unwritten_.clear();
    if (readAhead_) {
        readAhead_->RequestStop();
        retiring_.push_back(std::move(readAhead_));
    }
    Reap();
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
