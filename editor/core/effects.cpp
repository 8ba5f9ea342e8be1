// The sample effects: gains through look-up tables, normalising, DC bias, per-frame gain and
// panning, reverse and peak search.
//
// Arithmetic: gains are single-precision, products are truncated toward zero. The integer depths
// saturate: an 8-bit product beyond -128..127, a 16-bit one beyond -32768..32767 and a 24-bit
// one beyond its range stick at the limit, so a loud passage clips instead of wrapping round to
// the opposite sign. Float samples keep their products as they are, beyond full scale too.
// 8- and 16-bit samples go through tables or SSE2; 24-bit and float ones through one template
// per operation, in loops the compiler vectorises where the samples lie side by side.

#include "core/framecodec.h"
#include "core/sampleaccess.h"
#include "core/samplebuffer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__SSE2__)
#define WLPRO_BYTE_SHUFFLE 1
#include <tmmintrin.h>
#endif

using namespace wlpro::sampleaccess;
using wlpro::framecodec::WithDepth;

namespace {

int Saturate8(double value) {
    return SaturateTrunc(value, -128, 127) + 128;
}
int Saturate16(double value) {
    return SaturateTrunc(value, -32768, 32767);
}

// Distance of an 8-bit sample from the line 127 that the peak measures start from.
int Measure8(int byte) {
    return byte >= 128 ? byte - 127 : 127 - byte;
}

void MapBytes(const CChannelWalk& walk, const std::array<quint8, 256>& table) {
    quint8* p = walk.start;
    if (walk.stride == 1) {
        for (quint64 i = 0; i < walk.count; ++i)
            p[i] = table[p[i]];
        return;
    }
    for (quint64 i = 0; i < walk.count; ++i, p += walk.stride)
        *p = table[*p];
}

// `table` is indexed by the word's bit pattern, so that -1 is entry 65535.
void MapWords(const CChannelWalk& walk, const std::vector<qint16>& table) {
    quint8* p = walk.start;
    for (quint64 i = 0; i < walk.count; ++i, p += walk.stride)
        StoreWord(p, table[quint16(LoadWord(p))]);
}

std::vector<qint16> WordTable(double (*value)(int word, double parameter), double parameter) {
    std::vector<qint16> table(65536);
    for (int w = -32768; w <= 32767; ++w)
        table[quint16(w)] = qint16(Saturate16(value(w, parameter)));
    return table;
}

std::array<quint8, 256> ByteTable(double (*value)(int sample, double parameter), double parameter) {
    std::array<quint8, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[std::size_t(b)] = quint8(Saturate8(value(b - 128, parameter)));
    return table;
}

double Product(int sample, double gain) {
    return double(float(sample) * float(gain));
}
double Difference(int sample, double offset) {
    return double(sample) - offset;
}

// The peak of the walk by the measure of the normalise and peak search operations, and the
// index of the first sample that reached it; the peak starts at 0.
struct CPeak {
    int measure = 0;
    quint64 index = 0;
};

CPeak FindPeak(const CChannelWalk& walk, bool sixteenBit) {
    CPeak peak;
    const quint8* p = walk.start;
    for (quint64 i = 0; i < walk.count; ++i, p += walk.stride) {
        const int measure = sixteenBit ? LoadWord(p) : Measure8(*p);
        if (measure > peak.measure) {
            peak.measure = measure;
            peak.index = i;
        }
    }
    return peak;
}

#ifdef __SSE2__
// The 16-bit gain eight words at a time: the same single-precision product, saturated and
// truncated toward zero, as the table holds, at about the speed of copying the bytes (table
// look-ups run at a third of it). `start` is the first word of a frame; on a stereo sample the
// even words are the left channel, the odd ones the right.
void AmplifyWords(quint8* start, quint64 words, float gain, bool left, bool right) {
    const __m128 g = _mm_set1_ps(gain);
    const __m128 high = _mm_set1_ps(32767.0f);
    const __m128 low = _mm_set1_ps(-32768.0f);
    const short l = left ? -1 : 0;
    const short r = right ? -1 : 0;
    const __m128i chosen = _mm_setr_epi16(l, r, l, r, l, r, l, r);
    quint8* p = start;
    quint64 i = 0;
    for (; i + 8 <= words; i += 8, p += 16) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128 a = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(in, in), 16));
        __m128 b = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpackhi_epi16(in, in), 16));
        a = _mm_max_ps(_mm_min_ps(_mm_mul_ps(a, g), high), low);
        b = _mm_max_ps(_mm_min_ps(_mm_mul_ps(b, g), high), low);
        const __m128i out = _mm_packs_epi32(_mm_cvttps_epi32(a), _mm_cvttps_epi32(b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                         _mm_or_si128(_mm_and_si128(chosen, out), _mm_andnot_si128(chosen, in)));
    }
    for (; i < words; ++i, p += 2) {
        if (i % 2 == 0 ? left : right)
            StoreWord(p, Saturate16(Product(LoadWord(p), gain)));
    }
}

