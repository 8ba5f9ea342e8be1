#pragma once
// CPptySample: the properties window's "Format" page. It shows the sample's rate, bits and
// channels, the memory one second takes, and the name of the stored format preset of exactly
// that format ("Quality"). Choosing another frequency, bits, channels or preset reinterprets the
// sample's bytes in that format without changing them: one undo step each, and the views follow
// (a mono sample read as stereo has half the frames and two strips). "&Revert" brings back the
// format the bytes were loaded or last converted in; "&Convert" converts the bytes from that
// format into the one shown, at once and as one undo step (no dialog: the page is the choice).
//
// The frequency applies when editing it ends (Return or leaving it), and an arrow held down
// applies once, when it is let go, so that each change the user makes is one undo step.

#include "ui/samplepresetsdlg.h"

#include <QPointer>
#include <QWidget>

class CKeyStore;
class CQualityList;
class CSpinEdit;
class CWlproView;
class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

class CPptySample : public QWidget {
    Q_OBJECT
public:
    // `keys`: the key tree of the format presets, the process-wide one unless given (tests).
    explicit CPptySample(QWidget* parent = nullptr, CKeyStore* keys = nullptr);

    // The view whose sample the page acts on; null: none, and nothing is editable.
    void SetView(CWlproView* view);
    // Shows the format the sample has now.
    void Refresh();

    // The controls, for tests.
    CSpinEdit* FrequencyEdit() const { return m_frequency; }
    QRadioButton* Bits8() const { return m_bits.Button(SampleDepth::Int8); }
    QRadioButton* Bits16() const { return m_bits.Button(SampleDepth::Int16); }
    const CBitsChoice& Bits() const { return m_bits; }
    QRadioButton* Mono() const { return m_mono; }
    QRadioButton* Stereo() const { return m_stereo; }
    QLabel* MemoryLabel() const { return m_memory; }
    CQualityList* Quality() const { return m_quality; }
    QPushButton* RevertButton() const { return m_revert; }
    QPushButton* ConvertButton() const { return m_convert; }

protected:
    // Notes when an arrow of the frequency is held and let go.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int ShownFrequency() const;
    // The memory text and the quality name of the format shown.
    void ShowDerived();
    void ShowFormat(int frequency, bool stereo, SampleDepth depth);
    // Reinterprets the sample in the format shown, as one undo step.
    void Apply();
    void OnFrequencyStepped(int hertz);
    void OnArrowReleased();
    void Revert();
    void Convert();

    QPointer<CWlproView> m_view;
    CSpinEdit* m_frequency;
    CBitsChoice m_bits;
    QRadioButton* m_mono;
    QRadioButton* m_stereo;
    QButtonGroup* m_channels;
    QLabel* m_memory;
    CQualityList* m_quality;
    QPushButton* m_revert;
    QPushButton* m_convert;
    bool m_frequencyEdited = false;
    bool m_arrowHeld = false;
    bool m_stepPending = false;
};
