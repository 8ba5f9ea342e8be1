#pragma once
// The sound server's sample formats for the editor's sample depths, and the conversion between
// them while the sound streams. Qt Multimedia takes unsigned 8-bit, signed 16- and 32-bit and
// 32-bit float samples; packed 24-bit samples have no format of their own, and a server may lack
// float or 32-bit integers. Samples are little-endian in the buffer and native on the server's
// side; the platforms the editor runs on are little-endian, so the bytes agree.
//
// A conversion between different formats scales by 2^(bits-1) (8-bit unsigned around 128),
// rounds and clips, as the editor's own conversions do; between equal formats it copies, so 8-
// and 16-bit samples and float played as float reach the server byte for byte.

#include "core/samplebuffer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QIODevice>
#include <QList>

// The server's formats for `depth`, best first. Output: 24-bit plays as Int32 (exact), else
// Float (exact), else Int16 (its top 16 bits, rounded); float as Float, else Int32, else Int16.
// Input records only what keeps the depth: 24-bit from Int32 or Float, float from Float or Int32.
// 8- and 16-bit are UInt8 and Int16 either way.
QList<QAudioFormat::SampleFormat> ServerFormatsFor(SampleDepth depth, QAudioDevice::Mode mode);

// Converts `samples` samples (not frames) from the buffer's depth to the server's format...
void ToServerSamples(SampleDepth depth, const quint8* from, QAudioFormat::SampleFormat format,
                     quint8* to, quint64 samples);
// ...and from the server's format to the buffer's depth.
void FromServerSamples(QAudioFormat::SampleFormat format, const quint8* from, SampleDepth depth,
                       quint8* to, quint64 samples);

// A sample's bytes read as the server's format, converted as the sink pulls them: playback of a
// depth the server has no format for needs no converted copy of the sample. Random access; its
// size is that of the converted bytes, and a read may start or end inside a sample.
class CWaveSampleReader : public QIODevice {
    Q_OBJECT
public:
    CWaveSampleReader() = default;

    // Reads `bytes` from `data` (which must outlive the reading) as `format`; opens at 0.
    void Start(const quint8* data, quint32 bytes, SampleDepth depth,
               QAudioFormat::SampleFormat format);

    bool isSequential() const override { return false; }
    qint64 size() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const quint8* m_data = nullptr;
    quint64 m_samples = 0;
    SampleDepth m_depth = SampleDepth::Int16;
    QAudioFormat::SampleFormat m_format = QAudioFormat::Int16;
    quint32 m_fromBytes = 2;
    quint32 m_toBytes = 2;
};
