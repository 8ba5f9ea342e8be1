#pragma once
// Digital playback of one range of a disc: a TReadAhead worker reads the sectors, a QAudioSink on
// the default output plays them (44100 Hz, 16-bit, stereo). What has been heard is the sink's
// played time, never what has been read or queued. Lives on the GUI thread; ended is emitted from
// its feed timer, so it never arrives inside a call. Start and Stop never run the event loop, so
// a request queued meanwhile (a media key held down) runs after them, never halfway through.

#include "core/cdaudioservice.h"
#include "platform/readahead.h"

#include <QAudioSink>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class TPlaybackEngine : public QObject {
    Q_OBJECT
public:
    enum class TEnd {
        Completed,    // the range played to its end
        ReadFailed,   // the disc could not be read
        OutputFailed, // the sound output went away
    };

    explicit TPlaybackEngine(QObject* parent = nullptr);
    ~TPlaybackEngine() override;

    // Starts playing [fromFrame, toFrame) (frames from the first track's start), replacing any
    // range still playing without a signal. NoSound when there is no output to play through.
    TCDError Start(TSectorReaderFactory factory, const TDiscToc& toc, qint64 fromFrame,
                   qint64 toFrame);
    // Ends playback at once, without a signal.
    void Stop();
    bool IsActive() const { return FReadAhead != nullptr; }
    // Frames of the range heard so far (0 when nothing plays).
    qint64 HeardFrames() const;
    // Silences the output while playback and the heard count go on.
    void SetMuted(bool muted);
    // While held (the owner is inside a request), the engine neither feeds nor ends, so a nested
    // event loop in the sound output cannot pull the sink away under the caller.
    void SetHeld(bool held) { FHeld = held; }

signals:
    // Playback has stopped by itself; heardFrames is how much of the range was heard.
    void ended(TPlaybackEngine::TEnd end, qint64 heardFrames);

private:
    void Feed();
    void End(TEnd end);
    void Reap();
    void Dispose(std::unique_ptr<QAudioSink> sink);

    std::unique_ptr<TReadAhead> FReadAhead;
    // Stopped workers still finishing a read; joined once done so Stop never waits on a drive.
    std::vector<std::unique_ptr<TReadAhead>> FRetiring;
    std::unique_ptr<QAudioSink> FSink;
    QIODevice* FOutput = nullptr; // owned by sink_
    QByteArray FUnwritten;        // taken from the worker, not yet accepted by the sink
    QTimer FFeedTimer;
    qint64 FWrittenBytes = 0;
    qint64 FRangeBytes = 0;
    qint64 FLastHeard = -1;
    int FDrainTicks = 0;
    bool FMuted = false;
    bool FHeld = false;
};
