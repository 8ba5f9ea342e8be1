#pragma once
// CRulerWnd: the scale of frame numbers below the strips, 27 pixels high. It shows the first
// frame and the scale of the view's first strip; 0 and 0 for an empty sample draw no labels.

#include <QWidget>

class CRulerWnd : public QWidget {
    Q_OBJECT
public:
    explicit CRulerWnd(QWidget* parent = nullptr);

    void SetScale(quint32 first, quint32 scale);
    quint32 First() const { return m_first; }
    quint32 Scale() const { return m_scale; }

    // The label interval for `samplesPerPixel` and a label `labelWidth` pixels wide: the smallest
    // of 50, 100, ..., 75000 whose spacing is at least the label's width; 0 when none is.
    static quint32 LabelInterval(double samplesPerPixel, int labelWidth);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    quint32 m_first = 0;
    quint32 m_scale = 0;
};
