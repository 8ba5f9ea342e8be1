#pragma once
// Screen measures of the player's templates and fonts: point sizes become pixel heights against
// the screen's vertical resolution, and dialog units become pixels through the base units of the
// templates' dialog font ("MS Sans Serif" 8 points: 6 x 13 pixels on a 96-dpi screen).

#include "core/settings.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

// The vertical logical resolution of the screen `widget` is on (96 without a screen).
int ScreenDpiY(const QWidget* widget);

// A font of `points` on the screen of `widget`, asking for `face` first and then for `fallbacks`
// in order, so a missing face degrades to a similar one instead of the system's default.
QFont PointFont(const QString& face, int points, const QWidget* widget,
                const QStringList& fallbacks = {});

// Base units of the dialog font at `dpi`.
QSize DialogBaseUnits(int dpi);
// A template rectangle in dialog units to pixels (x by base width / 4, y by base height / 8).
QRect DialogUnitsToPixels(const QRect& units, const QSize& baseUnits);
