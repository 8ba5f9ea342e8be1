#include "ui/screenunits.h"

#include <QScreen>
#include <QWidget>

int ScreenDpiY(const QWidget* widget) {
    if (widget && widget->screen())
        return qRound(widget->screen()->logicalDotsPerInchY());
    return 96;
}

QFont PointFont(const QString& face, int points, const QWidget* widget,
                const QStringList& fallbacks) {
    QFont font;
    font.setFamilies(QStringList{face} + fallbacks);
    // The height is the character height without internal leading, as a point size is meant.
    font.setPixelSize(qMax(1, MulDiv(points, ScreenDpiY(widget), 72)));
    return font;
}

QSize DialogBaseUnits(int dpi) {
    return QSize(MulDiv(6, dpi, 96), MulDiv(13, dpi, 96));
}

QRect DialogUnitsToPixels(const QRect& units, const QSize& baseUnits) {
    // Edges are converted, not sizes, so that neighbouring controls meet without gaps.
    const int left = MulDiv(units.x(), baseUnits.width(), 4);
    const int top = MulDiv(units.y(), baseUnits.height(), 8);
    const int right = MulDiv(units.x() + units.width(), baseUnits.width(), 4);
    const int bottom = MulDiv(units.y() + units.height(), baseUnits.height(), 8);
    return QRect(left, top, right - left, bottom - top);
}
