#include "ui/adjustvolumedlg.h"

#include "ui/spinedit.h"

#include "core/samplebuffer.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// A gain this small is silence at 16 bits; the decibel texts stop there instead of at -inf.
constexpr double kSilentShare = 1e-5;

QString UnitText(bool decibels) {
    return decibels ? QStringLiteral("volume dB") : QStringLiteral("volume %");
}

CSpinEdit* MakeEdit(int minimum, int maximum, int position, const QString& text) {
    auto* edit = new CSpinEdit;
    edit->SetMaxLength(10);
    edit->SetRange(minimum, maximum);
    edit->SetPosition(position);
    edit->SetText(text);
    return edit;
}

// A spin whose arrows write their position into the edit as a whole number.
void ShowPositionAsText(CSpinEdit* edit) {
    QObject::connect(edit, &CSpinEdit::stepped, edit,
                     [edit](int position) { edit->SetText(QString::number(position)); });
    QObject::connect(edit, &CSpinEdit::textEdited, edit, [edit](const QString& text) {
        edit->SetPosition(int(std::clamp(CAdjustVolumeDlg::RealOf(text), -1e9, 1e9)));
    });
}

QFrame* Separator() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

CAdjustVolumeDlg::CAdjustVolumeDlg(const CSampleBuffer& buffer, bool stereo, qint64 first,
                                   qint64 last, int channel, QWidget* parent)
    : QDialog(parent), m_buffer(buffer), m_stereo(stereo), m_first(first), m_last(last),
      m_channel(channel), m_normalise(MakeEdit(0, 32000, 100, QStringLiteral("100"))),
      m_left(MakeEdit(-30000, 30000, 0, QStringLiteral("100"))),
      m_right(MakeEdit(-30000, 30000, 0, QStringLiteral("100"))),
      m_bias(MakeEdit(-100, 100, 0, QStringLiteral("0"))),
      m_lock(new QCheckBox(QStringLiteral("L&ock Left && Right"))),
      m_biasBox(new QCheckBox(QStringLiteral("DC Bias Adjust"))),
      m_decibels(new QCheckBox(QStringLiteral("&Scale in dB"))),
      m_leftUnit(new QLabel(UnitText(false))), m_rightUnit(new QLabel(UnitText(false))),
      m_normaliseButton(new QPushButton(QStringLiteral("&Normalise"))) {
    setWindowTitle(QStringLiteral("Adjust Volume"));
    setModal(true);

    auto* leftLabel = new QLabel(QStringLiteral("&Left:"));
    leftLabel->setBuddy(m_left);
    auto* rightLabel = new QLabel(QStringLiteral("&Right:"));
    rightLabel->setBuddy(m_right);
    // Both unit texts fit, so the dialog keeps its size when the unit changes.
    for (QLabel* unit : {m_leftUnit, m_rightUnit})
        unit->setMinimumWidth(std::max(unit->fontMetrics().horizontalAdvance(UnitText(false)),
                                       unit->fontMetrics().horizontalAdvance(UnitText(true))));

    auto* grid = new QGridLayout;
    grid->addWidget(m_normaliseButton, 0, 0);
    grid->addWidget(m_normalise, 0, 1);
    grid->addWidget(Separator(), 1, 0, 1, 3);
    grid->addWidget(leftLabel, 2, 0);
    grid->addWidget(m_left, 2, 1);
    grid->addWidget(m_leftUnit, 2, 2);
    grid->addWidget(rightLabel, 3, 0);
    grid->addWidget(m_right, 3, 1);
    grid->addWidget(m_rightUnit, 3, 2);
    grid->addWidget(m_lock, 4, 1, 1, 2);
    grid->addWidget(m_decibels, 5, 1, 1, 2);
    grid->addWidget(Separator(), 6, 0, 1, 3);
    grid->addWidget(m_biasBox, 7, 0);
    grid->addWidget(m_bias, 7, 1);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    m_lock->setChecked(channel == 0);
    const bool leftOff = channel == 2;
    const bool rightOff = channel == 1 || !stereo;
    m_lock->setEnabled(!leftOff && !rightOff);
    for (QWidget* widget : std::initializer_list<QWidget*>{leftLabel, m_left, m_leftUnit})
        widget->setEnabled(!leftOff);
    for (QWidget* widget : std::initializer_list<QWidget*>{rightLabel, m_right, m_rightUnit})
        widget->setEnabled(!rightOff);

    (leftOff ? m_right : m_left)->setFocus();

    ShowPositionAsText(m_normalise);
    ShowPositionAsText(m_bias);
    for (CSpinEdit* edit : {m_left, m_right}) {
        connect(edit, &CSpinEdit::stepped, this,
                [this, edit](int, int steps) { OnVolumeStep(edit, steps); });
        connect(edit, &CSpinEdit::textEdited, this,
                [this, edit](const QString& text) { OnVolumeEdited(edit, text); });
    }
    connect(m_decibels, &QCheckBox::toggled, this, &CAdjustVolumeDlg::OnDecibelsToggled);
    connect(m_normaliseButton, &QPushButton::clicked, this, &CAdjustVolumeDlg::Normalise);
}

