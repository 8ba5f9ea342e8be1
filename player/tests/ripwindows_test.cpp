// The windows of copying a disc and of choosing a disc image: what the Rip dialog offers and
// remembers in Korvo.ini, when Rip can be chosen, Open Image and "Use the Drive" changing the
// player's drive on generated images, and a copy started from the dialog ending in its results.

#include "capturereporter.h"
#include "controllerfixture.h"
#include "discimage.h"
#include "fakeauxoutput.h"
#include "manualdrive.h"

#include "core/app.h"
#include "core/commandids.h"
#include "core/playersession.h"
#include "core/playerstate.h"
#include "core/profile.h"
#include "core/ripsettings.h"
#include "platform/imagedrive.h"
#include "ui/commanddialogs.h"
#include "ui/mainframe.h"
#include "ui/openimage.h"
#include "ui/ripdlg.h"
#include "ui/ripprogressdlg.h"
#include "ui/ripwindows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

constexpr int LoadDeadlineMs = 20'000;

class RipFixture : public ::testing::Test {
protected:
    void SetUp() override {
        savedHome = qgetenv("KORVO_HOME");
        savedDrive = qgetenv("KORVO_CDROM");
        qputenv("KORVO_HOME", home.path().toLocal8Bit());
    }
    void TearDown() override {
        qputenv("KORVO_HOME", savedHome);
        if (savedDrive.isEmpty())
            qunsetenv("KORVO_CDROM");
        else
            qputenv("KORVO_CDROM", savedDrive);
    }
    QString Ini() const { return home.filePath("Korvo.ini"); }

    QTemporaryDir home;
    QByteArray savedHome;
    QByteArray savedDrive;
    TCaptureReporter reporter;
    TFakeAuxOutput volume{QStringList{}};
};

} // namespace

// ----- what Korvo.ini keeps

TEST_F(RipFixture, SettingsRememberTheFolderAndAnOffsetPerDriveWithinItsRange) {
    TRipSettings settings(Ini());
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    EXPECT_EQ(settings.Destination(), music.isEmpty() ? QDir::home().filePath("Music") : music);
    EXPECT_EQ(settings.ReadOffset("/dev/sr0"), 0);
    EXPECT_TRUE(settings.Image().isEmpty());

    settings.SetDestination("/tmp/copies");
    struct {
        const char* drive;
        int written;
        int read;
    } const cases[] = {{"/dev/sr0", 667, 667},
                       {"/dev/sr1", -30, -30},
                       {"/media/disc.cue", 4000, 3000},
                       {"", -5000, -3000}};
    for (const auto& c : cases)
        settings.SetReadOffset(c.drive, c.written);
    const TRipSettings reread(Ini());
    EXPECT_EQ(reread.Destination(), "/tmp/copies");
    for (const auto& c : cases)
        EXPECT_EQ(reread.ReadOffset(c.drive), c.read) << c.drive;
    EXPECT_EQ(reread.ReadOffset("/dev/sr2"), 0);
    // A hand-edited value out of range is read as the nearest limit.
    TProfile(Ini()).WriteString("Read Offsets", "/dev/sr3", "99999");
    EXPECT_EQ(reread.ReadOffset("/dev/sr3"), 3000);
}

// ----- the Rip dialog

class RipDialog : public ControllerFixture {
protected:
    RipDialog() : ControllerFixture({30000, 45000, 60000, 20000}) {
        EXPECT_EQ(controller->LoadAlbum(true), 0);
        controller->Album().SetTitle("Coastal Roads");
        controller->Titles().Delete(1);
        controller->Titles().Insert(1, "Night Drive");
    }
    QString Ini() const { return settingsDir.filePath("Korvo.ini"); }
    QTemporaryDir settingsDir;
    QTemporaryDir target;
};

