#pragma once
// TSongList: the rows of songs - a mark, the track number, the title and the length - drawn from
// row texts "%d\t%s\t%s" (a third tab ends the length). A long title is cut 5 pixels before the
// length column so the length always stays readable.
//
// The right button selects the row under the pointer by arithmetic (a point below the last row
// selects nothing) and opens the song menu, whose choices leave as command ids. The list that is
// given the display writes its row count into the TOTAL field after every change; the lists of
// the dialogs are given none, so only the queue's count is ever shown there.

#include "ui/sizfontlb.h"

#include <QImage>

class QMenu;
class TDisplayFields;

class TSongList : public TSizFontLB {
    Q_OBJECT
public:
    static constexpr int MenuId = 7787;
    static constexpr int MinSongRowHeight = 12;
    static constexpr QSize MarkSize{10, 11};

    TSongList(QWidget* parent, int id, const QRect& geometry, TSongListModel* model = nullptr);

    // The display that shows this list's count; null for none. Shows the current count at once.
    void SetDisplay(TDisplayFields* display);

    // The list operations; each refreshes the TOTAL field of a list given the display.
    bool InsertString(const QString& text, int index);
    void AddString(const QString& text);
    bool DeleteString(int index);
    void Clear();
    int Count() const;

    QString Title(int index) const;
    QString SelectedTitle() const;
    int TrackNumber(int index) const;

    void ApplyFont() override;

    int NumberColumnOffset() const { return FNumberOffset; }
    int LengthColumnWidth() const { return FLengthWidth; }
    const QImage& RowMark() const { return FMark; }

signals:
    // A command of the song menu (Play, Edit, Add, Remove, Highlight Current).
    void commandPosted(int commandId);

protected:
    void DrawItemText(QPainter& painter, const QRect& rect, int index) override;
    void mousePressEvent(QMouseEvent* event) override;

    // Draws the mark at the left of `rect` and returns the rectangle left for the text, with
    // the text top of the row.
    QRect DrawMark(QPainter& painter, const QRect& rect, int& textTop) const;
    static void DrawPlain(QPainter& painter, int x, int top, const QString& text);

private:
    void MeasureColumns();
    void ShowSongMenu(const QPoint& globalPos);

    QImage FMark;
    int FNumberOffset = 0;
    int FLengthWidth = 0;
    TDisplayFields* FDisplay = nullptr;
};

// Splits a row text at its first tabs into at most `fields` fields; text after the last wanted
// tab is dropped. Missing fields are empty.
QStringList SplitRow(const QString& text, int fields);
