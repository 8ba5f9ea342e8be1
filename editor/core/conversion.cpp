// Format conversion of a whole sample: the sampling rate band-limited (libsoxr) or by linear
// interpolation, the bit depth and channel count frame by frame with ReadFrame's values, or with
// TPDF dither where samples become narrower integers. They run in place: a conversion that grows
// the data resizes the block first and fills it from the end, one that shrinks it fills from the
// start and resizes afterwards. A block that cannot grow leaves the sample as it was.

#include "core/framecodec.h"
#include "core/reporter.h"
#include "core/sampleaccess.h"
#include "core/samplebuffer.h"
#include "core/soxrresampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

using namespace wlpro;
using namespace wlpro::sampleaccess;

namespace {

void ReportResizeFailure() {
    ReportMessage(CMessage{QStringLiteral("Error resizing sample!"), QStringLiteral("Wavelathe"),
                           CMessageIcon::Warning});
}

// The values the linear interpolation works on: 8-bit samples as the unsigned bytes they are
// (truncation toward zero then rounds as it always has), the other depths as signed values.
template <SampleDepth D> auto LoadLinear(const quint8* p) {
    if constexpr (D == SampleDepth::Int8)
        return int(*p);
    else
        return Sample<D>::Load(p);
}
template <SampleDepth D> void StoreLinear(quint8* p, double value) {
    if constexpr (D == SampleDepth::Int8)
        *p = quint8(int(value));
    else if constexpr (D == SampleDepth::Float32)
        Sample<D>::Store(p, float(value));
    else
        Sample<D>::Store(p, int(value));
}

// Output frame i interpolates source frames k = trunc(i x ratio) and k + 1 (the last frame where
// k + 1 runs past the end), in double precision, truncating integers toward zero. Raising the
// rate, the frames are written from the end so that every source frame is read before it is
// overwritten; lowering it, from the start.
template <SampleLayout Layout>
void ResampleFrames(quint8* data, quint64 oldFrames, quint64 newFrames, double ratio) {
    constexpr SampleDepth depth = LayoutDepth(Layout);
    constexpr quint32 sampleBytes = LayoutBytesPerSample(Layout);
    constexpr quint32 frameBytes = LayoutBytesPerFrame(Layout);
    constexpr int Channels = int(LayoutChannels(Layout));
    const quint64 lastFrame = oldFrames - 1;
    auto frame = [&](quint64 i) {
        const double pos = double(i) * ratio;
        const quint64 k = std::min(quint64(pos), lastFrame);
        const double f = pos - std::trunc(pos);
        const quint8* s0 = data + k * frameBytes;
        const quint8* s1 = data + std::min(k + 1, lastFrame) * frameBytes;
        double out[Channels];
        for (int c = 0; c < Channels; ++c) {
            const double a = LoadLinear<depth>(s0 + c * sampleBytes);
            const double b = LoadLinear<depth>(s1 + c * sampleBytes);
            out[c] = a + (b - a) * f;
        }
        for (int c = 0; c < Channels; ++c)
            StoreLinear<depth>(data + i * frameBytes + c * sampleBytes, out[c]);
    };
    const quint64 step = quint64(ratio);
    if (ratio >= 2.0 && double(step) == ratio) {
        // A whole ratio puts every output frame exactly on a source frame (f = 0): each output
        // is that frame as it is.
        for (quint64 i = 0; i < newFrames; ++i)
            std::memmove(data + i * frameBytes, data + i * step * frameBytes, frameBytes);
        return;
    }
    if (ratio < 1.0) {
        for (quint64 i = newFrames; i-- > 0;)
            frame(i);
    } else {
        for (quint64 i = 0; i < newFrames; ++i)
            frame(i);
    }
}

void ResampleFrames(SampleLayout layout, quint8* data, quint64 oldFrames, quint64 newFrames,
                    double ratio) {
    framecodec::WithLayout(layout, [&](auto l) {
        ResampleFrames<decltype(l)::value>(data, oldFrames, newFrames, ratio);
    });
}

// Rewrites `frames` frames of `data` from the source layout to the target layout at the same
// frame positions (the block is at least frames x target size long). Growing frames are written
// from the end, shrinking ones from the start, so no frame is overwritten before it is read.
template <SampleLayout Source, SampleLayout Target>
void ConvertFrames(quint8* data, quint32 frames) {
    constexpr quint32 from = LayoutBytesPerFrame(Source);
    constexpr quint32 to = LayoutBytesPerFrame(Target);
    if constexpr (to >= from) {
        for (quint32 i = frames; i-- > 0;)
            framecodec::ConvertFrame<Source, Target>(data + quint64(i) * from,
                                                     data + quint64(i) * to);
    } else {
        for (quint32 i = 0; i < frames; ++i)
            framecodec::ConvertFrame<Source, Target>(data + quint64(i) * from,
                                                     data + quint64(i) * to);
    }
}

#ifdef __SSE2__
// Stereo to mono, the most common conversion, eight frames at a time: madd adds each frame's two
// words into 32 bits, the shift halves the sum as ReadFrame does, and the results always fit 16
// bits again. Each group is loaded whole before its mono words are stored at or below it.
template <>
void ConvertFrames<SampleLayout::Stereo16, SampleLayout::Mono16>(quint8* data, quint32 frames) {
    const __m128i ones = _mm_set1_epi16(1);
    quint32 i = 0;
    for (; i + 8 <= frames; i += 8) {
        const quint8* in = data + quint64(i) * 4;
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16));
        const __m128i sumA = _mm_srai_epi32(_mm_madd_epi16(a, ones), 1);
        const __m128i sumB = _mm_srai_epi32(_mm_madd_epi16(b, ones), 1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(data + quint64(i) * 2),
                         _mm_packs_epi32(sumA, sumB));
    }
    for (; i < frames; ++i)
        framecodec::ConvertFrame<SampleLayout::Stereo16, SampleLayout::Mono16>(
            data + quint64(i) * 4, data + quint64(i) * 2);
}
#endif