TEST_F(RipDialog, OpensWithTheDefaultsAndTheOffsetOfItsDrive) {
    TRipSettings(Ini()).SetReadOffset("/dev/sr1", 102);
    TRipDlg dialog(nullptr, *controller, "/dev/sr0", Ini());
    EXPECT_EQ(QDir::fromNativeSeparators(dialog.DestinationEdit()->text()),
              TRipSettings::DefaultDestination());
    EXPECT_EQ(dialog.AlbumFolderEdit()->text(), "Coastal Roads");
    EXPECT_TRUE(dialog.FlacButton()->isChecked());
    EXPECT_FALSE(dialog.WavButton()->isChecked());
    EXPECT_TRUE(dialog.QueueButton()->isChecked());
    EXPECT_TRUE(dialog.TestAndCopyBox()->isChecked());
    EXPECT_EQ(dialog.OffsetBox()->value(), 0);
    EXPECT_EQ(dialog.OffsetBox()->minimum(), -3000);
    EXPECT_EQ(dialog.OffsetBox()->maximum(), 3000);
    EXPECT_TRUE(dialog.StartButton()->isDefault());
    EXPECT_EQ(dialog.StartButton()->text(), "&Start");
    EXPECT_EQ(dialog.TestAndCopyBox()->text(), "&Test and copy");
}

TEST_F(RipDialog, StartRemembersTheFolderAndTheDrivesOffsetAndGivesTheChoices) {
    // The queue lacks track 3 and plays track 4 before track 1.
    for (int row = controller->Queue().Count() - 1; row >= 0; --row)
        if (controller->Queue().TrackNumber(row) == 3)
            controller->Queue().Delete(row);
    const int last = controller->Queue().Count() - 1;
    const QString fourth = controller->Queue().TextAt(last);
    controller->Queue().Delete(last);
    controller->Queue().Insert(0, fourth);

    const QString folder = target.filePath("new/Music");
    {
        TRipDlg dialog(nullptr, *controller, "/dev/sr0", Ini());
        dialog.DestinationEdit()->setText(folder);
        dialog.AlbumFolderEdit()->setText("Roads");
        dialog.WavButton()->setChecked(true);
        dialog.TestAndCopyBox()->setChecked(false);
        dialog.OffsetBox()->setValue(667);
        const TRipOptions options = dialog.Options();
        EXPECT_EQ(options.Source, "/dev/sr0");
        EXPECT_EQ(options.Destination, folder);
        EXPECT_EQ(options.AlbumFolder, "Roads");
        EXPECT_EQ(options.AlbumTitle, "Coastal Roads");
        EXPECT_EQ(options.Format, TRipOptions::TFormat::Wav);
        EXPECT_FALSE(options.TestAndCopy);
        EXPECT_EQ(options.ReadOffset, 667);
        EXPECT_EQ(options.Tracks, (QList<int>{4, 1, 2}));
        // The database's placeholders leave the titles to the disc.
        EXPECT_EQ(options.TrackTitles, (QStringList{"", "Night Drive", "", ""}));
        dialog.EveryTrackButton()->setChecked(true);
        EXPECT_TRUE(dialog.Options().Tracks.isEmpty());
        QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(QFileInfo(folder).isDir()); // made when missing
        EXPECT_TRUE(reporter.messages.isEmpty());
    }
    TRipDlg again(nullptr, *controller, "/dev/sr0", Ini());
    EXPECT_EQ(QDir::fromNativeSeparators(again.DestinationEdit()->text()), folder);
    EXPECT_EQ(again.OffsetBox()->value(), 667);
    TRipDlg otherDrive(nullptr, *controller, "/dev/sr1", Ini());
    EXPECT_EQ(otherDrive.OffsetBox()->value(), 0);
}

TEST_F(RipDialog, ATypedFolderIsTakenFromTheHomeFolder) {
    TRipDlg dialog(nullptr, *controller, "/dev/sr0", Ini());
    const QDir home = QDir::home();
    const struct {
        const char* typed;
        QString folder;
    } cases[] = {{"~/Rips", home.filePath("Rips")},
                 {"~", QDir::cleanPath(home.path())},
                 {"Rips/New", home.filePath("Rips/New")},
                 {" /srv/music/../rips/ ", "/srv/rips"},
                 {"", ""}};
    for (const auto& c : cases) {
        dialog.DestinationEdit()->setText(c.typed);
        EXPECT_EQ(dialog.Options().Destination, c.folder) << c.typed;
    }
}

