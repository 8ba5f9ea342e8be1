#include "ui/curvecommands.h"

#include "ui/envelopedlg.h"
#include "ui/panningdlg.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"

#include <QApplication>
#include <QScopeGuard>

namespace {

bool Editable(const CWlproView& view) {
    const CSampleBuffer& buffer = view.Document()->Buffer();
    return buffer.GetFrameCount() > 0 && !buffer.Busy() && view.GetSelectionRange().valid;
}

bool RunCurveDialog(CCurveDlg& dialog, CWlproDoc& doc) {
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    dialog.Apply(doc.Editor());
    doc.SampleEdited(quint32(dialog.First()), quint32(dialog.Last()));
    return true;
}

} // namespace

bool RunEnvelope(CWlproView& view) {
    if (!Editable(view))
        return false;
    CWlproDoc& doc = *view.Document();
    const CWlproView::CRange range = view.GetSelectionRange();
    CEnvelopeDlg dialog(doc.Buffer(), range.first, range.last, range.channel, &view);
    return RunCurveDialog(dialog, doc);
}

bool RunStereoPanning(CWlproView& view) {
    if (!Editable(view) || view.Document()->Buffer().GetChannels() != 2)
        return false;
    CWlproDoc& doc = *view.Document();
    const CWlproView::CRange range = view.GetSelectionRange();
    CPanningDlg dialog(doc.Buffer(), range.first, range.last, &view);
    return RunCurveDialog(dialog, doc);
}
