#include "ui/samplecommands.h"

#include "ui/adjustvolumedlg.h"
#include "ui/convertdlg.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"

#include <QApplication>

#include <algorithm>

namespace {

int Run(QDialog& dialog, const CDialogRunner& run) {
    return run ? run(dialog) : dialog.exec();
}

} // namespace

bool RunAdjustVolume(CWlproView& view, const CDialogRunner& run) {
    CWlproDoc& doc = *view.Document();
    const CWlproView::CRange range = view.GetSelectionRange();
    if (!range.valid)
        return false;
    CAdjustVolumeDlg dialog(doc.Buffer(), view.IsStereo(), range.first, range.last, range.channel,
                            &view);
    if (Run(dialog, run) != QDialog::Accepted)
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    doc.Editor().AdjustVolume(dialog.LeftGain(), dialog.RightGain(), range.first, range.last,
                              range.channel, dialog.AdjustBias(), dialog.Bias());
    QApplication::restoreOverrideCursor();
    // A bias adjustment rewrites the whole sample, the gain only the range.
    if (dialog.AdjustBias())
        doc.SampleEdited(0);
    else
        doc.SampleEdited(quint32(range.first), quint32(range.last));
    return true;
}

bool RunConvertSample(CWlproView& view, const CDialogRunner& run) {
    CWlproDoc& doc = *view.Document();
    const CSampleBuffer& buffer = doc.Buffer();
    CConvertSampleDlg dialog(&view);
    dialog.SetSource(buffer.GetRate(), buffer.GetDepth(), buffer.GetChannels() == 2);
    const bool accepted = Run(dialog, run) == QDialog::Accepted;
    if (accepted) {
        const CFormatChoice target = dialog.Target();
        dialog.StoreConversion();
        doc.Buffer().SetRateConversion(dialog.Conversion());
        doc.Buffer().SetDither(dialog.Dither());
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // Rates below the lowest one are raised by the conversion itself; a negative text
        // counts as such a rate.
        const int converted = doc.Editor().Convert(quint32(std::max(target.Frequency(), 0)),
                                                   target.stereo, target.depth);
        QApplication::restoreOverrideCursor();
        if (converted)
            doc.SampleEdited(0);
        view.ZoomOut();
    }
    view.UpdateStatus();
    return accepted;
}
