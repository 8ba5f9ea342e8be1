#include "ui/posbar.h"

#include "ui/soundbar.h"

#include <QStyle>

TPosBar::TPosBar(QWidget* parent) : TMControlBar2(parent, BarId) {
    const int height = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    FSlider = new TSoundBar(this, SliderId, 0, 0, 200, height, true);
    FSlider->setEnabled(false);
    AddSoundBar(FSlider, true);
}
