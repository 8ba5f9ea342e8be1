#include "core/sampleeditor.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
    return SetFormat(rate, stereo, sixteenBit ? SampleDepth::Int16 : SampleDepth::Int8);
}

int CSampleEditor::SetFormat(quint32 rate, bool stereo, SampleDepth depth) {
    int blockAlign = 0;
    Record(CUndoHistory::PointExtent(m_buffer, 0), [&] {
        blockAlign = m_buffer.SetFormat(rate, stereo, depth);
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
    return Convert(rate, stereo, sixteenBit ? SampleDepth::Int16 : SampleDepth::Int8);
}

int CSampleEditor::Convert(quint32 rate, bool stereo, SampleDepth depth) {
    return Record(CUndoHistory::WholeExtent(m_buffer), [&] {
        m_buffer.SetFormat(rate, stereo, depth);
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

} // namespace

void CSampleEditor::ScaleSegments(qint64 first, qint64 last, int channel,
                                  const std::vector<CSegment>& segments) {
    const CEditExtent extent = CUndoHistory::FramesExtent(m_buffer, first, last);
    Record(extent, [&] {
        const quint32 frameBytes = m_buffer.BytesPerFrame();
        const quint64 from = extent.offset / frameBytes;
        if (extent.length == 0)
            return 1;
        ForEachRun(from, from + extent.length / frameBytes - 1, segments,
                   [&](quint32 frame, quint64 frames, double base, double step, double k0) {
                       m_buffer.ScaleRamp(frame, frames, channel, base, step, k0);
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
                       m_buffer.PanRamp(frame, frames, base, step, k0);
                   });
        return 1;
    });
}
