#pragma once
// The samples of any of the four depths as numbers at full scale 1.0, for tests that measure a
// tone whatever the depth it was recorded or converted at.

#include "core/samplebuffer.h"

#include <QtEndian>

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
