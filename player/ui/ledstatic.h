#pragma once
// A field of the digital display: light cyan on black.

#include "ui/colorstatic.h"

class TLedStatic : public TColorStatic {
public:
    TLedStatic(QWidget* parent, int id, quint16 format, int limit)
        : TColorStatic(parent, id, QColor(0, 0, 0), QColor(0, 255, 255), format, limit) {}
};
