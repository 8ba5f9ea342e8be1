#pragma once
// The wave output device over Qt Multimedia: plays one buffer through a QAudioSink that pulls
// the header's bytes, reports the bytes the sound server has actually played, and returns the
// buffer once the last of them has been heard, not merely handed over. A depth the server has no
// format for (24-bit, or float on a server without it) is converted as the sink pulls it; the
// position still counts the buffer's own bytes.

#include "core/samplebuffer.h"
#include "core/wavedevice.h"
#include "platform/wavesampleformat.h"

#include <QAudio>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

class QAudioSink;

class CQtWaveOutDevice : public CWaveOutDevice {
    Q_OBJECT
public:
    CQtWaveOutDevice();
    ~CQtWaveOutDevice() override;

    CWaveError Open(int device, const CWaveFormat& format) override;
    CWaveError Write(CWaveHeader& header) override;
    CWaveError Pause() override;
    CWaveError Reset() override;
    CWaveError GetPosition(quint32& bytes) const override;
    CWaveError Close() override;

private:
    void OnStateChanged(QAudio::State state);
    // Once the sink has taken every byte: has the server's clock reached the end?
    void CheckPlayedOut();
    // Stops the sink and hands the buffer back with the position held at `played`.
    void ReturnBuffer(quint32 played);
    // Of the queued buffer, by the server's clock, in whole frames.
    quint32 PlayedBytes() const;

    std::unique_ptr<QAudioSink> m_sink;
    CWaveSampleReader m_source;
    SampleDepth m_depth = SampleDepth::Int16;
    QAudioFormat::SampleFormat m_serverFormat = QAudioFormat::Int16;
    CWaveHeader* m_header = nullptr;
    quint32 m_blockAlign = 1;
    quint32 m_bytesPerSecond = 0;
    // Bytes of the buffer played so far. The server's clock is read on demand and may read 0
    // right after a pause; the position only ever moves forward and holds while paused, after
    // Reset and after the end.
    mutable quint32 m_played = 0;
    bool m_paused = false;
    QTimer m_drainCheck;
    // Runs from the moment the sink has taken every byte; bounds the wait for the server's
    // clock to reach the end.
    QElapsedTimer m_drained;
};
