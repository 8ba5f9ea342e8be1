#pragma once
// Reading and writing single samples of a sample buffer's data, and walking the samples of one
// frame range and channel selector. Shared by the effects, the conversions and the clipboard.

#include "core/samplebuffer.h"

#include <QtEndian>

#include <cmath>
#include <cstring>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

inline int LoadInt24(const quint8* p) {
    // The top byte shifted in as the sign of a 32-bit value, then shifted back arithmetically.
    return int(quint32(p[0] << 8 | p[1] << 16 | quint32(p[2]) << 24)) >> 8;
}
inline void StoreInt24(quint8* p, int value) {
    p[0] = quint8(value);
    p[1] = quint8(value >> 8);
    p[2] = quint8(value >> 16);
}

// One depth's samples as values: `Value` is int for the integer depths (signed, so 8-bit data
// reads as byte - 128) and float for float samples. kLow and kHigh are the integer range,
// kScale the value of full scale (2^(bits-1), 1 for float).
template <SampleDepth D> struct Sample {
    static constexpr bool kFloat = D == SampleDepth::Float32;
    using Value = std::conditional_t<kFloat, float, int>;
    static constexpr quint32 kBytes = DepthBytes(D);
    static constexpr int kBits = int(DepthBits(D));
    static constexpr int kHigh = kFloat ? 0 : int((1u << (kBits - 1)) - 1);
    static constexpr int kLow = -kHigh - 1;
    static constexpr double kScale = kFloat ? 1.0 : double(kHigh) + 1.0;

    static Value Load(const quint8* p) {
        if constexpr (D == SampleDepth::Int8)
            return int(*p) - 128;
        else if constexpr (D == SampleDepth::Int16)
            return LoadWord(p);
        else if constexpr (D == SampleDepth::Int24)
            return LoadInt24(p);
        else
            return qFromLittleEndian<float>(p);
    }
    static void Store(quint8* p, Value value) {
        if constexpr (D == SampleDepth::Int8)
            *p = quint8(value + 128);
        else if constexpr (D == SampleDepth::Int16)
            StoreWord(p, value);
        else if constexpr (D == SampleDepth::Int24)
            StoreInt24(p, value);
        else
            qToLittleEndian<float>(value, p);
    }
    // A float value of this depth's scale (a product, a mix) truncated toward zero and clipped,
    // as the effects store their results; float samples keep it as it is.
    static Value FromProduct(double value) {
        if constexpr (kFloat)
            return float(value);
        else
            return SaturateTrunc(value, kLow, kHigh);
    }
};

// A value of depth From as one of depth To: integers widen by shifting left and narrow by
// keeping the high bits (an arithmetic shift); integer to float divides by 2^(bits-1), float to
// integer multiplies by it, rounds to the nearest and clips (NaN becomes 0).
template <SampleDepth From, SampleDepth To>
inline typename Sample<To>::Value ConvertValue(typename Sample<From>::Value v) {
    using S = Sample<From>;
    using T = Sample<To>;
    if constexpr (S::kFloat && T::kFloat) {
        return v;
    } else if constexpr (T::kFloat) {
        return float(v) * float(1.0 / S::kScale);
    } else if constexpr (S::kFloat) {
        const float x = v * float(T::kScale);
        if (!(x > float(T::kLow)))
            return x == x ? T::kLow : 0;
        return x >= float(T::kHigh) ? T::kHigh : int(std::lrint(x));
    } else if constexpr (T::kBits >= S::kBits) {
        return int(quint32(v) << (T::kBits - S::kBits));
    } else {
        return v >> (S::kBits - T::kBits);
    }
}

#ifdef __SSE2__
// Four packed 24-bit samples from the first twelve bytes of `in`, each in the top three bytes
// of a 32-bit lane (value x 256): byte shifts and masks, as SSE2 has no byte shuffle.
inline __m128i Int24Lanes(__m128i in) {
    const __m128i lane0 = _mm_setr_epi32(int(0xFFFFFF00), 0, 0, 0);
    return _mm_or_si128(
        _mm_or_si128(_mm_and_si128(_mm_slli_si128(in, 1), lane0),
                     _mm_and_si128(_mm_slli_si128(in, 2), _mm_slli_si128(lane0, 4))),
        _mm_or_si128(_mm_and_si128(_mm_slli_si128(in, 3), _mm_slli_si128(lane0, 8)),
                     _mm_and_si128(_mm_slli_si128(in, 4), _mm_slli_si128(lane0, 12))));
}
#endif

// The byte offset of the right channel in the slot ReadFrame fills: 2 for 8- and 16-bit
// layouts (a 4-byte slot), 4 for 24-bit and float ones (an 8-byte slot).
constexpr quint32 SlotHalf(SampleLayout layout) {
    return LayoutIsClassic(layout) ? 2 : 4;
}

// Stores a frame slot as ReadFrame fills it (left or only channel from byte 0, right from byte
// SlotHalf, each value in the first bytes of its half) as one frame of `layout`.
inline void StoreSlot(quint8* frame, const quint8* slot, SampleLayout layout) {
    const quint32 bytes = LayoutBytesPerSample(layout);
    for (quint32 c = 0; c < LayoutChannels(layout); ++c)
        std::memcpy(frame + c * bytes, slot + c * SlotHalf(layout), bytes);
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
