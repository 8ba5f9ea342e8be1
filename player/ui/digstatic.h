#pragma once
// A centred light-green-on-black field with its own LED font ("QVN-Digital-2", 13 points), made
// once for the life of the control. The player itself does not use it.

#include "ui/colorstatic.h"

class TDigStatic : public TColorStatic {
    Q_OBJECT
public:
    TDigStatic(QWidget* parent, int id);

    // The face the control asks for; the system substitutes another when it is not installed.
    static QString FaceName() { return QStringLiteral("QVN-Digital-2"); }
};

class TFrDigStatic : public TDigStatic {
    Q_OBJECT
public:
    using TDigStatic::TDigStatic;
};
