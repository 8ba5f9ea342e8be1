#pragma once
// "Database Maintenance": every album of the database with its number of tracks and length, in
// order of title and in the queue's font, the number of albums, and deleting an album after a
// confirmation. The list is read once when the dialog opens. A database that cannot be read is
// reported and the dialog does not open.

#include "ui/mdialog.h"

class QLabel;
class QPushButton;
class TDBAlbumList;
class TStatusHint;

class TDBMaintDlg : public TMDialog {
    Q_OBJECT
public:
    static constexpr int DialogId = 7875;
    static constexpr int ListId = 7876;
    static constexpr int CountId = 7877;
    static constexpr int DeleteId = 7878;

    // `hint` shows the status text while the database is read; it may be null.
    TDBMaintDlg(QWidget* parent, const QString& databasePath, const QFont& queueFont,
                TStatusHint* hint);

    // False when the database could not be read (the dialog has then reported it).
    bool IsReadable() const { return FReadable; }
    TDBAlbumList* List() const { return FList; }
    QLabel* CountText() const { return FCount; }
    QPushButton* DeleteButton() const { return FDelete; }

    // The row of one section: title, track count and length (empty when 0), section name.
    static QString AlbumRow(const QString& databasePath, const QString& section);

    // An unreadable database closes the dialog before it is shown.
    int exec() override;
    void setVisible(bool visible) override;

private:
    bool Fill(TStatusHint* hint);
    void Delete();
    void ShowCount();

    QString FDatabasePath;
    TDBAlbumList* FList;
    QLabel* FCount;
    QPushButton* FDelete;
    bool FReadable = false;
};
