#pragma once
// The position bar (7890): the position slider (7850), disabled until something plays.

#include "ui/mcontrolbar.h"

class TSoundBar;

class TPosBar : public TMControlBar2 {
    Q_OBJECT
public:
    static constexpr int BarId = 7890;
    static constexpr int SliderId = 7850;
    explicit TPosBar(QWidget* parent);

    TSoundBar* PositionSlider() const { return FSlider; }

private:
    TSoundBar* FSlider;
};
