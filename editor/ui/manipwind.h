#pragma once
// CManipWind: the curve control of the Edit Envelope and Stereo Panning dialogs. The user draws a
// line of corner points over the selected time; the dialogs turn it into a gain or a pan position
// for every frame.
//
// Geometry: with W = width - 4 and H = height - 4, a point at pixel (x, y) has the time fraction
// (x - 3) / (W - 3), 0 at the left and 1 at the right, and the height fraction (y - 3) / (H - 3),
// 0 at the top and 1 at the bottom; its value is 1 - height fraction (1 at the top).
// Invariants: 2 to 256 points; x rises strictly; the first point sits at x = 3 and the last at
// x = W; every y lies in 3..H. The fractions are the curve: a resize places the points anew from
// them, so the curve keeps its shape at any size, and a preset keeps them as they are.
//
// Mouse: a press on a point's 7 x 7 handle drags it; a press between two points at least 5 pixels
// right of the one and 4 left of the other inserts a point there and drags it; any other press,
// and one that would make a 257th point, is refused with a short beep. A dragged inner point stays
// strictly between its neighbours; the end points move only up and down. An inner point dragged
// more than 20 pixels above or below the curve's area is deleted. The read-out follows the mouse
// over the curve's area and the dragged point, and is cleared when the mouse leaves or lets go.

#include "core/sampleeditor.h"

#include <QPoint>
#include <QPointF>
#include <QWidget>

#include <memory>
#include <vector>

class QLabel;

enum class CCurveMode : int { Envelope = 0, Panning = 1 };

// The dialog's text that tells the time and value under the mouse, over the selection's time
// span in seconds.
class CCurveReadout {
public:
    CCurveReadout(QLabel* label, CCurveMode mode, float startSeconds, float endSeconds);

    // `time` is a time fraction, `height` a height fraction (0 at the top).
    QString Text(double time, double height) const;
    void Show(double time, double height);
    void Clear();

private:
    QLabel* m_label;
    CCurveMode m_mode;
    float m_start;
    float m_end;
};

class CManipWind : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxPoints = 256;
    // The inset of the curve's area from the client edge, in pixels.
    static constexpr int kInset = 3;
    // Narrower than this, 256 points would not fit at distinct x.
    static constexpr int kMinimumWidth = kMaxPoints + 2 * kInset + 16;
    // The tone of a refused click.
    static constexpr int kBeepHertz = 592;
    static constexpr int kBeepMilliseconds = 200;

    explicit CManipWind(QWidget* parent = nullptr);
    ~CManipWind() override;

    // Two points: a flat line at full value (envelope) or in the middle (panning).
    void Reset(CCurveMode mode);
    // Replaces the curve by points given as (time fraction, height fraction); false, and the
    // curve unchanged, unless they keep the invariants (IsValidCurve).
    bool SetFractions(const std::vector<QPointF>& fractions);
    static bool IsValidCurve(const std::vector<QPointF>& fractions);

    // The value at time fraction t: along the first segment whose time span holds t; 0 where
    // none does.
    double Evaluate(double t) const;
    // The curve over frames first..last, scaled by `scale`, as straight runs of frames: frame i
    // has t = (i - first) / (last - first), a single frame t = 0. Empty when last < first.
    std::vector<CSampleEditor::CSegment> Segments(quint32 first, quint32 last, double scale) const;

    int PointCount() const { return int(m_points.size()); }
    const std::vector<QPoint>& Points() const { return m_points; }
    const std::vector<QPointF>& Fractions() const { return m_fractions; }
    // W and H above.
    int AreaRight() const { return width() - 4; }
    int AreaBottom() const { return height() - 4; }
    bool IsDragging() const { return m_dragging; }

    // The read-out told about the point under the mouse; null for none. Not owned.
    void SetReadout(CCurveReadout* readout) { m_readout = readout; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    class CBeep;

    double TimeOf(int x) const;
    double HeightOf(int y) const;
    // Pixels from the fractions, nudged apart where two would share a column.
    void PlacePoints();
    // After the pixels changed: the fraction of every point no longer on its pixel follows it.
    void FollowPixels();
    void Drag(const QPoint& mouse);
    void EndDrag();
    void ShowReadout(double time, double height);
    void ClearReadout();
    void Beep();

    std::vector<QPointF> m_fractions;
    std::vector<QPoint> m_points;
    bool m_dragging = false;
    int m_dragIndex = 0;
    CCurveReadout* m_readout = nullptr;
    std::unique_ptr<CBeep> m_beep;
};
