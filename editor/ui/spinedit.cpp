#include "ui/spinedit.h"

#include <QLineEdit>

#include <algorithm>

CSpinEdit::CSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setCorrectionMode(CorrectToPreviousValue);
    setAccelerated(true);
    connect(lineEdit(), &QLineEdit::textEdited, this, &CSpinEdit::textEdited);
}

QString CSpinEdit::Text() const {
    return lineEdit()->text();
}

void CSpinEdit::SetText(const QString& text) {
    lineEdit()->setText(text);
}

void CSpinEdit::SetMaxLength(int characters) {
    lineEdit()->setMaxLength(characters);
}

void CSpinEdit::SetRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    SetPosition(m_position);
}

void CSpinEdit::SetPosition(int position) {
    m_position = std::clamp(position, m_minimum, m_maximum);
}

void CSpinEdit::stepBy(int steps) {
    const int before = m_position;
    SetPosition(m_position + steps);
    if (m_position != before)
        emit stepped(m_position, m_position - before);
}

QAbstractSpinBox::StepEnabled CSpinEdit::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (m_position < m_maximum)
        enabled |= StepUpEnabled;
    if (m_position > m_minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

// The base class sizes itself by a value text it does not have; size by the widest text the
// edit is meant for instead.
QSize CSpinEdit::sizeHint() const {
    const int maxLength = std::min(lineEdit()->maxLength(), 10);
    const QSize base = QAbstractSpinBox::sizeHint();
    const int text = fontMetrics().horizontalAdvance(QString(maxLength, QLatin1Char('0')));
    return QSize(std::max(base.width(), text + base.height() + 8), base.height());
}

QSize CSpinEdit::minimumSizeHint() const {
    return sizeHint();
}