void ConvertFrames(SampleLayout source, SampleLayout target, quint8* data, quint32 frames) {
    framecodec::WithLayout(source, [&](auto from) {
        framecodec::WithLayout(target, [&](auto to) {
            ConvertFrames<decltype(from)::value, decltype(to)::value>(data, frames);
        });
    });
}

// Triangular noise of two 8-bit steps' width (the sum of two uniform values of one step each),
// from a fixed seed so that a conversion is repeatable.
class CTpdfNoise {
public:
    double Next() { return Uniform() + Uniform() - 1.0; }

private:
    double Uniform() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return double(m_state >> 11) * (1.0 / 9007199254740992.0);
    }
    quint64 m_state = 0x9E3779B97F4A7C15ull;
};

// Samples of depth From to the narrower integer depth To in place: dithered in steps of To,
// then rounded to the nearest step and clipped. Sample i is written at i x To's size after it
// was read at i x From's.
template <SampleDepth From, SampleDepth To> void Dither(quint8* data, quint64 samples) {
    using S = Sample<From>;
    using T = Sample<To>;
    CTpdfNoise noise;
    for (quint64 i = 0; i < samples; ++i) {
        // A float sample that is no number dithers as silence.
        const double x = double(S::Load(data + S::kBytes * i));
        const double value = (x == x ? x * (T::kScale / S::kScale) : 0.0) + noise.Next();
        const int step =
            std::clamp(int(std::floor(std::clamp(value, -1e9, 1e9) + 0.5)), T::kLow, T::kHigh);
        T::Store(data + T::kBytes * i, step);
    }
}

void Dither(SampleDepth from, SampleDepth to, quint8* data, quint64 samples) {
    framecodec::WithDepth(from, [&](auto f) {
        framecodec::WithDepth(to, [&](auto t) {
            constexpr SampleDepth kFrom = decltype(f)::value;
            constexpr SampleDepth kTo = decltype(t)::value;
            if constexpr (kTo < kFrom && kTo <= SampleDepth::Int16)
                Dither<kFrom, kTo>(data, samples);
        });
    });
}

// As ConvertFrames, with dither where samples become 8- or 16-bit ones of fewer bits (24-bit
// targets have steps below any float sample's noise). Stereo to mono mixes
// first, so that the mix keeps its precision; otherwise the channels change after the depth, on
// the smaller samples. No step needs more room than the larger of the source and the target.
void ConvertFrames(SampleLayout source, SampleLayout target, quint8* data, quint32 frames,
                   bool dither) {
    const SampleDepth from = LayoutDepth(source);
    const SampleDepth to = LayoutDepth(target);
    if (!dither || to >= from || to > SampleDepth::Int16)
        return ConvertFrames(source, target, data, frames);
    if (LayoutIsStereo(source) && !LayoutIsStereo(target)) {
        ConvertFrames(source, MakeLayout(false, from), data, frames);
        Dither(from, to, data, frames);
        return;
    }
    Dither(from, to, data, quint64(frames) * LayoutChannels(source));
    const SampleLayout narrowed = MakeLayout(LayoutIsStereo(source), to);
    if (narrowed != target)
        ConvertFrames(narrowed, target, data, frames);
}

SampleLayout LayoutOf(const CWaveFormat& format) {
    return MakeLayout(format.channels != 1, DepthForBits(format.bitsPerSample));
}

} // namespace

int CSampleBuffer::Resample(quint32 oldRate, quint32 newRate) {
    if (Busy())
        return 0;
    if (m_byteLength == 0 || oldRate == newRate)
        return 1;
    if (oldRate == 0 || newRate == 0 || !m_data || !BeginWrite())
        return 0;
    const quint64 oldFrames = m_frameCount;
    const quint64 newFrames = oldFrames * newRate / oldRate;
    const quint64 newLength = newFrames * BytesPerFrame();
    if (newLength > m_byteLength && !ResizeData(newLength)) {
        ReportResizeFailure();
        return 0;
    }
    if (oldFrames > 0)
        ResampleFrames(m_layout, m_data, oldFrames, newFrames, double(oldRate) / double(newRate));
    if (newLength < m_byteLength)
        ResizeData(newLength);
    SetByteLength(quint32(newLength));
    return 1;
}

