#include "ui/easylb.h"

#include "core/songlistmodel.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

TEasyLB::TEasyLB(QWidget* parent, int id, const QRect& geometry, int minRowHeight,
                 TSongListModel* model)
    : TODListBox(parent, id, model), FMinRowHeight(minRowHeight) {
    setGeometry(geometry);
}

void TEasyLB::SetMinRowHeight(int height) {
    FMinRowHeight = height;
    if (FHasFont)
        MeasureRows();
}

QString TEasyLB::GetString(int index) const {
    QString text;
    return Model().Text(index, text) ? text : QString();
}

int TEasyLB::MoveSelection(int offset) {
    TSongListModel& model = Model();
    const int from = model.Selected();
    if (from < 0)
        return -1;
    const int to = from + offset;
    if (to < 0 || to >= model.Count())
        return -1;
    QString text;
    if (!model.Text(from, text) || !model.Delete(from))
        return -1;
    model.Insert(to, text);
    model.Select(to);
    return 0;
}

void TEasyLB::DrawItem(QPainter& painter, const QRect& rect, int index, bool selected,
                       bool focused) {
    const QPalette& colours = palette();
    painter.fillRect(rect, colours.color(selected ? QPalette::Highlight : QPalette::Base));
    painter.setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter.setBackground(colours.brush(selected ? QPalette::Highlight : QPalette::Base));
    if (index >= 0)
        DrawItemText(painter, rect, index);
    if (focused) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect;
        option.backgroundColor = colours.color(selected ? QPalette::Highlight : QPalette::Base);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TEasyLB::DrawItemText(QPainter& painter, const QRect& rect, int index) {
    painter.drawText(rect.adjusted(1, 1, -1, -1),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, GetString(index));
}

void TEasyLB::changeEvent(QEvent* event) {
    TODListBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FHasFont = true;
        MeasureRows();
    }
}

void TEasyLB::MeasureRows() {
    SetRowHeight(qMax(fontMetrics().lineSpacing(), FMinRowHeight));
}
