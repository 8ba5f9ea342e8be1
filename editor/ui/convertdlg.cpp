#include "ui/convertdlg.h"

#include "ui/spinedit.h"

#include "platform/settingsstore.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Profile section and entries of the conversion choices.
const QString kSection = QStringLiteral("Convert Sample");
const QString kConversionEntry = QStringLiteral("RateConversion");
const QString kDitherEntry = QStringLiteral("Dither");

// The combo's items, in the order of RateConversion.
const QString kConversionItems[] = {QStringLiteral("High (band-limited)"),
                                    QStringLiteral("Linear (fast)")};

} // namespace

CConvertSampleDlg::CConvertSampleDlg(QWidget* parent, CKeyStore* keys)
    : QDialog(parent), m_source(new QLabel), m_frequency(new CSpinEdit), m_bits(this),
      m_mono(new QRadioButton(QStringLiteral("&Mono"))),
      m_stereo(new QRadioButton(QStringLiteral("&Stereo"))),
      m_quality(new CQualityList(this, keys)), m_conversion(new QComboBox),
      m_dither(new QCheckBox(QStringLiteral("&Dither"))) {
    setWindowTitle(QStringLiteral("Convert Sample"));
    setModal(true);

    auto* sourceBox = new QGroupBox(QStringLiteral("Source Format"));
    auto* sourceLayout = new QVBoxLayout(sourceBox);
    sourceLayout->addWidget(m_source);

    m_frequency->SetMaxLength(10);
    m_frequency->SetRange(CSamplePresetsDlg::kMinSpinHertz, CSamplePresetsDlg::kMaxSpinHertz);

    auto* quality = new QHBoxLayout;
    quality->addWidget(m_quality->Combo(), 1);
    quality->addWidget(m_quality->PresetsButton());

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Frequency:"), m_frequency);
    form->addRow(QString(), FormatChoiceGrid(this, m_bits, m_mono, m_stereo));
    form->addRow(QStringLiteral("&Quality:"), quality);
    // The label made for the row's layout has no buddy of its own.
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(quality)))
        label->setBuddy(m_quality->Combo());

    for (const QString& item : kConversionItems)
        m_conversion->addItem(item);
    m_conversion->setCurrentIndex(int(StoredConversion()));
    m_conversion->setToolTip(QStringLiteral(
        "Band-limited conversion keeps tones above the new rate's limit from folding back; "
        "linear interpolation is faster but lets them through"));
    m_dither->setChecked(StoredDither());
    m_dither->setToolTip(
        QStringLiteral("Adds triangular noise of one step where samples lose bits (to 8 or 16), "
                       "so that quiet parts turn to hiss instead of distortion"));
    auto* conversion = new QHBoxLayout;
    conversion->addWidget(m_conversion, 1);
    conversion->addWidget(m_dither);
    form->addRow(QStringLiteral("Co&nversion:"), conversion);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(conversion)))
        label->setBuddy(m_conversion);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(sourceBox);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // The Quality list's widgets exist before the others; the keyboard still goes top down.
    QWidget* previous = m_frequency;
    for (QRadioButton* bits : m_bits.Buttons()) {
        setTabOrder(previous, bits);
        previous = bits;
    }
    setTabOrder(previous, m_mono);
    setTabOrder(m_mono, m_stereo);
    setTabOrder(m_stereo, m_quality->Combo());
    setTabOrder(m_quality->Combo(), m_quality->PresetsButton());
    setTabOrder(m_quality->PresetsButton(), m_conversion);
    setTabOrder(m_conversion, m_dither);
    setTabOrder(m_dither, buttons);
    m_frequency->setFocus();

    connect(m_frequency, &CSpinEdit::textEdited, this, [this](const QString& text) {
        m_frequency->SetPosition(CFormatChoice::FrequencyOf(text));
        LookupQuality();
    });
    connect(m_frequency, &CSpinEdit::stepped, this, [this](int hertz) {
        m_frequency->SetText(CFormatChoice::FrequencyText(hertz));
        LookupQuality();
    });
    for (QAbstractButton* radio :
         m_bits.Group()->buttons() + QList<QAbstractButton*>{m_mono, m_stereo})
        connect(radio, &QAbstractButton::toggled, this, [this](bool on) {
            if (on) {
                LookupQuality();
                UpdateDither();
            }
        });
    connect(m_quality, &CQualityList::presetChosen, this, &CConvertSampleDlg::ApplyPreset);
    m_quality->SetDialogFormat([this] { return Target(); });

    ApplyPreset(22050, 1, 8);
}

// OK without a change keeps the sample as it is: every choice starts at the sample's own.
void CConvertSampleDlg::SetSource(quint32 rate, SampleDepth depth, bool stereo) {
    m_source->setText(FormatText(rate, depth, stereo));
    m_sourceDepth = depth;
    ApplyPreset(int(rate), stereo ? 2 : 1, int(DepthBits(depth)));
    UpdateDither();
}

// Dither only means something where integer samples lose bits: to 8-bit, or to 16-bit from
// wider ones. Float to 24-bit keeps every value a 24-bit sample can hold.
void CConvertSampleDlg::UpdateDither() {
    const SampleDepth target = m_bits.Depth();
    m_dither->setEnabled((target == SampleDepth::Int8 || target == SampleDepth::Int16) &&
                         DepthBits(target) < DepthBits(m_sourceDepth));
}

QString CConvertSampleDlg::FormatText(quint32 rate, SampleDepth depth, bool stereo) {
    return QStringLiteral("%1 Hz, %2 bit %3%4")
        .arg(rate)
        .arg(DepthBits(depth))
        .arg(depth == SampleDepth::Float32 ? QStringLiteral("float ") : QString())
        .arg(stereo ? QStringLiteral("Stereo") : QStringLiteral("Mono"));
}

CFormatChoice CConvertSampleDlg::Target() const {
    return {m_frequency->Text(), m_bits.Depth(), m_stereo->isChecked()};
}

RateConversion CConvertSampleDlg::Conversion() const {
    return m_conversion->currentIndex() == int(RateConversion::Linear)
               ? RateConversion::Linear
               : RateConversion::BandLimited;
}

bool CConvertSampleDlg::Dither() const {
    return m_dither->isChecked();
}

void CConvertSampleDlg::StoreConversion() const {
    CSettingsStore& settings = CSettingsStore::Instance();
    settings.WriteInt(kSection, kConversionEntry, int(Conversion()));
    settings.WriteInt(kSection, kDitherEntry, Dither() ? 1 : 0);
}

// Any value but the linear one's reads as band-limited, the default.
RateConversion CConvertSampleDlg::StoredConversion() {
    const int stored = CSettingsStore::Instance().ReadInt(kSection, kConversionEntry,
                                                          int(RateConversion::BandLimited));
    return stored == int(RateConversion::Linear) ? RateConversion::Linear
                                                 : RateConversion::BandLimited;
}

bool CConvertSampleDlg::StoredDither() {
    return CSettingsStore::Instance().ReadInt(kSection, kDitherEntry, 0) != 0;
}

void CConvertSampleDlg::LookupQuality() {
    const CFormatChoice target = Target();
    m_quality->Lookup(target.Frequency(), target.stereo, target.depth);
}

void CConvertSampleDlg::ApplyPreset(int frequency, int channels, int bits) {
    m_frequency->SetText(CFormatChoice::FrequencyText(frequency));
    m_frequency->SetPosition(frequency);
    m_bits.SetDepth(DepthForBits(quint32(bits)));
    (channels == 2 ? m_stereo : m_mono)->setChecked(true);
    LookupQuality();
}
