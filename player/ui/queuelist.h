#pragma once
// TQueueList: the play queue (control 7728), a song list over the player's queue.

#include "ui/songlist.h"

class TQueueList : public TSongList {
    Q_OBJECT
public:
    static constexpr int QueueId = 7728;
    // The queue as the queue bar creates it: 200 x 92 pixels at 0,0.
    TQueueList(QWidget* parent, TSongListModel* model);
};
