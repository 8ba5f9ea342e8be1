#include "ui/recordcommand.h"

#include "ui/convertdlg.h"
#include "ui/recordingdlg.h"
#include "ui/recordoptionsdlg.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"

std::optional<CRecordingRequest> RunRecordingOptions(QWidget* parent) {
    CRecordOptionsDlg dialog(parent);
    const int result = dialog.exec();
    if (result != CRecordOptionsDlg::kRecordAsNew && result != CRecordOptionsDlg::kRecordInto)
        return std::nullopt;
    // The dialog refuses more bytes than a sample's 32-bit length holds.
    return CRecordingRequest{quint32(dialog.Bytes()), dialog.Rate(), dialog.Stereo(),
                             dialog.Depth(), result == CRecordOptionsDlg::kRecordAsNew};
}

bool RecordIntoView(CWlproView& view, const CRecordingRequest& request) {
    CWlproDoc& doc = *view.Document();
    CSampleEditor& editor = doc.Editor();
    // A sample that plays cannot record; the dialog then says "Couldn't record".
    const bool kept = editor.BeginRecording();
    CRecordProgressDlg dialog(&view);
    dialog.SetFormatText(
        CConvertSampleDlg::FormatText(request.rate, request.depth, request.stereo));
    const bool recorded = dialog.RunRecording(doc.Audio(), request.bytes, request.rate,
                                              request.stereo, request.depth, -1);
    if (kept)
        editor.EndRecording(recorded);
    if (recorded)
        doc.SampleEdited(0);
    view.ZoomOut();
    view.UpdateStatus();
    return recorded;
}
