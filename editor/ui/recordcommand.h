#pragma once
// The Record command: Recording Options asks what to record, then a view records into its
// document through the "Recording..." dialog, as one undo step.
//
// The frame's part: run RunRecordingOptions; on a request, make a new document first when
// asNewSample is set or no document is active, then call RecordIntoView on the active view.

#include "core/samplebuffer.h"

#include <QtGlobal>

#include <optional>

class CWlproView;
class QWidget;

struct CRecordingRequest {
    quint32 bytes;
    quint32 rate;
    bool stereo;
    SampleDepth depth;
    bool asNewSample;
};

// Runs Recording Options modally; none when cancelled.
std::optional<CRecordingRequest> RunRecordingOptions(QWidget* parent);

// Records into the view's document from the default input device: the old sample comes back
// with Undo. The strips then follow the recorded channel count, zoom out and the status panes
// are written again. True when the recording started (even if it was stopped at once, leaving an
// empty sample); false when it could not, the sample then as it was.
bool RecordIntoView(CWlproView& view, const CRecordingRequest& request);
