#include "ui/volbar.h"

#include "core/commandids.h"
#include "ui/dblrepbuttongadget.h"
#include "ui/soundbar.h"

#include <QStyle>

TVolBar::TVolBar(QWidget* parent) : TMControlBar2(parent, BarId) {
    using B = TButtonGadget;
    AddButton(new TSmallButtonGadget(this, 7888, CmMute, B::Toggle));
    AddSeparator(4);
    AddText(tr("Volume"), 5);
    const int height = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    FSlider = new TSoundBar(this, SliderId, 0, 0, 200, height, true);
    AddSoundBar(FSlider, true);
    AddSeparator(8);
    AddButton(new TDblRepButtonGadget(this, 17933, CmFastRewindEnd, CmFastRewindStep));
    AddButton(new TDblRepButtonGadget(this, 17934, CmFastForwardEnd, CmFastForwardStep));
    AddSeparator(8);
    AddButton(new TSmallButtonGadget(this, 7743, CmMoveUp, B::Command));
    AddButton(new TSmallButtonGadget(this, 7744, CmMoveDown, B::Command));
    AddButton(new TSmallButtonGadget(this, 7788, CmHighlightCurrent, B::Command));
}