// The float gain four samples at a time (the compiler leaves the plain loop scalar at this
// optimisation level). Returns the samples done.
quint64 AmplifyFloats(quint8* p, quint64 count, float gain) {
    const __m128 g = _mm_set1_ps(gain);
    quint64 i = 0;
    for (; i + 4 <= count; i += 4, p += 16) {
        const __m128 x = _mm_loadu_ps(reinterpret_cast<const float*>(p));
        _mm_storeu_ps(reinterpret_cast<float*>(p), _mm_mul_ps(x, g));
    }
    return i;
}

#endif

template <typename Unit> void ReverseUnits(quint8* data, quint64 count) {
    quint8* low = data;
    quint8* high = data + (count - 1) * sizeof(Unit);
    for (; low < high; low += sizeof(Unit), high -= sizeof(Unit)) {
        Unit a;
        Unit b;
        std::memcpy(&a, low, sizeof(Unit));
        std::memcpy(&b, high, sizeof(Unit));
        std::memcpy(low, &b, sizeof(Unit));
        std::memcpy(high, &a, sizeof(Unit));
    }
}

// The largest gain ScaleFrame applies; beyond it every product saturates alike.
constexpr double kLargestGain = double(std::numeric_limits<float>::max());

#ifdef __SSE2__
// Values base + step x k for four k from k0 on, clamped to [low, high] unless the run is known
// to stay inside, in single precision; each call gives the next four. SSE2 only, so that it
// inlines into the SSE2 and the SSSE3 runs alike.
template <bool kClamp = true> class CRampLanes {
public:
    CRampLanes(double base, double step, double k0, double low, double high)
        : m_base(_mm_set1_pd(base)), m_step(_mm_set1_pd(step)), m_low(_mm_set1_pd(low)),
          m_high(_mm_set1_pd(high)), m_k01(_mm_set_pd(k0 + 1, k0)),
          m_k23(_mm_set_pd(k0 + 3, k0 + 2)) {}
    __m128 Next() {
        const __m128d four = _mm_set1_pd(4.0);
        __m128d a = _mm_add_pd(m_base, _mm_mul_pd(m_step, m_k01));
        __m128d b = _mm_add_pd(m_base, _mm_mul_pd(m_step, m_k23));
        if constexpr (kClamp) {
            a = _mm_max_pd(_mm_min_pd(a, m_high), m_low);
            b = _mm_max_pd(_mm_min_pd(b, m_high), m_low);
        }
        m_k01 = _mm_add_pd(m_k01, four);
        m_k23 = _mm_add_pd(m_k23, four);
        return _mm_movelh_ps(_mm_cvtpd_ps(a), _mm_cvtpd_ps(b));
    }

private:
    __m128d m_base, m_step, m_low, m_high, m_k01, m_k23;
};
#endif

#ifdef WLPRO_BYTE_SHUFFLE
// The 24-bit loops shuffle bytes, which x86 has from SSSE3 on: compiled for it and used where the
// processor has it (any from the last fifteen years), the plain loops elsewhere.
bool HasByteShuffle() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// Twelve bytes stored as eight and four: a 16-byte store under the next load would stall it,
// and the four bytes after the twelve may not be ours to write.
__attribute__((target("ssse3"))) inline void Store12(quint8* p, __m128i bytes) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), bytes);
    const quint32 last = quint32(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 8)));
    std::memcpy(p + 8, &last, 4);
}

// The 24-bit gain four samples (twelve bytes) at a time, with GainOp's arithmetic: a shuffle puts
// each sample in the top three bytes of a 32-bit lane, whose arithmetic shift gives its value,
// and another packs the results back. Returns the samples done; the caller does the last few.
__attribute__((target("ssse3"))) quint64 AmplifyInt24(quint8* p, quint64 count, float gain) {
    const __m128i unpack = _mm_setr_epi8(-1, 0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11);
    const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m128 g = _mm_set1_ps(gain);
    const __m128 high = _mm_set1_ps(8388607.0f);
    const __m128 low = _mm_set1_ps(-8388608.0f);
    quint64 i = 0;
    // Each turn loads sixteen bytes for its twelve.
    for (; i + 6 <= count; i += 4, p += 12) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i lanes = _mm_srai_epi32(_mm_shuffle_epi8(in, unpack), 8);
        __m128 x = _mm_mul_ps(_mm_cvtepi32_ps(lanes), g);
        x = _mm_max_ps(_mm_min_ps(x, high), low);
        Store12(p, _mm_shuffle_epi8(_mm_cvttps_epi32(x), pack));
    }
    return i;
}

