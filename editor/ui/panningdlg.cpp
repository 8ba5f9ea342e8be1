#include "ui/panningdlg.h"

CPanningDlg::CPanningDlg(const CSampleBuffer& buffer, qint64 first, qint64 last, QWidget* parent)
    : CCurveDlg(CCurveMode::Panning, QStringLiteral("Stereo Panning"),
                CCurvePresets::PanningGroup(), buffer, first, last, parent) {}

void CPanningDlg::Apply(CSampleEditor& editor) const {
    if (HasRange())
        editor.PanSegments(First(), Last(), Segments(1.0));
}
