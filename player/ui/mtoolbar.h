#pragma once
// The button bar (7860): play, pause, stop, eject/retract; next, repeat; edit, add, remove.

#include "ui/mcontrolbar.h"

class TMToolBar : public TMControlBar2 {
    Q_OBJECT
public:
    static constexpr int BarId = 7860;
    explicit TMToolBar(QWidget* parent);
};
