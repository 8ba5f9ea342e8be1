#include "core/songlistmodel.h"

#include <algorithm>
#include <limits>

TSongListModel::TSongListModel(QObject* parent) : QAbstractListModel(parent) {}

int TSongListModel::TextLength(int index) const {
    return index >= 0 && index < Count() ? static_cast<int>(FRows[index].size()) : -1;
}

bool TSongListModel::Text(int index, QString& text) const {
    if (index < 0 || index >= Count())
        return false;
    text = FRows[index];
    return true;
}

QString TSongListModel::TextAt(int index) const {
    return index >= 0 && index < Count() ? FRows[index] : QString();
}

bool TSongListModel::Delete(int index) {
    if (index < 0 || index >= Count())
        return false;
    if (FRedraw)
        beginRemoveRows(QModelIndex(), index, index);
    FRows.removeAt(index);
    if (FRedraw)
        endRemoveRows();
    if (FSelected == index)
        SetSelected(-1);
    else if (FSelected > index)
        SetSelected(FSelected - 1);
    emit countChanged(Count());
    return true;
}

bool TSongListModel::Insert(int index, const QString& text) {
    if (index == -1)
        index = Count();
    if (index < 0 || index > Count())
        return false;
    if (FRedraw)
        beginInsertRows(QModelIndex(), index, index);
    FRows.insert(index, text);
    if (FRedraw)
        endInsertRows();
    if (FSelected >= index)
        SetSelected(FSelected + 1);
    emit countChanged(Count());
    return true;
}

void TSongListModel::Add(const QString& text) {
    Insert(-1, text);
}

void TSongListModel::Clear() {
    if (FRedraw)
        beginResetModel();
    FRows.clear();
    if (FRedraw)
        endResetModel();
    SetSelected(-1);
    emit countChanged(0);
}

bool TSongListModel::Select(int index) {
    const bool inRange = index >= 0 && index < Count();
    SetSelected(inRange ? index : -1);
    return inRange;
}

int TSongListModel::Find(const QString& text) const {
    return static_cast<int>(FRows.indexOf(text));
}

void TSongListModel::SetRedraw(bool on) {
    if (on == FRedraw)
        return;
    FRedraw = on;
    if (on)
        endResetModel();
    else
        beginResetModel();
}

int TSongListModel::TrackNumber(int index) const {
    return index >= 0 && index < Count() ? LeadingInteger(FRows[index]) : 0;
}

QString TSongListModel::Title(int index) const {
    if (index < 0 || index >= Count())
        return QString();
    const QString& row = FRows[index];
    const qsizetype first = row.indexOf(QLatin1Char('\t'));
    if (first < 0)
        return QString();
    const qsizetype second = row.indexOf(QLatin1Char('\t'), first + 1);
    return row.mid(first + 1, second < 0 ? -1 : second - first - 1);
}

int TSongListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant TSongListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return FRows[index.row()];
    return QVariant();
}

void TSongListModel::SetSelected(int index) {
    if (index == FSelected)
        return;
    FSelected = index;
    emit selectionChanged(index);
}

int LeadingInteger(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') ||
                     (text[i] >= QLatin1Char('\t') && text[i] <= QLatin1Char('\r'))))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    long long value = 0;
    const long long limit = std::numeric_limits<int>::max();
    for (; i < n && text[i].isDigit() && text[i].unicode() < 128; ++i)
        value = std::min(value * 10 + (text[i].unicode() - '0'), limit + 1);
    if (negative)
        return static_cast<int>(-std::min(value, limit + 1));
    return static_cast<int>(std::min(value, limit));
}
