#include "ui/odlistbox.h"

#include "core/songlistmodel.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

TODListBox::TODListBox(QWidget* parent, int id, TSongListModel* model)
    : QAbstractScrollArea(parent), FModel(model ? model : new TSongListModel(this)) {
    setObjectName(QString::number(id));
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    auto changed = [this] {
        UpdateScrollRange();
        viewport()->update();
    };
    connect(FModel, &QAbstractItemModel::rowsInserted, this, changed);
    connect(FModel, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(FModel, &QAbstractItemModel::modelReset, this, changed);
    connect(FModel, &QAbstractItemModel::dataChanged, this, changed);
    connect(FModel, &TSongListModel::selectionChanged, this, [this](int index) {
        if (index >= 0 && FModel->Redrawing())
            ScrollTo(index);
        viewport()->update();
    });
    UpdateScrollRange();
}

int TODListBox::TopIndex() const {
    return verticalScrollBar()->value();
}

void TODListBox::SetTopIndex(int index) {
    verticalScrollBar()->setValue(index);
}

int TODListBox::RowAt(const QPoint& viewportPoint) const {
    return viewportPoint.y() / FRowHeight + TopIndex();
}

QRect TODListBox::RowRect(int index) const {
    return QRect(0, (index - TopIndex()) * FRowHeight, viewport()->width(), FRowHeight);
}

int TODListBox::VisibleRows() const {
    return qMax(1, viewport()->height() / FRowHeight);
}

void TODListBox::SetRowHeight(int height) {
    if (height == FRowHeight)
        return;
    FRowHeight = height;
    UpdateScrollRange();
    viewport()->update();
}

void TODListBox::UpdateScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    const int rows = FRowHeight > 0 ? VisibleRows() : 1;
    bar->setPageStep(rows);
    bar->setRange(0, qMax(0, FModel->Count() - rows));
}

void TODListBox::ScrollTo(int index) {
    const int top = TopIndex();
    if (index < top)
        SetTopIndex(index);
    else if (index >= top + VisibleRows())
        SetTopIndex(index - VisibleRows() + 1);
}

void TODListBox::Pick(int index) {
    if (index < 0 || index >= FModel->Count())
        return;
    FModel->Select(index);
    emit selectionPicked(index);
}

void TODListBox::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int selected = FModel->Selected();
    const bool focus = hasFocus();
    const int height = viewport()->height();
    int index = TopIndex();
    int y = 0;
    for (; FRowHeight > 0 && y < height && index < FModel->Count(); ++index, y += FRowHeight) {
        painter.save();
        DrawItem(painter, RowRect(index), index, index == selected, focus && index == selected);
        painter.restore();
    }
    if (y < height)
        painter.fillRect(QRect(0, y, viewport()->width(), height - y),
                         palette().color(QPalette::Base));
}

void TODListBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void TODListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Pick(RowAt(event->position().toPoint()));
    QAbstractScrollArea::mousePressEvent(event);
}

void TODListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mouseDoubleClickEvent(event);
    const int index = RowAt(event->position().toPoint());
    if (index >= 0 && index < FModel->Count()) {
        Pick(index);
        emit rowDoubleClicked(index);
    }
}

void TODListBox::keyPressEvent(QKeyEvent* event) {
    const int count = FModel->Count();
    const int current = FModel->Selected();
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        target = current < 0 ? 0 : current - 1;
        break;
    case Qt::Key_Down:
        target = current + 1;
        break;
    case Qt::Key_PageUp:
        target = qMax(0, current - VisibleRows() + 1);
        break;
    case Qt::Key_PageDown:
        target = qMin(count - 1, current + VisibleRows() - 1);
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count - 1;
        break;
    default:
        return QAbstractScrollArea::keyPressEvent(event);
    }
    if (target >= 0 && target < count && target != current)
        Pick(target);
    event->accept();
}

void TODListBox::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TODListBox::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TODListBox::scrollContentsBy(int, int) {
    viewport()->update();
}
