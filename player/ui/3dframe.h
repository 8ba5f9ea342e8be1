#pragma once
// A painted bevel frame ("3DFrame") laid around a part of its parent: only the bands are
// painted, the inside shows what lies beneath, and mouse clicks go through to the parent.

#include <QWidget>

class T3DFrame : public QWidget {
    Q_OBJECT
public:
    T3DFrame(QWidget* parent, bool sunken, int bandWidth);

    // Creates a frame covering `rect` (parent coordinates) exactly and shrinks `rect` on every
    // side by 1 pixel for a sunken frame (by nothing for a raised one).
    static T3DFrame* Create(QWidget* parent, QRect& rect, bool sunken, int bandWidth);

    bool IsSunken() const { return FSunken; }
    int BandWidth() const { return FBandWidth; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool FSunken;
    int FBandWidth;
};
