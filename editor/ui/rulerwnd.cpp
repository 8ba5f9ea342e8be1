#include "ui/rulerwnd.h"

#include <QApplication>
#include <QPainter>

#include <array>

namespace {

constexpr int kHeight = 27;
// Labels are spaced as if every character were this wide, whatever the font.
constexpr int kCharWidth = 8;
constexpr std::array<quint32, 19> kIntervals = {50,    100,   150,   200,   250,  500,  750,
                                                1000,  1500,  2000,  2500,  5000, 7500, 10000,
                                                15000, 20000, 25000, 50000, 75000};

} // namespace

CRulerWnd::CRulerWnd(QWidget* parent) : QWidget(parent) {
    QFont font = QApplication::font();
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    setFont(font);
}

void CRulerWnd::SetScale(quint32 first, quint32 scale) {
    if (first == m_first && scale == m_scale)
        return;
    m_first = first;
    m_scale = scale;
    update();
}

quint32 CRulerWnd::LabelInterval(double samplesPerPixel, int labelWidth) {
    for (quint32 interval : kIntervals)
        if (interval / samplesPerPixel >= labelWidth)
            return interval;
    return 0;
}

QSize CRulerWnd::sizeHint() const {
    // Any width: the view gives the ruler the width of the strips.
    return QSize(QWidget::sizeHint().width(), kHeight);
}

void CRulerWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.fillRect(0, 0, 1, h, shadow);
    painter.fillRect(0, 0, w, 1, shadow);
    painter.fillRect(0, 10, w, 1, shadow);
    painter.fillRect(0, h - 1, w, 1, light);
    painter.fillRect(w - 1, 0, 1, h, light);
    painter.fillRect(0, 11, w, 1, light);
    if (m_scale == 0 || w < 2)
        return;

    const quint64 lastShown = m_first + quint64(m_scale) * quint64(w - 1);
    const double perPixel = double(lastShown - m_first) / (w - 1);
    const int labelWidth = int(QString::number(lastShown).size() + 1) * kCharWidth;
    const quint32 interval = LabelInterval(perPixel, labelWidth);
    if (interval == 0)
        return;
    painter.setPen(palette().color(QPalette::ButtonText));
    const int baseline = 12 + painter.fontMetrics().ascent();
    quint64 label = (quint64(m_first) + interval - 1) / interval * interval;
    for (double x = double(label - m_first) / perPixel; int(x) < w;
         x += interval / perPixel, label += interval) {
        const int tick = int(x);
        painter.fillRect(tick, 11, 1, 9, shadow);
        painter.fillRect(tick + 1, 11, 1, 9, light);
        painter.drawText(tick + 4, baseline, QString::number(label));
    }
}
