#include "core/undohistory.h"

#include "core/reporter.h"

#include <algorithm>
#include <cstring>

CUndoHistory::CUndoHistory(quint64 memoryLimit) : m_limit(memoryLimit) {}

CEditExtent CUndoHistory::WholeExtent(const CSampleBuffer& buffer) {
    return CEditExtent{0, buffer.m_byteLength};
}

CEditExtent CUndoHistory::FramesExtent(const CSampleBuffer& buffer, qint64 first, qint64 last) {
    if (!buffer.ResolveRange(first, last))
        return CEditExtent{};
    const quint64 frameBytes = buffer.BytesPerFrame();
    return CEditExtent{quint64(first) * frameBytes, quint64(last - first + 1) * frameBytes};
}

CEditExtent CUndoHistory::TailExtent(const CSampleBuffer& buffer, qint64 frame) {
    const CEditExtent point = PointExtent(buffer, frame);
    return CEditExtent{point.offset, buffer.m_byteLength - point.offset};
}

CEditExtent CUndoHistory::PointExtent(const CSampleBuffer& buffer, qint64 frame) {
    const quint64 offset = quint64(std::max<qint64>(frame, 0)) * buffer.BytesPerFrame();
    return CEditExtent{std::min<quint64>(offset, buffer.m_byteLength), 0};
}

CUndoHistory::CState CUndoHistory::StateOf(const CSampleBuffer& buffer) {
    CState state;
    state.format = buffer.m_format;
    state.committed = buffer.m_committed;
    state.layout = buffer.m_layout;
    state.byteLength = buffer.m_byteLength;
    state.hasData = buffer.m_data != nullptr;
    return state;
}

void CUndoHistory::Begin(const CSampleBuffer& buffer, const CEditExtent& extent) {
    m_pending = std::make_unique<CStep>();
    CStep& step = *m_pending;
    step.restore = StateOf(buffer);
    step.offset = extent.offset;
    step.restoreLength = extent.length;
    // A block exactly when the buffer has one, so that a step over the whole data can hand its
    // block over as the buffer's own.
    if (!step.restore.hasData)
        return;
    if (extent.length > m_limit || !step.bytes.Allocate(extent.length)) {
        step.recorded = false;
        return;
    }
    if (extent.length)
        std::memcpy(step.bytes.Data(), buffer.m_data + extent.offset, extent.length);
}

void CUndoHistory::BeginSelfInverse(const CSampleBuffer& buffer,
                                    std::function<void(CSampleBuffer&)> redo) {
    m_pending = std::make_unique<CStep>();
    m_pending->restore = StateOf(buffer);
    m_pending->redo = std::move(redo);
}

void CUndoHistory::Commit(const CSampleBuffer& buffer) {
    if (!m_pending)
        return;
    std::unique_ptr<CStep> step = std::move(m_pending);
    if (!step->recorded) {
        // Too big to keep: the older steps no longer lead back to anything.
        Clear();
        return;
    }
    Finish(*step, buffer);
    if (!step->redo && step->restoreLength == 0 && step->expectLength == 0 &&
        step->restore == step->expect)
        return;
    m_redo.clear();
    step->before = m_state;
    step->after = m_state = ++m_lastId;
    m_undo.push_back(std::move(*step));
    Trim();
}

void CUndoHistory::Finish(CStep& step, const CSampleBuffer& buffer) {
    step.expect = StateOf(buffer);
    const qint64 grown = qint64(step.expect.byteLength) - qint64(step.restore.byteLength);
    step.expectLength = quint64(qint64(step.restoreLength) + grown);
}

void CUndoHistory::Rollback(CSampleBuffer& buffer) {
    if (!m_pending)
        return;
    std::unique_ptr<CStep> step = std::move(m_pending);
    if (!step->recorded || step->redo)
        return;
    Finish(*step, buffer);
    bool stale = false;
    Apply(*step, buffer, stale);
}

int CUndoHistory::Undo(CSampleBuffer& buffer) {
    return Move(m_undo, m_redo, buffer);
}

