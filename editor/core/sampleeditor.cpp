#include "core/sampleeditor.h"

#include <algorithm>
#include <cmath>
#include <limits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {
bool IsOneChannel(const CSampleBuffer& buffer, int channel) {
    return buffer.GetChannels() == 2 && (channel == 1 || channel == 2);
}
} // namespace

CSampleEditor::CSampleEditor(CSampleBuffer& buffer, quint64 memoryLimit)
    : m_buffer(buffer), m_history(memoryLimit) {}

int CSampleEditor::Record(const CEditExtent& extent, const std::function<int()>& edit) {
    if (Busy())
        return 0;
    m_history.Begin(m_buffer, extent);
    const int result = edit();
    if (result)
        m_history.Commit(m_buffer);
    else
        m_history.Rollback(m_buffer);
    return result;
}

CEditExtent CSampleEditor::RangeExtent(qint64 first, qint64 last, int channel) const {
    const CEditExtent range = CUndoHistory::FramesExtent(m_buffer, first, last);
    if (!IsOneChannel(m_buffer, channel) || range.length == 0)
        return range;
    return CEditExtent{range.offset, m_buffer.GetByteLength() - range.offset};
}

void CSampleEditor::Amplify(float gain, qint64 first, qint64 last, int channel) {
    Record(CUndoHistory::FramesExtent(m_buffer, first, last), [&] {
        m_buffer.Amplify(gain, first, last, channel);
        return 1;
    });
}

void CSampleEditor::AdjustVolume(float leftGain, float rightGain, qint64 first, qint64 last,
                                 int channel, bool adjustBias, float bias) {
    const CEditExtent extent = adjustBias ? CUndoHistory::WholeExtent(m_buffer)
                                          : CUndoHistory::FramesExtent(m_buffer, first, last);
    Record(extent, [&] {
        if (channel == 0 && m_buffer.GetChannels() == 2 && leftGain != rightGain) {
            m_buffer.Amplify(leftGain, first, last, 1);
            m_buffer.Amplify(rightGain, first, last, 2);
        } else {
            m_buffer.Amplify(channel == 2 ? rightGain : leftGain, first, last, channel);
        }
        if (adjustBias)
            m_buffer.DCBiasAdjust(bias, channel);
        return 1;
    });
}

void CSampleEditor::DCBiasAdjust(float bias, int channel) {
    Record(CUndoHistory::WholeExtent(m_buffer), [&] {
        m_buffer.DCBiasAdjust(bias, channel);
        return 1;
    });
}

void CSampleEditor::ScaleFrames(qint64 first, qint64 last, int channel,
                                const std::function<float(quint32)>& gainAt) {
    EachFrame(first, last,
              [&](quint32 frame) { m_buffer.ScaleFrame(gainAt(frame), frame, channel); });
}

void CSampleEditor::PanFrames(qint64 first, qint64 last,
                              const std::function<float(quint32)>& positionAt) {
    EachFrame(first, last, [&](quint32 frame) { m_buffer.PanFrame(positionAt(frame), frame); });
}

void CSampleEditor::EachFrame(qint64 first, qint64 last,
                              const std::function<void(quint32)>& change) {
    const CEditExtent extent = CUndoHistory::FramesExtent(m_buffer, first, last);
    Record(extent, [&] {
        const quint32 frameBytes = m_buffer.BytesPerFrame();
        const quint64 from = extent.offset / frameBytes;
        for (quint64 frame = from; frame < from + extent.length / frameBytes; ++frame)
            change(quint32(frame));
        return 1;
    });
}

void CSampleEditor::Reverse(qint64 first, qint64 last, int channel) {
    if (Busy() || CUndoHistory::FramesExtent(m_buffer, first, last).length == 0)
        return;
    m_history.BeginSelfInverse(m_buffer, [first, last, channel](CSampleBuffer& buffer) {
        buffer.Reverse(first, last, channel);
    });
    m_buffer.Reverse(first, last, channel);
    m_history.Commit(m_buffer);
}

void CSampleEditor::ChangeSign(qint64 first, qint64 last) {
    if (Busy() || CUndoHistory::FramesExtent(m_buffer, first, last).length == 0)
        return;
    m_history.BeginSelfInverse(
        m_buffer, [first, last](CSampleBuffer& buffer) { buffer.ChangeSign(first, last); });
    m_buffer.ChangeSign(first, last);
    m_history.Commit(m_buffer);
}

int CSampleEditor::DecodeULaw() {
    return Record(CUndoHistory::WholeExtent(m_buffer), [&] { return m_buffer.DecodeULaw(); });
}

