#pragma once
// A horizontal slider over 0..10000 (line step 100, page step 1000) that reports every movement
// with the scroll code of the platform: dragging the thumb reports ThumbTrack continuously and
// ThumbPosition once on release; clicks beside the thumb, the arrow keys, Home and End report
// their own codes after the slider has moved. Right clicks are left to the bar holding it.

#include <QSlider>

class TSoundBar : public QSlider {
    Q_OBJECT
public:
    enum TScrollCode : int {
        LineLeft = 0,
        LineRight = 1,
        PageLeft = 2,
        PageRight = 3,
        ThumbPosition = 4,
        ThumbTrack = 5,
        ToLeft = 6,
        ToRight = 7,
        EndScroll = 8,
    };
    static constexpr int Range = 10000;
    static constexpr int LineStep = 100;
    static constexpr int PageStep = 1000;

    TSoundBar(QWidget* parent, int id, int x, int y, int width, int height, bool horizontal);

    int Id() const { return FId; }
    int GetPosition() const { return value(); }
    // Moves the slider without reporting a scroll code (the player's own updates).
    void SetPosition(int position);

signals:
    // `position` is where the slider stands after the movement.
    void scrolled(int code, int position);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnAction(int action);
    void OnReleased();

    int FId;
};
