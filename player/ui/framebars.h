#pragma once
// The frame's central widget: the display with the bars docked around it - the queue bar above;
// below, from the display down, the position bar, volume bar, button bar, separator and status
// bar. A bar's element id is the command that shows or hides it.

#include <QList>
#include <QWidget>

class THSeparator;
class TListBar;
class TMControlBar;
class TMStatusBar;
class TMToolBar;
class TPosBar;
class TQueueList;
class TSongListModel;
class TVolBar;

class TFrameBars : public QWidget {
    Q_OBJECT
public:
    // The display goes between the queue bar and the position bar; the queue bar's list shows
    // `queue`.
    TFrameBars(QWidget* parent, QWidget* display, TSongListModel& queue);

    TQueueList* Queue() const { return FQueue; }
    TListBar* ListBar() const { return FListBar; }
    TPosBar* PosBar() const { return FPosBar; }
    TVolBar* VolBar() const { return FVolBar; }
    TMToolBar* ToolBar() const { return FToolBar; }
    TMStatusBar* StatusBar() const { return FStatusBar; }
    // The bars that send commands and hints.
    QList<TMControlBar*> ControlBars() const;
    // The bar of an element id; null for the menu bar and unknown ids.
    QWidget* Bar(int elementId) const;
    // The separator's line belongs to the status bar: it goes and comes with it.
    void SetBarVisible(int elementId, bool on);

private:
    TQueueList* FQueue;
    TListBar* FListBar;
    TPosBar* FPosBar;
    TVolBar* FVolBar;
    TMToolBar* FToolBar;
    THSeparator* FSeparator;
    TMStatusBar* FStatusBar;
};