int CSampleEditor::SetFormat(quint32 rate, bool stereo, bool sixteenBit) {
    int blockAlign = 0;
    Record(CUndoHistory::PointExtent(m_buffer, 0), [&] {
        blockAlign = m_buffer.SetFormat(rate, stereo, sixteenBit);
        return 1;
    });
    return blockAlign;
}

void CSampleEditor::RevertFormat(quint32& rate, bool& stereo, bool& sixteenBit) {
    Record(CUndoHistory::PointExtent(m_buffer, 0), [&] {
        m_buffer.RevertFormat(rate, stereo, sixteenBit);
        return 1;
    });
}

int CSampleEditor::ApplyFormat() {
    return Record(CUndoHistory::WholeExtent(m_buffer), [&] { return m_buffer.ApplyFormat(); });
}

int CSampleEditor::Convert(quint32 rate, bool stereo, bool sixteenBit) {
    return Record(CUndoHistory::WholeExtent(m_buffer), [&] {
        m_buffer.SetFormat(rate, stereo, sixteenBit);
        return m_buffer.ApplyFormat();
    });
}

int CSampleEditor::DeleteFrames(qint64 first, qint64 last, int channel) {
    return Record(RangeExtent(first, last, channel),
                  [&] { return m_buffer.DeleteFrames(first, last, channel); });
}

int CSampleEditor::CutToClipboard(qint64 first, qint64 last, int channel) {
    return Record(RangeExtent(first, last, channel),
                  [&] { return m_buffer.CutToClipboard(nullptr, first, last, channel); });
}

quint32 CSampleEditor::PasteFromClipboard(quint32 at, int channel) {
    const quint32 to = at >= m_buffer.GetFrameCount() ? 0 : at;
    CEditExtent extent = CUndoHistory::PointExtent(m_buffer, to);
    if (!m_buffer.HasData())
        extent = CUndoHistory::WholeExtent(m_buffer);
    else if (IsOneChannel(m_buffer, channel))
        extent = CUndoHistory::TailExtent(m_buffer, to);
    quint32 pasted = 0;
    Record(extent, [&] {
        pasted = m_buffer.PasteFromClipboard(nullptr, at, channel);
        return pasted ? 1 : 0;
    });
    return pasted;
}

quint32 CSampleEditor::ReplaceWithClipboard(qint64 first, qint64 last, int channel,
                                            bool deleteRange) {
    const quint32 at = quint32(std::clamp<qint64>(first, 0, m_buffer.GetFrameCount()));
    const CEditExtent extent = m_buffer.HasData() ? CUndoHistory::TailExtent(m_buffer, at)
                                                  : CUndoHistory::WholeExtent(m_buffer);
    quint32 pasted = 0;
    Record(extent, [&] {
        if (deleteRange && !m_buffer.DeleteFrames(first, last, channel))
            return 0;
        pasted = m_buffer.InsertClipboard(nullptr, at, channel);
        return pasted ? 1 : 0;
    });
    return pasted;
}

bool CSampleEditor::BeginRecording() {
    if (Busy())
        return false;
    m_history.Begin(m_buffer, CUndoHistory::WholeExtent(m_buffer));
    return true;
}

void CSampleEditor::EndRecording(bool recorded) {
    if (recorded)
        m_history.Commit(m_buffer);
    else
        m_history.Rollback(m_buffer);
}