float CAdjustVolumeDlg::LeftGain() const {
    return float(PercentOf(m_left->Text(), Decibels()) / 100.0);
}

float CAdjustVolumeDlg::RightGain() const {
    return float(PercentOf(m_right->Text(), Decibels()) / 100.0);
}

bool CAdjustVolumeDlg::AdjustBias() const {
    return m_biasBox->isChecked();
}

float CAdjustVolumeDlg::Bias() const {
    return float(RealOf(m_bias->Text()));
}

double CAdjustVolumeDlg::PercentOf(const QString& text, bool decibels) {
    const double value = RealOf(text);
    return decibels ? 100.0 * std::pow(10.0, value * 0.05) : value;
}

QString CAdjustVolumeDlg::VolumeText(double percent, bool decibels) {
    if (!decibels)
        return QString::asprintf("%.1f", percent);
    return QString::asprintf("%.2f", 20.0 * std::log10(std::max(percent * 0.01, kSilentShare)));
}

double CAdjustVolumeDlg::RealOf(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0.0;
    bool ok = false;
    const double value = match.captured().trimmed().toDouble(&ok);
    return ok ? value : 0.0;
}

void CAdjustVolumeDlg::Normalise() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool together = m_lock->isChecked() || !m_stereo;
    const float leftFactor = m_buffer.NormaliseFactor(m_first, m_last, together ? 0 : 1);
    const float rightFactor = together ? leftFactor : m_buffer.NormaliseFactor(m_first, m_last, 2);
    QApplication::restoreOverrideCursor();

    const double share = std::trunc(std::clamp(RealOf(m_normalise->Text()), -1e9, 1e9));
    if (m_channel != 2)
        m_left->SetText(VolumeText(share * leftFactor, Decibels()));
    if (m_channel != 1)
        m_right->SetText(VolumeText(share * rightFactor, Decibels()));
}

bool CAdjustVolumeDlg::Decibels() const {
    return m_decibels->isChecked();
}

void CAdjustVolumeDlg::OnVolumeStep(CSpinEdit* edit, int steps) {
    edit->SetPosition(0);
    const double percent = PercentOf(edit->Text(), Decibels()) + 0.5 * steps;
    edit->SetText(VolumeText(percent, Decibels()));
    OnVolumeEdited(edit, edit->Text());
}

void CAdjustVolumeDlg::OnVolumeEdited(CSpinEdit* edit, const QString& text) {
    if (m_lock->isChecked())
        (edit == m_left ? m_right : m_left)->SetText(text);
}

void CAdjustVolumeDlg::OnDecibelsToggled(bool decibels) {
    for (CSpinEdit* edit : {m_left, m_right})
        edit->SetText(VolumeText(PercentOf(edit->Text(), !decibels), decibels));
    m_leftUnit->setText(UnitText(decibels));
    m_rightUnit->setText(UnitText(decibels));
}
