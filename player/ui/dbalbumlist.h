#pragma once
// TDBAlbumList: the albums of the database, one row "%s\t%s\t%s\t%s" each - title, number of
// tracks, total length and the section name, which is never shown but names the album to delete.
// Rows are kept in alphabetical order of their text, that is by title.

#include "ui/songlist.h"

class TDBAlbumList : public TSongList {
    Q_OBJECT
public:
    TDBAlbumList(QWidget* parent, int id, const QRect& geometry);

    // Inserts the row in its sorted place (after rows that compare equal) and returns its index.
    int AddSorted(const QString& text);
    // The section name of a row: the text after its last tab.
    QString Section(int index) const;

protected:
    void DrawItemText(QPainter& painter, const QRect& rect, int index) override;
};
