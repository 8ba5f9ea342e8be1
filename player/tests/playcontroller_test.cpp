// The play controller on the hand-driven drive: the order rules when a song ends, stopping at the
// end, the shown time, pause, seek and fast wind, the timer's end and stuck rules, disc changes,
// automatic opens and the exit behaviour. Ticks are sent by the tests.

#include "controllerfixture.h"

#include "core/commandids.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>

namespace {

class PlayControllerTest : public ControllerFixture {};

TEST_F(PlayControllerTest, AFirstSeenDiscLoadsUntitledInOriginalOrderAndAutoPlaysSongZero) {
    Check(CmAutoPlay);
    Load();
    EXPECT_EQ(controller->Album().Title(), QStringLiteral("Untitled"));
    EXPECT_EQ(controller->Titles().TextAt(2), QStringLiteral("Track 3"));
    EXPECT_EQ(controller->Queue().TextAt(1), QStringLiteral("2\tTrack 2\t00:45"));
    EXPECT_EQ(controller->CurrentSong(), 0);
    EXPECT_FALSE(controller->IsStopped());
    EXPECT_EQ(fields[WordPlay], QStringLiteral("PLAY"));
    EXPECT_EQ(fields[FieldTrack], QStringLiteral("01"));
    EXPECT_EQ(fields[FieldLength], QStringLiteral("00:30"));
    EXPECT_EQ(fields[FieldTotal], QStringLiteral("03"));
    EXPECT_EQ(drive->Requests("play").last(), QStringLiteral("play - 30000 n"));
    EXPECT_TRUE(hints.shown.contains(QStringLiteral("Loading album from disk...")));
    EXPECT_EQ(hints.open, 0);
}

TEST_F(PlayControllerTest, WithoutAutoPlayTheFirstSongIsOnlySelected) {
    Load();
    EXPECT_EQ(controller->CurrentSong(), 0);
    EXPECT_EQ(controller->Queue().Selected(), 0);
    EXPECT_TRUE(controller->IsStopped());
    EXPECT_TRUE(drive->Requests("play").isEmpty());
}

TEST_F(PlayControllerTest, EndOfSongFollowsTheQueue) {
    Check(CmAutoPlay);
    Load();
    FinishSong();
    EXPECT_EQ(controller->CurrentSong(), 1);
    EXPECT_EQ(drive->Requests("play").last(), QStringLiteral("play - 75000 n"));
    FinishSong();
    EXPECT_EQ(controller->CurrentSong(), 2);
    EXPECT_EQ(drive->Requests("play").last(), QStringLiteral("play - - n"))
        << "the last song plays to the end of the disc";
}

struct EndCase {
    const char* name;
    bool elapsed;
    const char* shown;
};

class StopAtTheEndTest : public ControllerFixture, public ::testing::WithParamInterface<EndCase> {};

TEST_P(StopAtTheEndTest, WithoutLoopThePlayerStopsAfterTheLastSong) {
    Check(CmElapsedTime, GetParam().elapsed);
    Load();
    ASSERT_EQ(controller->SelectAndPlay(2), 0);
    drive->Advance(20'000);
    controller->Tick();
    FinishSong();
    EXPECT_TRUE(controller->IsStopped());
    EXPECT_FALSE(controller->IsTracking());
    EXPECT_EQ(controller->CurrentSong(), 2);
    EXPECT_EQ(fields[FieldTime], QString::fromLatin1(GetParam().shown));
    EXPECT_TRUE(fields[WordPlay].isEmpty());
    EXPECT_EQ(controller->BarPosition(), 0);
    EXPECT_FALSE(controller->BarEnabled());
    // The timer does not restart a stopped player, whatever the options say then.
    controller->ToggleRepeat();
    for (int i = 0; i < 15; ++i)
        controller->Tick();
    EXPECT_TRUE(controller->IsStopped());
    EXPECT_EQ(drive->Requests("play").size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, StopAtTheEndTest,
                         ::testing::Values(EndCase{"Elapsed", true, "00:00"},
                                           EndCase{"Remaining", false, "01:00"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayControllerTest, ContinuousLoopWrapsToTheFirstSong) {
    Check(CmContinuousLoop);
    Load();
    ASSERT_EQ(controller->SelectAndPlay(2), 0);
    FinishSong();
    EXPECT_EQ(controller->CurrentSong(), 0);
    EXPECT_FALSE(controller->IsStopped());
}

TEST_F(PlayControllerTest, RepeatWinsOverEveryOrderOption) {
    Check(CmContinuousLoop);
    Check(CmRandomOrder);
    Load();
    ASSERT_EQ(controller->SelectAndPlay(1), 0);
    controller->ToggleRepeat();
    EXPECT_EQ(fields[WordRepeat], QStringLiteral("REPEAT"));
    for (int i = 0; i < 5; ++i) {
        FinishSong();
        EXPECT_EQ(controller->CurrentSong(), 1);
        EXPECT_EQ(drive->log.last(), QStringLiteral("play - 75000 n"));
        EXPECT_EQ(drive->log[drive->log.size() - 2], QStringLiteral("seek 30000"));
    }
}

TEST_F(PlayControllerTest, RandomOrderWithoutLoopNeverStops) {
    Check(CmRandomOrder);
    Load();
    ASSERT_EQ(controller->SelectAndPlay(2), 0);
    QSet<int> drawn;
    for (int i = 0; i < 60; ++i) {
        FinishSong();
        ASSERT_FALSE(controller->IsStopped()) << "after song " << i;
        drawn.insert(controller->CurrentSong());
    }
    EXPECT_EQ(drawn.size(), 3);
}

TEST_F(PlayControllerTest, OtherCompletionsAreIgnored) {
    Load();
    ASSERT_EQ(controller->SelectAndPlay(0), 0);
    ASSERT_EQ(controller->SelectAndPlay(1), 0); // supersedes the first range
    controller->Stop();                         // aborts the second
    QCoreApplication::processEvents();
    EXPECT_EQ(controller->CurrentSong(), 1);
    EXPECT_TRUE(controller->IsStopped());
}

TEST_F(PlayControllerTest, TimerShowsProgressOnlyAfterMoreThan925Milliseconds) {
    Check(CmElapsedTime);
    Load();
    ASSERT_EQ(controller->SelectAndPlay(1), 0);
    const int before = fields.writes[FieldTime];
    drive->Advance(925);
    controller->Tick();
    EXPECT_EQ(fields.writes[FieldTime], before);
    EXPECT_EQ(controller->BarPosition(), 0);
    drive->Advance(1);
    controller->Tick();
    EXPECT_EQ(fields.writes[FieldTime], before + 1);
    drive->Advance(8'074); // 9 s into a 45 s song
    controller->Tick();
    EXPECT_EQ(fields[FieldTime], QStringLiteral("00:09"));
    EXPECT_EQ(controller->BarPosition(), 2000);
    EXPECT_EQ(controller->Progress(), 21);
}

TEST_F(PlayControllerTest, AStuckSongIsLeftAfterMoreThanTenTicks) {
    Load();
    ASSERT_EQ(controller->SelectAndPlay(0), 0);
    drive->stuck = true;
    for (int i = 0; i < 10; ++i)
        controller->Tick();
    EXPECT_EQ(controller->CurrentSong(), 0);
    controller->Tick();
    EXPECT_EQ(controller->CurrentSong(), 1);
}

TEST_F(PlayControllerTest, WithoutCirculateIfStuckTheSongStays) {
    controller->SetCirculateIfStuck(false);
    Load();
    ASSERT_EQ(controller->SelectAndPlay(0), 0);
    drive->stuck = true;
    for (int i = 0; i < 30; ++i)
        controller->Tick();
    EXPECT_EQ(controller->CurrentSong(), 0);
    EXPECT_FALSE(controller->IsStopped());
}

TEST_F(PlayControllerTest, ASongStandingAtItsEndForTwoTicksEnds) {
    controller->SetCirculateIfStuck(false);
    Load();
    ASSERT_EQ(controller->SelectAndPlay(0), 0);
    drive->notifyPending = false; // the completion got lost
    drive->Advance(30'000);
    controller->Tick();
    EXPECT_EQ(controller->CurrentSong(), 0);
    controller->Tick();
    EXPECT_EQ(controller->CurrentSong(), 1);
}

TEST_F(PlayControllerTest, PauseResumesFromWhereItStopped) {
    Load();
    ASSERT_EQ(controller->SelectAndPlay(1), 0);
    drive->Advance(12'345);
    controller->PauseOrResume();
    EXPECT_TRUE(controller->IsPaused());
    EXPECT_FALSE(controller->IsTracking());
    EXPECT_EQ(fields[WordPause], QStringLiteral("PAUSE"));
    EXPECT_EQ(controller->PausePosition(), 42'345);
    drive->position = 0; // whatever the drive does meanwhile
    controller->PauseOrResume();
    EXPECT_FALSE(controller->IsPaused());
    EXPECT_TRUE(fields[WordPause].isEmpty());
    EXPECT_EQ(drive->log.last(), QStringLiteral("play 42345 75000 n"));
}

TEST_F(PlayControllerTest, PauseThenStopDisablesPauseAndPlayStartsTheSongFromItsBeginning) {
    Load();
    QSignalSpy pauseEnabled(controller.get(), &TPlayController::pauseEnabledChanged);
    QSignalSpy pauseChecked(controller.get(), &TPlayController::pauseChanged);
    ASSERT_EQ(controller->SelectAndPlay(1), 0);
    drive->Advance(5'000);
    controller->PauseOrResume();
    controller->Stop();
    EXPECT_TRUE(controller->IsStopped());
    EXPECT_FALSE(controller->IsPaused());
    EXPECT_FALSE(pauseEnabled.last()[0].toBool());
    EXPECT_FALSE(pauseChecked.last()[0].toBool());
    controller->PauseOrResume(); // refused while stopped
    EXPECT_FALSE(controller->IsPaused());
    ASSERT_EQ(controller->PlaySelected(), 0);
    EXPECT_EQ(drive->log.last(), QStringLiteral("play 30000 75000 n"));
}

TEST_F(PlayControllerTest, SeekPlaysFromTheBarPositionToTheSongEnd) {
    Load();
    ASSERT_EQ(controller->SelectAndPlay(2), 0);
    ASSERT_EQ(controller->Seek(2500), 0);
    EXPECT_EQ(drive->log[drive->log.size() - 2], QStringLiteral("seek 90000"));
    EXPECT_EQ(drive->log.last(), QStringLiteral("play - - n"));
    EXPECT_EQ(fields[FieldTime], QStringLiteral("00:45")) << "remaining of 60 s after 15 s";
    EXPECT_EQ(hints.shown.last(), QStringLiteral("Seeking in song..."));
    EXPECT_EQ(hints.open, 0);
    ASSERT_EQ(controller->Seek(20000), 0);
    EXPECT_EQ(controller->BarPosition(), 10000) << "positions beyond the bar are clamped";
}

TEST_F(PlayControllerTest, FastWindMovesTheBarAndSeeksOnceOnRelease) {
    Check(CmElapsedTime);
    Load();
    ASSERT_EQ(controller->SelectAndPlay(2), 0);
    const int requests = drive->log.size();
    for (int i = 0; i < 20; ++i)
        controller->FastWindStep(+1);
    EXPECT_EQ(controller->BarPosition(), 2000);
    EXPECT_EQ(controller->PendingPosition(), 2000);
    EXPECT_EQ(fields[FieldTime], QStringLiteral("00:12"));
    EXPECT_EQ(drive->log.size(), requests) << "nothing reaches the drive while the button is held";
    controller->FastWindRelease();
    EXPECT_EQ(controller->PendingPosition(), -1);
    EXPECT_EQ(drive->Requests("seek"), QStringList{QStringLiteral("seek 87000")});
    controller->FastWindRelease(); // nothing pending: no second seek
    EXPECT_EQ(drive->Requests("seek").size(), 1);
    for (int i = 0; i < 50; ++i)
        controller->FastWindStep(-1);
    EXPECT_EQ(controller->BarPosition(), 0);
}

TEST_F(PlayControllerTest, FastWindIsIgnoredWhileStopped) {
    Load();
    controller->FastWindStep(+1);
    controller->FastWindRelease();
    EXPECT_EQ(controller->PendingPosition(), -1);
    EXPECT_TRUE(drive->Requests("seek").isEmpty());
}

TEST_F(PlayControllerTest, ElapsedToggleRecomputesTheTimeFromTheBar) {
    Load();
    ASSERT_EQ(controller->SelectAndPlay(0), 0);
    controller->ThumbTrack(5000);
    EXPECT_EQ(fields[FieldTime], QStringLiteral("00:15"));
    Check(CmElapsedTime);
    controller->OptionToggled(CmElapsedTime);
    EXPECT_EQ(fields[FieldTime], QStringLiteral("00:15"));
    controller->ThumbTrack(10000);
    EXPECT_EQ(fields[FieldTime], QStringLiteral("00:30"));
    Check(CmElapsedTime, false);
    controller->OptionToggled(CmElapsedTime);
    EXPECT_EQ(fields[FieldTime], QStringLiteral("00:00"));
}

TEST_F(PlayControllerTest, OptionWordsFollowTheirCheckMarks) {
    Check(CmContinuousLoop);
    controller->ShowOptionWords();
    EXPECT_EQ(fields[WordLoop], QStringLiteral("LOOP"));
    EXPECT_TRUE(fields[WordRandom].isEmpty());
    Check(CmRandomOrder);
    Check(CmContinuousLoop, false);
    controller->OptionToggled(CmRandomOrder);
    EXPECT_EQ(fields[WordRandom], QStringLiteral("RANDOM"));
    EXPECT_TRUE(fields[WordLoop].isEmpty());
}

TEST_F(PlayControllerTest, MuteSwitchesTheDriveAudio) {
    Load();
    controller->ToggleMute();
    EXPECT_FALSE(drive->audioOn);
    EXPECT_EQ(fields[WordMute], QStringLiteral("MUTE"));
    controller->ToggleMute();
    EXPECT_TRUE(drive->audioOn);
    EXPECT_TRUE(fields[WordMute].isEmpty());
}

TEST_F(PlayControllerTest, AFailedPlayReportsAndLeavesThePlayerStopped) {
    Load();
    drive->playFails = true;
    EXPECT_EQ(controller->SelectAndPlay(1), -1);
    EXPECT_TRUE(controller->IsStopped());
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].caption, QStringLiteral("Korvo"));
}

TEST_F(PlayControllerTest, FiveFailedOpensThenNoMoreAttempts) {
    drive->openFails = true;
    for (int i = 0; i < 12; ++i)
        controller->Tick();
    EXPECT_EQ(drive->openCalls, 5);
    EXPECT_EQ(controller->OpenAttempts(), 5);
    EXPECT_TRUE(reporter.messages.isEmpty()) << "automatic opens show nothing";
    // The Open command reports, and a drive that opens again restarts the count.
    controller->OpenCommand();
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_TRUE(reporter.messages[0].text.startsWith(QStringLiteral("Unable to open the device.")));
    drive->openFails = false;
    controller->OpenCommand();
    EXPECT_TRUE(controller->Album().IsLoaded());
    controller->Tick();
    EXPECT_EQ(controller->OpenAttempts(), 0);
}

TEST_F(PlayControllerTest, ALoadOrTickArrivingInsideALoadIsRefused) {
    int innerLoad = 0;
    hints.onShow = [&](const QString&) {
        innerLoad = controller->LoadAlbum(true);
        controller->Tick();
    };
    controller->Tick();
    hints.onShow = nullptr;
    EXPECT_EQ(innerLoad, -1);
    EXPECT_TRUE(controller->Album().IsLoaded());
    EXPECT_EQ(drive->openCalls, 1) << "the inner tick must not open the drive again";
    EXPECT_EQ(controller->Queue().Count(), 3);
}

TEST_F(PlayControllerTest, TheFirstTickLoadsTheDisc) {
    Check(CmAutoPlay);
    controller->Tick();
    EXPECT_TRUE(controller->Album().IsLoaded());
    EXPECT_FALSE(controller->IsStopped());
}

TEST_F(PlayControllerTest, OpeningTheTrayClosesTheAlbumAndSavesItWithAutoSave) {
    Check(CmAutoPlay);
    Check(CmAutoSaveAlbum);
    controller->Tick();
    ASSERT_EQ(controller->SelectAndPlay(2), 0);
    device->Set(Mci::kSetDoorOpen);
    controller->Tick();
    EXPECT_FALSE(controller->Album().IsLoaded());
    EXPECT_TRUE(controller->IsStopped());
    EXPECT_EQ(controller->Queue().Count(), 0);
    EXPECT_EQ(controller->CurrentSong(), -1);
    EXPECT_TRUE(fields[FieldTime].isEmpty());
    EXPECT_EQ(TAlbumDatabase(databasePath).ReadAlbum(QStringLiteral("135304560"), 3).currentSong,
              2);
    drive->InsertDisc({30'000, 45'000, 60'000});
    controller->Tick();
    EXPECT_TRUE(controller->Album().IsLoaded());
    EXPECT_EQ(controller->CurrentSong(), 2) << "the saved current song plays again";
}

// The disc has gone, so the album cannot stay: a failed auto-save is told, not asked about, and
// the next disc loads as usual.
TEST_F(PlayControllerTest, RemovingTheDiscReportsAnAutoSaveThatFailedAndClosesTheAlbum) {
    Check(CmAutoSaveAlbum);
    controller->Tick();
    ASSERT_TRUE(controller->Album().IsLoaded());
    ASSERT_TRUE(
        QDir().mkdir(databasePath)); // a folder where the file goes: unwritable for root too
    device->Set(Mci::kSetDoorOpen);
    controller->Tick();
    EXPECT_FALSE(controller->Album().IsLoaded());
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text,
              QStringLiteral("The album could not be saved to %1.").arg(databasePath));
    EXPECT_EQ(reporter.messages[0].buttons, TMessageButtons::Ok);
    drive->InsertDisc({30'000, 45'000, 60'000});
    controller->Tick();
    EXPECT_TRUE(controller->Album().IsLoaded());
    EXPECT_EQ(reporter.messages.size(), 1);
}

TEST_F(PlayControllerTest, OneTrackDiscsAreSkippedAutomaticallyButOpenedOnCommand) {
    Check(CmIgnoreOneTrackCds);
    drive->InsertDisc({300'000});
    controller->Tick();
    EXPECT_TRUE(device->IsOpen());
    EXPECT_FALSE(controller->Album().IsLoaded());
    controller->Tick();
    EXPECT_FALSE(controller->Album().IsLoaded());
    controller->OpenCommand();
    EXPECT_TRUE(controller->Album().IsLoaded());
    EXPECT_TRUE(reporter.messages.isEmpty());
}

TEST_F(PlayControllerTest, ExitWithStopPlayOnExitStopsTheDrive) {
    Check(CmStopPlayOnExit);
    Load();
    ASSERT_EQ(controller->SelectAndPlay(0), 0);
    controller->ToggleMute();
    controller->ShutDown();
    EXPECT_TRUE(controller->IsStopped());
    EXPECT_FALSE(drive->playing);
    EXPECT_TRUE(drive->audioOn);
    EXPECT_FALSE(device->IsOpen());
}

TEST_F(PlayControllerTest, ExitWhilePlayingLeavesTheDiscPlayingToItsEnd) {
    Load();
    ASSERT_EQ(controller->SelectAndPlay(0), 0);
    drive->Advance(3'000);
    controller->ToggleMute();
    controller->ShutDown();
    EXPECT_TRUE(drive->playing);
    EXPECT_EQ(drive->log.last(2 + 1).join(QLatin1Char('|')),
              QStringLiteral("stop|play - - -|audio on"));
    EXPECT_TRUE(drive->audioOn);
    EXPECT_TRUE(device->IsOpen()) << "closing would silence the disc";
    EXPECT_FALSE(controller->Timer().isActive());
}

} // namespace
