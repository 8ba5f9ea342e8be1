#include "ui/pptyview.h"

#include "ui/spinedit.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMaxFrame = 4294967295.0;

// The number a text starts with, as a C program's atof reads it; 0 when there is none.
double LeadingNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
}

quint32 ToFrame(double value) {
    return quint32(std::clamp(std::floor(value), 0.0, kMaxFrame));
}

// A row of radio buttons with ids 0, 1, ... in a titled box.
QGroupBox* RadioBox(const QString& title, const QStringList& texts, QButtonGroup* group) {
    auto* box = new QGroupBox(title);
    auto* row = new QHBoxLayout(box);
    for (const QString& text : texts) {
        auto* radio = new QRadioButton(text);
        group->addButton(radio, int(group->buttons().size()));
        row->addWidget(radio);
    }
    row->addStretch();
    return box;
}

} // namespace

QString PositionText(quint32 frame, CPositionUnit unit, quint32 bytesPerFrame, quint32 rate) {
    switch (unit) {
    case CPositionUnit::Bytes:
        return QString::number(quint64(frame) * bytesPerFrame);
    case CPositionUnit::Seconds:
        return QString::number(rate ? double(frame) / double(rate) : 0.0, 'f', 2);
    case CPositionUnit::Samples:
        break;
    }
    return QString::number(frame);
}

quint32 PositionFrame(const QString& text, CPositionUnit unit, quint32 bytesPerFrame,
                      quint32 rate) {
    const double value = LeadingNumber(text);
    switch (unit) {
    case CPositionUnit::Bytes:
        return ToFrame(std::floor(value) / double(std::max<quint32>(bytesPerFrame, 1)));
    case CPositionUnit::Seconds:
        return ToFrame(value * double(rate));
    case CPositionUnit::Samples:
        break;
    }
    return ToFrame(value);
}

quint32 ScaleOf(const QString& text) {
    return std::max<quint32>(ToFrame(LeadingNumber(text)), 1);
}

