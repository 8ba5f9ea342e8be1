#include "ui/mtoolbar.h"

#include "core/commandids.h"
#include "ui/buttongadget.h"

TMToolBar::TMToolBar(QWidget* parent) : TMControlBar2(parent, BarId) {
    using B = TButtonGadget;
    AddButton(new TNormalButtonGadget(this, 7722, CmPlayButton, B::Command));
    AddButton(new TNormalButtonGadget(this, 7724, CmPause, B::Toggle));
    AddButton(new TNormalButtonGadget(this, 7723, CmStop, B::Command));
    AddButton(new TNormalButtonGadget(this, 7812, CmEjectRetract, B::Command));
    AddSeparator(8);
    AddButton(new TNormalButtonGadget(this, 7729, CmCirculate, B::Command));
    AddButton(new TNormalButtonGadget(this, 7709, CmRepeat, B::Toggle));
    AddSeparator(8);
    AddButton(new TNormalButtonGadget(this, 7814, CmSongEdit, B::Command));
    AddButton(new TNormalButtonGadget(this, 7762, CmSongAdd, B::Command));
    AddButton(new TNormalButtonGadget(this, 7773, CmSongRemove, B::Command));
    AddStretch();
}
