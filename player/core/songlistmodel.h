#pragma once
// A list of song rows, the data behind the player's list controls: the hidden title list (one
// title per track) and the play queue (rows "%d\t%s\t%s" of track number, title and length).
// The album and the play controller change it through the list operations below; the window's
// views show it as a Qt model, so nothing is copied between logic and display.
//
// Indexes count from 0. The model keeps one selected row (-1 for none) that follows inserts and
// deletes like a single-selection list box. While redrawing is off, changes are collected into one
// model reset, so a view repaints once when redrawing comes back on.

#include <QAbstractListModel>
#include <QStringList>

class TSongListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TSongListModel(QObject* parent = nullptr);

    int Count() const { return static_cast<int>(FRows.size()); }
    // -1 for an index out of range.
    int TextLength(int index) const;
    // False (and text untouched) for an index out of range.
    bool Text(int index, QString& text) const;
    // The row's text, empty for an index out of range.
    QString TextAt(int index) const;
    bool Delete(int index);
    // -1 or Count() appends; any other index out of range fails.
    bool Insert(int index, const QString& text);
    void Add(const QString& text);
    void Clear();
    int Selected() const { return FSelected; }
    // Selects a row; an index out of range leaves nothing selected and fails.
    bool Select(int index);
    // The first row whose text equals the given text, -1 when none.
    int Find(const QString& text) const;
    void SetRedraw(bool on);
    bool Redrawing() const { return FRedraw; }

    // The decimal integer at the start of the row (leading blanks and a sign allowed), 0 when the
    // row cannot be read.
    int TrackNumber(int index) const;
    // The text between the first and second tab; empty when the row has no tab.
    QString Title(int index) const;
    QString SelectedTitle() const { return Title(FSelected); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

signals:
    void countChanged(int count);
    void selectionChanged(int index);

private:
    void SetSelected(int index);

    QStringList FRows;
    int FSelected = -1;
    bool FRedraw = true;
};

// The leading decimal integer of a text as the C library reads it (blanks, sign, digits); 0 when
// there is none. Values beyond the int range saturate instead of overflowing.
int LeadingInteger(const QString& text);