// Reverses `frames` frames of 3 or 6 bytes: twelve bytes from each end at a time, whose samples
// (mono) or two frames (stereo) one shuffle puts in reverse order; the middle frames after.
__attribute__((target("ssse3"))) void ReverseInt24(quint8* start, quint64 frames,
                                                   quint32 frameBytes) {
    // The shuffles of twelve bytes loaded at their start and loaded from four bytes before it.
    alignas(16) qint8 order[2][16];
    for (int b = 0; b < 16; ++b) {
        const int unit = int(frameBytes);
        const int from = (12 / unit - 1 - b / unit) * unit + b % unit;
        order[0][b] = qint8(b < 12 ? from : -1);
        order[1][b] = qint8(b < 12 ? from + 4 : -1);
    }
    const __m128i atStart = _mm_load_si128(reinterpret_cast<const __m128i*>(order[0]));
    const __m128i atEnd = _mm_load_si128(reinterpret_cast<const __m128i*>(order[1]));
    quint8* low = start;
    quint8* high = start + frames * frameBytes;
    if (frames * frameBytes >= 24) {
        for (high -= 12; low + 12 <= high; low += 12, high -= 12) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high - 4));
            Store12(low, _mm_shuffle_epi8(b, atEnd));
            Store12(high, _mm_shuffle_epi8(a, atStart));
        }
        high += 12;
    }
    const quint64 middle = quint64(high - low) / frameBytes;
    if (middle < 2)
        return;
    if (frameBytes == 3)
        ReverseUnits<std::array<quint8, 3>>(low, middle);
    else
        ReverseUnits<std::array<quint8, 6>>(low, middle);
}

// Four samples of 24-bit or float data as float lanes, and back: 24-bit products saturate and
// truncate toward zero as ScaleSample's do. Loads of 24-bit data read four bytes past the
// twelve.
template <SampleDepth D> struct CWideLanes;
template <> struct CWideLanes<SampleDepth::Float32> {
    static constexpr quint32 kBytes = 16;
    __attribute__((target("ssse3"))) static __m128 Load(const quint8* p) {
        return _mm_loadu_ps(reinterpret_cast<const float*>(p));
    }
    __attribute__((target("ssse3"))) static void Store(quint8* p, __m128 x) {
        _mm_storeu_ps(reinterpret_cast<float*>(p), x);
    }
    // Integer samples halved toward zero; float ones halved.
    __attribute__((target("ssse3"))) static __m128 Half(__m128 x) {
        return _mm_mul_ps(x, _mm_set1_ps(0.5f));
    }
};
template <> struct CWideLanes<SampleDepth::Int24> {
    static constexpr quint32 kBytes = 12;
    __attribute__((target("ssse3"))) static __m128 Load(const quint8* p) {
        const __m128i unpack = _mm_setr_epi8(-1, 0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11);
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return _mm_cvtepi32_ps(_mm_srai_epi32(_mm_shuffle_epi8(in, unpack), 8));
    }
    __attribute__((target("ssse3"))) static void Store(quint8* p, __m128 x) {
        const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
        x = _mm_max_ps(_mm_min_ps(x, _mm_set1_ps(8388607.0f)), _mm_set1_ps(-8388608.0f));
        Store12(p, _mm_shuffle_epi8(_mm_cvttps_epi32(x), pack));
    }
    __attribute__((target("ssse3"))) static __m128 Half(__m128 x) {
        return _mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_mul_ps(x, _mm_set1_ps(0.5f))));
    }
};

