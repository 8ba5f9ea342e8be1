#pragma once
// CConvertSampleDlg: "Convert Sample", the format a sample is to be converted to. It shows the
// sample's own format, offers the stored format presets as its "&Quality:" list, and how the rate
// is converted ("Co&nversion:") and whether lowered bit depths are dithered, both kept in the
// profile. The view converts after OK; the dialog changes nothing itself.

#include "ui/samplepresetsdlg.h"

#include "core/samplebuffer.h"

#include <QDialog>

class CKeyStore;
class CSpinEdit;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

class CConvertSampleDlg : public QDialog {
    Q_OBJECT
public:
    // Starts at 22050 Hz, 8-bit, mono until SetSource. `keys`: the presets' key tree, the
    // process-wide one unless given (tests).
    explicit CConvertSampleDlg(QWidget* parent = nullptr, CKeyStore* keys = nullptr);

    // The sample's format: the source text, and the rate, depth and channels the dialog starts
    // at.
    void SetSource(quint32 rate, SampleDepth depth, bool stereo);
    // "%d Hz, %d bit %s", the last "Mono" or "Stereo"; float samples read "32 bit float".
    static QString FormatText(quint32 rate, SampleDepth depth, bool stereo);

    // The format chosen; its frequency is the text read as an integer.
    CFormatChoice Target() const;
    RateConversion Conversion() const;
    bool Dither() const;
    // Keeps the conversion and dither chosen in the profile, where the next dialog and the
    // properties window's Convert find them.
    void StoreConversion() const;
    // The profile's choices: band-limited and no dither until one was stored.
    static RateConversion StoredConversion();
    static bool StoredDither();

    // The controls, for tests.
    QLabel* SourceLabel() const { return m_source; }
    CSpinEdit* FrequencyEdit() const { return m_frequency; }
    QRadioButton* Bits8() const { return m_bits.Button(SampleDepth::Int8); }
    QRadioButton* Bits16() const { return m_bits.Button(SampleDepth::Int16); }
    const CBitsChoice& Bits() const { return m_bits; }
    QRadioButton* Mono() const { return m_mono; }
    QRadioButton* Stereo() const { return m_stereo; }
    CQualityList& Quality() { return *m_quality; }
    QComboBox* ConversionCombo() const { return m_conversion; }
    QCheckBox* DitherCheck() const { return m_dither; }

private:
    void LookupQuality();
    void UpdateDither();
    void ApplyPreset(int frequency, int channels, int bits);

    QLabel* m_source;
    CSpinEdit* m_frequency;
    CBitsChoice m_bits;
    QRadioButton* m_mono;
    QRadioButton* m_stereo;
    CQualityList* m_quality;
    QComboBox* m_conversion;
    QCheckBox* m_dither;
    SampleDepth m_sourceDepth = SampleDepth::Int8;
};
