#include "ui/dbmaintdlg.h"

#include "core/albumdatabase.h"
#include "core/displayfields.h"
#include "core/reporter.h"
#include "core/songlistmodel.h"
#include "core/statushint.h"
#include "ui/dbalbumlist.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TDBMaintDlg::TDBMaintDlg(QWidget* parent, const QString& databasePath, const QFont& queueFont,
                         TStatusHint* hint)
    : TMDialog(parent, DialogId, tr("Database Maintenance"), QSize(184, 137)),
      FDatabasePath(databasePath) {
    Place(new QLabel(tr("albums in database"), this), 273, 12, 68, 8);
    Place(new QLabel(tr("trk"), this), 127, 12, 20, 8);
    Place(new QLabel(tr("length"), this), 138, 12, 26, 8);
    FList = new TDBAlbumList(this, ListId, Units(19, 23, 145, 58));
    FDelete = new QPushButton(tr("&Delete"), this);
    Place(FDelete, 99, 110, 50, 14, DeleteId);
    auto* ok = new QPushButton(tr("&OK"), this);
    Place(ok, 35, 110, 50, 14, 1);
    ok->setDefault(true);
    auto* frame = new QFrame(this);
    Place(frame, 19, 88, 145, 14);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setForegroundRole(QPalette::Mid);
    auto* caption = new QLabel(tr("Number of albums in database:"), this);
    Place(caption, 22, 91, 108, 8);
    FCount = new QLabel(tr("unknown"), this);
    Place(FCount, 110, 91, 30, 8, CountId);
    // The count stands after the caption's text, wherever this system's font ends it.
    const int captionEnd = caption->x() + caption->fontMetrics().horizontalAdvance(caption->text());
    FCount->move(
        qMax(FCount->x(), captionEnd + caption->fontMetrics().horizontalAdvance(QLatin1Char(' '))),
        FCount->y());
    FCount->setWordWrap(false);
    connect(FDelete, &QPushButton::clicked, this, &TDBMaintDlg::Delete);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    SetUp();

    FList->FontDescription() = queueFont;
    FList->ApplyFont();
    FReadable = Fill(hint);
}

bool TDBMaintDlg::Fill(TStatusHint* hint) {
    const TAlbumDatabase database(FDatabasePath);
    QStringList sections;
    bool listed = false;
    {
        const TScopedHint shown(hint, tr("Querying database for album infomation..."));
        listed = database.ListSections(sections);
        if (listed) {
            FList->Model().SetRedraw(false);
            for (const QString& section : sections)
                FList->AddSorted(AlbumRow(FDatabasePath, section));
            FList->Model().SetRedraw(true);
            FList->Model().Select(0);
        }
    }
    if (!listed) {
        TMessage message;
        message.text = FDatabasePath + tr("\n\nCannot read the database.");
        message.icon = TMessageIcon::Warning;
        message.beep = true;
        ReportMessage(message);
        return false;
    }
    FCount->setText(QString::number(sections.size()));
    return true;
}

QString TDBMaintDlg::AlbumRow(const QString& databasePath, const QString& section) {
    const TAlbumSummary summary = TAlbumDatabase(databasePath).ReadSummary(section);
    const QString tracks = summary.tracks != 0 ? QString::number(summary.tracks) : QString();
    const QString length = summary.length != 0 ? FormatTime(summary.length) : QString();
    return summary.title + QLatin1Char('\t') + tracks + QLatin1Char('\t') + length +
           QLatin1Char('\t') + section;
}

void TDBMaintDlg::Delete() {
    TSongListModel& rows = FList->Model();
    const int selected = rows.Selected();
    if (selected < 0)
        return;
    const QString section = FList->Section(selected);
    if (!TAlbumDatabase::ConfirmDelete())
        return;
    // The row goes only when the file no longer holds the album.
    if (!TAlbumDatabase(FDatabasePath).DeleteAlbum(section)) {
        TMessage failure;
        failure.text = FDatabasePath + tr("\n\nCannot write the database.");
        failure.icon = TMessageIcon::Warning;
        failure.beep = true;
        ReportMessage(failure);
        return;
    }
    rows.Delete(selected);
    if (!rows.Select(selected))
        rows.Select(0);
    ShowCount();
}

void TDBMaintDlg::ShowCount() {
    FCount->setText(QString::number(FList->Count()));
}

int TDBMaintDlg::exec() {
    return FReadable ? TMDialog::exec() : Rejected;
}

void TDBMaintDlg::setVisible(bool visible) {
    TMDialog::setVisible(visible && FReadable);
}