int CUndoHistory::Redo(CSampleBuffer& buffer) {
    return Move(m_redo, m_undo, buffer);
}

void CUndoHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_pending.reset();
    // What the steps led back to is gone; the sample may differ from every state named so far.
    m_state = ++m_lastId;
}

quint64 CUndoHistory::MemoryUsed() const {
    quint64 used = 0;
    for (const auto* steps : {&m_undo, &m_redo}) {
        for (const CStep& step : *steps)
            used += sizeof(CStep) + step.bytes.Size();
    }
    return used;
}

void CUndoHistory::SetMemoryLimit(quint64 bytes) {
    m_limit = bytes;
    Trim();
}

void CUndoHistory::Trim() {
    // The oldest undo steps go first, then the redo steps furthest from the present.
    while (MemoryUsed() > m_limit && !(m_undo.empty() && m_redo.empty())) {
        if (!m_undo.empty())
            m_undo.pop_front();
        else
            m_redo.pop_front();
    }
}

int CUndoHistory::Move(std::deque<CStep>& from, std::deque<CStep>& to, CSampleBuffer& buffer) {
    if (from.empty() || buffer.Busy())
        return 0;
    bool stale = false;
    if (!Apply(from.back(), buffer, stale)) {
        if (stale) {
            Clear();
        } else {
            ReportMessage(CMessage{QStringLiteral("Error - Out of Memory!"), QString(),
                                   CMessageIcon::Warning});
        }
        return 0;
    }
    to.push_back(std::move(from.back()));
    from.pop_back();
    m_state = &to == &m_redo ? to.back().before : to.back().after;
    Trim();
    return 1;
}

int CUndoHistory::Apply(CStep& step, CSampleBuffer& buffer, bool& stale) {
    // A device plays or fills the data in place: no block may be swapped or moved under it.
    if (buffer.Busy())
        return 0;
    // Data borrowed from the clipboard is no state of the document's.
    if (!buffer.m_clipboardBlock.isNull() || !(StateOf(buffer) == step.expect)) {
        stale = true;
        return 0;
    }
    if (step.redo) {
        step.redo(buffer);
        return 1;
    }
    if (!SwapRegion(step, buffer))
        return 0;
    buffer.m_format = step.restore.format;
    buffer.m_committed = step.restore.committed;
    buffer.m_layout = step.restore.layout;
    buffer.m_byteLength = step.restore.byteLength;
    buffer.m_frameCount = buffer.m_byteLength / buffer.BytesPerFrame();
    buffer.m_data = step.restore.hasData ? buffer.m_memory.Data() : nullptr;
    std::swap(step.restore, step.expect);
    std::swap(step.restoreLength, step.expectLength);
    return 1;
}

bool CUndoHistory::SwapRegion(CStep& step, CSampleBuffer& buffer) {
    const quint64 have = step.expectLength;
    const quint64 want = step.restoreLength;
    if (step.offset == 0 && have == step.expect.byteLength && want == step.restore.byteLength) {
        std::swap(buffer.m_memory, step.bytes);
        return true;
    }
    quint8* region = buffer.m_data + step.offset;
    if (have == want) {
        std::swap_ranges(region, region + want, step.bytes.Data());
        return true;
    }

    CMemoryBlock kept;
    if (!kept.Allocate(have))
        return false;
    std::memcpy(kept.Data(), region, have);
    const quint64 tailFrom = step.offset + have;
    const quint64 tail = step.expect.byteLength - tailFrom;
    const quint64 newLength = step.restore.byteLength;
    if (want > have) {
        if (!buffer.m_memory.Resize(newLength))
            return false;
        quint8* data = buffer.m_memory.Data();
        std::memmove(data + step.offset + want, data + tailFrom, tail);
    } else {
        quint8* data = buffer.m_memory.Data();
        std::memmove(data + step.offset + want, data + tailFrom, tail);
        // A block that does not shrink is merely larger than needed.
        buffer.m_memory.Resize(newLength);
    }
    std::memcpy(buffer.m_memory.Data() + step.offset, step.bytes.Data(), want);
    step.bytes = std::move(kept);
    return true;
}
