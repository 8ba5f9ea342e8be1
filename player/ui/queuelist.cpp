#include "ui/queuelist.h"

TQueueList::TQueueList(QWidget* parent, TSongListModel* model)
    : TSongList(parent, QueueId, QRect(0, 0, 200, 92), model) {}
