#include "ui/curvedlg.h"

#include "core/reporter.h"
#include "core/samplebuffer.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CCurveDlg::CCurveDlg(CCurveMode mode, const QString& caption, const QString& group,
                     const CSampleBuffer& buffer, qint64 first, qint64 last, QWidget* parent)
    : QDialog(parent), m_first(first), m_last(last), m_presets(group) {
    setWindowTitle(caption);
    setModal(true);

    // The curve sits in a sunken frame one pixel in, so that its handles at the edges show whole.
    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_curve = new CManipWind(frame);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    frameLayout->addWidget(m_curve);
    m_curve->Reset(mode);

    // What the top and the bottom of the curve mean, beside them.
    const bool envelope = mode == CCurveMode::Envelope;
    auto* scale = new QVBoxLayout;
    scale->addWidget(new QLabel(envelope ? QStringLiteral("100%") : QStringLiteral("Left")), 0,
                     Qt::AlignRight | Qt::AlignTop);
    scale->addStretch(1);
    scale->addWidget(new QLabel(envelope ? QStringLiteral("0%") : QStringLiteral("Right")), 0,
                     Qt::AlignRight | Qt::AlignBottom);
    m_readoutLabel = new QLabel(QStringLiteral(" "));
    auto* curveGrid = new QGridLayout;
    curveGrid->addLayout(scale, 0, 0);
    curveGrid->addWidget(frame, 0, 1);
    curveGrid->addWidget(m_readoutLabel, 1, 1);
    curveGrid->setColumnStretch(1, 1);
    curveGrid->setRowStretch(0, 1);
    const float rate = float(buffer.GetRate() ? buffer.GetRate() : 1);
    m_readout = std::make_unique<CCurveReadout>(m_readoutLabel, mode, float(first) / rate,
                                                float(last) / rate);
    m_curve->SetReadout(m_readout.get());

    m_controls = new QVBoxLayout;

    m_presetCombo = new QComboBox;
    m_presetCombo->setEditable(true);
    m_presetCombo->setInsertPolicy(QComboBox::NoInsert);
    m_presetCombo->lineEdit()->setMaxLength(CCurvePresets::kMaxNameLength);
    m_presetCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_presetCombo->setMinimumContentsLength(20);
    for (const QString& name : m_presets.Names())
        AddPresetName(name);
    m_presetCombo->setCurrentIndex(-1);
    m_presetCombo->setEditText(QString());
    m_saveButton = new QPushButton(QStringLiteral("&Save"));
    m_deleteButton = new QPushButton(QStringLiteral("&Delete"));
    for (QPushButton* button : {m_saveButton, m_deleteButton})
        button->setAutoDefault(false);
    connect(m_presetCombo, &QComboBox::activated, this, &CCurveDlg::LoadPreset);
    connect(m_presetCombo, &QComboBox::editTextChanged, this, &CCurveDlg::UpdatePresetButtons);
    connect(m_saveButton, &QPushButton::clicked, this, &CCurveDlg::SavePreset);
    connect(m_deleteButton, &QPushButton::clicked, this, &CCurveDlg::DeletePreset);
    UpdatePresetButtons();

    auto* presetBox = new QGroupBox(QStringLiteral("Presets"));
    auto* presetRow = new QHBoxLayout(presetBox);
    presetRow->addWidget(m_presetCombo, 1);
    presetRow->addWidget(m_saveButton);
    presetRow->addWidget(m_deleteButton);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(curveGrid, 1);
    layout->addLayout(m_controls);
    layout->addWidget(presetBox);
    layout->addWidget(buttons);
}

CCurveDlg::~CCurveDlg() {
    m_curve->SetReadout(nullptr);
}

std::vector<CSampleEditor::CSegment> CCurveDlg::Segments(double scale) const {
    if (!HasRange())
        return {};
    return m_curve->Segments(quint32(m_first), quint32(m_last), scale);
}

int CCurveDlg::FindPreset(const QString& name) const {
    for (int i = 0; i < m_presetCombo->count(); ++i) {
        if (m_presetCombo->itemText(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void CCurveDlg::AddPresetName(const QString& name) {
    if (FindPreset(name) >= 0)
        return;
    int at = 0;
    while (at < m_presetCombo->count() &&
           m_presetCombo->itemText(at).compare(name, Qt::CaseInsensitive) < 0)
        ++at;
    m_presetCombo->insertItem(at, name);
}

void CCurveDlg::LoadPreset(int index) {
    const QString name = m_presetCombo->itemText(index);
    std::vector<QPointF> fractions;
    if (m_presets.Load(name, fractions) == CCurvePresets::CLoad::Damaged) {
        ReportMessage(
            CMessage{QStringLiteral("The preset \"%1\" is damaged and was not loaded.").arg(name),
                     windowTitle(), CMessageIcon::Warning});
        return;
    }
    if (!fractions.empty())
        m_curve->SetFractions(fractions);
}

// A name that matches an entry in another case saves over that entry, as the list shows one.
void CCurveDlg::SavePreset() {
    const QString typed = m_presetCombo->currentText();
    const int existing = FindPreset(typed);
    const QString name = existing >= 0 ? m_presetCombo->itemText(existing) : typed;
    if (m_presets.Save(name, m_curve->Fractions()))
        AddPresetName(name);
    UpdatePresetButtons();
}

void CCurveDlg::DeletePreset() {
    const int index = FindPreset(m_presetCombo->currentText());
    if (index < 0)
        return;
    m_presets.Delete(m_presetCombo->itemText(index));
    m_presetCombo->removeItem(index);
    m_presetCombo->setCurrentIndex(-1);
    m_presetCombo->setEditText(QString());
    UpdatePresetButtons();
}

void CCurveDlg::UpdatePresetButtons() {
    const QString name = m_presetCombo->currentText();
    m_saveButton->setEnabled(!name.isEmpty());
    m_deleteButton->setEnabled(FindPreset(name) >= 0);
}
