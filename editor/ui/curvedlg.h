#pragma once
// CCurveDlg: what the Edit Envelope and Stereo Panning dialogs share: the curve control over the
// selection's time, the read-out under it, and the presets of the dialog's group in a sorted
// drop-down list with "&Save" and "&Delete". The curve follows the dialog's size.
//
// Preset names are at most 49 characters; the list is sorted and compared ignoring letter case,
// and a name typed in another case than an entry's means that entry. Picking an entry loads it.

#include "core/sampleeditor.h"
#include "ui/curvepresets.h"
#include "ui/manipwind.h"

#include <QDialog>

#include <memory>
#include <vector>

class CSampleBuffer;
class QComboBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

class CCurveDlg : public QDialog {
    Q_OBJECT
public:
    ~CCurveDlg() override;

    CManipWind* Curve() const { return m_curve; }
    QLabel* Readout() const { return m_readoutLabel; }
    QComboBox* PresetCombo() const { return m_presetCombo; }
    QPushButton* SaveButton() const { return m_saveButton; }
    QPushButton* DeleteButton() const { return m_deleteButton; }
    qint64 First() const { return m_first; }
    qint64 Last() const { return m_last; }

    // After OK: the curve applied to the range as one undo step; nothing when last < first.
    virtual void Apply(CSampleEditor& editor) const = 0;

protected:
    // `first` and `last` are the selection's frames, inclusive.
    CCurveDlg(CCurveMode mode, const QString& caption, const QString& group,
              const CSampleBuffer& buffer, qint64 first, qint64 last, QWidget* parent);

    // Where the dialog's own controls go, between the read-out and the presets.
    QVBoxLayout* ControlsLayout() const { return m_controls; }
    // The curve over the range, its values times `scale`.
    std::vector<CSampleEditor::CSegment> Segments(double scale) const;
    bool HasRange() const { return m_first >= 0 && m_last >= m_first; }

private:
    // The entry whose name equals `name` ignoring case, or -1.
    int FindPreset(const QString& name) const;
    void AddPresetName(const QString& name);
    void LoadPreset(int index);
    void SavePreset();
    void DeletePreset();
    void UpdatePresetButtons();

    qint64 m_first;
    qint64 m_last;
    CCurvePresets m_presets;
    CManipWind* m_curve;
    QLabel* m_readoutLabel;
    std::unique_ptr<CCurveReadout> m_readout;
    QVBoxLayout* m_controls;
    QComboBox* m_presetCombo;
    QPushButton* m_saveButton;
    QPushButton* m_deleteButton;
};
