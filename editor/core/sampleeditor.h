#pragma once
// CSampleEditor: the editing operations of one sample as the document's commands call them,
// each one step of the undo history. It records around the sample buffer's own operations,
// keeping for each only the bytes that operation can rewrite, and brings the buffer back or
// forward with Undo and Redo. Loading a file replaces the sample and its past: it calls
// ClearHistory. A recording into the sample is one step between BeginRecording and EndRecording.
// While the sample plays or records its data belongs to the device: every edit, Undo and Redo
// then does nothing (and returns 0).

#include "core/samplebuffer.h"
#include "core/undohistory.h"

#include <functional>
#include <vector>

class CSampleEditor {
public:
    explicit CSampleEditor(CSampleBuffer& buffer,
                           quint64 memoryLimit = CUndoHistory::kDefaultMemoryLimit);

    CSampleBuffer& Buffer() { return m_buffer; }
    CUndoHistory& History() { return m_history; }

    // --- Effects ----------------------------------------------------------------------------
    void Amplify(float gain, qint64 first, qint64 last, int channel);
    // The Adjust Volume dialog's result: with both channels selected on a stereo sample each
    // channel gets its own gain; then, if asked, the DC bias of the selector's channels.
    void AdjustVolume(float leftGain, float rightGain, qint64 first, qint64 last, int channel,
                      bool adjustBias, float bias);
    void DCBiasAdjust(float bias, int channel);
    // The envelope and panning dialogs: one gain or pan position per frame of the range.
    void ScaleFrames(qint64 first, qint64 last, int channel,
                     const std::function<float(quint32 frame)>& gainAt);
    void PanFrames(qint64 first, qint64 last,
                   const std::function<float(quint32 frame)>& positionAt);
    void Reverse(qint64 first, qint64 last, int channel);
    void ChangeSign(qint64 first, qint64 last);
    int DecodeULaw();

    // --- Format -----------------------------------------------------------------------------
    int SetFormat(quint32 rate, bool stereo, bool sixteenBit);
    int SetFormat(quint32 rate, bool stereo, SampleDepth depth);
    void RevertFormat(quint32& rate, bool& stereo, bool& sixteenBit);
    int ApplyFormat();
    // SetFormat and ApplyFormat as one step: the Convert Sample dialog's result.
    int Convert(quint32 rate, bool stereo, bool sixteenBit);
    int Convert(quint32 rate, bool stereo, SampleDepth depth);

    // --- Ranges and the clipboard -----------------------------------------------------------
    int DeleteFrames(qint64 first, qint64 last, int channel);
    int CutToClipboard(qint64 first, qint64 last, int channel);
    quint32 PasteFromClipboard(quint32 at, int channel);
    // The view's paste: deletes first..last in the selector's channels when `deleteRange` is set,
    // then inserts the clip at `first` (at the end when the deletion reached it), all as one step.
    // Returns the frames pasted; 0 leaves the sample as it was.
    quint32 ReplaceWithClipboard(qint64 first, qint64 last, int channel, bool deleteRange);

    // --- Recording --------------------------------------------------------------------------
    // Around a recording into the sample (the buffer's SetFormat and CSampleAudio's
    // StartRecording, then its StopRecording): BeginRecording keeps the whole sample as it is,
    // within the history's memory limit; false (nothing kept) while the sample plays or records.
    // EndRecording(true) makes the recording one undo step that brings the kept sample back;
    // EndRecording(false), for a recording that never started, puts back the format the attempt may
    // have set.
    bool BeginRecording();
    void EndRecording(bool recorded);

    // --- Curves -----------------------------------------------------------------------------
    // A run of frames whose value changes in a straight line: frame `first` gets `from`, frame
    // `last` gets `to`, frame first + k gets from + k x (to - from) / (last - first).
    struct CSegment {
        quint32 first = 0;
        quint32 last = 0;
        double from = 0;
        double to = 0;
    };
    // ScaleFrames and PanFrames for a curve given as straight runs (the envelope and panning
    // dialogs), as one step over first..last; frames outside it are left alone. The 16-bit gains
    // run several frames at a time with the same arithmetic as ScaleFrame.
    void ScaleSegments(qint64 first, qint64 last, int channel,
                       const std::vector<CSegment>& segments);
    void PanSegments(qint64 first, qint64 last, const std::vector<CSegment>& segments);

    // --- History ----------------------------------------------------------------------------
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    int Undo() { return Busy() ? 0 : m_history.Undo(m_buffer); }
    int Redo() { return Busy() ? 0 : m_history.Redo(m_buffer); }
    void ClearHistory() { m_history.Clear(); }

private:
    bool Busy() const { return m_buffer.Busy(); }
    // Runs `edit` as one step that may rewrite `extent`; when `edit` returns 0 (failed) the
    // buffer is put back as it was.
    int Record(const CEditExtent& extent, const std::function<int()>& edit);
    // The extent a range operation of the selector rewrites: the range itself, or for one
    // channel of a stereo sample everything from the range on, as that channel's samples move.
    CEditExtent RangeExtent(qint64 first, qint64 last, int channel) const;
    // One recorded step that calls `change` for every frame of first..last.
    void EachFrame(qint64 first, qint64 last, const std::function<void(quint32)>& change);

    CSampleBuffer& m_buffer;
    CUndoHistory m_history;
};