// ScaleRamp's gains on 24-bit or float frames four at a time, with ScaleSample's arithmetic.
// Returns the frames done; the last two of 24-bit data are left to the caller, as the loads
// read past the frames they change.
template <SampleDepth D>
__attribute__((target("ssse3"))) quint64 ScaleWideRun(quint8* p, quint64 frames, bool stereo,
                                                      double base, double step, double k0,
                                                      bool left, bool right) {
    using V = CWideLanes<D>;
    const quint64 slack = D == SampleDepth::Int24 ? 2 : 0;
    CRampLanes<> gains(base, step, k0, -kLargestGain, kLargestGain);
    const __m128 chosen = _mm_castsi128_ps(
        _mm_setr_epi32(left ? -1 : 0, right ? -1 : 0, left ? -1 : 0, right ? -1 : 0));
    auto scale = [&](__m128 x, __m128 g) {
        const __m128 product = _mm_mul_ps(x, g);
        return _mm_or_ps(_mm_and_ps(chosen, product), _mm_andnot_ps(chosen, x));
    };
    quint64 done = 0;
    for (; done + 4 + slack <= frames; done += 4) {
        const __m128 g = gains.Next();
        if (stereo) {
            V::Store(p, scale(V::Load(p), _mm_unpacklo_ps(g, g)));
            V::Store(p + V::kBytes, scale(V::Load(p + V::kBytes), _mm_unpackhi_ps(g, g)));
            p += 2 * V::kBytes;
        } else {
            V::Store(p, _mm_mul_ps(V::Load(p), g));
            p += V::kBytes;
        }
    }
    return done;
}

// PanRamp's positions on 24-bit or float stereo frames two at a time per lane group, with
// PanSamples' arithmetic. Returns the frames done, as ScaleWideRun.
template <SampleDepth D>
__attribute__((target("ssse3"))) quint64 PanWideRun(quint8* p, quint64 frames, double base,
                                                    double step, double k0) {
    using V = CWideLanes<D>;
    const quint64 slack = D == SampleDepth::Int24 ? 2 : 0;
    CRampLanes<> positions(base, step, k0, 0.0, 1.0);
    const __m128 one = _mm_set1_ps(1.0f);
    // Each frame's two halves summed, in both of the frame's lanes, times its two factors.
    auto pan = [](__m128 x, __m128 factors) {
        const __m128 h = V::Half(x);
        return _mm_mul_ps(_mm_add_ps(h, _mm_shuffle_ps(h, h, _MM_SHUFFLE(2, 3, 0, 1))), factors);
    };
    quint64 done = 0;
    for (; done + 4 + slack <= frames; done += 4, p += 2 * V::kBytes) {
        const __m128 l = positions.Next();
        const __m128 r = _mm_sub_ps(one, l);
        V::Store(p, pan(V::Load(p), _mm_unpacklo_ps(l, r)));
        V::Store(p + V::kBytes, pan(V::Load(p + V::kBytes), _mm_unpackhi_ps(l, r)));
    }
    return done;
}

#endif

void ReverseStrided(const CChannelWalk& walk, quint32 sampleBytes) {
    quint8* low = walk.start;
    quint8* high = walk.start + (walk.count - 1) * walk.stride;
    for (; low < high; low += walk.stride, high -= walk.stride)
        std::swap_ranges(low, low + sampleBytes, high);
}

// An infinite gain times the zero line is undefined; the largest finite gain saturates alike.
double FiniteGain(float gain) {
    const double largest = double(std::numeric_limits<float>::max());
    return std::clamp(double(gain), -largest, largest);
}

float GainAt(double base, double step, double k) {
    return float(std::clamp(base + step * k, -kLargestGain, kLargestGain));
}

#ifdef __SSE2__
// The 16-bit gains of a straight run several frames at a time, with ScaleFrame's arithmetic: the
// gain rounded to single precision, the product saturated and truncated toward zero. Returns the
// frames done; the caller does the remaining few one by one.
// kClamp and kSaturate leave out the limits a run never reaches: its gains lie between those of its
// two ends, and products below 2^31 saturate alike when packed into words.
template <bool kClamp, bool kSaturate>
quint64 ScaleWordRunOf(quint8* p, quint64 frames, bool stereo, double base, double step, double k0,
                       bool left, bool right) {
    // Four frames' gains, then the next four.
    CRampLanes<kClamp> gains(base, step, k0, -kLargestGain, kLargestGain);
    const __m128 high = _mm_set1_ps(32767.0f);
    const __m128 low = _mm_set1_ps(-32768.0f);
    auto scale = [&](__m128i in, __m128 lowGains, __m128 highGains) {
        __m128 a = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(in, in), 16));
        __m128 c = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpackhi_epi16(in, in), 16));
        a = _mm_mul_ps(a, lowGains);
        c = _mm_mul_ps(c, highGains);
        if constexpr (kSaturate) {
            a = _mm_max_ps(_mm_min_ps(a, high), low);
            c = _mm_max_ps(_mm_min_ps(c, high), low);
        }
        return _mm_packs_epi32(_mm_cvttps_epi32(a), _mm_cvttps_epi32(c));
    };
    const short l = left ? -1 : 0;
    const short r = right ? -1 : 0;
    const __m128i chosen = stereo ? _mm_setr_epi16(l, r, l, r, l, r, l, r) : _mm_set1_epi16(-1);
    const bool both = !stereo || (left && right);
    const quint64 perBlock = stereo ? 4 : 8;
    quint64 done = 0;
    for (; done + perBlock <= frames; done += perBlock, p += 16) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i out;
        if (stereo) {
            const __m128 g = gains.Next();
            out = scale(in, _mm_unpacklo_ps(g, g), _mm_unpackhi_ps(g, g));
        } else {
            const __m128 g0 = gains.Next();
            out = scale(in, g0, gains.Next());
        }
        if (!both)
            out = _mm_or_si128(_mm_and_si128(chosen, out), _mm_andnot_si128(chosen, in));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), out);
    }
    return done;
}

