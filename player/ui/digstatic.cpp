#include "ui/digstatic.h"

#include "ui/screenunits.h"

TDigStatic::TDigStatic(QWidget* parent, int id)
    : TColorStatic(parent, id, QColor(0, 0, 0), QColor(0, 255, 0),
                   FormatSingleLine | FormatVCenter | FormatCenter, 1024) {
    SetFont(PointFont(FaceName(), 13, this));
}
