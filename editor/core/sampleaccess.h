#pragma once
// Reading and writing single samples of a sample buffer's data, and walking the samples of one
// frame range and channel selector. Shared by the effects, the conversions and the clipboard.

#include "core/samplebuffer.h"

#include <QtEndian>

namespace wlpro::sampleaccess {

inline int LoadWord(const quint8* p) {
    return qFromLittleEndian<qint16>(p);
}
inline void StoreWord(quint8* p, int value) {
    qToLittleEndian<qint16>(qint16(value), p);
}

// Truncates toward zero after clamping to [low, high]; the caller has ruled out NaN.
inline int SaturateTrunc(double value, int low, int high) {
    if (value > high)
        return high;
    if (value < low)
        return low;
    return int(value);
}

// Stores a 4-byte frame slot as ReadFrame fills it (left or only channel in bytes 0-1, right in
// bytes 2-3, an 8-bit value in the first byte of its slot) as one frame of `layout`.
inline void StoreSlot(quint8* frame, const quint8* slot, SampleLayout layout) {
    switch (layout) {
    case SampleLayout::Mono8:
        frame[0] = slot[0];
        break;
    case SampleLayout::Mono16:
        frame[0] = slot[0];
        frame[1] = slot[1];
        break;
    case SampleLayout::Stereo8:
        frame[0] = slot[0];
        frame[1] = slot[2];
        break;
    case SampleLayout::Stereo16:
        for (int i = 0; i < 4; ++i)
            frame[i] = slot[i];
        break;
    }
}

// The samples one selector picks from frames first..last: `count` samples `stride` bytes apart,
// starting at `start`. On a mono sample every selector means its only channel.
struct CChannelWalk {
    quint8* start = nullptr;
    quint64 count = 0;
    quint32 stride = 0;
    // Samples per frame that the walk visits: 2 for both channels of a stereo sample, else 1.
    quint32 perFrame = 1;
};

inline CChannelWalk WalkChannel(quint8* data, SampleLayout layout, qint64 first, qint64 last,
                                int channel) {
    const quint32 sampleBytes = LayoutBytesPerSample(layout);
    const quint32 frameBytes = LayoutBytesPerFrame(layout);
    const bool oneOfTwo = LayoutIsStereo(layout) && (channel == 1 || channel == 2);
    CChannelWalk walk;
    walk.start = data + quint64(first) * frameBytes + (oneOfTwo && channel == 2 ? sampleBytes : 0);
    walk.perFrame = oneOfTwo ? 1 : LayoutChannels(layout);
    walk.count = quint64(last - first + 1) * walk.perFrame;
    walk.stride = oneOfTwo ? frameBytes : sampleBytes;
    return walk;
}

} // namespace wlpro::sampleaccess

// The name the editor's sources have always used.
namespace sampleaccess = wlpro::sampleaccess;
