#include "ui/mcontrolbar.h"

#include "ui/buttongadget.h"
#include "ui/screenunits.h"
#include "ui/soundbar.h"

#include <QHBoxLayout>
#include <QLabel>

TMControlBar::TMControlBar(QWidget* parent, int windowId)
    : QWidget(parent), FWindowId(windowId), FLayout(new QHBoxLayout(this)) {
    setObjectName(QString::number(windowId));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    FLayout->setContentsMargins(DefaultMargins);
    FLayout->setSpacing(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QList<TButtonGadget*> TMControlBar::Buttons() const {
    return findChildren<TButtonGadget*>();
}

QList<QWidget*> TMControlBar::Gadgets() const {
    QList<QWidget*> gadgets;
    for (int i = 0; i < FLayout->count(); ++i)
        if (QWidget* widget = FLayout->itemAt(i)->widget())
            gadgets << widget;
    return gadgets;
}

TButtonGadget* TMControlBar::AddButton(TButtonGadget* button) {
    FLayout->addWidget(button, 0, Qt::AlignVCenter);
    FButtons.insert(button->CommandId(), button);
    connect(button, &TButtonGadget::commandPosted, this, &TMControlBar::commandPosted);
    connect(button, &TButtonGadget::pointerEntered, this, &TMControlBar::hintRequested);
    connect(button, &TButtonGadget::pointerLeft, this, [this] { emit hintRequested(0); });
    return button;
}

void TMControlBar::AddSeparator(int width) {
    auto* separator = new QWidget(this);
    separator->setObjectName(QStringLiteral("separator"));
    separator->setFixedWidth(width);
    FLayout->addWidget(separator);
}

QLabel* TMControlBar::AddText(const QString& text, int characters) {
    auto* label = new QLabel(text, this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A little air between the text and the gadget after it.
    label->setContentsMargins(0, 0, 4, 0);
    // As wide as its characters, and never narrower than its own text.
    label->setMinimumWidth(
        qMax(label->fontMetrics().averageCharWidth() * characters, label->sizeHint().width()));
    FLayout->addWidget(label);
    return label;
}

void TMControlBar::AddControl(QWidget* control, bool stretch) {
    FLayout->addWidget(control, stretch ? 1 : 0);
}

void TMControlBar::AddSoundBar(TSoundBar* slider, bool stretch) {
    slider->setMinimumWidth(slider->width());
    AddControl(slider, stretch);
    connect(slider, &TSoundBar::scrolled, this,
            [this, slider](int code, int position) { emit hScroll(slider->Id(), code, position); });
}

void TMControlBar::AddStretch() {
    FLayout->addStretch(1);
}

void TMControlBar::AddMargins(const QMargins& more) {
    FLayout->setContentsMargins(FLayout->contentsMargins() + more);
}

TMControlBar2::TMControlBar2(QWidget* parent, int windowId) : TMControlBar(parent, windowId) {
    setFont(PointFont(font().family(), 8, this));
    AddMargins(ExtraMargins);
}
