#include "ui/listbar.h"

TListBar::TListBar(QWidget* parent, QWidget* queue) : TMControlBar2(parent, BarId), FQueue(queue) {
    AddMargins(ExtraTopMargin);
    queue->setParent(this);
    queue->setObjectName(QString::number(QueueId));
    queue->setMinimumSize(200, 92);
    queue->setMaximumHeight(92);
    AddControl(queue, true);
}
