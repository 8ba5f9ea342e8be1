#pragma once
// TODListBox: a single-selection list of fixed-height rows that its subclasses draw themselves.
// The rows and the selection live in a TSongListModel (shared with the player's logic, or owned
// when none is given); this window only shows them. It scrolls by whole rows like a list box: the
// scroll bar is always shown, its value is the index of the first visible row.

#include <QAbstractScrollArea>

class TSongListModel;

class TODListBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    // `model` stays owned by the caller; with none the list makes its own. The id becomes the
    // object name, as the control id of a template does.
    TODListBox(QWidget* parent, int id, TSongListModel* model = nullptr);

    TSongListModel& Model() const { return *FModel; }
    int RowHeight() const { return FRowHeight; }
    int TopIndex() const;
    void SetTopIndex(int index);
    // The row at a point of the viewport by arithmetic alone: it may lie past the last row.
    int RowAt(const QPoint& viewportPoint) const;
    QRect RowRect(int index) const;
    // Rows that fit the viewport wholly (at least 1).
    int VisibleRows() const;

signals:
    // The user picked a row (click or key); the model already has it selected.
    void selectionPicked(int index);
    void rowDoubleClicked(int index);

protected:
    void SetRowHeight(int height);
    // Paints one row; `index` is -1 for none.
    virtual void DrawItem(QPainter& painter, const QRect& rect, int index, bool selected,
                          bool focused) = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollRange();
    void ScrollTo(int index);
    void Pick(int index);

    TSongListModel* FModel;
    int FRowHeight = 30;
};
