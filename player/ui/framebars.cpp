#include "ui/framebars.h"

#include "core/commandids.h"
#include "ui/hseparator.h"
#include "ui/listbar.h"
#include "ui/mstatusbar.h"
#include "ui/mtoolbar.h"
#include "ui/posbar.h"
#include "ui/queuelist.h"
#include "ui/volbar.h"

#include <QVBoxLayout>

TFrameBars::TFrameBars(QWidget* parent, QWidget* display, TSongListModel& queue)
    : QWidget(parent), FQueue(new TQueueList(nullptr, &queue)),
      FListBar(new TListBar(this, FQueue)), FPosBar(new TPosBar(this)), FVolBar(new TVolBar(this)),
      FToolBar(new TMToolBar(this)), FSeparator(new THSeparator(this, 1, 1, 4, THSeparator::Top)),
      FStatusBar(new TMStatusBar(this, FSeparator)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    display->setParent(this);
    for (QWidget* part : std::initializer_list<QWidget*>{FListBar, display, FPosBar, FVolBar,
                                                         FToolBar, FSeparator, FStatusBar})
        layout->addWidget(part);
}

QList<TMControlBar*> TFrameBars::ControlBars() const {
    return {FListBar, FPosBar, FVolBar, FToolBar};
}

QWidget* TFrameBars::Bar(int elementId) const {
    switch (elementId) {
    case CmQueueBox:
        return FListBar;
    case CmPositionSlider:
        return FPosBar;
    case CmVolumeBar:
        return FVolBar;
    case CmButtons:
        return FToolBar;
    case CmStatusBar:
        return FStatusBar;
    default:
        return nullptr;
    }
}

void TFrameBars::SetBarVisible(int elementId, bool on) {
    Bar(elementId)->setVisible(on);
    if (elementId == CmStatusBar)
        FSeparator->setVisible(on);
}
