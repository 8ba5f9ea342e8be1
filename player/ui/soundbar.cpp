#include "ui/soundbar.h"

#include <QMouseEvent>

TSoundBar::TSoundBar(QWidget* parent, int id, int x, int y, int width, int height, bool horizontal)
    : QSlider(horizontal ? Qt::Horizontal : Qt::Vertical, parent), FId(id) {
    setObjectName(QString::number(id));
    setGeometry(x, y, width, height);
    setRange(0, Range);
    setSingleStep(LineStep);
    setPageStep(PageStep);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, &TSoundBar::OnAction);
    connect(this, &QAbstractSlider::sliderReleased, this, &TSoundBar::OnReleased);
}

void TSoundBar::SetPosition(int position) {
    if (!isSliderDown())
        setValue(position);
}

void TSoundBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->ignore();
        return;
    }
    QSlider::mousePressEvent(event);
}

void TSoundBar::OnAction(int action) {
    // actionTriggered comes after the slider position has moved and before the value follows.
    const int position = sliderPosition();
    switch (action) {
    case SliderSingleStepSub:
        emit scrolled(LineLeft, position);
        break;
    case SliderSingleStepAdd:
        emit scrolled(LineRight, position);
        break;
    case SliderPageStepSub:
        emit scrolled(PageLeft, position);
        break;
    case SliderPageStepAdd:
        emit scrolled(PageRight, position);
        break;
    case SliderToMinimum:
        emit scrolled(ToLeft, position);
        break;
    case SliderToMaximum:
        emit scrolled(ToRight, position);
        break;
    case SliderMove:
        // A drag reports the thumb as it goes; a wheel turn is a finished move.
        emit scrolled(isSliderDown() ? ThumbTrack : ThumbPosition, position);
        break;
    default:
        break;
    }
}

void TSoundBar::OnReleased() {
    emit scrolled(ThumbPosition, sliderPosition());
    emit scrolled(EndScroll, sliderPosition());
}