TEST_F(RipDialog, AFolderThatCannotBeMadeIsReportedAndNothingIsRemembered) {
    QFile blocker(target.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TRipDlg dialog(nullptr, *controller, "/dev/sr0", Ini());
    dialog.DestinationEdit()->setText(target.filePath("file/below"));
    dialog.OffsetBox()->setValue(6);
    dialog.show();
    QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_TRUE(reporter.messages[0].text.contains("cannot be written"))
        << reporter.messages[0].text.toStdString();
    EXPECT_EQ(TRipSettings(Ini()).ReadOffset("/dev/sr0"), 0);
    EXPECT_EQ(TRipSettings(Ini()).Destination(), TRipSettings::DefaultDestination());
}

// ----- the menu items

TEST_F(RipFixture, RipIsEnabledOnlyWhileADiscsAlbumIsLoaded) {
    TApp app(home.filePath("korvo32"));
    auto service = std::make_unique<TManualDrive>(QVector<quint32>{30000, 45000});
    TManualDrive* drive = service.get();
    drive->ready = false;
    TPlayerSession session(app, std::move(service), volume);
    TMainFrame frame(session);
    session.Controller().Timer().stop();
    QAction* rip = session.Menu().Action(CmRip);
    QAction* openImage = session.Menu().Action(CmOpenImage);
    ASSERT_NE(rip, nullptr);
    ASSERT_NE(openImage, nullptr);
    EXPECT_EQ(rip->text(), "&Rip...");
    EXPECT_EQ(openImage->text(), "Open &Image...");
    struct {
        const char* step;
        std::function<void()> act;
        bool enabled;
    } const steps[] = {
        {"no disc", [] {}, false},
        {"disc loaded",
         [&] {
             drive->InsertDisc({30000, 45000});
             session.Controller().Tick();
         },
         true},
        {"album closed", [&] { session.Trigger(CmAlbumClose); }, false},
        {"opened again", [&] { session.Trigger(CmAlbumOpen); }, true},
        {"disc removed",
         [&] {
             drive->RemoveDisc();
             session.Controller().Tick();
         },
         false},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(rip->isEnabled(), step.enabled) << step.step;
        EXPECT_TRUE(openImage->isEnabled()) << step.step;
    }
}

TEST_F(RipFixture, ACopyOfThePhysicalDriveStopsPlayAndKeepsItStoppedUntilItEnds) {
    TApp app(home.filePath("korvo32"));
    auto service = std::make_unique<TManualDrive>(QVector<quint32>{30000, 45000});
    TManualDrive* drive = service.get();
    TPlayerSession session(app, std::move(service), volume);
    session.SetUp();
    ASSERT_EQ(session.Controller().LoadAlbum(true), 0);
    session.Command(CmPlay);
    ASSERT_FALSE(session.Controller().IsStopped());
    session.SetDriveBusy(true);
    EXPECT_TRUE(session.Controller().IsStopped());
    for (int id : {CmPlay, CmPlayButton, CmCirculate, CmFastForwardStep}) {
        session.Command(id);
        EXPECT_TRUE(session.Controller().IsStopped()) << id;
    }
    session.Command(CmEject);
    EXPECT_TRUE(drive->Requests("door").isEmpty()) << "the tray stays closed under a copy";
    EXPECT_FALSE(session.Controller().Timer().isActive()) << "nor is the drive polled";
    session.SetDriveBusy(false);
    EXPECT_TRUE(session.Controller().Timer().isActive());
    session.Command(CmPlay);
    EXPECT_FALSE(session.Controller().IsStopped());
    session.ShutDown();
}

// ----- Open Image on generated images

class OpenImageTest : public RipFixture {
protected:
    void SetUp() override {
        RipFixture::SetUp();
        ASSERT_FALSE(drive.Cue().isEmpty());
        ASSERT_FALSE(image.Cue().isEmpty());
        // The player's "drive" is an image of two tracks; the image chosen has three.
        qputenv("KORVO_CDROM", drive.Cue().toLocal8Bit());
        app = std::make_unique<TApp>(home.filePath("korvo32"));
    }
    void TearDown() override {
        app.reset();
        RipFixture::TearDown();
    }
    std::unique_ptr<TPlayerSession> Start() {
        auto session = std::make_unique<TPlayerSession>(
            *app, std::make_unique<TImageDrive>(drive.Cue()), volume);
        OpenImage::Restore(*session);
        session->SetUp();
        session->Controller().Timer().stop();
        session->Controller().Tick();
        return session;
    }
    int Tracks(TPlayerSession& session) { return session.Controller().Album().NumberOfTracks(); }
    QString Remembered() const { return TRipSettings(Ini()).Image(); }

    TDiscImage drive{{4, 5}, 0, "drive"};
    TDiscImage image{{3, 4, 5}, 0, "image"};
    std::unique_ptr<TApp> app;
};

TEST_F(OpenImageTest, AnImageGoesIntoTheDriveStaysForTheNextStartAndTheDriveComesBack) {
    auto session = Start();
    EXPECT_EQ(Tracks(*session), 2);
    EXPECT_EQ(PlayerSource(*session), drive.Cue());

    ASSERT_TRUE(OpenImage::UseImage(*session, image.Cue()));
    EXPECT_EQ(Tracks(*session), 3);
    EXPECT_EQ(session->Image(), image.Cue());
    EXPECT_EQ(PlayerSource(*session), image.Cue());
    EXPECT_EQ(Remembered(), image.Cue());
    session->ShutDown();
    session.reset();

    session = Start();
    EXPECT_EQ(Tracks(*session), 3) << "the image chosen is still in the drive";
    ASSERT_TRUE(OpenImage::UseDrive(*session));
    EXPECT_EQ(Tracks(*session), 2);
    EXPECT_TRUE(session->Image().isEmpty());
    EXPECT_EQ(PlayerSource(*session), drive.Cue());
    EXPECT_TRUE(Remembered().isEmpty());
    session->ShutDown();
}

TEST_F(OpenImageTest, AFileThatIsNoDiscImageIsRefusedAndTheDiscStays) {
    auto session = Start();
    const QString junk = image.FilePath("notes.cue");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is not a cue sheet\n");
    file.close();
    EXPECT_FALSE(OpenImage::UseImage(*session, junk));
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_TRUE(reporter.messages[0].text.contains("notes.cue"));
    EXPECT_EQ(Tracks(*session), 2);
    EXPECT_TRUE(Remembered().isEmpty());
    session->ShutDown();
}

TEST_F(OpenImageTest, TheDialogChoosesAnImageAndItsUseTheDriveButtonTakesItOut) {
    auto session = Start();
    QWidget parent;
    const auto fileDialog = [] {
        return qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    };
    const auto useDrive = [](QFileDialog* dialog) {
        return dialog ? dialog->findChild<QPushButton*>("UseDrive") : nullptr;
    };
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QFileDialog* dialog = fileDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_NE(useDrive(dialog), nullptr);
        EXPECT_EQ(useDrive(dialog)->text(), "Use the Drive");
        EXPECT_FALSE(useDrive(dialog)->isEnabled()) << "no image to take out yet";
        seen = true;
        dialog->selectFile(image.Cue());
        static_cast<QDialog*>(dialog)->accept();
    });
    OpenImage::Run(&parent, *session);
    EXPECT_TRUE(seen);
    EXPECT_EQ(Tracks(*session), 3);
    EXPECT_EQ(Remembered(), image.Cue());

    seen = false;
    QTimer::singleShot(0, [&] {
        QFileDialog* dialog = fileDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_NE(useDrive(dialog), nullptr);
        EXPECT_TRUE(useDrive(dialog)->isEnabled());
        seen = true;
        QTest::mouseClick(useDrive(dialog), Qt::LeftButton);
    });
    OpenImage::Run(&parent, *session);
    EXPECT_TRUE(seen);
    EXPECT_EQ(Tracks(*session), 2);
    EXPECT_TRUE(Remembered().isEmpty());
    session->ShutDown();
}

