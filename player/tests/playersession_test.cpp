// The player's session without a window: the commands of the player dispatched by id on the
// hand-driven drive, the ids it leaves to a window, the menu items that flip options on the way,
// exit and raise asked of the window, the exit save, the custom view, the caption and the volume.

#include "capturereporter.h"
#include "controllerfixture.h"
#include "fakeauxoutput.h"
#include "manualdrive.h"

#include "core/app.h"
#include "core/commandids.h"
#include "core/displayfields.h"
#include "core/framegeometry.h"
#include "core/playersession.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        savedHome = qgetenv("KORVO_HOME");
        qputenv("KORVO_HOME", home.path().toLocal8Bit());
        app = std::make_unique<TApp>(home.filePath("korvo32"));
        auto service = std::make_unique<TManualDrive>(QVector<quint32>{30000, 45000, 60000});
        drive = service.get();
        session = std::make_unique<TPlayerSession>(*app, std::move(service), volume);
        Player().SetDisplay(&fields);
        session->SetUp();
        Player().Timer().stop();
        ASSERT_EQ(Player().LoadAlbum(true), 0);
    }
    void TearDown() override {
        session->ShutDown();
        session.reset();
        app.reset();
        qputenv("KORVO_HOME", savedHome);
    }

    TPlayController& Player() { return session->Controller(); }
    QList<int> QueueTracks() {
        QList<int> tracks;
        for (int i = 0; i < Player().Queue().Count(); ++i)
            tracks << Player().Queue().TrackNumber(i);
        return tracks;
    }

    QTemporaryDir home;
    QByteArray savedHome;
    TCaptureReporter reporter;
    TFakeAuxOutput volume{QStringList{"Master", "PCM"}};
    TFieldRecorder fields;
    std::unique_ptr<TApp> app;
    TManualDrive* drive = nullptr;
    std::unique_ptr<TPlayerSession> session;
};

// A command sent with modifiers held, and what the player and the drive show afterwards.
struct TCommandCase {
    const char* name;
    QList<int> before; // commands sent first
    int id;
    Qt::KeyboardModifiers held;
    bool playing;
    bool paused;
    bool repeat;
    bool muted;
    QString lastDoor; // the last tray request, empty for none
};

class SessionCommand : public Session, public ::testing::WithParamInterface<TCommandCase> {};

TEST_P(SessionCommand, ReachesThePlayerWithoutAWindow) {
    const TCommandCase& c = GetParam();
    for (int id : c.before)
        ASSERT_TRUE(session->Command(id)) << id;
    EXPECT_TRUE(session->Command(c.id, c.held));
    EXPECT_EQ(drive->playing, c.playing);
    EXPECT_EQ(Player().IsPaused(), c.paused);
    EXPECT_EQ(Player().IsStopped(), !c.playing && !c.paused);
    EXPECT_EQ(Player().IsRepeat(), c.repeat);
    EXPECT_EQ(Player().IsMuted(), c.muted);
    EXPECT_EQ(session->Volume().IsMuted(), c.muted) << "the volume follows the drive's mute";
    const QStringList doors = drive->Requests("door");
    EXPECT_EQ(doors.isEmpty() ? QString() : doors.last(), c.lastDoor);
}

const Qt::KeyboardModifiers None = Qt::NoModifier;

