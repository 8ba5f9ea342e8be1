#pragma once
// TEasyLB: the list with everything a plain owner-drawn list lacks - row colours, the focus frame,
// the row height rules, string access and moving a row.
//
// Row height: 30 pixels until the list is given a font; from then on the font's line spacing
// (character height plus external leading), but never less than the minimum row height.

#include "ui/odlistbox.h"

class TEasyLB : public TODListBox {
    Q_OBJECT
public:
    // `geometry` is in the parent's coordinates; see TODListBox for `model`.
    TEasyLB(QWidget* parent, int id, const QRect& geometry, int minRowHeight,
            TSongListModel* model = nullptr);

    int MinRowHeight() const { return FMinRowHeight; }
    void SetMinRowHeight(int height);
    // The row's text; a null string for an index out of range.
    QString GetString(int index) const;
    // Moves the selected row by `offset` places (negative: up) and keeps it selected. -1 with
    // nothing selected or a target outside the list, and then nothing changes.
    int MoveSelection(int offset);

protected:
    // Paints a row's content inside its colours; subclasses replace it.
    virtual void DrawItemText(QPainter& painter, const QRect& rect, int index);

    void DrawItem(QPainter& painter, const QRect& rect, int index, bool selected,
                  bool focused) override;
    void changeEvent(QEvent* event) override;

private:
    void MeasureRows();

    int FMinRowHeight;
    bool FHasFont = false;
};
