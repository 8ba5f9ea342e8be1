#pragma once
// A horizontal double line (a shadow line over a highlight line) between the button bar and the
// status bar. It draws only while its flag is set; the status bar sets it while a hint is shown.

#include <QWidget>

class THSeparator : public QWidget {
    Q_OBJECT
public:
    enum TPlacement { Top = 1, Bottom = 2, Centred = 3, Compact = 4 };

    THSeparator(QWidget* parent, int thickness, int gap, int height, TPlacement placement);

    // Repaints only when the flag changes.
    void SetLineVisible(bool visible);
    bool IsLineVisible() const { return FVisible; }
    int Thickness() const { return FThickness; }
    int Gap() const { return FGap; }
    TPlacement Placement() const { return FPlacement; }
    // The top of the shadow line in the window.
    int LineTop() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool FVisible = false;
    int FThickness;
    int FGap;
    TPlacement FPlacement;
};
