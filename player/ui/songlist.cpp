#include "ui/songlist.h"

#include "core/commandids.h"
#include "core/displayfields.h"
#include "core/songlistmodel.h"
#include "ui/artwork.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

TSongList::TSongList(QWidget* parent, int id, const QRect& geometry, TSongListModel* model)
    : TSizFontLB(parent, id, geometry, MinSongRowHeight, model),
      FMark(LoadArtwork(QStringLiteral(":/korvo/rowmark.svg"), MarkSize, devicePixelRatioF())) {
    connect(&Model(), &TSongListModel::countChanged, this, [this](int count) {
        if (FDisplay)
            FDisplay->SetFieldText(FieldTotal, FormatCount(count));
    });
    MeasureColumns();
}

void TSongList::SetDisplay(TDisplayFields* display) {
    FDisplay = display;
    if (FDisplay)
        FDisplay->SetFieldText(FieldTotal, FormatCount(Count()));
}

bool TSongList::InsertString(const QString& text, int index) {
    return Model().Insert(index, text);
}

void TSongList::AddString(const QString& text) {
    Model().Add(text);
}

bool TSongList::DeleteString(int index) {
    return Model().Delete(index);
}

void TSongList::Clear() {
    Model().Clear();
}

int TSongList::Count() const {
    return Model().Count();
}

QString TSongList::Title(int index) const {
    return Model().Title(index);
}

QString TSongList::SelectedTitle() const {
    return Model().SelectedTitle();
}

int TSongList::TrackNumber(int index) const {
    return Model().TrackNumber(index);
}

void TSongList::ApplyFont() {
    TSizFontLB::ApplyFont();
    MeasureColumns();
}

void TSongList::MeasureColumns() {
    const QFontMetrics metrics(font());
    FNumberOffset = metrics.horizontalAdvance(QStringLiteral("00")) + 5;
    FLengthWidth = metrics.horizontalAdvance(QStringLiteral("00:00")) + 2;
}

QRect TSongList::DrawMark(QPainter& painter, const QRect& rect, int& textTop) const {
    QRect area = rect.adjusted(2, 0, -2, 0);
    const int centre = rect.top() + rect.height() / 2;
    textTop = centre - QFontMetrics(font()).lineSpacing() / 2;
    painter.drawImage(QPoint(area.left(), centre - MarkSize.height() / 2), FMark);
    area.setLeft(area.left() + MarkSize.width() + 2);
    return area;
}

void TSongList::DrawPlain(QPainter& painter, int x, int top, const QString& text) {
    const QFontMetrics metrics(painter.font());
    painter.drawText(QPoint(x, top + metrics.ascent()), text);
}

void TSongList::DrawItemText(QPainter& painter, const QRect& rect, int index) {
    painter.setFont(font());
    int top = 0;
    const QRect area = DrawMark(painter, rect, top);
    const QStringList fields = SplitRow(GetString(index), 3);
    const int lengthLeft = area.right() + 1 - FLengthWidth;
    DrawPlain(painter, area.left(), top, fields[0]);
    // The title ends 5 pixels before the length column.
    painter.save();
    painter.setClipRect(QRect(rect.left(), rect.top(), lengthLeft - 5 - rect.left(), rect.height()),
                        Qt::IntersectClip);
    DrawPlain(painter, area.left() + FNumberOffset, top, fields[1]);
    painter.restore();
    DrawPlain(painter, lengthLeft, top, fields[2]);
}

void TSongList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton)
        return TSizFontLB::mousePressEvent(event);
    Model().Select(RowAt(event->position().toPoint()));
    ShowSongMenu(event->globalPosition().toPoint());
    event->accept();
}

void TSongList::ShowSongMenu(const QPoint& globalPos) {
    QMenu menu(window());
    menu.setObjectName(QString::number(MenuId));
    const std::pair<const char*, int> items[] = {
        {"&Play", CmPlay},
        {"&Edit...", CmSongEdit},
        {"&Add...", CmSongAdd},
        {"Remo&ve", CmSongRemove},
        {"&Highlight Current", CmHighlightCurrent},
    };
    for (const auto& [text, id] : items)
        menu.addAction(tr(text))->setData(id);
    if (QAction* chosen = menu.exec(globalPos))
        emit commandPosted(chosen->data().toInt());
}

QStringList SplitRow(const QString& text, int fields) {
    QStringList parts = text.split(QLatin1Char('\t'));
    while (parts.size() < fields)
        parts.append(QString());
    return parts.mid(0, fields);
}
