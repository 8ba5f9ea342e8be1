#include "ui/ripdlg.h"

#include "core/albumdatabase.h"
#include "core/playcontroller.h"
#include "core/reporter.h"
#include "core/ripsettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

TRipDlg::TRipDlg(QWidget* parent, TPlayController& player, const QString& source,
                 const QString& settingsPath)
    : TMDialog(parent, DialogId, tr("Rip"), QSize(262, 178)), FPlayer(player), FSource(source),
      FSettingsPath(settingsPath) {
    auto* whereBox = new QGroupBox(tr("Copy To"), this);
    Place(whereBox, 14, 10, 234, 46);
    auto* folderLabel = new QLabel(tr("&Folder:"), whereBox);
    Place(folderLabel, 20, 23, 46, 8);
    FDestination = new QLineEdit(whereBox);
    Place(FDestination, 68, 21, 130, 12, DestinationId);
    auto* browse = new QPushButton(tr("&Browse..."), whereBox);
    Place(browse, 202, 20, 40, 14, BrowseId);
    auto* albumLabel = new QLabel(tr("Album folder &name:"), whereBox);
    Place(albumLabel, 20, 39, 46, 8);
    FAlbumFolder = new QLineEdit(whereBox);
    Place(FAlbumFolder, 68, 37, 174, 12, AlbumFolderId);
    folderLabel->setBuddy(FDestination);
    albumLabel->setBuddy(FAlbumFolder);

    auto* formatBox = new QGroupBox(tr("Format"), this);
    Place(formatBox, 14, 62, 113, 40);
    FFlac = new QRadioButton(tr("FLA&C"), formatBox);
    Place(FFlac, 20, 74, 100, 10, FlacId);
    FWav = new QRadioButton(tr("&WAV"), formatBox);
    Place(FWav, 20, 86, 100, 10, WavId);

    auto* tracksBox = new QGroupBox(tr("Tracks"), this);
    Place(tracksBox, 135, 62, 113, 40);
    FQueue = new QRadioButton(tr("The &queue's songs"), tracksBox);
    Place(FQueue, 141, 74, 100, 10, QueueId);
    FEveryTrack = new QRadioButton(tr("&Every track"), tracksBox);
    Place(FEveryTrack, 141, 86, 100, 10, EveryTrackId);

    auto* readingBox = new QGroupBox(tr("Reading"), this);
    Place(readingBox, 14, 108, 234, 40);
    FTestAndCopy = new QCheckBox(tr("&Test and copy"), readingBox);
    Place(FTestAndCopy, 20, 120, 110, 10, TestAndCopyId);
    auto* offsetLabel = new QLabel(tr("Read &offset:"), readingBox);
    Place(offsetLabel, 20, 134, 46, 8);
    FOffset = new QSpinBox(readingBox);
    Place(FOffset, 68, 132, 44, 12, OffsetId);
    FOffset->setRange(TRipSettings::MinOffset, TRipSettings::MaxOffset);
    offsetLabel->setBuddy(FOffset);
    auto* samples = new QLabel(tr("samples"), readingBox);
    Place(samples, 116, 134, 40, 8);

    FStart = new QPushButton(tr("&Start"), this);
    Place(FStart, 144, 154, 50, 14, 1);
    FStart->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    Place(cancel, 198, 154, 50, 14, 2);
    connect(browse, &QPushButton::clicked, this, &TRipDlg::Browse);
    connect(FStart, &QPushButton::clicked, this, &TRipDlg::Start);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    SetUp();
    // The fields start after the longest of their labels, wherever this system's font ends it;
    // the edits keep their right edges.
    int column = FDestination->x();
    for (QLabel* label : {folderLabel, albumLabel, offsetLabel}) {
        label->resize(label->sizeHint().width(), label->height());
        column = std::max(column, label->geometry().right() + 1 + Units(0, 0, 3, 0).width());
    }
    for (QWidget* field :
         {static_cast<QWidget*>(FDestination), static_cast<QWidget*>(FAlbumFolder)})
        field->setGeometry(column, field->y(), field->geometry().right() + 1 - column,
                           field->height());
    samples->move(samples->x() + column - FOffset->x(), samples->y());
    FOffset->move(column, FOffset->y());
    samples->resize(samples->sizeHint().width(), samples->height());

    const TRipSettings settings(FSettingsPath);
    FDestination->setText(QDir::toNativeSeparators(settings.Destination()));
    FAlbumFolder->setText(FPlayer.Album().Title());
    FFlac->setChecked(true);
    FQueue->setChecked(true);
    FTestAndCopy->setChecked(true);
    FOffset->setValue(settings.ReadOffset(FSource));
}

void TRipDlg::Browse() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Copy To"), FDestination->text());
    if (!folder.isEmpty())
        FDestination->setText(QDir::toNativeSeparators(folder));
}

TRipOptions TRipDlg::Options() const {
    TRipOptions options;
    options.Source = FSource;
    // A typed folder may start with ~; a relative one is taken from the home folder, never from
    // wherever the player was started.
    QString folder = QDir::fromNativeSeparators(FDestination->text().trimmed());
    if (folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/")))
        folder = QDir::homePath() + folder.mid(1);
    if (!folder.isEmpty())
        options.Destination = QDir::cleanPath(QDir::home().absoluteFilePath(folder));
    options.AlbumFolder = FAlbumFolder->text().trimmed();
    options.AlbumTitle = FPlayer.Album().Title();
    // The database's placeholder is no title: the ripper then asks the disc's CD-TEXT.
    TSongListModel& titles = FPlayer.Titles();
    TSongListModel& queue = FPlayer.Queue();
    for (int track = 1; track <= FPlayer.Album().NumberOfTracks(); ++track) {
        const QString title = track <= titles.Count() ? titles.TextAt(track - 1) : QString();
        options.TrackTitles << (title == TAlbumDatabase::DefaultTrackTitle(track) ? QString()
                                                                                  : title);
    }
    options.Format = FWav->isChecked() ? TRipOptions::TFormat::Wav : TRipOptions::TFormat::Flac;
    options.TestAndCopy = FTestAndCopy->isChecked();
    options.ReadOffset = FOffset->value();
    if (FQueue->isChecked()) {
        for (int row = 0; row < queue.Count(); ++row) {
            const int track = queue.TrackNumber(row);
            if (track > 0 && !options.Tracks.contains(track))
                options.Tracks << track;
        }
    }
    return options;
}

void TRipDlg::Start() {
    const TRipOptions options = Options();
    QString problem;
    if (options.Destination.isEmpty())
        problem = tr("Choose the folder the copy goes to.");
    else if (!QDir().mkpath(options.Destination) || !QFileInfo(options.Destination).isWritable())
        problem = QDir::toNativeSeparators(options.Destination) +
                  tr("\n\nThis folder cannot be written to.");
    else if (FQueue->isChecked() && options.Tracks.isEmpty())
        problem = tr("The queue has no songs to copy.");
    if (!problem.isEmpty()) {
        TMessage message;
        message.text = problem;
        message.icon = TMessageIcon::Warning;
        ReportMessage(message);
        return;
    }
    TRipSettings settings(FSettingsPath);
    settings.SetDestination(options.Destination);
    settings.SetReadOffset(FSource, options.ReadOffset);
    accept();
}
