#include "ui/editsongdlg.h"

#include "core/playcontroller.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TEditSongDlg::TEditSongDlg(QWidget* parent, TPlayController& player)
    : TMDialog(parent, DialogId, tr("Edit Track"), QSize(152, 120)), FPlayer(player) {
    auto* titleBox = new QGroupBox(tr("Track &Title"), this);
    Place(titleBox, 14, 15, 124, 30);
    FTitle = new QLineEdit(titleBox);
    Place(FTitle, 20, 26, 112, 12, TitleId);
    FTitle->setMaxLength(TitleLimit);

    auto* numberBox = new QGroupBox(tr("Track Number"), this);
    Place(numberBox, 14, 54, 68, 24);
    FNumber = new QLabel(tr("unknown"), numberBox);
    Place(FNumber, 33, 65, 30, 8, NumberId);
    FNumber->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    FOk = new QPushButton(tr("&OK"), this);
    Place(FOk, 14, 90, 50, 14, 1);
    FPrev = new QPushButton(tr("&Prev"), this);
    Place(FPrev, 82, 90, 28, 14, PrevId);
    FNext = new QPushButton(tr("&Next"), this);
    Place(FNext, 110, 90, 28, 14, NextId);
    FNext->setDefault(true);
    connect(FOk, &QPushButton::clicked, this, &TEditSongDlg::Ok);
    connect(FPrev, &QPushButton::clicked, this, &TEditSongDlg::Prev);
    connect(FNext, &QPushButton::clicked, this, &TEditSongDlg::Next);
    SetUp();
    Load();
}

void TEditSongDlg::Load() {
    const TSongListModel& queue = FPlayer.Queue();
    const int selected = queue.Selected();
    FRow = selected;
    if (selected < 0)
        return;
    FNumber->setText(QString::number(static_cast<uint>(queue.TrackNumber(selected))));
    FTitle->setText(queue.Title(selected));
    FTitle->setFocus();
    FTitle->selectAll();
    FTitle->setModified(false);
}

void TEditSongDlg::Save() {
    if (FRow < 0 || !FTitle->isModified())
        return;
    const int track = FNumber->text().toInt();
    const QString title = FTitle->text().left(TitleLimit);
    // A row whose number names no track of the album renames nothing in the title list.
    TSongListModel& titles = FPlayer.Titles();
    if (track >= 1 && track <= titles.Count()) {
        titles.Delete(track - 1);
        titles.Insert(track - 1, title);
    }
    TSongListModel& queue = FPlayer.Queue();
    queue.Delete(FRow);
    queue.Insert(FRow, TCDAlbum::QueueEntry(track, title, FPlayer.Album().TrackLength(track)));
    queue.Select(FRow);
    FTitle->setModified(false);
    if (FRow == FPlayer.CurrentSong())
        FPlayer.TitlesEdited();
}

void TEditSongDlg::Ok() {
    Save();
    accept();
}

void TEditSongDlg::Prev() {
    Save();
    TSongListModel& queue = FPlayer.Queue();
    if (queue.Selected() > 0)
        queue.Select(queue.Selected() - 1);
    Load();
}

void TEditSongDlg::Next() {
    Save();
    TSongListModel& queue = FPlayer.Queue();
    const int selected = queue.Selected();
    if (selected >= 0 && selected < queue.Count() - 1)
        queue.Select(selected + 1);
    Load();
}

void TEditSongDlg::keyPressEvent(QKeyEvent* event) {
    // Cancel is not a way out of this dialog: only OK closes it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    TMDialog::keyPressEvent(event);
}
