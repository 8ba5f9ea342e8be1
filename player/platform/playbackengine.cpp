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
    FFeedTimer.setInterval(kFeedIntervalMs);
    connect(&FFeedTimer, &QTimer::timeout, this, &TPlaybackEngine::Feed);
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
    sink->setVolume(FMuted ? 0.0 : 1.0);
    QIODevice* output = sink->start();
    if (!output || sink->error() != QAudio::NoError) {
        Dispose(std::move(sink));
        return TCDError::NoSound;
    }
    FSink = std::move(sink);
    FOutput = output;
    FRangeBytes = qMax<qint64>(0, toFrame - fromFrame) * TDiscToc::kBytesPerFrame;
    FWrittenBytes = 0;
    FLastHeard = -1;
    FDrainTicks = 0;
    FReadAhead = std::make_unique<TReadAhead>(std::move(factory), toc, fromFrame, toFrame);
    FFeedTimer.start();
    return TCDError::None;
}

void TPlaybackEngine::Stop() {
    // Every member reaches its stopped state before the old sink is let go of (see Dispose).
    FFeedTimer.stop();
    FOutput = nullptr;
    FUnwritten.clear();
    if (FReadAhead) {
        FReadAhead->RequestStop();
        FRetiring.push_back(std::move(FReadAhead));
    }
    Reap();
    if (FSink)
        Dispose(std::move(FSink));
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
    FRetiring.erase(std::remove_if(FRetiring.begin(), FRetiring.end(),
                                   [](const auto& worker) { return worker->Finished(); }),
                    FRetiring.end());
}

qint64 TPlaybackEngine::HeardFrames() const {
    if (!FSink)
        return 0;
    // The sink's played time; it can never have played more than it was given.
    const qint64 played = FSink->processedUSecs() * kRate / 1000000;
    return qMin(played, FWrittenBytes / TDiscToc::kBytesPerFrame);
}

void TPlaybackEngine::SetMuted(bool muted) {
    FMuted = muted;
    if (FSink)
        FSink->setVolume(muted ? 0.0 : 1.0);
}

void TPlaybackEngine::End(TEnd end) {
    const qint64 heard =
        end == TEnd::Completed ? FWrittenBytes / TDiscToc::kBytesPerFrame : HeardFrames();
    Stop();
    emit ended(end, heard);
}

void TPlaybackEngine::Feed() {
    if (FHeld)
        return;
    if (!FSink || !FReadAhead) {
        FFeedTimer.stop(); // nothing is playing: a stop got in between
        return;
    }
    if (FSink->error() == QAudio::OpenError || FSink->error() == QAudio::FatalError ||
        FSink->error() == QAudio::IOError)
        return End(TEnd::OutputFailed);
    const qint64 free = FSink->bytesFree();
    if (free > 0) {
        if (FUnwritten.isEmpty())
            FUnwritten = FReadAhead->Take(free);
        if (!FUnwritten.isEmpty()) {
            const qint64 written = FOutput->write(FUnwritten);
            if (written < 0)
                return End(TEnd::OutputFailed);
            FUnwritten.remove(0, written); // the rest goes with the next tick
            FWrittenBytes += written;
        }
    }
    switch (FReadAhead->State()) {
    case TReadAhead::TState::Failed:
        return End(TEnd::ReadFailed);
    case TReadAhead::TState::Done:
        if (FWrittenBytes == FRangeBytes && FUnwritten.isEmpty()) {
            // Complete once everything given to the sink has been played out, or when its clock
            // has stopped short of that for a while (some outputs report less than they played).
            const qint64 heard = HeardFrames();
            FDrainTicks = heard == FLastHeard ? FDrainTicks + 1 : 0;
            FLastHeard = heard;
            if (heard * TDiscToc::kBytesPerFrame >= FWrittenBytes || FDrainTicks > kDrainTicks)
                return End(TEnd::Completed);
        }
        break;
    case TReadAhead::TState::Reading:
    case TReadAhead::TState::Stalled:
        break;
    }
}
