#include "ui/addtrackdlg.h"

#include "core/playcontroller.h"
#include "ui/songlist.h"

#include <QPushButton>

TAddTrackDlg::TAddTrackDlg(QWidget* parent, TPlayController& player, const QFont& queueFont)
    : TMDialog(parent, DialogId, tr("Add Track"), QSize(184, 117)), FPlayer(player) {
    FList = new TSongList(this, ListId, Units(19, 19, 145, 58));
    FAdd = new QPushButton(tr("&Add"), this);
    Place(FAdd, 35, 90, 50, 14, AddId);
    FAdd->setDefault(true);
    FOk = new QPushButton(tr("&OK"), this);
    Place(FOk, 99, 90, 50, 14, 1);
    connect(FAdd, &QPushButton::clicked, this, &TAddTrackDlg::Add);
    connect(FList, &TSongList::rowDoubleClicked, this, &TAddTrackDlg::Add);
    connect(FOk, &QPushButton::clicked, this, &QDialog::accept);
    SetUp();

    FList->FontDescription() = queueFont;
    FList->ApplyFont();
    const TSongListModel& titles = FPlayer.Titles();
    for (int track = 1; track <= titles.Count(); ++track)
        if (!InQueue(FPlayer.Queue(), track))
            FList->AddString(TCDAlbum::QueueEntry(track, titles.TextAt(track - 1),
                                                  FPlayer.Album().TrackLength(track)));
    FList->Model().Select(0);
}

bool TAddTrackDlg::InQueue(const TSongListModel& queue, int track) {
    const QString prefix = QString::number(track) + QLatin1Char('\t');
    for (int row = 0; row < queue.Count(); ++row)
        if (queue.TextAt(row).startsWith(prefix, Qt::CaseInsensitive))
            return true;
    return false;
}

void TAddTrackDlg::Add() {
    TSongListModel& list = FList->Model();
    const int selected = list.Selected();
    if (selected < 0)
        return;
    FPlayer.Queue().Add(list.TextAt(selected));
    list.Delete(selected);
    if (!list.Select(selected))
        list.Select(0);
}
