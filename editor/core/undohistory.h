#pragma once
// CUndoHistory: the undo and redo steps of one sample buffer.
//
// A step keeps only what its edit changed: the format records, and the bytes of the region the
// edit rewrote (an extent of the data before the edit; the bytes behind it only moved). Undo
// swaps the kept state with the buffer's, so the same step then holds what Redo puts back; a
// step that covers the whole data swaps the data blocks themselves and costs no copy at all.
// Edits that undo themselves when done again (reverse, change sign) keep no bytes, only how to
// do them again.
//
// The bytes the steps keep are bounded by a memory limit (setting "UndoMemoryLimit"); the oldest
// steps go first. A new edit clears the redo steps. A step applies only to the state its edit
// left: when the buffer has been changed behind the history's back, Undo and Redo refuse and the
// history is cleared rather than writing stale bytes into it.

#include "core/memoryblock.h"
#include "core/samplebuffer.h"

#include <deque>
#include <functional>
#include <memory>

// The bytes an edit may rewrite: `length` bytes from `offset` of the data before the edit.
// Everything behind them keeps its bytes and moves only when the edit changes the data's length.
struct CEditExtent {
    quint64 offset = 0;
    quint64 length = 0;
};

class CUndoHistory {
public:
    // Key of the memory limit in the editor's settings, and its value when unset (bytes).
    static constexpr const char* kMemoryLimitSetting = "UndoMemoryLimit";
    static constexpr quint64 kDefaultMemoryLimit = quint64(512) << 20;

    explicit CUndoHistory(quint64 memoryLimit = kDefaultMemoryLimit);

    // Extents of the usual edits. Frame ranges resolve as the buffer's range operations do
    // (-1/-1 the whole sample, clamped to the frames there are).
    static CEditExtent WholeExtent(const CSampleBuffer& buffer);
    static CEditExtent FramesExtent(const CSampleBuffer& buffer, qint64 first, qint64 last);
    // From the frame to the end of the data.
    static CEditExtent TailExtent(const CSampleBuffer& buffer, qint64 frame);
    // Nothing rewritten; an insertion at the frame, or a change of the format alone.
    static CEditExtent PointExtent(const CSampleBuffer& buffer, qint64 frame);

    // Before an edit: keeps the buffer's format and the bytes of the extent.
    void Begin(const CSampleBuffer& buffer, const CEditExtent& extent);
    // Before an edit that doing again undoes; `redo` does it once more on the buffer.
    void BeginSelfInverse(const CSampleBuffer& buffer, std::function<void(CSampleBuffer&)> redo);
    // After the edit: its step becomes the newest undo step and the redo steps go. A step that
    // changed neither bytes nor format is dropped.
    void Commit(const CSampleBuffer& buffer);
    // After an edit that failed: puts back the format and bytes Begin kept (a self-inverse or
    // unrecordable edit, or a sample that plays or records, is left as it is) and forgets the
    // step.
    void Rollback(CSampleBuffer& buffer);

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    int UndoCount() const { return int(m_undo.size()); }
    int RedoCount() const { return int(m_redo.size()); }
    // 1 when the buffer is back in the state before the newest edit; 0 when there is nothing to
    // undo, the sample plays or records or memory is short (the step stays), or the buffer no
    // longer fits the step (the history is cleared).
    int Undo(CSampleBuffer& buffer);
    int Redo(CSampleBuffer& buffer);
    void Clear();

    // Names the state the recorded steps have left the buffer in: equal ids are equal samples, so
    // undoing back to a saved state finds the saved id again. An edit recorded after an undo, or a
    // history cleared, gives an id never seen before; an edit that changed nothing keeps it.
    quint64 StateId() const { return m_state; }

    quint64 MemoryUsed() const;
    quint64 MemoryLimit() const { return m_limit; }
    // Drops the oldest steps until the rest fit.
    void SetMemoryLimit(quint64 bytes);

private:
    // What the buffer's format bookkeeping holds besides the bytes.
    struct CState {
        CWaveFormat format;
        CWaveFormat committed;
        SampleLayout layout = SampleLayout::Mono8;
        quint32 byteLength = 0;
        bool hasData = false;
        friend bool operator==(const CState& a, const CState& b) {
            return a.format == b.format && a.committed == b.committed && a.layout == b.layout &&
                   a.byteLength == b.byteLength && a.hasData == b.hasData;
        }
    };

    struct CStep {
        // The state the step puts back, and the state it must find.
        CState restore;
        CState expect;
        quint64 offset = 0;
        // The region's length in the restored state (the kept bytes) and in the expected one.
        quint64 restoreLength = 0;
        quint64 expectLength = 0;
        CMemoryBlock bytes;
        std::function<void(CSampleBuffer&)> redo;
        bool recorded = true;
        // The state ids before and after the step, done forwards.
        quint64 before = 0;
        quint64 after = 0;
    };

    static CState StateOf(const CSampleBuffer& buffer);
    // Notes the state the edit left, which the step must find to apply.
    static void Finish(CStep& step, const CSampleBuffer& buffer);
    // Turns the buffer from the step's expected state into its restored one and the step into
    // its own inverse. 0 (nothing changed) when memory is short or the buffer does not fit.
    static int Apply(CStep& step, CSampleBuffer& buffer, bool& stale);
    static bool SwapRegion(CStep& step, CSampleBuffer& buffer);
    int Move(std::deque<CStep>& from, std::deque<CStep>& to, CSampleBuffer& buffer);
    void Trim();

    quint64 m_limit;
    std::deque<CStep> m_undo;
    std::deque<CStep> m_redo;
    std::unique_ptr<CStep> m_pending;
    quint64 m_state = 0;
    quint64 m_lastId = 0;
};