quint64 ScaleWordRun(quint8* p, quint64 frames, bool stereo, double base, double step, double k0,
                     bool left, bool right) {
    if (frames == 0)
        return 0;
    const double ends =
        std::max(std::fabs(base + step * k0), std::fabs(base + step * (k0 + double(frames - 1))));
    if (ends > kLargestGain)
        return ScaleWordRunOf<true, true>(p, frames, stereo, base, step, k0, left, right);
    if (ends >= 65000.0)
        return ScaleWordRunOf<false, true>(p, frames, stereo, base, step, k0, left, right);
    return ScaleWordRunOf<false, false>(p, frames, stereo, base, step, k0, left, right);
}

// The 16-bit stereo pan of a straight run four frames at a time, with PanFrame's arithmetic: each
// channel halved toward zero, the halves summed, the sum times the position (left) and one minus
// it (right) in single precision, truncated toward zero. Returns the frames done.
template <bool kClamp>
quint64 PanWordRunOf(quint8* p, quint64 frames, double base, double step, double k0) {
    CRampLanes<kClamp> positions(base, step, k0, 0.0, 1.0);
    const __m128 onef = _mm_set1_ps(1.0f);
    // x / 2 as C divides: toward zero.
    auto half = [](__m128i x) {
        return _mm_srai_epi32(_mm_add_epi32(x, _mm_srli_epi32(x, 31)), 1);
    };
    // Each frame's two halves summed, in both of the frame's lanes.
    auto mix = [&](__m128i words) {
        const __m128i h = half(_mm_srai_epi32(words, 16));
        return _mm_cvtepi32_ps(_mm_add_epi32(h, _mm_shuffle_epi32(h, _MM_SHUFFLE(2, 3, 0, 1))));
    };
    quint64 done = 0;
    for (; done + 4 <= frames; done += 4, p += 16) {
        const __m128 left = positions.Next();
        const __m128 right = _mm_sub_ps(onef, left);
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128 low =
            _mm_mul_ps(mix(_mm_unpacklo_epi16(in, in)), _mm_unpacklo_ps(left, right));
        const __m128 high =
            _mm_mul_ps(mix(_mm_unpackhi_epi16(in, in)), _mm_unpackhi_ps(left, right));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                         _mm_packs_epi32(_mm_cvttps_epi32(low), _mm_cvttps_epi32(high)));
    }
    return done;
}

// Positions between those of the run's two ends need no clamp when both ends are within 0..1.
quint64 PanWordRun(quint8* p, quint64 frames, double base, double step, double k0) {
    if (frames == 0)
        return 0;
    const double a = base + step * k0;
    const double z = base + step * (k0 + double(frames - 1));
    if (a >= 0 && a <= 1 && z >= 0 && z <= 1)
        return PanWordRunOf<false>(p, frames, base, step, k0);
    return PanWordRunOf<true>(p, frames, base, step, k0);
}
#endif

// Selectors 1 and 2 mean one channel only on a stereo sample.
int EffectiveChannel(SampleLayout layout, int channel) {
    return LayoutIsStereo(layout) && (channel == 1 || channel == 2) ? channel : 0;
}

// Rewrites every sample of the walk as op(value). Samples side by side get a loop of their own
// whose constant stride lets the compiler vectorise it.
template <SampleDepth D, class Op> void MapSamples(const CChannelWalk& walk, Op op) {
    using S = Sample<D>;
    auto run = [&](quint64 stride) {
        quint8* p = walk.start;
        for (quint64 i = 0; i < walk.count; ++i)
            S::Store(p + i * stride, op(S::Load(p + i * stride)));
    };
    if (walk.stride == S::kBytes)
        run(S::kBytes);
    else
        run(walk.stride);
}