// ----- a copy started from the dialog

namespace {
constexpr int RipDeadlineMs = 120'000;

class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened << url; }
};
} // namespace

TEST(RipProgress, ShowsTheTrackTheBarsTheSpeedAndTheTimeLeft) {
    TRipProgressDlg window(nullptr);
    window.TrackStarted(3, 12, 5, "Harbour Lights");
    EXPECT_EQ(window.TrackText()->text(), "Track 3 of 12 - Harbour Lights");
    struct {
        double track, disc, speed;
        int secondsLeft;
        int trackBar, discBar;
        const char* speedText;
        const char* timeText;
    } const cases[] = {{0.5, 0.25, 14.2, 151, 500, 250, "Speed: 14.2x", "Time left: 02:31"},
                       {1.2, -0.1, 0.96, 0, 1000, 0, "Speed: 1.0x", "Time left: 00:00"},
                       {0.0, 1.0, 52.0, -1, 0, 1000, "Speed: 52.0x", ""}};
    for (const auto& c : cases) {
        window.Progress(c.track, c.disc, c.speed, c.secondsLeft);
        EXPECT_EQ(window.TrackBar()->value() * 1000 / window.TrackBar()->maximum(), c.trackBar);
        EXPECT_EQ(window.DiscBar()->value() * 1000 / window.DiscBar()->maximum(), c.discBar);
        EXPECT_EQ(window.SpeedText()->text(), c.speedText);
        EXPECT_EQ(window.TimeLeftText()->text(), c.timeText);
    }
    // A new track starts its bar again; the disc's stays.
    window.TrackStarted(4, 12, 6, "Coda");
    EXPECT_EQ(window.TrackBar()->value(), 0);
    EXPECT_EQ(window.DiscBar()->value(), window.DiscBar()->maximum());
}

