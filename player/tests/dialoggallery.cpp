// The song lists and the album dialogs on a made-up album, for looking at them under a real X
// server (screenshots) and for trying them by hand. The argument names what to show: queue,
// properties, edit, add, about, maintenance, rip, ripping, results.

#include "manualdrive.h"

#include "core/mcidevice.h"
#include "core/playcontroller.h"
#include "platform/discripper.h"
#include "ui/aboutdlg.h"
#include "ui/addtrackdlg.h"
#include "ui/albumpropdlg.h"
#include "ui/dbmaintdlg.h"
#include "ui/editsongdlg.h"
#include "ui/listbar.h"
#include "ui/queuelist.h"
#include "ui/ripdlg.h"
#include "ui/ripprogressdlg.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QTemporaryDir>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/korvo/korvo.svg")));
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("queue");

    QTemporaryDir folder;
    const QString database = folder.filePath(QStringLiteral("cdalb.idb"));
    QVector<quint32> lengths;
    for (int track = 1; track <= 12; ++track)
        lengths << 150'000 + track * 13'700;
    MCIDevice device(QStringLiteral("cdaudio"), std::make_unique<TManualDrive>(lengths));
    TPlayController player(device, database);
    player.SetUp();
    player.Timer().stop();
    player.LoadAlbum(true);
    const QStringList titles{"Overture", "Night Drive", "Harbour Lights",
                             "A Very Long Title That Will Not Fit Into The Row At All", "Coda"};
    for (int i = 0; i < titles.size(); ++i) {
        player.Titles().Delete(i);
        player.Titles().Insert(i, titles[i]);
        player.Queue().Delete(i);
        player.Queue().Insert(
            i, TCDAlbum::QueueEntry(i + 1, titles[i], player.Album().TrackLength(i + 1)));
    }
    player.Album().SetTitle(QStringLiteral("Coastal Roads"));
    player.Queue().Delete(6);
    player.Queue().Delete(9);
    player.Queue().Select(2);
    QFile file(database);
    if (file.open(QIODevice::WriteOnly))
        file.write("[2823243]\nDatabaseVersion=2.7\nTitle=Coastal Roads\nAlbumTotalLength=2823\n"
                   "NumberOfTracks=12\n[1994]\nDatabaseVersion=1.4\nTitle=Old Favourites\n"
                   "Song1=a\nSong2=b\n[31337]\nDatabaseVersion=2.7\nTitle=A Title Longer Than "
                   "The Album List Is Wide\nAlbumTotalLength=4012\nNumberOfTracks=17\n");
    file.close();

    QWidget window;
    window.setWindowTitle(QStringLiteral("Korvo"));
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* queue = new TQueueList(nullptr, &player.Queue());
    layout->addWidget(new TListBar(&window, queue));
    // As the window does when the settings are loaded: after the bar has placed the queue.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    queue->FontDescription() = font;
    queue->ApplyFont();
    layout->addStretch(1);
    window.resize(260, 150);
    window.show();
    if (what == QStringLiteral("queue"))
        return app.exec();

    std::unique_ptr<QDialog> dialog;
    if (what == QStringLiteral("properties"))
        dialog = std::make_unique<TAlbumPropDlg>(&window, player);
    else if (what == QStringLiteral("edit"))
        dialog = std::make_unique<TEditSongDlg>(&window, player);
    else if (what == QStringLiteral("add"))
        dialog = std::make_unique<TAddTrackDlg>(&window, player, queue->FontDescription());
    else if (what == QStringLiteral("about"))
        dialog = std::make_unique<TAboutDlg>(&window);
    else if (what == QStringLiteral("rip"))
        dialog = std::make_unique<TRipDlg>(&window, player, QStringLiteral("/dev/sr0"),
                                           folder.filePath(QStringLiteral("Korvo.ini")));
    else if (what == QStringLiteral("ripping")) {
        auto progress = std::make_unique<TRipProgressDlg>(&window);
        progress->TrackStarted(3, 12, 3, titles[2]);
        progress->Progress(0.62, 0.21, 14.2, 151);
        dialog = std::move(progress);
    } else if (what == QStringLiteral("results")) {
        // Every kind of result, and a summary that names the tracks with errors.
        TRipReport report;
        report.Folder = folder.path();
        const TRipTrackResult::TStatus kinds[] = {
            TRipTrackResult::TStatus::Matched, TRipTrackResult::TStatus::Copied,
            TRipTrackResult::TStatus::Errors, TRipTrackResult::TStatus::Matched,
            TRipTrackResult::TStatus::NotCopied};
        for (int t = 1; t <= 5; ++t) {
            TRipTrackResult result;
            result.Track = t;
            result.Status = kinds[t - 1];
            if (result.Status == TRipTrackResult::TStatus::Errors)
                result.ErrorAt = QStringLiteral("3:12.40");
            if (result.Status != TRipTrackResult::TStatus::NotCopied &&
                result.Status != TRipTrackResult::TStatus::Errors)
                result.File = folder.filePath(QStringLiteral("%1 - %2.flac")
                                                  .arg(t, 2, 10, QLatin1Char('0'))
                                                  .arg(titles[t - 1]));
            report.Tracks << result;
        }
        dialog = std::make_unique<TRipResultsDlg>(&window, report, titles);
    } else
        dialog =
            std::make_unique<TDBMaintDlg>(&window, database, queue->FontDescription(), nullptr);
    dialog->move(window.geometry().right() + 20, 20);
    return dialog->exec();
}
