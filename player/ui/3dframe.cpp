#include "ui/3dframe.h"

#include <QPainter>

T3DFrame::T3DFrame(QWidget* parent, bool sunken, int bandWidth)
    : QWidget(parent), FSunken(sunken), FBandWidth(bandWidth) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

T3DFrame* T3DFrame::Create(QWidget* parent, QRect& rect, bool sunken, int bandWidth) {
    auto* frame = new T3DFrame(parent, sunken, bandWidth);
    frame->setGeometry(rect);
    // Below its siblings, so the controls it surrounds are never covered by its bands.
    frame->lower();
    frame->show();
    const int inset = sunken ? 1 : 0;
    rect.adjust(inset, inset, -inset, -inset);
    return frame;
}

void T3DFrame::paintEvent(QPaintEvent*) {
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    const QColor& a = FSunken ? shadow : highlight;
    const QColor& b = FSunken ? highlight : shadow;
    const int w = width();
    const int h = height();
    const int band = FBandWidth;
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, w, band), a);
    painter.fillRect(QRect(0, band, band, h - band), a);
    painter.fillRect(QRect(1, h - band, w - 1, band), b);
    // The right band is two pixels wide whatever the band width; every frame here uses 2.
    painter.fillRect(QRect(w - band, 1, 2, h - band - 1), b);
}
