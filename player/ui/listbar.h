#pragma once
// The queue bar (7891) above the display: holds the queue (control 7728) across its whole width.
// The queue's own signals reach the window directly; the bar only places it.

#include "ui/mcontrolbar.h"

class TListBar : public TMControlBar2 {
    Q_OBJECT
public:
    static constexpr int BarId = 7891;
    static constexpr int QueueId = 7728;
    static constexpr QMargins ExtraTopMargin{0, 10, 0, 0};

    // `queue` is taken over by the bar and given the queue's size of 200 x 92 pixels.
    TListBar(QWidget* parent, QWidget* queue);

    QWidget* Queue() const { return FQueue; }

private:
    QWidget* FQueue;
};