TEST_F(OpenImageTest, ACopyFromTheDialogEndsWithTheResultsOfEveryTrack) {
    auto session = Start();
    ASSERT_TRUE(OpenImage::UseImage(*session, image.Cue()));
    QWidget frame;
    TPlayerState state(session->Controller());
    TRipWindows windows(&frame, *session);
    windows.BindState(state);
    QAction* rip = session->Menu().Action(CmRip);
    ASSERT_TRUE(rip->isEnabled());

    windows.Open();
    TRipDlg* dialog = windows.RipDialog();
    ASSERT_NE(dialog, nullptr);
    QTemporaryDir music;
    dialog->DestinationEdit()->setText(music.path());
    dialog->AlbumFolderEdit()->setText("Copy");
    dialog->EveryTrackButton()->setChecked(true);
    QTest::mouseClick(dialog->StartButton(), Qt::LeftButton);
    ASSERT_TRUE(windows.Running());
    ASSERT_NE(windows.ProgressWindow(), nullptr);
    EXPECT_TRUE(windows.ProgressWindow()->isVisible());
    EXPECT_FALSE(rip->isEnabled()) << "one copy at a time";
    EXPECT_FALSE(session->DriveBusy()) << "an image plays on while it is copied";
    QSignalSpy ended(&windows, &TRipWindows::ripEnded);
    ASSERT_TRUE(ended.wait(RipDeadlineMs));
    EXPECT_TRUE(!windows.ProgressWindow() || windows.ProgressWindow()->isHidden());
    EXPECT_TRUE(reporter.messages.isEmpty());
    TRipResultsDlg* results = windows.ResultsWindow();
    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(rip->isEnabled());
    ASSERT_EQ(results->List()->topLevelItemCount(), 3);
    for (int row = 0; row < 3; ++row) {
        QTreeWidgetItem* item = results->List()->topLevelItem(row);
        EXPECT_TRUE(
            item->text(0).startsWith(QStringLiteral("%1 - ").arg(row + 1, 2, 10, QLatin1Char('0'))))
            << item->text(0).toStdString();
        EXPECT_TRUE(item->text(0).endsWith(".flac")) << item->text(0).toStdString();
        EXPECT_EQ(item->text(1), "Copied - test and copy match");
    }
    EXPECT_EQ(results->SummaryText()->text(), "All tracks copied without errors");
    const QString folder = QDir(music.path()).filePath("Copy");
    EXPECT_TRUE(QFileInfo(folder).isDir());
    TUrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    ASSERT_TRUE(results->OpenFolderButton()->isEnabled());
    QTest::mouseClick(results->OpenFolderButton(), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].toLocalFile(), folder);
    session->ShutDown();
}