// The wide depths' gain: the single-precision product, saturated and truncated toward zero on
// 24-bit samples (in single precision, which holds every 24-bit value and limit exactly).
template <SampleDepth D> auto GainOp(float gain) {
    return [gain](typename Sample<D>::Value v) {
        using S = Sample<D>;
        const float x = float(v) * gain;
        if constexpr (S::kFloat) {
            return x;
        } else {
            const float clipped = x > float(S::kHigh)  ? float(S::kHigh)
                                  : x < float(S::kLow) ? float(S::kLow)
                                                       : x;
            return int(clipped);
        }
    };
}

// One sample times a gain as ScaleFrame computes it, at any depth.
template <SampleDepth D> void ScaleSample(quint8* p, float gain) {
    using S = Sample<D>;
    S::Store(p, S::FromProduct(double(float(S::Load(p)) * gain)));
}

// One stereo frame panned as PanFrame does it: each channel halved (toward zero on integers),
// the halves summed, the sum times the position (left) and one minus it (right).
template <SampleDepth D> void PanSamples(quint8* f, float position) {
    using S = Sample<D>;
    const auto l = S::Load(f);
    const auto r = S::Load(f + S::kBytes);
    if constexpr (S::kFloat) {
        const float mix = l * 0.5f + r * 0.5f;
        S::Store(f, mix * position);
        S::Store(f + S::kBytes, mix * (1.0f - position));
    } else {
        const int mix = l / 2 + r / 2;
        S::Store(f, int(float(mix) * position));
        S::Store(f + S::kBytes, int(float(mix) * (1.0f - position)));
    }
}

// The peak of 24-bit and float samples by the 16-bit measure: the largest value.
template <SampleDepth D> CPeak FindPeakOf(const CChannelWalk& walk, double& measure) {
    CPeak peak;
    measure = 0;
    const quint8* p = walk.start;
    for (quint64 i = 0; i < walk.count; ++i, p += walk.stride) {
        const double value = double(Sample<D>::Load(p));
        if (value > measure) {
            measure = value;
            peak.index = i;
        }
    }
    return peak;
}

// The peak's index and measure at any depth.
CPeak FindAnyPeak(const CChannelWalk& walk, SampleLayout layout, double& measure) {
    if (LayoutIsClassic(layout)) {
        const CPeak peak = FindPeak(walk, LayoutIs16Bit(layout));
        measure = peak.measure;
        return peak;
    }
    return WithDepth(LayoutDepth(layout),
                     [&](auto d) { return FindPeakOf<decltype(d)::value>(walk, measure); });
}

} // namespace

int CSampleBuffer::Amplify(float gain, qint64 first, qint64 last, int channel) {
    if (std::isnan(gain) || !ResolveRange(first, last) || !BeginWrite())
        return 0;
    const double finite = FiniteGain(gain);
#ifdef __SSE2__
    if (LayoutIs16Bit(m_layout)) {
        const int chosen = EffectiveChannel(m_layout, channel);
        const quint64 words = quint64(last - first + 1) * GetChannels();
        AmplifyWords(m_data + quint64(first) * BytesPerFrame(), words, float(finite), chosen != 2,
                     chosen != 1);
        return 1;
    }
#endif
    const CChannelWalk walk = WalkChannel(m_data, m_layout, first, last, channel);
    if (LayoutIs16Bit(m_layout))
        MapWords(walk, WordTable(Product, finite));
    else if (LayoutIsClassic(m_layout))
        MapBytes(walk, ByteTable(Product, finite));
    else
        WithDepth(GetDepth(), [&](auto d) {
            constexpr SampleDepth kDepth = decltype(d)::value;
            CChannelWalk rest = walk;
            quint64 done = 0;
#ifdef __SSE2__
            if (kDepth == SampleDepth::Float32 && walk.stride == 4)
                done = AmplifyFloats(walk.start, walk.count, float(finite));
#endif
#ifdef WLPRO_BYTE_SHUFFLE
            if (kDepth == SampleDepth::Int24 && walk.stride == 3 && HasByteShuffle())
                done = AmplifyInt24(walk.start, walk.count, float(finite));
#endif
            rest.start += done * walk.stride;
            rest.count -= done;
            MapSamples<kDepth>(rest, GainOp<kDepth>(float(finite)));
        });
    return 1;
}

