#pragma once
// CPanningDlg: "Stereo Panning". The curve is the balance over the selection: the top is fully
// left, the bottom fully right, the middle the centre. OK mixes each frame to mono and gives the
// left channel the curve's share of the mix and the right channel the rest.

#include "ui/curvedlg.h"

class CSampleBuffer;

class CPanningDlg : public CCurveDlg {
    Q_OBJECT
public:
    CPanningDlg(const CSampleBuffer& buffer, qint64 first, qint64 last, QWidget* parent = nullptr);

    void Apply(CSampleEditor& editor) const override;
};
