#include "platform/wavesampleformat.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The five encodings either side may use.
enum class Coding { U8, S16, S24, S32, F32 };

Coding CodingOf(SampleDepth depth) {
    switch (depth) {
    case SampleDepth::Int8:
        return Coding::U8;
    case SampleDepth::Int16:
        return Coding::S16;
    case SampleDepth::Int24:
        return Coding::S24;
    case SampleDepth::Float32:
        break;
    }
    return Coding::F32;
}

Coding CodingOf(QAudioFormat::SampleFormat format) {
    switch (format) {
    case QAudioFormat::UInt8:
        return Coding::U8;
    case QAudioFormat::Int16:
        return Coding::S16;
    case QAudioFormat::Int32:
        return Coding::S32;
    default:
        return Coding::F32;
    }
}

quint32 BytesOf(Coding coding) {
    constexpr quint32 bytes[] = {1, 2, 3, 4, 4};
    return bytes[int(coding)];
}

// Full scale 1.0; float values beyond it are kept.
double Decode(Coding coding, const quint8* p) {
    switch (coding) {
    case Coding::U8:
        return (int(*p) - 128) / 128.0;
    case Coding::S16:
        return qFromLittleEndian<qint16>(p) / 32768.0;
    case Coding::S24: {
        const qint32 v = qint32(quint32(p[0]) << 8 | quint32(p[1]) << 16 | quint32(p[2]) << 24);
        return (v >> 8) / 8388608.0;
    }
    case Coding::S32:
        return qFromLittleEndian<qint32>(p) / 2147483648.0;
    case Coding::F32:
        break;
    }
    return qFromLittleEndian<float>(p);
}

qint64 Scaled(double v, int bits) {
    const double full = std::ldexp(1.0, bits - 1);
    return qint64(std::clamp(std::round(v * full), -full, full - 1.0));
}

void Encode(Coding coding, double v, quint8* p) {
    switch (coding) {
    case Coding::U8:
        *p = quint8(Scaled(v, 8) + 128);
        return;
    case Coding::S16:
        qToLittleEndian<qint16>(qint16(Scaled(v, 16)), p);
        return;
    case Coding::S24: {
        const quint32 u = quint32(qint32(Scaled(v, 24)));
        p[0] = quint8(u);
        p[1] = quint8(u >> 8);
        p[2] = quint8(u >> 16);
        return;
    }
    case Coding::S32:
        qToLittleEndian<qint32>(qint32(Scaled(v, 32)), p);
        return;
    case Coding::F32:
        qToLittleEndian<float>(float(v), p);
        return;
    }
}

void Convert(Coding from, const quint8* in, Coding to, quint8* out, quint64 samples) {
    if (from == to) {
        std::memcpy(out, in, samples * BytesOf(from));
        return;
    }
    const quint32 inBytes = BytesOf(from);
    const quint32 outBytes = BytesOf(to);
    for (quint64 i = 0; i < samples; ++i, in += inBytes, out += outBytes)
        Encode(to, Decode(from, in), out);
}

} // namespace

QList<QAudioFormat::SampleFormat> ServerFormatsFor(SampleDepth depth, QAudioDevice::Mode mode) {
    const bool output = mode == QAudioDevice::Output;
    switch (depth) {
    case SampleDepth::Int8:
        return {QAudioFormat::UInt8};
    case SampleDepth::Int16:
        return {QAudioFormat::Int16};
    case SampleDepth::Int24:
        if (output)
            return {QAudioFormat::Int32, QAudioFormat::Float, QAudioFormat::Int16};
        return {QAudioFormat::Int32, QAudioFormat::Float};
    case SampleDepth::Float32:
        break;
    }
    if (output)
        return {QAudioFormat::Float, QAudioFormat::Int32, QAudioFormat::Int16};
    return {QAudioFormat::Float, QAudioFormat::Int32};
}

void ToServerSamples(SampleDepth depth, const quint8* from, QAudioFormat::SampleFormat format,
                     quint8* to, quint64 samples) {
    Convert(CodingOf(depth), from, CodingOf(format), to, samples);
}

void FromServerSamples(QAudioFormat::SampleFormat format, const quint8* from, SampleDepth depth,
                       quint8* to, quint64 samples) {
    Convert(CodingOf(format), from, CodingOf(depth), to, samples);
}

void CWaveSampleReader::Start(const quint8* data, quint32 bytes, SampleDepth depth,
                              QAudioFormat::SampleFormat format) {
    close();
    m_data = data;
    m_depth = depth;
    m_format = format;
    m_fromBytes = BytesOf(CodingOf(depth));
    m_toBytes = BytesOf(CodingOf(format));
    m_samples = bytes / m_fromBytes;
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 CWaveSampleReader::size() const {
    return qint64(m_samples * m_toBytes);
}

qint64 CWaveSampleReader::readData(char* data, qint64 maxSize) {
    const qint64 at = pos();
    const qint64 count = std::min(maxSize, size() - at);
    if (count <= 0)
        return 0;
    auto* out = reinterpret_cast<quint8*>(data);
    qint64 done = 0;
    while (done < count) {
        const quint64 sample = quint64(at + done) / m_toBytes;
        const quint32 offset = quint32(quint64(at + done) % m_toBytes);
        const quint64 whole = quint64(count - done) / m_toBytes;
        if (offset == 0 && whole > 0) {
            ToServerSamples(m_depth, m_data + sample * m_fromBytes, m_format, out + done, whole);
            done += qint64(whole * m_toBytes);
            continue;
        }
        // A read that starts or ends inside a sample takes its part of the whole one.
        quint8 one[4];
        ToServerSamples(m_depth, m_data + sample * m_fromBytes, m_format, one, 1);
        const qint64 part = std::min<qint64>(m_toBytes - offset, count - done);
        std::memcpy(out + done, one + offset, std::size_t(part));
        done += part;
    }
    return count;
}