int CSampleBuffer::ConvertLayout(SampleLayout source, SampleLayout target) {
    if (Busy())
        return 0;
    if (m_byteLength == 0 || source == target)
        return 1;
    if (!m_data || !BeginWrite())
        return 0;
    const SampleLayout before = m_layout;
    m_layout = source;
    m_frameCount = m_byteLength / BytesPerFrame();
    const quint64 newLength = quint64(m_frameCount) * LayoutBytesPerFrame(target);
    if (newLength > m_byteLength && !ResizeData(newLength)) {
        m_layout = before;
        m_frameCount = m_byteLength / BytesPerFrame();
        ReportResizeFailure();
        return 0;
    }
    ConvertFrames(source, target, m_data, m_frameCount, m_dither);
    if (newLength < m_byteLength)
        ResizeData(newLength);
    m_byteLength = quint32(newLength);
    SetFormat(m_format.samplesPerSec, LayoutIsStereo(target), LayoutDepth(target));
    return 1;
}

int CSampleBuffer::ApplyFormat() {
    if (Busy())
        return 0;
    if (m_byteLength == 0)
        return 1;
    if (!m_data || !BeginWrite())
        return 0;
    const CWaveFormat original = m_format;
    CWaveFormat wanted = m_format;
    wanted.samplesPerSec = std::max<quint32>(wanted.samplesPerSec, 4000);
    const SampleLayout source = LayoutOf(m_committed);
    const SampleLayout target = LayoutOf(wanted);
    const quint32 sourceRate = m_committed.samplesPerSec;

    quint32 rate = 0;
    bool stereo = false;
    bool sixteenBit = false;
    RevertFormat(rate, stereo, sixteenBit);

    // The block takes the largest size of the way at once, so that nothing can fail once the
    // data starts to change. A source rate of 0 says nothing about time: the frames stay as
    // they are.
    const quint64 oldFrames = m_frameCount;
    const quint64 newFrames =
        sourceRate == 0 ? oldFrames : oldFrames * wanted.samplesPerSec / sourceRate;
    // Bytes past the last whole frame go unless the data stays exactly as it is.
    const bool sameFrames = newFrames == oldFrames && source == target;
    const quint64 resampledLength =
        sameFrames ? m_byteLength : newFrames * LayoutBytesPerFrame(source);
    const quint64 finalLength = sameFrames ? m_byteLength : newFrames * LayoutBytesPerFrame(target);
    const quint64 largest = std::max(resampledLength, finalLength);
    const quint32 originalLength = m_byteLength;
    bool grown = false;
    auto fail = [&] {
        if (grown)
            ResizeData(originalLength);
        m_format = original;
        LayoutFromFormat();
        m_frameCount = m_byteLength / BytesPerFrame();
        ReportResizeFailure();
        return 0;
    };
    if (largest > m_byteLength) {
        if (!ResizeData(largest))
            return fail();
        grown = true;
    }

    const bool resample = sourceRate != 0 && sourceRate != wanted.samplesPerSec && oldFrames > 0;
    if (resample && m_rateConversion == RateConversion::BandLimited) {
        // The converter reads the frames where they are and writes beside them; nothing of the
        // sample changes until it succeeded.
        const quint64 bytes = newFrames * LayoutBytesPerFrame(source);
        std::unique_ptr<quint8[]> converted(new (std::nothrow) quint8[std::max<quint64>(bytes, 1)]);
        if (!converted)
            return fail();
        // Rates the converter refuses (ratios far beyond any real use) are still converted, if
        // only linearly.
        if (ResampleBandLimited(source, m_data, oldFrames, converted.get(), newFrames, sourceRate,
                                wanted.samplesPerSec))
            std::memcpy(m_data, converted.get(), bytes);
        else
            ResampleFrames(source, m_data, oldFrames, newFrames,
                           double(sourceRate) / double(wanted.samplesPerSec));
    } else if (resample) {
        ResampleFrames(source, m_data, oldFrames, newFrames,
                       double(sourceRate) / double(wanted.samplesPerSec));
    }
    m_byteLength = quint32(resampledLength);
    m_frameCount = quint32(newFrames);
    if (source != target)
        ConvertFrames(source, target, m_data, m_frameCount, m_dither);
    if (finalLength < largest)
        ResizeData(finalLength);
    m_byteLength = quint32(finalLength);

    m_format = wanted;
    SetFormat(wanted.samplesPerSec, wanted.channels != 1, DepthForBits(wanted.bitsPerSample));
    CommitFormat();
    return 1;
}
