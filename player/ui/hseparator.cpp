#include "ui/hseparator.h"

#include <QMouseEvent>
#include <QPainter>

THSeparator::THSeparator(QWidget* parent, int thickness, int gap, int height, TPlacement placement)
    : QWidget(parent), FThickness(thickness), FGap(gap), FPlacement(placement) {
    setObjectName(QStringLiteral("TRX-Separator"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    setFixedHeight(placement == Compact ? 2 * thickness + gap : height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void THSeparator::SetLineVisible(bool visible) {
    if (visible == FVisible)
        return;
    FVisible = visible;
    update();
}

int THSeparator::LineTop() const {
    switch (FPlacement) {
    case Bottom:
        return height() - 2 * FThickness - FGap;
    case Centred:
        return (height() - FGap) / 2 - FThickness;
    case Compact:
        // A compact separator is exactly as high as its two lines and the gap.
        return 0;
    case Top:
        break;
    }
    return 1;
}

void THSeparator::paintEvent(QPaintEvent*) {
    if (!FVisible)
        return;
    QPainter painter(this);
    const int y = LineTop();
    painter.fillRect(QRect(0, y, width(), FThickness), palette().color(QPalette::Dark));
    painter.fillRect(QRect(0, y + FThickness + FGap, width(), FThickness),
                     palette().color(QPalette::Light));
}

void THSeparator::mousePressEvent(QMouseEvent* event) {
    // Not taken: a right click reaches the window, as everywhere else on the frame.
    event->ignore();
}
