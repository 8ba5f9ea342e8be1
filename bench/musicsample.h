#pragma once
// The sound the editor's benchmarks measure with: 44.1 kHz 16-bit stereo that looks like music to
// the strips (every column has a different extent) and costs little to make for an hour.

#include "core/samplebuffer.h"

#include <cmath>

// Two detuned tones with a little noise, as music-like as the cost of making an hour allows.
inline void FillMusic(CSampleBuffer& buffer, quint32 frames) {
    constexpr quint32 kRate = 44100;
    buffer.SetFormat(kRate, true, true);
    buffer.InsertFrames(0, frames, 0);
    quint8* p = buffer.GetData();
    quint32 noise = 12345;
    for (quint32 i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double t = double(i % kRate) / kRate;
        const int left = int(12000 * std::sin(2 * M_PI * 440 * t)) + int(noise >> 24) - 128;
        const int right = int(9000 * std::sin(2 * M_PI * 555 * t)) + int((noise >> 16) & 255) - 128;
        for (int v : {left, right}) {
            *p++ = quint8(v & 0xFF);
            *p++ = quint8((v >> 8) & 0xFF);
        }
    }
    buffer.CommitFormat();
}
