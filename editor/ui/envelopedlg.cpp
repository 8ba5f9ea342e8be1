#include "ui/envelopedlg.h"

#include "core/reporter.h"
#include "core/samplebuffer.h"
#include "ui/spinedit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Percentages of at most 10 characters, whose arrows write a whole number from 0 to 32767.
CSpinEdit* MakePercentEdit() {
    auto* edit = new CSpinEdit;
    edit->SetMaxLength(10);
    edit->SetRange(0, 32767);
    edit->SetPosition(100);
    edit->SetText(QStringLiteral("100"));
    QObject::connect(edit, &CSpinEdit::stepped, edit,
                     [edit](int position) { edit->SetText(QString::number(position)); });
    // The arrows go on from a number typed in.
    QObject::connect(edit, &CSpinEdit::textEdited, edit, [edit](const QString& text) {
        bool ok = false;
        const double typed = text.trimmed().toDouble(&ok);
        if (ok && std::isfinite(typed))
            edit->SetPosition(int(std::clamp(typed, -1e9, 1e9)));
    });
    return edit;
}

} // namespace

CEnvelopeDlg::CEnvelopeDlg(const CSampleBuffer& buffer, qint64 first, qint64 last, int channel,
                           QWidget* parent)
    : CCurveDlg(CCurveMode::Envelope, QStringLiteral("Edit Envelope"),
                CCurvePresets::EnvelopeGroup(), buffer, first, last, parent),
      m_buffer(buffer), m_channel(channel) {
    m_amplification = MakePercentEdit();
    m_normalise = MakePercentEdit();
    m_normaliseButton = new QPushButton(QStringLiteral("&Normalise"));
    m_normaliseButton->setAutoDefault(false);
    connect(m_normaliseButton, &QPushButton::clicked, this, &CEnvelopeDlg::Normalise);

    auto* amplificationLabel = new QLabel(QStringLiteral("&Amplification:"));
    amplificationLabel->setBuddy(m_amplification);
    auto* row = new QHBoxLayout;
    row->addWidget(amplificationLabel);
    row->addWidget(m_amplification);
    row->addWidget(new QLabel(QStringLiteral("%")));
    row->addStretch(1);
    row->addWidget(m_normaliseButton);
    row->addWidget(m_normalise);
    row->addWidget(new QLabel(QStringLiteral("%")));
    ControlsLayout()->addLayout(row);
}

std::optional<double> CEnvelopeDlg::Amplification() const {
    bool ok = false;
    const double value = m_amplification->Text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void CEnvelopeDlg::Normalise() {
    bool ok = false;
    const int percent = m_normalise->Text().trimmed().toInt(&ok);
    if (!ok) {
        ReportMessage(
            CMessage{QStringLiteral("The normalisation percentage must be a whole number."),
                     windowTitle(), CMessageIcon::Warning});
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const float factor = m_buffer.NormaliseFactor(First(), Last(), m_channel);
    m_amplification->SetText(QString::asprintf("%.1f", percent * double(factor)));
}

void CEnvelopeDlg::accept() {
    if (!Amplification()) {
        ReportMessage(CMessage{QStringLiteral("The amplification must be a number."), windowTitle(),
                               CMessageIcon::Warning});
        m_amplification->setFocus();
        return;
    }
    CCurveDlg::accept();
}

void CEnvelopeDlg::Apply(CSampleEditor& editor) const {
    const std::optional<double> amplification = Amplification();
    if (!HasRange() || !amplification)
        return;
    editor.ScaleSegments(First(), Last(), m_channel, Segments(*amplification * 0.01));
}