TEST_F(OpenImageTest, CancelStopsTheCopyAndTheProgressWindowGoesWhenTheRipperHasStopped) {
    // Long enough that the copy is still reading when Cancel is clicked.
    TDiscImage longDisc{{60, 60, 60}, 0, "long"};
    auto session = Start();
    ASSERT_TRUE(OpenImage::UseImage(*session, longDisc.Cue()));
    QWidget frame;
    TPlayerState state(session->Controller());
    TRipWindows windows(&frame, *session);
    windows.BindState(state);
    windows.Open();
    ASSERT_NE(windows.RipDialog(), nullptr);
    QTemporaryDir music;
    windows.RipDialog()->DestinationEdit()->setText(music.path());
    QTest::mouseClick(windows.RipDialog()->StartButton(), Qt::LeftButton);
    TRipProgressDlg* progress = windows.ProgressWindow();
    ASSERT_NE(progress, nullptr);
    QSignalSpy ended(&windows, &TRipWindows::ripEnded);
    QTest::mouseClick(progress->CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(progress->CancelButton()->isEnabled());
    ASSERT_TRUE(ended.wait(RipDeadlineMs));
    EXPECT_TRUE(!windows.ProgressWindow() || windows.ProgressWindow()->isHidden());
    EXPECT_TRUE(reporter.messages.isEmpty()) << "a cancelled copy needs no message box";
    TRipResultsDlg* results = windows.ResultsWindow();
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->SummaryText()->text(), "The copy was cancelled");
    ASSERT_EQ(results->List()->topLevelItemCount(), 3);
    EXPECT_EQ(results->List()->topLevelItem(2)->text(1), "Not copied");
    EXPECT_TRUE(session->Menu().Action(CmRip)->isEnabled());
    session->ShutDown();
}

TEST_F(OpenImageTest, QuittingDuringACopyAsksAndNoKeepsItRunning) {
    TDiscImage longDisc{{60, 60, 60}, 0, "long"};
    auto session = Start();
    ASSERT_TRUE(OpenImage::UseImage(*session, longDisc.Cue()));
    QWidget frame;
    TPlayerState state(session->Controller());
    TRipWindows windows(&frame, *session);
    windows.BindState(state);
    EXPECT_TRUE(windows.MayQuit()) << "nothing to ask without a copy";
    EXPECT_TRUE(reporter.messages.isEmpty());
    windows.Open();
    QTemporaryDir music;
    windows.RipDialog()->DestinationEdit()->setText(music.path());
    QTest::mouseClick(windows.RipDialog()->StartButton(), Qt::LeftButton);
    ASSERT_TRUE(windows.Running());

    reporter.answers = {TMessageAnswer::No};
    EXPECT_FALSE(windows.MayQuit());
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].buttons, TMessageButtons::YesNo);
    EXPECT_EQ(reporter.messages[0].defaultAnswer, TMessageAnswer::No);
    EXPECT_TRUE(windows.Running());

    reporter.answers = {TMessageAnswer::Yes};
    EXPECT_TRUE(windows.MayQuit());
    EXPECT_FALSE(windows.Running());
    EXPECT_TRUE(!windows.ProgressWindow() || windows.ProgressWindow()->isHidden());
    EXPECT_TRUE(session->Menu().Action(CmRip)->isEnabled());
    session->ShutDown();
}

#include "ripwindows_test.moc"