float CSampleBuffer::NormaliseFactor(qint64 first, qint64 last, int channel) const {
    if (!ResolveRange(first, last))
        return 1.0f;
    const CChannelWalk walk =
        WalkChannel(const_cast<quint8*>(m_data), m_layout, first, last, channel);
    double measure = 0;
    FindAnyPeak(walk, m_layout, measure);
    const float peak = float(measure);
    if (measure <= 0)
        return 1.0f;
    switch (GetDepth()) {
    case SampleDepth::Int8:
        return 127.0f / std::min(peak, 127.0f);
    case SampleDepth::Int16:
        return 32767.0f / peak;
    case SampleDepth::Int24:
        return 8388607.0f / peak;
    case SampleDepth::Float32:
        break;
    }
    return 1.0f / peak;
}

int CSampleBuffer::DCBiasAdjust(float bias, int channel) {
    qint64 first = -1;
    qint64 last = -1;
    if (std::isnan(bias) || !ResolveRange(first, last) || !BeginWrite())
        return 0;
    const CChannelWalk walk = WalkChannel(m_data, m_layout, first, last, channel);
    if (!LayoutIsClassic(m_layout)) {
        // The mean summed directly (exact in double for any sample the block can hold).
        WithDepth(GetDepth(), [&](auto d) {
            using S = Sample<decltype(d)::value>;
            double sum = 0;
            const quint8* p = walk.start;
            for (quint64 i = 0; i < walk.count; ++i, p += walk.stride)
                sum += double(S::Load(p));
            const double fullScale = S::kFloat ? 1.0 : double(S::kHigh);
            const double offset = sum / double(walk.count) + double(bias) * fullScale * 0.01;
            MapSamples<decltype(d)::value>(
                walk, [offset](auto v) { return S::FromProduct(double(v) - offset); });
        });
        return 1;
    }
    const bool sixteenBit = LayoutIs16Bit(m_layout);
    // Histogram of the chosen samples; a mono sample counts its one value for the left and the
    // right slot alike, which leaves the mean as it is, so it is counted once here.
    std::vector<quint32> count(sixteenBit ? 65536 : 256, 0);
    const quint8* p = walk.start;
    for (quint64 i = 0; i < walk.count; ++i, p += walk.stride)
        ++count[sixteenBit ? quint16(LoadWord(p)) : *p];
    double sum = 0;
    for (std::size_t v = 0; v < count.size(); ++v) {
        if (count[v])
            sum += double(count[v]) * (sixteenBit ? qint16(v) : int(v) - 128);
    }
    const double mean = sum / double(walk.count);
    const double fullScale = sixteenBit ? 32767.0 : 127.0;
    const double offset = mean + double(bias) * fullScale * 0.01;
    if (sixteenBit)
        MapWords(walk, WordTable(Difference, offset));
    else
        MapBytes(walk, ByteTable(Difference, offset));
    return 1;
}

int CSampleBuffer::ScaleFrame(float gain, quint32 frame, int channel) {
    if (std::isnan(gain) || !m_data || frame >= m_frameCount || !BeginWrite())
        return 0;
    const CChannelWalk walk = WalkChannel(m_data, m_layout, frame, frame, channel);
    const double finite = FiniteGain(gain);
    WithDepth(GetDepth(), [&](auto d) {
        quint8* p = walk.start;
        for (quint64 i = 0; i < walk.count; ++i, p += walk.stride)
            ScaleSample<decltype(d)::value>(p, float(finite));
    });
    return 1;
}

int CSampleBuffer::PanFrame(float position, quint32 frame) {
    if (std::isnan(position) || !m_data || frame >= m_frameCount || !LayoutIsStereo(m_layout) ||
        !BeginWrite())
        return 0;
    // Positions outside fully left .. fully right would push the mix past full scale.
    const float p = std::clamp(position, 0.0f, 1.0f);
    quint8* at = m_data + quint64(frame) * BytesPerFrame();
    WithDepth(GetDepth(), [&](auto d) { PanSamples<decltype(d)::value>(at, p); });
    return 1;
}

