#include "ui/bevel.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

void DrawRoundedOutline(QPainter& painter, const QRect& r) {
    const int left = r.left();
    const int top = r.top();
    const int right = r.right() + 1;
    const int bottom = r.bottom() + 1;
    // Edges as [from, to) pixel runs, like the line calls of the platform.
    painter.drawLine(left + 1, top, right - 2, top);
    painter.drawLine(left + 1, bottom - 1, right - 2, bottom - 1);
    painter.drawLine(left, top + 1, left, bottom - 2);
    painter.drawLine(right - 1, top + 1, right - 1, bottom - 2);
}

QRect DrawRingBevel(QPainter& painter, const QRect& r, int bandWidth, int flags,
                    const QColor& shadow, const QColor& highlight) {
    painter.save();
    const int e = qMin(r.width(), r.height()) / 2;
    const int band = qMin(bandWidth, e);
    const QRect inner = r.adjusted(band, band, -band, -band);
    const bool round = flags & BevelRound;
    const bool raised = flags & BevelRaised;

    QPainterPath outer;
    QPainterPath hole;
    if (round) {
        outer.addEllipse(QRectF(r));
        hole.addEllipse(QRectF(inner));
    } else {
        outer.addRect(QRectF(r));
        hole.addRect(QRectF(inner));
    }
    painter.setClipPath(outer.subtracted(hole));
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing, false);

    const QColor upper = raised ? highlight : shadow;
    const QColor lower = raised ? shadow : highlight;
    painter.fillRect(r, upper);
    const int right = r.right() + 1;
    const int bottom = r.bottom() + 1;
    const QPolygon lowerRight{QPoint(right, r.top()), QPoint(right, bottom),
                              QPoint(r.left(), bottom), QPoint(r.left() + e, bottom - e),
                              QPoint(right - e, r.top() + e)};
    painter.setBrush(lower);
    painter.drawPolygon(lowerRight);
    painter.restore();
    return inner;
}

QRect DrawRoundRingBevel(QPainter& painter, const QRect& r, int bandWidth, int flags,
                         const QColor& shadow, const QColor& highlight) {
    const int side = qMin(r.width(), r.height());
    QRect square(0, 0, side, side);
    square.moveCenter(r.center());
    return DrawRingBevel(painter, square, bandWidth, flags | BevelRound, shadow, highlight);
}
