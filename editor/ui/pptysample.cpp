#include "ui/pptysample.h"

#include "ui/convertdlg.h"
#include "ui/samplepresetsdlg.h"
#include "ui/spinedit.h"
#include "ui/wlproview.h"

#include "core/reporter.h"
#include "core/wlprodoc.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QGroupBox* PairBox(const QString& title, QButtonGroup* group, QRadioButton* first,
                   QRadioButton* second) {
    group->addButton(first, 0);
    group->addButton(second, 1);
    auto* box = new QGroupBox(title);
    auto* column = new QVBoxLayout(box);
    column->addWidget(first);
    column->addWidget(second);
    return box;
}

// Two rows of two, so that the box is as high as the Channels box beside it and its rows line
// up with Mono and Stereo.
QGroupBox* BitsBox(const CBitsChoice& bits) {
    auto* box = new QGroupBox(QStringLiteral("Bits"));
    auto* grid = new QGridLayout(box);
    for (std::size_t i = 0; i < bits.Buttons().size(); ++i)
        grid->addWidget(bits.Buttons()[i], int(i / 2), int(i % 2));
    return box;
}

// Unchecks every button of an exclusive group: no choice is shown without a sample.
void ClearChoice(QButtonGroup* group) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

bool IsStepKey(int key) {
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
           key == Qt::Key_PageDown;
}

} // namespace

CPptySample::CPptySample(QWidget* parent, CKeyStore* keys)
    : QWidget(parent), m_frequency(new CSpinEdit), m_bits(this),
      m_mono(new QRadioButton(QStringLiteral("&Mono"))),
      m_stereo(new QRadioButton(QStringLiteral("&Stereo"))), m_channels(new QButtonGroup(this)),
      m_memory(new QLabel), m_quality(new CQualityList(this, keys)),
      m_revert(new QPushButton(QStringLiteral("&Revert"))),
      m_convert(new QPushButton(QStringLiteral("&Convert"))) {
    m_frequency->SetMaxLength(9);
    m_frequency->SetRange(CSamplePresetsDlg::kMinSpinHertz, CSamplePresetsDlg::kMaxSpinHertz);
    m_frequency->installEventFilter(this);
    for (QLineEdit* edit : m_frequency->findChildren<QLineEdit*>())
        edit->installEventFilter(this);

    auto* qualityRow = new QHBoxLayout;
    qualityRow->addWidget(m_quality->Combo(), 1);
    qualityRow->addWidget(m_quality->PresetsButton());
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("&Frequency:"), m_frequency);
    form->addRow(QStringLiteral("Memory:"), m_memory);
    auto* qualityLabel = new QLabel(QStringLiteral("&Quality:"));
    qualityLabel->setBuddy(m_quality->Combo());
    form->addRow(qualityLabel, qualityRow);

    auto* choices = new QHBoxLayout;
    choices->addWidget(BitsBox(m_bits), 2);
    choices->addWidget(PairBox(QStringLiteral("Channels"), m_channels, m_mono, m_stereo), 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_revert);
    buttons->addWidget(m_convert);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(choices);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(m_frequency, &CSpinEdit::textEdited, this, [this] {
        m_frequencyEdited = true;
        ShowDerived();
    });
    connect(m_frequency, &CSpinEdit::editingFinished, this, [this] {
        if (m_frequencyEdited)
            Apply();
    });
    connect(m_frequency, &CSpinEdit::stepped, this, &CPptySample::OnFrequencyStepped);
    connect(m_bits.Group(), &QButtonGroup::idClicked, this, &CPptySample::Apply);
    connect(m_channels, &QButtonGroup::idClicked, this, &CPptySample::Apply);
    connect(m_quality, &CQualityList::presetChosen, this,
            [this](int hertz, int channels, int bits) {
                m_frequencyEdited = false;
                ShowFormat(hertz, channels == 2, DepthForBits(quint32(bits)));
                Apply();
            });
    connect(m_revert, &QPushButton::clicked, this, &CPptySample::Revert);
    connect(m_convert, &QPushButton::clicked, this, &CPptySample::Convert);
    SetView(nullptr);
}