int CSampleBuffer::ScaleRamp(quint32 frame, quint64 frames, int channel, double base, double step,
                             double k0) {
    if (!m_data || frame >= m_frameCount || frames > m_frameCount - frame || !BeginWrite())
        return 0;
    const int chosen = EffectiveChannel(m_layout, channel);
    const bool left = chosen != 2;
    const bool right = chosen != 1;
    const bool stereo = LayoutIsStereo(m_layout);
    const bool sixteenBit = LayoutIs16Bit(m_layout);
    const quint32 frameBytes = BytesPerFrame();
    quint8* at = m_data + quint64(frame) * frameBytes;
    quint64 done = 0;
#ifdef __SSE2__
    if (sixteenBit && std::isfinite(base) && std::isfinite(step))
        done = ScaleWordRun(at, frames, stereo, base, step, k0, left, right);
#endif
#ifdef WLPRO_BYTE_SHUFFLE
    if (!LayoutIsClassic(m_layout) && std::isfinite(base) && std::isfinite(step) &&
        HasByteShuffle())
        done =
            GetDepth() == SampleDepth::Int24
                ? ScaleWideRun<SampleDepth::Int24>(at, frames, stereo, base, step, k0, left, right)
                : ScaleWideRun<SampleDepth::Float32>(at, frames, stereo, base, step, k0, left,
                                                     right);
#endif
    // The rest, and the other depths' frames, one by one; a gain that is no number leaves its
    // frame.
    const quint32 sampleBytes = BytesPerSample();
    WithDepth(GetDepth(), [&](auto d) {
        for (; done < frames; ++done) {
            const float gain = GainAt(base, step, k0 + double(done));
            if (std::isnan(gain))
                continue;
            quint8* p = at + done * frameBytes;
            for (quint32 c = 0; c < (stereo ? 2u : 1u); ++c) {
                if (c == 0 ? left : right)
                    ScaleSample<decltype(d)::value>(p + c * sampleBytes, gain);
            }
        }
    });
    return 1;
}

int CSampleBuffer::PanRamp(quint32 frame, quint64 frames, double base, double step, double k0) {
    if (!m_data || frame >= m_frameCount || frames > m_frameCount - frame ||
        !LayoutIsStereo(m_layout) || !BeginWrite())
        return 0;
    const bool sixteenBit = LayoutIs16Bit(m_layout);
    const quint32 frameBytes = BytesPerFrame();
    quint8* at = m_data + quint64(frame) * frameBytes;
    quint64 done = 0;
#ifdef __SSE2__
    if (sixteenBit && std::isfinite(base) && std::isfinite(step))
        done = PanWordRun(at, frames, base, step, k0);
#endif
#ifdef WLPRO_BYTE_SHUFFLE
    if (!LayoutIsClassic(m_layout) && std::isfinite(base) && std::isfinite(step) &&
        HasByteShuffle())
        done = GetDepth() == SampleDepth::Int24
                   ? PanWideRun<SampleDepth::Int24>(at, frames, base, step, k0)
                   : PanWideRun<SampleDepth::Float32>(at, frames, base, step, k0);
#endif
    // The rest as PanFrame does it; the clamp keeps the conversion to single precision defined,
    // and a position that is no number leaves its frame.
    WithDepth(GetDepth(), [&](auto d) {
        for (; done < frames; ++done) {
            const double position = base + step * (k0 + double(done));
            if (!std::isnan(position))
                PanSamples<decltype(d)::value>(at + done * frameBytes,
                                               float(std::clamp(position, 0.0, 1.0)));
        }
    });
    return 1;
}

int CSampleBuffer::Reverse(qint64 first, qint64 last, int channel) {
    if (!ResolveRange(first, last) || !BeginWrite())
        return 0;
    if (EffectiveChannel(m_layout, channel) != 0) {
        ReverseStrided(WalkChannel(m_data, m_layout, first, last, channel), BytesPerSample());
        return 1;
    }
    quint8* start = m_data + quint64(first) * BytesPerFrame();
    const quint64 frames = quint64(last - first + 1);
    switch (BytesPerFrame()) {
    case 1:
        std::reverse(start, start + frames);
        break;
    case 2:
        ReverseUnits<quint16>(start, frames);
        break;
    case 3:
    case 6:
#ifdef WLPRO_BYTE_SHUFFLE
        if (HasByteShuffle()) {
            ReverseInt24(start, frames, BytesPerFrame());
            break;
        }
#endif
        if (BytesPerFrame() == 3)
            ReverseUnits<std::array<quint8, 3>>(start, frames);
        else
            ReverseUnits<std::array<quint8, 6>>(start, frames);
        break;
    case 8:
        ReverseUnits<quint64>(start, frames);
        break;
    default:
        ReverseUnits<quint32>(start, frames);
        break;
    }
    return 1;
}

quint32 CSampleBuffer::PeakSearch(qint64 first, qint64 last, int channel) const {
    if (!ResolveRange(first, last))
        return 0;
    const CChannelWalk walk =
        WalkChannel(const_cast<quint8*>(m_data), m_layout, first, last, channel);
    // With no sample above the measure 0 the index stays 0: the range's first frame.
    double measure = 0;
    const CPeak peak = FindAnyPeak(walk, m_layout, measure);
    return quint32(first + qint64(peak.index / walk.perFrame));
}