namespace {

using CSegment = CSampleEditor::CSegment;

// The largest gain ScaleFrame applies; beyond it every product saturates alike.
constexpr double kLargestGain = double(std::numeric_limits<float>::max());

float GainAt(double base, double step, double k) {
    return float(std::clamp(base + step * k, -kLargestGain, kLargestGain));
}

// Calls run(frame, frames, base, step, k0) for the part of every segment inside the frames
// from..to: `frames` frames from `frame` on, frame + i having the value base + step x (k0 + i).
template <typename Run>
void ForEachRun(quint64 from, quint64 to, const std::vector<CSegment>& segments, Run run) {
    for (const CSegment& segment : segments) {
        const quint64 lo = std::max<quint64>(segment.first, from);
        const quint64 hi = std::min<quint64>(segment.last, to);
        if (segment.last < segment.first || lo > hi)
            continue;
        const quint32 span = segment.last - segment.first;
        const double step = span ? (segment.to - segment.from) / double(span) : 0.0;
        run(quint32(lo), hi - lo + 1, segment.from, step, double(lo - segment.first));
    }
}

#ifdef __SSE2__
// The 16-bit gains of a straight run several frames at a time, with ScaleFrame's arithmetic: the
// gain rounded to single precision, the product saturated and truncated toward zero. Returns the
// frames done; the caller does the remaining few one by one.
quint64 ScaleWordRun(quint8* p, quint64 frames, bool stereo, double base, double step, double k0,
                     bool left, bool right) {
    const __m128d largest = _mm_set1_pd(kLargestGain);
    const __m128d smallest = _mm_set1_pd(-kLargestGain);
    const __m128d b = _mm_set1_pd(base);
    const __m128d s = _mm_set1_pd(step);
    const __m128d four = _mm_set1_pd(4.0);
    __m128d k01 = _mm_set_pd(k0 + 1, k0);
    __m128d k23 = _mm_set_pd(k0 + 3, k0 + 2);
    // Four frames' gains, then the next four.
    auto nextGains = [&] {
        const __m128d g01 =
            _mm_max_pd(_mm_min_pd(_mm_add_pd(b, _mm_mul_pd(s, k01)), largest), smallest);
        const __m128d g23 =
            _mm_max_pd(_mm_min_pd(_mm_add_pd(b, _mm_mul_pd(s, k23)), largest), smallest);
        k01 = _mm_add_pd(k01, four);
        k23 = _mm_add_pd(k23, four);
        return _mm_movelh_ps(_mm_cvtpd_ps(g01), _mm_cvtpd_ps(g23));
    };
    const __m128 high = _mm_set1_ps(32767.0f);
    const __m128 low = _mm_set1_ps(-32768.0f);
    auto scale = [&](__m128i in, __m128 lowGains, __m128 highGains) {
        __m128 a = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(in, in), 16));
        __m128 c = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpackhi_epi16(in, in), 16));
        a = _mm_max_ps(_mm_min_ps(_mm_mul_ps(a, lowGains), high), low);
        c = _mm_max_ps(_mm_min_ps(_mm_mul_ps(c, highGains), high), low);
        return _mm_packs_epi32(_mm_cvttps_epi32(a), _mm_cvttps_epi32(c));
    };
    const short l = left ? -1 : 0;
    const short r = right ? -1 : 0;
    const __m128i chosen = stereo ? _mm_setr_epi16(l, r, l, r, l, r, l, r) : _mm_set1_epi16(-1);
    const quint64 perBlock = stereo ? 4 : 8;
    quint64 done = 0;
    for (; done + perBlock <= frames; done += perBlock, p += 16) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i out;
        if (stereo) {
            const __m128 g = nextGains();
            out = scale(in, _mm_unpacklo_ps(g, g), _mm_unpackhi_ps(g, g));
        } else {
            const __m128 g0 = nextGains();
            out = scale(in, g0, nextGains());
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                         _mm_or_si128(_mm_and_si128(chosen, out), _mm_andnot_si128(chosen, in)));
    }
    return done;
}
#endif

} // namespace

void CSampleEditor::ScaleSegments(qint64 first, qint64 last, int channel,
                                  const std::vector<CSegment>& segments) {
    const CEditExtent extent = CUndoHistory::FramesExtent(m_buffer, first, last);
    Record(extent, [&] {
        const quint32 frameBytes = m_buffer.BytesPerFrame();
        const quint64 from = extent.offset / frameBytes;
        if (extent.length == 0)
            return 1;
        const bool stereo = m_buffer.GetChannels() == 2;
        const bool oneChannel = stereo && (channel == 1 || channel == 2);
        ForEachRun(from, from + extent.length / frameBytes - 1, segments,
                   [&](quint32 frame, quint64 frames, double base, double step, double k0) {
                       quint64 done = 0;
#ifdef __SSE2__
                       if (m_buffer.GetBits() == 16 && std::isfinite(base) && std::isfinite(step))
                           done = ScaleWordRun(m_buffer.GetData() + quint64(frame) * frameBytes,
                                               frames, stereo, base, step, k0,
                                               !oneChannel || channel == 1,
                                               !oneChannel || channel == 2);
#endif
                       for (; done < frames; ++done)
                           m_buffer.ScaleFrame(GainAt(base, step, k0 + double(done)),
                                               quint32(frame + done), channel);
                   });
        return 1;
    });
}

void CSampleEditor::PanSegments(qint64 first, qint64 last, const std::vector<CSegment>& segments) {
    const CEditExtent extent = CUndoHistory::FramesExtent(m_buffer, first, last);
    Record(extent, [&] {
        const quint32 frameBytes = m_buffer.BytesPerFrame();
        const quint64 from = extent.offset / frameBytes;
        if (extent.length == 0)
            return 1;
        ForEachRun(from, from + extent.length / frameBytes - 1, segments,
                   [&](quint32 frame, quint64 frames, double base, double step, double k0) {
                       // PanFrame keeps positions within 0..1 itself; the clamp only keeps the
                       // conversion to single precision defined.
                       for (quint64 i = 0; i < frames; ++i)
                           m_buffer.PanFrame(
                               float(std::clamp(base + step * (k0 + double(i)), 0.0, 1.0)),
                               quint32(frame + i));
                   });
        return 1;
    });
}
