#pragma once
// The wave input device over Qt Multimedia: fills one buffer from a QAudioSource and hands it
// back when it is full or reset, with its bytes-recorded count set.
//
// Some sources (the sound server's generators, network sources) deliver sound in large blocks
// ahead of time. The device never takes more than the time since Start allows, so a recording
// lasts as long as the user asked for and a stop after half the time keeps half the sound.
//
// 24-bit and float samples are recorded from the server's 32-bit integers or floats, whichever it
// offers (ServerFormatsFor), and converted into the buffer as they come in.

#include "core/samplebuffer.h"
#include "core/wavedevice.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

class QAudioSource;
class QIODevice;

class CQtWaveInDevice : public CWaveInDevice {
    Q_OBJECT
public:
    CQtWaveInDevice();
    ~CQtWaveInDevice() override;

    CWaveError Open(int device, const CWaveFormat& format) override;
    CWaveError AddBuffer(CWaveHeader& header) override;
    CWaveError Start() override;
    CWaveError Reset() override;
    CWaveError GetPosition(quint32& bytes) const override;
    CWaveError Close() override;

private:
    void Collect();
    // Stops the source and hands the buffer back.
    void ReturnBuffer();
    // The most a buffer may hold by now, in whole frames.
    quint64 BytesDue() const;

    std::unique_ptr<QAudioSource> m_source;
    QIODevice* m_stream = nullptr;
    CWaveHeader* m_header = nullptr;
    // Bytes the source delivered that the clock has not yet let into the buffer.
    QByteArray m_pending;
    quint32 m_blockAlign = 1;
    // One frame as the server delivers it.
    quint32 m_serverFrameBytes = 1;
    quint32 m_channels = 1;
    SampleDepth m_depth = SampleDepth::Int8;
    QAudioFormat::SampleFormat m_serverFormat = QAudioFormat::UInt8;
    quint32 m_bytesPerSecond = 0;
    quint32 m_heldPosition = 0;
    QElapsedTimer m_clock;
    QTimer m_poll;
};
