#pragma once
// CAdjustVolumeDlg: "Adjust Volume", the gain of each channel of a range as a percentage (or in
// decibels), filled in by "&Normalise" to bring the range's peak to a chosen share of full
// scale, and an optional DC bias adjustment. The dialog only reads the sample; the view applies
// the result after OK.

#include <QDialog>
#include <QString>

class CSampleBuffer;
class CSpinEdit;
class QCheckBox;
class QLabel;
class QPushButton;

class CAdjustVolumeDlg : public QDialog {
    Q_OBJECT
public:
    // The range first..last (inclusive; -1/-1 the whole sample) and the channel selector (0 both
    // or the only one, 1 left, 2 right) of `buffer`; `stereo` as the view shows the sample.
    CAdjustVolumeDlg(const CSampleBuffer& buffer, bool stereo, qint64 first, qint64 last,
                     int channel, QWidget* parent = nullptr);

    // The result: each side's percentage / 100, and the bias in percent of full scale.
    float LeftGain() const;
    float RightGain() const;
    bool AdjustBias() const;
    float Bias() const;

    // A volume text read as a percentage: the number itself, or in dB mode 100 x 10^(d / 20).
    static double PercentOf(const QString& text, bool decibels);
    // "%.1f" of the percentage, or in dB mode "%.2f" of its decibels.
    static QString VolumeText(double percent, bool decibels);
    // The text's leading real number ("12.5 %" reads 12.5); 0 when it does not start with one.
    static double RealOf(const QString& text);

    // Fills the gains in from the range's peak and the normalise value.
    void Normalise();

    // The controls, for tests.
    CSpinEdit* NormaliseEdit() const { return m_normalise; }
    CSpinEdit* LeftEdit() const { return m_left; }
    CSpinEdit* RightEdit() const { return m_right; }
    CSpinEdit* BiasEdit() const { return m_bias; }
    QCheckBox* LockBox() const { return m_lock; }
    QCheckBox* BiasBox() const { return m_biasBox; }
    QCheckBox* DecibelBox() const { return m_decibels; }
    QLabel* LeftUnit() const { return m_leftUnit; }
    QLabel* RightUnit() const { return m_rightUnit; }
    QPushButton* NormaliseButton() const { return m_normaliseButton; }

private:
    bool Decibels() const;
    void OnVolumeStep(CSpinEdit* edit, int steps);
    void OnVolumeEdited(CSpinEdit* edit, const QString& text);
    void OnDecibelsToggled(bool decibels);

    const CSampleBuffer& m_buffer;
    bool m_stereo;
    qint64 m_first;
    qint64 m_last;
    int m_channel;
    CSpinEdit* m_normalise;
    CSpinEdit* m_left;
    CSpinEdit* m_right;
    CSpinEdit* m_bias;
    QCheckBox* m_lock;
    QCheckBox* m_biasBox;
    QCheckBox* m_decibels;
    QLabel* m_leftUnit;
    QLabel* m_rightUnit;
    QPushButton* m_normaliseButton;
};