void CPptySample::SetView(CWlproView* view) {
    m_view = view;
    m_frequencyEdited = false;
    m_stepPending = false;
    setEnabled(view != nullptr);
    Refresh();
}

void CPptySample::Refresh() {
    if (!m_view) {
        m_frequency->SetText(QString());
        m_bits.Clear();
        ClearChoice(m_channels);
        m_memory->clear();
        m_quality->SetText(QString());
        return;
    }
    const CSampleBuffer& buffer = m_view->Document()->Buffer();
    ShowFormat(int(buffer.GetRate()), buffer.GetChannels() == 2, buffer.GetDepth());
}

int CPptySample::ShownFrequency() const {
    return CFormatChoice::FrequencyOf(m_frequency->Text());
}

// A frequency being typed stays as typed.
void CPptySample::ShowFormat(int frequency, bool stereo, SampleDepth depth) {
    if (!m_frequencyEdited)
        m_frequency->SetText(CFormatChoice::FrequencyText(frequency));
    m_bits.SetDepth(depth);
    (stereo ? m_stereo : m_mono)->setChecked(true);
    ShowDerived();
}

void CPptySample::ShowDerived() {
    const int frequency = ShownFrequency();
    const bool stereo = m_stereo->isChecked();
    const SampleDepth depth = m_bits.Depth();
    m_frequency->SetPosition(frequency);
    m_memory->setText(CSamplePresetsDlg::MemoryText(frequency, depth, stereo));
    m_quality->Lookup(frequency, stereo, depth);
}

void CPptySample::Apply() {
    m_frequencyEdited = false;
    m_stepPending = false;
    if (!m_view)
        return;
    const int frequency = ShownFrequency();
    if (frequency <= 0) {
        ReportMessage(CMessage{QStringLiteral("Enter the frequency as a whole number of Hz above "
                                              "0, such as 22050 Hz."),
                               QStringLiteral("Sample Properties"), CMessageIcon::Warning});
        Refresh();
        return;
    }
    CWlproDoc* doc = m_view->Document();
    const CWaveFormat before = doc->Buffer().GetFormat();
    doc->Editor().SetFormat(quint32(frequency), m_stereo->isChecked(), m_bits.Depth());
    if (doc->Buffer().GetFormat() != before)
        doc->SampleEdited(0);
    // What the sample took; nothing while it plays or records.
    Refresh();
}

void CPptySample::OnFrequencyStepped(int hertz) {
    m_frequency->SetText(CFormatChoice::FrequencyText(hertz));
    m_frequencyEdited = true;
    ShowDerived();
    if (m_arrowHeld)
        m_stepPending = true;
    else
        Apply();
}

bool CPptySample::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_arrowHeld = true;
        break;
    case QEvent::MouseButtonRelease:
        OnArrowReleased();
        break;
    case QEvent::KeyPress:
        if (IsStepKey(static_cast<QKeyEvent*>(event)->key()))
            m_arrowHeld = true;
        break;
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsStepKey(key->key()) && !key->isAutoRepeat())
            OnArrowReleased();
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void CPptySample::OnArrowReleased() {
    m_arrowHeld = false;
    if (m_stepPending)
        Apply();
}

void CPptySample::Revert() {
    if (!m_view)
        return;
    CWlproDoc* doc = m_view->Document();
    const CWaveFormat before = doc->Buffer().GetFormat();
    quint32 rate = 0;
    bool stereo = false;
    bool sixteenBit = false;
    doc->Editor().RevertFormat(rate, stereo, sixteenBit);
    if (doc->Buffer().GetFormat() != before)
        doc->SampleEdited(0);
    m_frequencyEdited = false;
    Refresh();
}

// The data becomes what the page shows: converted from the committed format to the current one,
// as one undo step, the rate and bits as the Convert Sample dialog last chose.
void CPptySample::Convert() {
    if (!m_view)
        return;
    CWlproDoc* doc = m_view->Document();
    doc->Buffer().SetRateConversion(CConvertSampleDlg::StoredConversion());
    doc->Buffer().SetDither(CConvertSampleDlg::StoredDither());
    if (doc->Editor().ApplyFormat())
        doc->SampleEdited(0);
    m_view->ZoomOut();
    m_frequencyEdited = false;
    Refresh();
}