CPptyView::CPptyView(QWidget* parent)
    : QWidget(parent), m_scale(new CSpinEdit), m_oneToOne(new QPushButton(QStringLiteral("1:1"))),
      m_styles(new QButtonGroup(this)), m_units(new QButtonGroup(this)),
      m_leftLabel(new QLabel(QStringLiteral("Left:"))),
      m_rightLabel(new QLabel(QStringLiteral("Right:"))), m_leftEdit(new CSpinEdit),
      m_rightEdit(new CSpinEdit) {
    m_scale->SetMaxLength(35);
    m_scale->SetRange(1, kMaxSpinScale);
    for (CSpinEdit* edit : {m_leftEdit, m_rightEdit}) {
        edit->SetRange(-kStepRange, kStepRange);
        edit->SetMaxLength(12);
    }
    // "Cursor:" is the longest text either label takes.
    m_leftLabel->setMinimumWidth(
        m_leftLabel->fontMetrics().horizontalAdvance(QStringLiteral("Cursor:")) + 2);

    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(m_scale, 1);
    scaleRow->addWidget(m_oneToOne);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto* scaleLabel = new QLabel(QStringLiteral("&Scale:"));
    scaleLabel->setBuddy(m_scale);
    form->addRow(scaleLabel, scaleRow);
    form->addRow(m_leftLabel, m_leftEdit);
    form->addRow(m_rightLabel, m_rightEdit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(
        RadioBox(QStringLiteral("Style"),
                 {QStringLiteral("Lines"), QStringLiteral("Dots"), QStringLiteral("Bars"),
                  QStringLiteral("Peaks"), QStringLiteral("Spectrum")},
                 m_styles));
    layout->addWidget(RadioBox(
        QStringLiteral("Units"),
        {QStringLiteral("Samples"), QStringLiteral("Bytes"), QStringLiteral("Seconds")}, m_units));
    layout->addStretch();
    m_units->button(int(CPositionUnit::Samples))->setChecked(true);

    connect(m_scale, &CSpinEdit::textEdited, this, [this] { m_scaleEdited = true; });
    connect(m_scale, &CSpinEdit::editingFinished, this, [this] {
        if (m_scaleEdited)
            ApplyScale(ScaleOf(m_scale->Text()));
    });
    connect(m_scale, &CSpinEdit::stepped, this, [this](int scale) { ApplyScale(quint32(scale)); });
    connect(m_oneToOne, &QPushButton::clicked, this, [this] { ApplyScale(1); });
    connect(m_styles, &QButtonGroup::idClicked, this, &CPptyView::ApplyStyle);
    connect(m_units, &QButtonGroup::idClicked, this, &CPptyView::ShowRange);
    connect(m_leftEdit, &CSpinEdit::stepped, this, [this](int, int steps) { Step(true, steps); });
    connect(m_rightEdit, &CSpinEdit::stepped, this, [this](int, int steps) { Step(false, steps); });
    connect(m_leftEdit, &CSpinEdit::textEdited, this, &CPptyView::OnRangeEdited);
    connect(m_rightEdit, &CSpinEdit::textEdited, this, &CPptyView::OnRangeEdited);
    SetView(nullptr);
}

QRadioButton* CPptyView::StyleButton(CStripStyle style) const {
    return qobject_cast<QRadioButton*>(m_styles->button(int(style)));
}

QRadioButton* CPptyView::UnitButton(CPositionUnit unit) const {
    return qobject_cast<QRadioButton*>(m_units->button(int(unit)));
}

CPositionUnit CPptyView::Unit() const {
    return CPositionUnit(std::max(m_units->checkedId(), 0));
}

void CPptyView::SetView(CWlproView* view) {
    m_view = view;
    m_scaleEdited = false;
    setEnabled(view != nullptr);
    m_left = m_right = 0;
    m_selection = false;
    if (view) {
        for (const CWaveWnd* strip : {view->Strip(0), view->Strip(1)}) {
            if (!strip)
                continue;
            if (strip->HasSelection()) {
                m_selection = true;
                m_left = strip->SelectionStart();
                m_right = strip->SelectionEnd();
                break;
            }
            if (strip->InCursorMode()) {
                m_left = strip->CursorPosition();
                break;
            }
        }
    }
    Refresh();
}

void CPptyView::Refresh() {
    if (m_view) {
        const CSampleBuffer& buffer = m_view->Document()->Buffer();
        m_rate = buffer.GetRate();
        m_bytesPerFrame = buffer.BytesPerFrame();
    }
    ShowScale();
    const int style = m_view ? int(m_view->StripStyle()) : -1;
    // No style is chosen while there is no view.
    m_styles->setExclusive(style >= 0);
    for (QAbstractButton* button : m_styles->buttons())
        button->setChecked(m_styles->id(button) == style);
    m_styles->setExclusive(true);
    ShowRange();
}

void CPptyView::ReportRange(quint32 left, quint32 right, bool selection) {
    m_left = left;
    m_right = selection ? right : 0;
    m_selection = selection;
    if (m_refresh)
        ShowRange();
}

void CPptyView::ShowScale() {
    if (m_scaleEdited)
        return;
    const quint32 scale = m_view ? m_view->Strip(0)->Scale() : 0;
    m_scale->SetText(m_view ? QStringLiteral("%1:1").arg(scale) : QString());
    m_scale->SetPosition(int(std::min<quint32>(scale, kMaxSpinScale)));
}

void CPptyView::ShowRange() {
    const CPositionUnit unit = Unit();
    m_leftLabel->setText(m_selection ? QStringLiteral("Left:") : QStringLiteral("Cursor:"));
    m_rightLabel->setText(m_selection ? QStringLiteral("Right:") : QString());
    m_leftEdit->SetText(m_view ? PositionText(m_left, unit, m_bytesPerFrame, m_rate) : QString());
    m_rightEdit->SetText(
        m_view && m_selection ? PositionText(m_right, unit, m_bytesPerFrame, m_rate) : QString());
    m_rightEdit->setEnabled(m_selection);
}

// The strips zoom to 0 .. scale x (W - 2), W being the first strip's width; the N they reach
// follows the strips' own scale rule, and the view shows it.
void CPptyView::ApplyScale(quint32 scale) {
    m_scaleEdited = false;
    if (!m_view)
        return;
    const quint64 width = quint64(std::max(m_view->Strip(0)->width() - 2, 0));
    const quint32 last = quint32(std::min<quint64>(quint64(scale) * width, 0xFFFFFFFFu));
    for (CWaveWnd* strip : {m_view->Strip(0), m_view->Strip(1)})
        if (strip)
            strip->ZoomToRange(0, last);
    // The strips start at frame 0 now; the thumb goes there with them.
    m_view->ScrollBar()->setValue(0);
    m_view->UpdateStatus();
    ShowScale();
}

void CPptyView::ApplyStyle(int style) {
    if (m_view)
        m_view->SetStripStyle(CStripStyle(style));
}

void CPptyView::Step(bool left, int steps) {
    (left ? m_leftEdit : m_rightEdit)->SetPosition(0);
    if (!m_view)
        return;
    const quint32 frames = m_view->Document()->Buffer().GetFrameCount();
    const qint64 last = frames ? qint64(frames) - 1 : 0;
    quint32& moved = left ? m_left : m_right;
    moved = quint32(std::clamp<qint64>(qint64(moved) + steps, 0, last));
    if (m_selection) {
        if (left)
            m_left = std::min(m_left, m_right);
        else
            m_right = std::max(m_right, m_left);
    }
    GiveRange();
    ShowRange();
}

void CPptyView::OnRangeEdited() {
    if (!m_view)
        return;
    const CPositionUnit unit = Unit();
    m_left = PositionFrame(m_leftEdit->Text(), unit, m_bytesPerFrame, m_rate);
    if (m_selection) {
        m_right = PositionFrame(m_rightEdit->Text(), unit, m_bytesPerFrame, m_rate);
        m_left = std::min(m_left, m_right);
    }
    // The strips report what they took; the texts being typed stay as they are.
    m_refresh = false;
    GiveRange();
    m_refresh = true;
}

// A selection goes to the strips that have one (both when neither has); a cursor to the strips
// in cursor mode (both when neither is). Both stop at the last frame.
void CPptyView::GiveRange() {
    const quint32 frames = m_view->Document()->Buffer().GetFrameCount();
    const quint32 last = frames ? frames - 1 : 0;
    auto holds = [this](const CWaveWnd* strip) {
        return m_selection ? strip->HasSelection() : strip->InCursorMode();
    };
    CWaveWnd* const strips[] = {m_view->Strip(0), m_view->Strip(1)};
    const bool any = std::any_of(std::begin(strips), std::end(strips),
                                 [&](const CWaveWnd* strip) { return strip && holds(strip); });
    for (CWaveWnd* strip : strips) {
        if (!strip || (any && !holds(strip)))
            continue;
        if (m_selection)
            strip->SetSelection(std::min(m_left, last), std::min(m_right, last));
        else
            strip->SetCursor(std::min(m_left, last));
    }
}
