#include "ui/dbalbumlist.h"

#include "core/songlistmodel.h"

#include <QPainter>

TDBAlbumList::TDBAlbumList(QWidget* parent, int id, const QRect& geometry)
    : TSongList(parent, id, geometry) {}

int TDBAlbumList::AddSorted(const QString& text) {
    const TSongListModel& model = Model();
    int index = 0;
    while (index < model.Count() &&
           QString::compare(model.TextAt(index), text, Qt::CaseInsensitive) <= 0)
        ++index;
    InsertString(text, index);
    return index;
}

QString TDBAlbumList::Section(int index) const {
    const QString text = GetString(index);
    const qsizetype tab = text.lastIndexOf(QLatin1Char('\t'));
    return tab < 0 ? text : text.mid(tab + 1);
}

void TDBAlbumList::DrawItemText(QPainter& painter, const QRect& rect, int index) {
    painter.setFont(font());
    int top = 0;
    const QRect area = DrawMark(painter, rect, top);
    const QStringList fields = SplitRow(GetString(index), 3);
    const QFontMetrics metrics(font());
    const int lengthColumn = metrics.horizontalAdvance(QStringLiteral("00:00")) + 2;
    const int tracksColumn = metrics.horizontalAdvance(QStringLiteral("00")) + 5;
    const int lengthLeft = area.right() + 1 - lengthColumn;
    const int tracksLeft = lengthLeft - tracksColumn;
    // A long title stops where the track count begins.
    painter.save();
    painter.setClipRect(QRect(rect.left(), rect.top(), tracksLeft - rect.left(), rect.height()),
                        Qt::IntersectClip);
    DrawPlain(painter, area.left(), top, fields[0]);
    painter.restore();
    DrawPlain(painter, tracksLeft, top, fields[1]);
    DrawPlain(painter, lengthLeft, top, fields[2]);
}
