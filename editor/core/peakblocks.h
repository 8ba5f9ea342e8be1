#pragma once
// The loops that summarise whole level-0 blocks of the peak summary, each block into the 8 bytes
// of its peak (min left, min right, max left, max right) without leaving the registers. Loading a
// file feeds every block through here while its bytes are in the cache, so the loop, not the
// memory, sets the pace.
//
// The loops are written once for vectors of any width and compiled twice: in peaksummary.cpp for
// 16 bytes (SSE2, which every x86-64 processor has) and in peakblocks_avx2.cpp, built for AVX2, for
// 32 bytes. Everything below is internal to each file that includes it, so the two compilations
// never share a symbol.

#include "core/framecodec.h"
#include "core/sampleaccess.h"
#include "core/samplebuffer.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <type_traits>

#ifdef __SSE2__
#include <immintrin.h>
#endif

namespace wlpro::peakblocks {

// Bytes of data per level-0 block; a block holds the whole frames that fit.
constexpr quint32 kBlockBytes = 1024;

// The AVX2 compilation of ScanLayoutBlocks; false for a layout it leaves to the caller.
bool ScanLayoutBlocksAvx2(SampleLayout layout, const quint8* data, std::size_t count,
                          quint8* peaks);

namespace {

// A float extreme as the summary keeps it: x 32768 rounded down and clipped; no number shows as
// the lowest value.
inline int PeakOfFloat(float v) {
    return v >= 1.0f ? 32767 : v < -1.0f || v != v ? -32768 : int(std::floor(v * 32768.0f));
}

// Writes one block's peak, min left, min right, max left, max right, as 8 bytes.
inline void StorePeak(quint8* peak, int minLeft, int minRight, int maxLeft, int maxRight) {
    const qint16 values[4] = {qint16(minLeft), qint16(minRight), qint16(maxLeft), qint16(maxRight)};
    std::memcpy(peak, values, sizeof values);
}

#ifdef __SSE2__
// Lane-wise extremes; 8-bit data compares as unsigned bytes, which keeps the order of its values.
template <bool Wide> __m128i Lower(__m128i a, __m128i b) {
    if constexpr (Wide)
        return _mm_min_epi16(a, b);
    else
        return _mm_min_epu8(a, b);
}
template <bool Wide> __m128i Upper(__m128i a, __m128i b) {
    if constexpr (Wide)
        return _mm_max_epi16(a, b);
    else
        return _mm_max_epu8(a, b);
}
// Folds the upper lanes onto the lower ones, `Shift` bytes down.
template <bool Wide, int Shift> void Halve(__m128i& low, __m128i& high) {
    low = Lower<Wide>(low, _mm_srli_si128(low, Shift));
    high = Upper<Wide>(high, _mm_srli_si128(high, Shift));
}

// Folds 16 bytes of lanes down to the first `FrameBytes`, where each channel's extremes end up.
template <bool Wide, int FrameBytes> void FoldToFrame(__m128i& low, __m128i& high) {
    Halve<Wide, 8>(low, high);
    Halve<Wide, 4>(low, high);
    if constexpr (FrameBytes <= 2)
        Halve<Wide, 2>(low, high);
    if constexpr (FrameBytes == 1)
        Halve<Wide, 1>(low, high);
}

// Half `Index` (0 low, 1 high) of a 32-byte vector, or the whole of a 16-byte one.
template <int Index, class Vector> __m128i HalfOf(const Vector& v) {
    __m128i half;
    std::memcpy(&half, reinterpret_cast<const char*>(&v) + (sizeof v == 16 ? 0 : 16 * Index),
                sizeof half);
    return half;
}

// The loops' vectors of `Lane` values, `Bytes` wide. Declared outside the loops: a vector typedef
// inside a template is not applied in time for all of its uses.
template <class Lane, int Bytes> struct VectorOf;
template <> struct VectorOf<quint8, 16> { typedef quint8 Type __attribute__((vector_size(16))); };
template <> struct VectorOf<quint8, 32> { typedef quint8 Type __attribute__((vector_size(32))); };
template <> struct VectorOf<qint16, 16> { typedef qint16 Type __attribute__((vector_size(16))); };
template <> struct VectorOf<qint16, 32> { typedef qint16 Type __attribute__((vector_size(32))); };
template <> struct VectorOf<float, 16> { typedef float Type __attribute__((vector_size(16))); };
template <> struct VectorOf<float, 32> { typedef float Type __attribute__((vector_size(32))); };

// Vector `k` of those from `p` on; blocks are only as aligned as the sample's data.
template <class Vector> Vector VectorAt(const quint8* p, int k) {
    Vector v;
    std::memcpy(&v, p + k * sizeof v, sizeof v);
    return v;
}

// Whole blocks of an 8- or 16-bit layout, `Bytes`-byte vectors at a time, and one fold per block.
template <int Bytes, bool Wide, bool Stereo>
void ScanClassicBlocks(const quint8* data, std::size_t count, quint8* peaks) {
    using Vector = typename VectorOf<std::conditional_t<Wide, qint16, quint8>, Bytes>::Type;
    constexpr int kFrameBytes = (Wide ? 2 : 1) * (Stereo ? 2 : 1);
    constexpr int kVectors = kBlockBytes / sizeof(Vector);
    static_assert(kVectors % 4 == 0);
    for (std::size_t b = 0; b < count; ++b) {
        const quint8* p = data + b * kBlockBytes;
        auto at = [p](int k) { return VectorAt<Vector>(p, k); };
        Vector v0 = at(0);
        Vector v1 = at(1);
        Vector v2 = at(2);
        Vector v3 = at(3);
        Vector low = v0 < v1 ? v0 : v1;
        Vector high = v0 > v1 ? v0 : v1;
        Vector low2 = v2 < v3 ? v2 : v3;
        Vector high2 = v2 > v3 ? v2 : v3;
        for (int k = 4; k < kVectors; k += 4) {
            v0 = at(k);
            v1 = at(k + 1);
            v2 = at(k + 2);
            v3 = at(k + 3);
            low = low < v0 ? low : v0;
            high = high > v0 ? high : v0;
            low2 = low2 < v1 ? low2 : v1;
            high2 = high2 > v1 ? high2 : v1;
            low = low < v2 ? low : v2;
            high = high > v2 ? high : v2;
            low2 = low2 < v3 ? low2 : v3;
            high2 = high2 > v3 ? high2 : v3;
        }
        low = low < low2 ? low : low2;
        high = high > high2 ? high : high2;
        __m128i lo = Lower<Wide>(HalfOf<0>(low), HalfOf<1>(low));
        __m128i hi = Upper<Wide>(HalfOf<0>(high), HalfOf<1>(high));
        FoldToFrame<Wide, kFrameBytes>(lo, hi);
        if constexpr (!Wide) {
            // (byte - 128) * 256: the byte into the high half of a 16-bit lane, its top bit
            // flipped.
            const __m128i flip = _mm_set1_epi16(-32768);
            lo = _mm_xor_si128(_mm_unpacklo_epi8(_mm_setzero_si128(), lo), flip);
            hi = _mm_xor_si128(_mm_unpacklo_epi8(_mm_setzero_si128(), hi), flip);
        }
        // A mono sample answers for both channels.
        if constexpr (!Stereo) {
            lo = _mm_shufflelo_epi16(lo, 0);
            hi = _mm_shufflelo_epi16(hi, 0);
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(peaks + 8 * b), _mm_unpacklo_epi32(lo, hi));
    }
}

// Whole blocks of float samples in the same way. A sample that is no number is passed over, as a
// scan of single frames does, unless a block starts with it.
template <int Bytes, bool Stereo>
void ScanFloatBlocks(const quint8* data, std::size_t count, quint8* peaks) {
    using Vector = typename VectorOf<float, Bytes>::Type;
    constexpr int kVectors = kBlockBytes / sizeof(Vector);
    static_assert(kVectors % 2 == 0);
    for (std::size_t b = 0; b < count; ++b) {
        const quint8* p = data + b * kBlockBytes;
        auto at = [p](int k) { return VectorAt<Vector>(p, k); };
        Vector low = at(0);
        Vector high = low;
        Vector low2 = at(1);
        Vector high2 = low2;
        for (int k = 2; k < kVectors; k += 2) {
            const Vector v0 = at(k);
            const Vector v1 = at(k + 1);
            low = v0 < low ? v0 : low;
            high = v0 > high ? v0 : high;
            low2 = v1 < low2 ? v1 : low2;
            high2 = v1 > high2 ? v1 : high2;
        }
        low = low2 < low ? low2 : low;
        high = high2 > high ? high2 : high;
        // Down to one frame: lanes 0 and 1 for stereo, lane 0 for mono.
        __m128 lo = _mm_min_ps(_mm_castsi128_ps(HalfOf<1>(low)), _mm_castsi128_ps(HalfOf<0>(low)));
        __m128 hi =
            _mm_max_ps(_mm_castsi128_ps(HalfOf<1>(high)), _mm_castsi128_ps(HalfOf<0>(high)));
        lo = _mm_min_ps(_mm_movehl_ps(lo, lo), lo);
        hi = _mm_max_ps(_mm_movehl_ps(hi, hi), hi);
        if constexpr (!Stereo) {
            lo = _mm_min_ps(_mm_shuffle_ps(lo, lo, 1), lo);
            hi = _mm_max_ps(_mm_shuffle_ps(hi, hi, 1), hi);
        }
        alignas(16) float los[4];
        alignas(16) float his[4];
        _mm_store_ps(los, lo);
        _mm_store_ps(his, hi);
        const int right = Stereo ? 1 : 0;
        StorePeak(peaks + 8 * b, PeakOfFloat(los[0]), PeakOfFloat(los[right]), PeakOfFloat(his[0]),
                  PeakOfFloat(his[right]));
    }
}

// Whole blocks of 24-bit samples: the high 16 bits of four samples, the value the summary keeps,
// picked out of twelve bytes by one byte shuffle (SSSE3, which the caller checks for); with
// 32-byte vectors, two such groups, one in each half. The loads read four bytes past their group,
// so they stay inside the block: its last group goes sample by sample.
template <int Bytes, bool Stereo>
__attribute__((target("ssse3"))) void ScanInt24Blocks(const quint8* data, std::size_t count,
                                                      quint8* peaks) {
    constexpr std::size_t kFrameBytes = Stereo ? 6 : 3;
    constexpr std::size_t kBlock = kBlockBytes / kFrameBytes * kFrameBytes;
    constexpr std::size_t kGroups = (kBlock - 4) / 12;
    static_assert(kGroups % 2 == 0 && 12 * (kGroups - 1) + 16 <= kBlock);
    const __m128i pick = _mm_setr_epi8(1, 2, 4, 5, 7, 8, 10, 11, 1, 2, 4, 5, 7, 8, 10, 11);
    for (std::size_t b = 0; b < count; ++b) {
        const auto* p = data + b * kBlock;
        __m128i lo;
        __m128i hi;
        if constexpr (Bytes == 16) {
            lo = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), pick);
            hi = lo;
            for (std::size_t g = 1; g < kGroups; ++g) {
                const __m128i w = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12 * g)), pick);
                lo = _mm_min_epi16(lo, w);
                hi = _mm_max_epi16(hi, w);
            }
        } else {
            // Two groups of twelve bytes, one in each half of the vector.
            const __m256i pick2 = _mm256_broadcastsi128_si256(pick);
            auto groups = [&](std::size_t g) {
                return _mm256_shuffle_epi8(
                    _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(p + 12 * g + 12),
                                        reinterpret_cast<const __m128i*>(p + 12 * g)),
                    pick2);
            };
            __m256i lo2 = groups(0);
            __m256i hi2 = lo2;
            for (std::size_t g = 2; g < kGroups; g += 2) {
                const __m256i w = groups(g);
                lo2 = _mm256_min_epi16(lo2, w);
                hi2 = _mm256_max_epi16(hi2, w);
            }
            lo = _mm_min_epi16(_mm256_castsi256_si128(lo2), _mm256_extracti128_si256(lo2, 1));
            hi = _mm_max_epi16(_mm256_castsi256_si128(hi2), _mm256_extracti128_si256(hi2, 1));
        }
        // Four samples are two stereo frames: fold them onto lanes 0 and 1, or for mono lane 0.
        Halve<true, 4>(lo, hi);
        if constexpr (!Stereo)
            Halve<true, 2>(lo, hi);
        int low[2] = {qint16(_mm_extract_epi16(lo, 0)), qint16(_mm_extract_epi16(lo, 1))};
        int high[2] = {qint16(_mm_extract_epi16(hi, 0)), qint16(_mm_extract_epi16(hi, 1))};
        for (std::size_t at = 12 * kGroups; at + 3 <= kBlock; at += 3) {
            const int c = Stereo ? int(at / 3 % 2) : 0;
            const int value = wlpro::sampleaccess::LoadWord(p + at + 1);
            low[c] = std::min(low[c], value);
            high[c] = std::max(high[c], value);
        }
        const int right = Stereo ? 1 : 0;
        StorePeak(peaks + 8 * b, low[0], low[right], high[0], high[right]);
    }
}

// Summarises `count` whole blocks of `layout` from `data` into `peaks` with `Bytes`-byte vectors;
// false, doing nothing, for 24-bit layouts when the processor has no byte shuffle.
template <int Bytes>
bool ScanLayoutBlocks(SampleLayout layout, const quint8* data, std::size_t count, quint8* peaks,
                      bool byteShuffle) {
    return wlpro::framecodec::WithLayout(layout, [&](auto l) {
        constexpr SampleLayout kLayout = decltype(l)::value;
        constexpr bool kStereo = LayoutIsStereo(kLayout);
        if constexpr (LayoutIsClassic(kLayout))
            ScanClassicBlocks<Bytes, LayoutIs16Bit(kLayout), kStereo>(data, count, peaks);
        else if constexpr (LayoutDepth(kLayout) == SampleDepth::Float32)
            ScanFloatBlocks<Bytes, kStereo>(data, count, peaks);
        else if (byteShuffle)
            ScanInt24Blocks<Bytes, kStereo>(data, count, peaks);
        else
            return false;
        return true;
    });
}
#endif

} // namespace
} // namespace wlpro::peakblocks
