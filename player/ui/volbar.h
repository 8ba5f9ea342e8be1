#pragma once
// The volume bar (7887): mute, the volume slider (7889), the two fast-wind buttons and the
// buttons that move the selected song and highlight the current one.

#include "ui/mcontrolbar.h"

class TSoundBar;

class TVolBar : public TMControlBar2 {
    Q_OBJECT
public:
    static constexpr int BarId = 7887;
    static constexpr int SliderId = 7889;
    explicit TVolBar(QWidget* parent);

    TSoundBar* VolumeSlider() const { return FSlider; }

private:
    TSoundBar* FSlider;
};
