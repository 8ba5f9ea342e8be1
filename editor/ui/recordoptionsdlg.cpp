#include "ui/recordoptionsdlg.h"

#include "ui/samplepresetsdlg.h"
#include "ui/spinedit.h"

#include "core/reporter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

CRecordOptionsDlg::CRecordOptionsDlg(QWidget* parent, CKeyStore* keys)
    : QDialog(parent), m_frequency(new CSpinEdit), m_seconds(new CSpinEdit), m_bits(this),
      m_mono(new QRadioButton(QStringLiteral("&Mono"))),
      m_stereo(new QRadioButton(QStringLiteral("&Stereo"))),
      m_quality(new CQualityList(this, keys)), m_memory(new QLabel),
      m_newSample(new QCheckBox(QStringLiteral("&Record As New Sample"))),
      m_record(new QPushButton(QStringLiteral("&Record"))) {
    setWindowTitle(QStringLiteral("Recording Options"));
    setModal(true);

    m_frequency->SetMaxLength(40);
    m_frequency->SetRange(CSamplePresetsDlg::kMinSpinHertz, CSamplePresetsDlg::kMaxSpinHertz);
    m_frequency->SetText(CFormatChoice::FrequencyText(int(m_rate)));
    m_frequency->SetPosition(int(m_rate));
    m_seconds->SetMaxLength(7);
    m_seconds->SetRange(1, kMaxSeconds);
    m_seconds->SetText(QStringLiteral("1"));
    m_seconds->SetPosition(1);
    m_bits.SetDepth(SampleDepth::Int8);
    m_mono->setChecked(true);
    // The line also explains a frequency it could not use.
    m_memory->setWordWrap(true);
    m_memory->setMinimumWidth(m_memory->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 32);

    auto* quality = new QHBoxLayout;
    quality->addWidget(m_quality->Combo(), 1);
    quality->addWidget(m_quality->PresetsButton());

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Frequency:"), m_frequency);
    form->addRow(QStringLiteral("Se&conds:"), m_seconds);
    form->addRow(QString(), FormatChoiceGrid(this, m_bits, m_mono, m_stereo));
    form->addRow(QStringLiteral("&Quality:"), quality);
    // The label made for the row's layout has no buddy of its own.
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(quality)))
        label->setBuddy(m_quality->Combo());
    form->addRow(QString(), m_memory);
    form->addRow(QString(), m_newSample);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->addButton(m_record, QDialogButtonBox::AcceptRole);
    connect(m_record, &QPushButton::clicked, this, &CRecordOptionsDlg::OnRecord);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRecordOptionsDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // Only a button inside its dialog can be the dialog's default.
    m_record->setDefault(true);

    connect(m_frequency, &CSpinEdit::textEdited, this, [this] {
        FormatChanged();
        m_frequency->SetPosition(int(m_rate));
    });
    connect(m_frequency, &CSpinEdit::stepped, this, [this](int hertz) {
        m_frequency->SetText(CFormatChoice::FrequencyText(hertz));
        FormatChanged();
    });
    connect(m_seconds, &CSpinEdit::textEdited, this, [this](const QString& text) {
        m_seconds->SetPosition(int(std::min<quint64>(SecondsOf(text), kMaxSeconds)));
        ReadFields();
    });
    connect(m_seconds, &CSpinEdit::stepped, this, [this](int seconds) {
        m_seconds->SetText(QString::number(seconds));
        ReadFields();
    });
    for (QAbstractButton* radio :
         m_bits.Group()->buttons() + QList<QAbstractButton*>{m_mono, m_stereo})
        connect(radio, &QAbstractButton::toggled, this, [this](bool on) {
            if (on)
                FormatChanged();
        });
    connect(m_quality, &CQualityList::presetChosen, this, &CRecordOptionsDlg::ApplyPreset);
    m_quality->SetDialogFormat([this] {
        return CFormatChoice{m_frequency->Text(), Depth(), Stereo()};
    });

    FormatChanged();
    m_frequency->setFocus();
}

std::optional<quint32> CRecordOptionsDlg::ParseFrequency(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    double hertz = match.captured(1).toDouble();
    if (text.toUpper().contains(QStringLiteral("KHZ")))
        hertz *= 1000.0;
    // A tenth of a kilohertz is not exact in binary: 8.2 x 1000 may come out a hair below 8200.
    hertz = std::floor(hertz + 1e-6);
    if (!(hertz >= 1.0) || hertz > double(std::numeric_limits<int>::max()))
        return std::nullopt;
    return quint32(hertz);
}

quint64 CRecordOptionsDlg::SecondsOf(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    const qint64 seconds = match.hasMatch() ? match.captured(1).toLongLong() : 0;
    return seconds > 0 ? quint64(seconds) : 0;
}

quint64 CRecordOptionsDlg::BytesFor(quint64 seconds, quint32 rate, SampleDepth depth, bool stereo) {
    return seconds * rate * DepthBytes(depth) * (stereo ? 2 : 1);
}

QString CRecordOptionsDlg::MemoryText(quint64 bytes) {
    constexpr quint64 kMega = 1048576;
    if (bytes == 0)
        return QString();
    if (bytes < kMega)
        return QStringLiteral("%1 Kb required").arg(bytes / 1024);
    return QStringLiteral("%1 Mb required").arg(bytes / kMega);
}

bool CRecordOptionsDlg::Stereo() const {
    return m_stereo->isChecked();
}

SampleDepth CRecordOptionsDlg::Depth() const {
    return m_bits.Depth();
}

bool CRecordOptionsDlg::AsNewSample() const {
    return m_newSample->isChecked();
}

void CRecordOptionsDlg::ReadFields() {
    const std::optional<quint32> rate = ParseFrequency(m_frequency->Text());
    if (rate)
        m_rate = *rate;
    m_bytes = BytesFor(SecondsOf(m_seconds->Text()), m_rate, Depth(), Stereo());
    QString text = MemoryText(m_bytes);
    if (!rate) {
        const QString kept = QStringLiteral("Not a valid frequency; %1 Hz kept").arg(m_rate);
        text = text.isEmpty() ? kept : kept + QStringLiteral(" - ") + text;
    }
    m_memory->setText(text);
}

void CRecordOptionsDlg::FormatChanged() {
    ReadFields();
    m_quality->Lookup(int(m_rate), Stereo(), Depth());
}

void CRecordOptionsDlg::ApplyPreset(int frequency, int channels, int bits) {
    m_frequency->SetText(CFormatChoice::FrequencyText(frequency));
    m_frequency->SetPosition(frequency);
    (channels == 2 ? m_stereo : m_mono)->setChecked(true);
    m_bits.SetDepth(DepthForBits(quint32(bits)));
    FormatChanged();
}

void CRecordOptionsDlg::OnRecord() {
    ReadFields();
    if (m_bytes > kMaxBytes) {
        ReportMessage(
            CMessage{QStringLiteral("Error - Out of Memory!"), QString(), CMessageIcon::Warning});
        return;
    }
    done(AsNewSample() ? kRecordAsNew : kRecordInto);
}

void CRecordOptionsDlg::reject() {
    done(kCancelled);
}
