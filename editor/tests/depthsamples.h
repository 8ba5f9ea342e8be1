#pragma once
// The samples of any of the four depths as numbers at full scale 1.0, for tests that measure a
// tone whatever the depth it was recorded or converted at.

#include "core/samplebuffer.h"

#include <QtEndian>

#include <cmath>
#include <vector>

// Every sample of one channel (0 left or only, 1 right); float values beyond 1.0 as they are.
inline std::vector<double> ScaledChannel(const CSampleBuffer& buffer, int channel) {
    const quint32 frameBytes = buffer.BytesPerFrame();
    const quint32 sampleBytes = buffer.BytesPerSample();
    std::vector<double> out;
    out.reserve(buffer.GetFrameCount());
    for (quint32 frame = 0; frame < buffer.GetFrameCount(); ++frame) {
        const quint8* p =
            buffer.GetData() + quint64(frame) * frameBytes + quint32(channel) * sampleBytes;
        switch (buffer.GetDepth()) {
        case SampleDepth::Int8:
            out.push_back((int(*p) - 128) / 128.0);
            break;
        case SampleDepth::Int16:
            out.push_back(qFromLittleEndian<qint16>(p) / 32768.0);
            break;
        case SampleDepth::Int24:
            out.push_back(qint32(quint32(p[0]) << 8 | quint32(p[1]) << 16 | quint32(p[2]) << 24) /
                          2147483648.0);
            break;
        case SampleDepth::Float32:
            out.push_back(qFromLittleEndian<float>(p));
            break;
        }
    }
    return out;
}

// The values as 16-bit integers around 0, for the zero-crossing count of tonemeter.h.
inline std::vector<int> AsWords(const std::vector<double>& scaled) {
    std::vector<int> words;
    words.reserve(scaled.size());
    for (double v : scaled)
        words.push_back(int(v * 32768.0));
    return words;
}

// Fills an empty buffer with a sine of `amplitude` (full scale 1.0) at `hertz` in every channel,
// at `depth`, and commits that format.
inline void FillTone(CSampleBuffer& buffer, SampleDepth depth, bool stereo, quint32 rate,
                     quint32 frames, double hertz, double amplitude) {
    buffer.SetFormat(rate, stereo, depth);
    buffer.InsertFrames(0, frames, 0);
    quint8* p = buffer.GetData();
    for (quint32 frame = 0; frame < frames; ++frame) {
        const double v = amplitude * std::sin(2.0 * M_PI * hertz * frame / rate);
        for (quint32 channel = 0; channel < buffer.GetChannels(); ++channel) {
            switch (depth) {
            case SampleDepth::Int8:
                *p++ = quint8(std::lround(v * 127.0) + 128);
                break;
            case SampleDepth::Int16:
                qToLittleEndian<qint16>(qint16(std::lround(v * 32767.0)), p);
                p += 2;
                break;
            case SampleDepth::Int24: {
                const quint32 u = quint32(qint32(std::lround(v * 8388607.0)));
                *p++ = quint8(u);
                *p++ = quint8(u >> 8);
                *p++ = quint8(u >> 16);
                break;
            }
            case SampleDepth::Float32:
                qToLittleEndian<float>(float(v), p);
                p += 4;
                break;
            }
        }
    }
    buffer.CommitFormat();
}