INSTANTIATE_TEST_SUITE_P(
    Transport, SessionCommand,
    ::testing::Values(
        TCommandCase{"Play", {}, CmPlay, None, true, false, false, false, {}},
        TCommandCase{"PlayButton", {}, CmPlayButton, None, true, false, false, false, {}},
        TCommandCase{"Pause", {CmPlay}, CmPause, None, false, true, false, false, {}},
        TCommandCase{"Resume", {CmPlay, CmPause}, CmPause, None, true, false, false, false, {}},
        TCommandCase{"Stop", {CmPlay}, CmStop, None, false, false, false, false, {}},
        TCommandCase{"Repeat", {}, CmRepeat, None, false, false, true, false, {}},
        TCommandCase{"Mute", {CmPlay}, CmMute, None, true, false, false, true, {}},
        TCommandCase{"Eject", {CmPlay}, CmEject, None, false, false, false, false, "door open"},
        TCommandCase{"Retract", {}, CmRetract, None, false, false, false, false, "door closed"},
        TCommandCase{"EjectRetractOpens",
                     {CmPlay},
                     CmEjectRetract,
                     None,
                     false,
                     false,
                     false,
                     false,
                     "door open"},
        TCommandCase{"ShiftEjects",
                     {},
                     CmEjectRetract,
                     Qt::ShiftModifier,
                     false,
                     false,
                     false,
                     false,
                     "door open"},
        TCommandCase{"CtrlRetracts",
                     {},
                     CmEjectRetract,
                     Qt::ControlModifier,
                     false,
                     false,
                     false,
                     false,
                     "door closed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Session, CirculatePlaysTheNextSongOfTheQueue) {
    ASSERT_TRUE(session->Command(CmPlay));
    const int first = Player().CurrentSong();
    ASSERT_TRUE(session->Command(CmCirculate));
    EXPECT_EQ(Player().CurrentSong(), first + 1);
    EXPECT_TRUE(drive->playing);
}

// Queue edits by id: the selected row moves one step, or to the end with Shift; Remove takes it.
struct TQueueCase {
    const char* name;
    int select;
    int id;
    Qt::KeyboardModifiers held;
    QList<int> tracks;
};

class SessionQueue : public Session, public ::testing::WithParamInterface<TQueueCase> {};

TEST_P(SessionQueue, EditsTheSelectedRow) {
    const TQueueCase& c = GetParam();
    ASSERT_EQ(QueueTracks(), (QList<int>{1, 2, 3}));
    ASSERT_TRUE(Player().Queue().Select(c.select));
    EXPECT_TRUE(session->Command(c.id, c.held));
    EXPECT_EQ(QueueTracks(), c.tracks);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, SessionQueue,
    ::testing::Values(TQueueCase{"Down", 0, CmMoveDown, None, {2, 1, 3}},
                      TQueueCase{"DownToEnd", 0, CmMoveDown, Qt::ShiftModifier, {2, 3, 1}},
                      TQueueCase{"Up", 2, CmMoveUp, None, {1, 3, 2}},
                      TQueueCase{"UpToTop", 2, CmMoveUp, Qt::ShiftModifier, {3, 1, 2}},
                      TQueueCase{"Remove", 1, CmSongRemove, None, {1, 3}},
                      TQueueCase{"SortBack", 0, CmAlbumSort, None, {1, 2, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Session, CloseAndSaveReachTheAlbumAndItsDatabase) {
    Player().Album().SetTitle(QStringLiteral("Coastal Roads"));
    ASSERT_TRUE(session->Command(CmAlbumSave));
    EXPECT_TRUE(QFile::exists(app->DatabasePath()));
    ASSERT_TRUE(session->Command(CmAlbumClose));
    EXPECT_FALSE(Player().Album().IsLoaded());
    ASSERT_EQ(Player().LoadAlbum(true), 0);
    EXPECT_EQ(Player().Album().Title(), QStringLiteral("Coastal Roads"));
}

// Views, bars, dialogs and help are a window's: the session declines them, and from the menu
// they go on to the window.
TEST_F(Session, LeavesWindowCommandsToTheWindow) {
    QSignalSpy toWindow(session.get(), &TPlayerSession::windowCommand);
    for (int id : {CmViewEverything, CmQueueBox, CmMenuBar, CmSetFont, CmAlbumProperties,
                   CmVolumeDevice, CmHelpContents, CmAbout, CmMiniHelp}) {
        EXPECT_FALSE(session->Command(id)) << id;
        session->Trigger(id);
        ASSERT_FALSE(toWindow.isEmpty()) << id;
        EXPECT_EQ(toWindow.takeLast().at(0).toInt(), id);
    }
    session->Trigger(CmStop);
    EXPECT_TRUE(toWindow.isEmpty());
}

// An option sent as its menu item flips its check mark, and the player shows the change.
TEST_F(Session, TriggeredOptionsFlipTheirCheckMarkFirst) {
    const std::pair<int, int> words[] = {{CmContinuousLoop, WordLoop}, {CmRandomOrder, WordRandom}};
    for (const auto& [option, word] : words) {
        session->Options().SetChecked(option, false);
        session->Trigger(option);
        EXPECT_TRUE(session->Options().IsChecked(option));
        EXPECT_FALSE(fields[word].isEmpty()) << option;
        session->Trigger(option);
        EXPECT_FALSE(session->Options().IsChecked(option));
        EXPECT_TRUE(fields[word].isEmpty()) << option;
    }
}

TEST_F(Session, ExitAndRaiseAreAskedOfTheWindow) {
    QSignalSpy quit(session.get(), &TPlayerSession::quitRequested);
    QSignalSpy raise(session.get(), &TPlayerSession::raiseRequested);
    EXPECT_TRUE(session->Command(CmExit));
    session->Quit();
    session->Raise();
    EXPECT_EQ(quit.count(), 2);
    EXPECT_EQ(raise.count(), 1);
}

TEST_F(Session, ExitSaveKeepsTheWindowOnlyWhenAsked) {
    const QString ini = app->SettingsPath();
    session->Options().SetChecked(CmSaveSettingsOnExit, true);
    EXPECT_FALSE(session->MayClose(true)) << "Shift keeps the window open";
    ASSERT_TRUE(QFile::exists(ini));
    QFile::remove(ini);
    EXPECT_TRUE(session->MayClose(false));
    EXPECT_TRUE(QFile::exists(ini));
}

TEST_F(Session, CustomViewRoundTripsThroughTheSettings) {
    EXPECT_EQ(session->CustomView(), TFrameGeometry::Elements()) << "everything by default";
    const QList<int> view{CmMenuBar, CmVolumeBar, CmStatusBar};
    session->SaveCustomView(view);
    EXPECT_EQ(session->CustomView(), view);
}

TEST_F(Session, CaptionNamesTheAlbumAndMinimisedTheSong) {
    Player().Album().SetTitle(QString());
    EXPECT_EQ(session->Caption(false), "Korvo");
    ASSERT_TRUE(session->Command(CmPlay));
    const QString song = Player().CurrentTitle();
    EXPECT_EQ(session->Caption(true), QStringLiteral("%1 (1)").arg(song));
    Player().Album().SetTitle(QStringLiteral("Coastal Roads"));
    EXPECT_EQ(session->Caption(false), "Coastal Roads");
    EXPECT_EQ(session->Caption(true), QStringLiteral("Coastal Roads - %1 (1)").arg(song));
}

// The volume model the volume bar and the media controls share.
TEST_F(Session, VolumeLevelDrivesBothChannelsOfTheChosenDevice) {
    TVolumeModel& model = session->Volume();
    QSignalSpy level(&model, &TVolumeModel::levelChanged);
    model.SetLevel(5000);
    EXPECT_EQ(volume.SetCalls, 0) << "no device yet: the level is disabled";
    EXPECT_EQ(model.Level(), 0);

    volume.SetVolume(1, TAuxOutput::MakeVolume(16384, 65535));
    model.SetUp(2);
    EXPECT_TRUE(model.IsEnabled());
    EXPECT_EQ(model.Level(), 2500) << "read from the left channel";
    model.SetLevel(10000);
    EXPECT_EQ(volume.Volume(1), TAuxOutput::MakeVolume(65535, 65535));
    EXPECT_EQ(volume.Volume(0), 0u);
    EXPECT_EQ(level.count(), 2);

    model.SetUp(0);
    EXPECT_FALSE(model.IsEnabled());
}

} // namespace
