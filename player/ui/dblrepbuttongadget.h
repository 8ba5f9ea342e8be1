#pragma once
// A fast-wind button: while held it sends its repeat command every 100 ms (timer 778); when the
// mouse button is released it always sends its release command once, also when the pointer was
// dragged off the button first. Dragging off pauses the repeats, coming back resumes them.

#include "ui/buttongadget.h"

#include <QTimer>

class TDblRepButtonGadget : public TButtonGadget {
    Q_OBJECT
public:
    static constexpr int RepeatTimerId = 778;
    static constexpr int RepeatPeriodMs = 100;

    TDblRepButtonGadget(QWidget* parent, int imageId, int releaseCommand, int repeatCommand);

    int RepeatCommand() const { return FRepeatCommand; }
    bool IsHeld() const { return FHeld; }
    bool IsRepeating() const { return FRepeatTimer.isActive(); }
    // The repeat command of the button being held; only one can be held at a time, as the
    // mouse is captured while pressed.
    static int CurrentRepeatCommand() { return FCurrentRepeatCommand; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BeginRepeat();
    void OnRepeatTimer();

    int FRepeatCommand;
    bool FHeld = false;
    QTimer FRepeatTimer;
    static int FCurrentRepeatCommand;
};
