#pragma once
// CRecordOptionsDlg: "Recording Options", the format and the duration of a new recording, with
// the memory it will take and the stored format presets as its "&Quality:" list. It records
// nothing itself: the caller reads the rate, the bytes and the choices after exec().
//
// Results of exec(): kCancelled, kRecordAsNew ("&Record As New Sample" ticked) or kRecordInto.
// "&Record" refuses (with "Error - Out of Memory!", the dialog staying open) a size no sample can
// hold: a sample's byte length is 32-bit, so at most kMaxBytes.
//
// A frequency text that names no rate (0, negative, not a number) never becomes the rate: the
// last valid one is kept and the memory line says so.

#include "ui/samplepresetsdlg.h"

#include <QDialog>
#include <QString>

#include <optional>

class CKeyStore;
class CQualityList;
class CSpinEdit;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

class CRecordOptionsDlg : public QDialog {
    Q_OBJECT
public:
    enum Result : int { kCancelled = 2, kRecordAsNew = 10, kRecordInto = 11 };
    static constexpr int kMaxSeconds = 32000;
    static constexpr quint64 kMaxBytes = 0xFFFFFFFFu;

    // Starts at 22050 Hz, 1 second, 8-bit, mono. `keys`: the presets' key tree, the process-wide
    // one unless given (tests).
    explicit CRecordOptionsDlg(QWidget* parent = nullptr, CKeyStore* keys = nullptr);

    // The frequency text read as a real number ("44.1 kHz"), times 1000 when it says "KHZ" in any
    // case, as whole hertz; none for 0, a negative number, text that does not start with a
    // number, or more hertz than an int holds.
    static std::optional<quint32> ParseFrequency(const QString& text);
    // The seconds text read as an integer: its leading whole number; 0 when there is none or it
    // is negative.
    static quint64 SecondsOf(const QString& text);
    // Seconds x rate x the bytes of one sample of `depth` (1 to 4), doubled for stereo.
    static quint64 BytesFor(quint64 seconds, quint32 rate, SampleDepth depth, bool stereo);
    // Empty for 0 bytes, "%ld Kb required" below 1 MiB, "%ld Mb required" from there on (whole
    // units, rounded down).
    static QString MemoryText(quint64 bytes);

    // The fields as the controls last set them.
    quint32 Rate() const { return m_rate; }
    quint64 Bytes() const { return m_bytes; }
    bool Stereo() const;
    SampleDepth Depth() const;
    bool AsNewSample() const;

    // The controls, for tests.
    CSpinEdit* FrequencyEdit() const { return m_frequency; }
    CSpinEdit* SecondsEdit() const { return m_seconds; }
    QRadioButton* Bits8() const { return m_bits.Button(SampleDepth::Int8); }
    QRadioButton* Bits16() const { return m_bits.Button(SampleDepth::Int16); }
    const CBitsChoice& Bits() const { return m_bits; }
    QRadioButton* Mono() const { return m_mono; }
    QRadioButton* StereoButton() const { return m_stereo; }
    CQualityList& Quality() { return *m_quality; }
    QLabel* MemoryLabel() const { return m_memory; }
    QCheckBox* NewSampleCheck() const { return m_newSample; }
    QPushButton* RecordButton() const { return m_record; }

    void reject() override;

private:
    // Reads rate and bytes from the controls and shows the memory line.
    void ReadFields();
    // ReadFields, then the quality name of the format.
    void FormatChanged();
    void ApplyPreset(int frequency, int channels, int bits);
    void OnRecord();

    CSpinEdit* m_frequency;
    CSpinEdit* m_seconds;
    CBitsChoice m_bits;
    QRadioButton* m_mono;
    QRadioButton* m_stereo;
    CQualityList* m_quality;
    QLabel* m_memory;
    QCheckBox* m_newSample;
    QPushButton* m_record;
    quint32 m_rate = 22050;
    quint64 m_bytes = 22050;
};
