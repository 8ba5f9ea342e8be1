// The play controller on a generated disc image in the virtual drive, playing through the real
// sound server with its own 1-second timer: a queue plays to its end by itself, loop and repeat
// pick the next song, and the tray takes the album away and brings it back. Tracks last a second
// or two so the whole suite stays short.

#include "capturereporter.h"
#include "discimage.h"
#include "drivetesting.h"

#include "core/commandids.h"
#include "core/mcidevice.h"
#include "core/playcontroller.h"
#include "core/profile.h"
#include "platform/imagedrive.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The private server may take a moment before a new stream moves, and every song starts a new
// stream; songs add their own length.
constexpr int SlackMs = 5000;

class ControllerOnImageTest : public ::testing::Test {
protected:
    ControllerOnImageTest() : image({1.5, 1.2, 1.2}) {
        auto service = std::make_unique<TImageDrive>(image.Cue());
        device = std::make_unique<MCIDevice>(QStringLiteral("cdaudio"), std::move(service));
        controller = std::make_unique<TPlayController>(
            *device, folder.filePath(QStringLiteral("cdalb.idb")));
        controller->SetOptionQuery([this](int id) { return options.contains(id); });
        QObject::connect(controller.get(), &TPlayController::captionChanged, controller.get(),
                         [this] { songsStarted << controller->CurrentSong(); });
    }

    void SetUp() override {
        ASSERT_FALSE(image.Cue().isEmpty());
        controller->SetUp(); // the timer runs: the first tick opens the drive and loads the disc
        ASSERT_TRUE(WaitFor([this] { return controller->Album().IsLoaded(); }, 3000));
        ASSERT_EQ(controller->Queue().Count(), 3);
    }

    void TearDown() override { controller->ShutDown(); }

    bool WaitUntil(const std::function<bool()>& condition, int ms = SlackMs) {
        return WaitFor(condition, ms);
    }

    TDiscImage image;
    QTemporaryDir folder;
    std::unique_ptr<MCIDevice> device;
    std::unique_ptr<TPlayController> controller;
    QSet<int> options;
    QList<int> songsStarted;
    TCaptureReporter reporter;
};

TEST_F(ControllerOnImageTest, PlaysFromTheFirstSongToTheLastByItselfAndStops) {
    QList<TCDCompletion> completions;
    QObject::connect(device.get(), &MCIDevice::notify, device.get(),
                     [&](TCDCompletion kind) { completions << kind; });
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(controller->SelectAndPlay(0), 0);
    ASSERT_TRUE(WaitUntil([this] { return controller->IsStopped(); }, 3900 + 3 * SlackMs))
        << "position " << device->Status(Mci::kStatusItem, Mci::kStatusPosition) << " current "
        << controller->CurrentSong() << " songs " << songsStarted.size() << " completions "
        << completions.size() << " mode " << device->Status(Mci::kStatusItem, Mci::kStatusMode);
    EXPECT_GE(clock.elapsed(), 3500) << "three songs of 3.9 s in all cannot end sooner";
    EXPECT_GE(completions.count(TCDCompletion::Successful), 1)
        << "the drive's completions move the queue on";
    EXPECT_EQ(songsStarted.mid(songsStarted.lastIndexOf(0)), (QList<int>{0, 1, 2}));
    EXPECT_EQ(controller->CurrentSong(), 2);
    EXPECT_NE(device->Status(Mci::kStatusItem, Mci::kStatusMode), Mci::kModePlaying);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

TEST_F(ControllerOnImageTest, ContinuousLoopWrapsToTheFirstSong) {
    options.insert(CmContinuousLoop);
    ASSERT_EQ(controller->SelectAndPlay(2), 0);
    ASSERT_TRUE(WaitUntil([this] { return controller->CurrentSong() == 0; }, 1200 + SlackMs));
    EXPECT_FALSE(controller->IsStopped());
    EXPECT_TRUE(
        WaitUntil([this] { return device->Status(Mci::kStatusItem, Mci::kStatusPosition) > 200; }));
}

TEST_F(ControllerOnImageTest, RepeatPlaysTheSameSongAgain) {
    controller->ToggleRepeat();
    ASSERT_EQ(controller->SelectAndPlay(1), 0);
    const quint32 start = device->Status(Mci::kStatusItem | Mci::kTrack, Mci::kStatusPosition, 2);
    ASSERT_TRUE(WaitUntil(
        [&] { return device->Status(Mci::kStatusItem, Mci::kStatusPosition) > start + 900; },
        SlackMs));
    // After its end the position comes back to the song's start and moves on from there.
    ASSERT_TRUE(WaitUntil(
        [&] { return device->Status(Mci::kStatusItem, Mci::kStatusPosition) < start + 600; },
        1200 + SlackMs));
    EXPECT_EQ(controller->CurrentSong(), 1);
    EXPECT_FALSE(controller->IsStopped());
    EXPECT_EQ(songsStarted.count(1), 1) << "repeat seeks; it does not select the song again";
}

TEST_F(ControllerOnImageTest, OpeningTheTrayClosesAndSavesTheAlbumAndClosingItLoadsItAgain) {
    options.insert(CmAutoSaveAlbum);
    ASSERT_EQ(controller->SelectAndPlay(1), 0);
    const QString key = controller->Album().Key();
    ASSERT_FALSE(key.isEmpty());
    ASSERT_EQ(device->Set(Mci::kSetDoorOpen), 0u);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitUntil([this] { return !controller->Album().IsLoaded(); }, 1500));
    EXPECT_LE(clock.elapsed(), 1100) << "the album closes with the next tick";
    EXPECT_TRUE(controller->IsStopped());
    EXPECT_EQ(controller->Queue().Count(), 0);
    TProfile database(controller->Database().Path());
    EXPECT_EQ(database.ReadInt(key, QStringLiteral("CurrentSong"), -1), 1);

    ASSERT_EQ(device->Set(Mci::kSetDoorClosed), 0u);
    ASSERT_TRUE(WaitUntil([this] { return controller->Album().IsLoaded(); }, 2500));
    EXPECT_EQ(controller->Album().Key(), key);
    EXPECT_EQ(controller->CurrentSong(), 1) << "the saved current song";
}

} // namespace
