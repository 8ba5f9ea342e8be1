#pragma once
// CPptyView: the properties window's "View" page. It shows the view's scale (N:1) and drawing
// style, and its selection (left and right) or its cursor, in samples, bytes or seconds; each of
// them the user may change here, and the view follows at once.
//
// The left and right texts apply as the user types; while the view reports the range that
// results, the texts being typed are left alone. The scale text applies when editing it ends
// (Return or leaving it), since the view rewrites it with the scale it reached.

#include "ui/wavewnd.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class CSpinEdit;
class CWlproView;
class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

enum class CPositionUnit : int { Samples = 0, Bytes = 1, Seconds = 2 };

// A frame index as the page shows it: the index, its byte offset, or "%.2f" seconds.
QString PositionText(quint32 frame, CPositionUnit unit, quint32 bytesPerFrame, quint32 rate);
// The frame a typed position names: the byte offset's frame, or the seconds times the rate
// truncated. Only the leading number counts; nothing readable, or below 0, is frame 0.
quint32 PositionFrame(const QString& text, CPositionUnit unit, quint32 bytesPerFrame, quint32 rate);
// The scale a scale text asks for: its leading whole number ("100:1" is 100), at least 1.
quint32 ScaleOf(const QString& text);

class CPptyView : public QWidget {
    Q_OBJECT
public:
    // The scale arrows cover 1:1 to this; typed scales may be larger.
    static constexpr int kMaxSpinScale = 65535;
    // Each click of the left and right arrows moves by one frame.
    static constexpr int kStepRange = 30000;

    explicit CPptyView(QWidget* parent = nullptr);

    // The view the page acts on; null: none, and nothing is editable.
    void SetView(CWlproView* view);
    // Shows the view's scale and style and the sample's units.
    void Refresh();
    // A strip's selection (start, end) or cursor (position, with `selection` false).
    void ReportRange(quint32 left, quint32 right, bool selection);

    // The controls, for tests.
    CSpinEdit* ScaleEdit() const { return m_scale; }
    QPushButton* OneToOneButton() const { return m_oneToOne; }
    QRadioButton* StyleButton(CStripStyle style) const;
    QRadioButton* UnitButton(CPositionUnit unit) const;
    QLabel* LeftLabel() const { return m_leftLabel; }
    QLabel* RightLabel() const { return m_rightLabel; }
    CSpinEdit* LeftEdit() const { return m_leftEdit; }
    CSpinEdit* RightEdit() const { return m_rightEdit; }

private:
    CPositionUnit Unit() const;
    void ShowRange();
    void ShowScale();
    void ApplyScale(quint32 scale);
    void ApplyStyle(int style);
    void Step(bool left, int steps);
    void OnRangeEdited();
    // Gives left..right (or the cursor at left) to the view's strips.
    void GiveRange();

    QPointer<CWlproView> m_view;
    CSpinEdit* m_scale;
    QPushButton* m_oneToOne;
    QButtonGroup* m_styles;
    QButtonGroup* m_units;
    QLabel* m_leftLabel;
    QLabel* m_rightLabel;
    CSpinEdit* m_leftEdit;
    CSpinEdit* m_rightEdit;
    quint32 m_left = 0;
    quint32 m_right = 0;
    quint32 m_bytesPerFrame = 1;
    quint32 m_rate = 0;
    bool m_selection = false;
    bool m_refresh = true;
    bool m_scaleEdited = false;
};
