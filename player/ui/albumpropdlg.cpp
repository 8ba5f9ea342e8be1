#include "ui/albumpropdlg.h"

#include "core/displayfields.h"
#include "core/playcontroller.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TAlbumPropDlg::TAlbumPropDlg(QWidget* parent, TPlayController& player)
    : TMDialog(parent, DialogId, tr("Album Properties"), QSize(152, 120)), FPlayer(player) {
    auto* titleBox = new QGroupBox(tr("Album &Title"), this);
    Place(titleBox, 14, 15, 124, 30);
    FTitle = new QLineEdit(titleBox);
    Place(FTitle, 20, 26, 112, 12, TitleId);
    FTitle->setMaxLength(TitleLimit);

    auto* tracksBox = new QGroupBox(tr("Num. of Tracks"), this);
    Place(tracksBox, 14, 54, 58, 24);
    FTracks = new QLabel(tr("unknown"), tracksBox);
    Place(FTracks, 28, 65, 30, 8, TracksId);
    FTracks->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    auto* lengthBox = new QGroupBox(tr("Album Length"), this);
    Place(lengthBox, 79, 54, 58, 24);
    FLength = new QLabel(tr("unknown"), lengthBox);
    Place(FLength, 93, 65, 30, 8, LengthId);
    FLength->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    FDone = new QPushButton(tr("&Done"), this);
    Place(FDone, 44, 90, 64, 14, 1);
    FDone->setDefault(true);
    connect(FDone, &QPushButton::clicked, this, &TAlbumPropDlg::Done);
    SetUp();

    const TCDAlbum& album = FPlayer.Album();
    if (!album.Title().isNull()) {
        FTracks->setText(QString::number(static_cast<uint>(album.NumberOfTracks())));
        FLength->setText(FormatTime(album.TotalLength() / 1000));
        FTitle->setText(album.Title());
        FTitle->selectAll();
        FTitle->setModified(false);
    }
}

void TAlbumPropDlg::Done() {
    TCDAlbum& album = FPlayer.Album();
    if (album.IsLoaded() && FTitle->isModified()) {
        const QString title = FTitle->text().left(TitleLimit);
        album.SetTitle(title);
        FPlayer.TitlesEdited();
    }
    accept();
}
