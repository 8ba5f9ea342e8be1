#pragma once
// The two bevel routines the window uses to paint itself while minimised. Rectangles follow the
// painting convention of the routines: `right` and `bottom` lie just outside (QRect's right() + 1).

#include <QColor>
#include <QRect>

class QPainter;

enum TBevelFlags : int {
    BevelRound = 0x01,
    BevelRaised = 0x20,
};

// The four edges of `rect` with the painter's pen, leaving the four corner pixels out.
void DrawRoundedOutline(QPainter& painter, const QRect& rect);

// A ring `bandWidth` wide inside `rect` (an ellipse ring with BevelRound): shadow on the upper
// left and highlight on the lower right (swapped with BevelRaised). The band is reduced to half
// the smaller side when larger. Returns `rect` shrunk by the band on every side.
QRect DrawRingBevel(QPainter& painter, const QRect& rect, int bandWidth, int flags,
                    const QColor& shadow, const QColor& highlight);

// The same over the square of the smaller side centred in `rect`, always round.
QRect DrawRoundRingBevel(QPainter& painter, const QRect& rect, int bandWidth, int flags,
                         const QColor& shadow, const QColor& highlight);
