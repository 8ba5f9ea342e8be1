#pragma once
// CEnvelopeDlg: "Edit Envelope". The curve is a gain over the selection, 1 at the top and 0 at the
// bottom, times the amplification percentage; "&Normalise" sets that percentage so that the
// selection's peak reaches the normalisation percentage of full scale. OK applies
// gain(frame) = curve(t) x amplification / 100 to the selected channels.

#include "ui/curvedlg.h"

#include <optional>

class CSampleBuffer;
class CSpinEdit;

class CEnvelopeDlg : public CCurveDlg {
    Q_OBJECT
public:
    // `channel`: 0 all channels, 1 left, 2 right, as the view's range gives it.
    CEnvelopeDlg(const CSampleBuffer& buffer, qint64 first, qint64 last, int channel,
                 QWidget* parent = nullptr);

    CSpinEdit* AmplificationSpin() const { return m_amplification; }
    CSpinEdit* NormaliseSpin() const { return m_normalise; }
    QPushButton* NormaliseButton() const { return m_normaliseButton; }

    // The amplification text as a number; none while it is not a finite number.
    std::optional<double> Amplification() const;
    // "&Normalise": the amplification becomes the normalisation percentage times the factor
    // that brings the selection's peak to full scale.
    void Normalise();
    void Apply(CSampleEditor& editor) const override;

public slots:
    // Refuses, with a message, an amplification that is not a number.
    void accept() override;

private:
    const CSampleBuffer& m_buffer;
    int m_channel;
    CSpinEdit* m_amplification;
    CSpinEdit* m_normalise;
    QPushButton* m_normaliseButton;
};
