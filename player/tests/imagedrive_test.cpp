// The image drive playing through the real sound server: ranges, completions, pause, seek, mute,
// tray and a disc that goes away while playing. Real-time playback is kept to a second or two.

#include "discimage.h"
#include "drivetesting.h"

#include "platform/imagedrive.h"
#include "platform/libcdiodrive.h"

#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// A private test server may take a moment before a new stream starts to move.
constexpr int kStartMs = 4000;

class ImageDriveTest : public ::testing::Test {
protected:
    ImageDriveTest() : image_({3, 4, 2.5}), drive_(image_.Cue()), log_(drive_) {}

    void SetUp() override {
        ASSERT_FALSE(image_.Cue().isEmpty());
        ASSERT_EQ(drive_.Open(), TCDError::None);
        ASSERT_EQ(drive_.Ready().value, 1u);
    }

    quint32 Start(int t) { return drive_.TrackStart(t).value; }
    quint32 End(int t) { return Start(t) + drive_.TrackLength(t).value; }
    quint32 Position() { return drive_.Position().value; }
    bool PlaysPast(quint32 ms) {
        return WaitFor([&] { return Position() > ms; }, kStartMs);
    }

    TDiscImage image_;
    TImageDrive drive_;
    TCompletionLog log_;
};

TEST_F(ImageDriveTest, PlaysTheEndOfATrackOnceWithThePositionNeverAheadOfWhatWasHeard) {
    const quint32 from = End(2) - 1500, to = End(2);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(drive_.Play(from, to, true), TCDError::None);
    EXPECT_EQ(drive_.Mode(), TCDMode::Playing);
    quint32 last = from;
    qint64 reachedEnd = -1;
    const bool ended = WaitFor(
        [&] {
            const quint32 position = Position();
            // Nothing can have been heard before Play was called.
            EXPECT_LE(qint64(position) - from, clock.elapsed() + 200) << "position ran ahead";
            EXPECT_GE(position, last) << "position went back";
            last = position;
            if (position == to && reachedEnd < 0)
                reachedEnd = clock.elapsed();
            return !log_.kinds.isEmpty();
        },
        kStartMs + 3000);
    ASSERT_TRUE(ended) << "no completion; position " << Position();
    EXPECT_GE(clock.elapsed(), 1400) << "a 1.5 s range cannot end sooner";
    // The range ends when its last sample has been heard; a position that counted what was read
    // or queued would reach the end while the output still held a buffer full.
    ASSERT_GE(reachedEnd, 0) << "the position never showed the end of the range";
    EXPECT_LE(clock.elapsed() - reachedEnd, 200) << "position ran ahead of what was heard";
    Idle(300);
    EXPECT_EQ(log_.kinds, QList<TCDCompletion>{TCDCompletion::Successful});
    EXPECT_EQ(Position(), to);
    EXPECT_EQ(drive_.Mode(), TCDMode::Stopped);
}

TEST_F(ImageDriveTest, EveryInterruptedRangeGivesOneOtherCompletion) {
    ASSERT_EQ(drive_.Play(Start(2), End(2), true), TCDError::None);
    ASSERT_EQ(drive_.Stop(), TCDError::None);
    ASSERT_EQ(drive_.Play(Start(1), End(1), true), TCDError::None);
    ASSERT_EQ(drive_.Play(Start(3), End(3), true), TCDError::None);
    ASSERT_EQ(drive_.Seek(TCDSeek::Position, 500), TCDError::None);
    ASSERT_EQ(drive_.Play(Start(1), End(1), false), TCDError::None);
    ASSERT_EQ(drive_.Stop(), TCDError::None);
    EXPECT_TRUE(log_.kinds.isEmpty()) << "completions come through the event loop";
    Idle(300);
    EXPECT_EQ(log_.kinds, (QList<TCDCompletion>{TCDCompletion::Aborted, TCDCompletion::Superseded,
                                                TCDCompletion::Aborted}))
        << "one per notified range; the unnotified range reports nothing";
}

TEST_F(ImageDriveTest, PauseKeepsThePositionAndPlayGoesOnFromIt) {
    const quint32 from = Start(2) + 1000;
    ASSERT_EQ(drive_.Play(from, End(2), true), TCDError::None);
    ASSERT_TRUE(PlaysPast(from + 300));
    ASSERT_EQ(drive_.Pause(), TCDError::None);
    const quint32 paused = Position();
    EXPECT_EQ(drive_.Mode(), TCDMode::Paused);
    Idle(400);
    EXPECT_EQ(Position(), paused) << "a paused drive stands still";
    EXPECT_EQ(log_.kinds, QList<TCDCompletion>{TCDCompletion::Aborted});

    ASSERT_EQ(drive_.Play(paused, End(2), true), TCDError::None);
    EXPECT_EQ(drive_.Mode(), TCDMode::Playing);
    EXPECT_GE(Position(), paused);
    ASSERT_TRUE(PlaysPast(paused + 200));
    EXPECT_LT(Position(), paused + 2000) << "it went on from the pause, not from elsewhere";
}

TEST_F(ImageDriveTest, SeekMovesThePositionAndPlayContinuesFromThere) {
    ASSERT_EQ(drive_.Play(Start(1), End(1), false), TCDError::None);
    const quint32 target = End(3) - 600;
    ASSERT_EQ(drive_.Seek(TCDSeek::Position, target), TCDError::None);
    EXPECT_EQ(drive_.Mode(), TCDMode::Stopped) << "seeking stops playback";
    EXPECT_EQ(Position(), target);
    EXPECT_EQ(drive_.Seek(TCDSeek::Position, End(3) + 1), TCDError::OutOfRange);
    EXPECT_EQ(Position(), target);

    ASSERT_EQ(drive_.Play(std::nullopt, std::nullopt, true), TCDError::None);
    ASSERT_TRUE(WaitFor([&] { return !log_.kinds.isEmpty(); }, kStartMs + 2000));
    EXPECT_EQ(log_.kinds, QList<TCDCompletion>{TCDCompletion::Successful});
    EXPECT_EQ(Position(), drive_.DiscLength().value) << "from the seek position to the end of disc";

    ASSERT_EQ(drive_.Seek(TCDSeek::Start, 0), TCDError::None);
    EXPECT_EQ(Position(), 0u);
    ASSERT_EQ(drive_.Seek(TCDSeek::End, 0), TCDError::None);
    EXPECT_EQ(Position(), drive_.DiscLength().value);
}

// Records what the test server's output carries for a while; the bytes of its monitor source.
QByteArray RecordOutput(int ms) {
    QProcess recorder;
    recorder.start(QStringLiteral("parec"),
                   {QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                    QStringLiteral("--channels=2"), QStringLiteral("--rate=44100"),
                    QStringLiteral("--latency-msec=20"), QStringLiteral("-d"),
                    QStringLiteral("nullsink.monitor")});
    EXPECT_TRUE(recorder.waitForStarted());
    Idle(ms);
    recorder.terminate();
    recorder.waitForFinished();
    return recorder.readAllStandardOutput();
}

int PeakOf(const QByteArray& pcm) {
    int peak = 0;
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
    for (qsizetype i = 0; i < pcm.size() / 2; ++i)
        peak = qMax(peak, qAbs(int(samples[i])));
    return peak;
}

TEST_F(ImageDriveTest, MuteSilencesTheOutputWhileThePositionMovesOn) {
    ASSERT_EQ(drive_.SetAudio(false), TCDError::None);
    ASSERT_EQ(drive_.Play(Start(2), End(2), true), TCDError::None);
    ASSERT_TRUE(PlaysPast(Start(2) + 200)) << "muted playback still moves";
    const quint32 before = Position();
    const QByteArray muted = RecordOutput(600);
    EXPECT_GT(Position(), before + 300);
    ASSERT_EQ(drive_.SetAudio(true), TCDError::None);
    Idle(300); // what was already in the output buffer was silent
    const QByteArray loud = RecordOutput(600);
    ASSERT_GT(muted.size(), 10000);
    ASSERT_GT(loud.size(), 10000);
    EXPECT_LT(PeakOf(muted), 64);
    EXPECT_GT(PeakOf(loud), 2000);
    EXPECT_TRUE(log_.kinds.isEmpty()) << "mute neither stops nor ends the range";
    EXPECT_EQ(drive_.Mode(), TCDMode::Playing);
}

TEST_F(ImageDriveTest, TheTrayOpensNotReadyAndClosesReady) {
    ASSERT_EQ(drive_.Play(Start(1), End(1), true), TCDError::None);
    ASSERT_EQ(drive_.SetDoor(true), TCDError::None);
    EXPECT_EQ(drive_.Ready().value, 0u);
    EXPECT_EQ(drive_.Mode(), TCDMode::Open);
    EXPECT_EQ(drive_.SetDoor(true), TCDError::DoorAlreadySet) << "Eject decides to close on this";
    EXPECT_EQ(drive_.Play(0, std::nullopt, true), TCDError::NotReady);
    Idle(200);
    EXPECT_EQ(log_.kinds, QList<TCDCompletion>{TCDCompletion::Aborted});

    ASSERT_EQ(drive_.SetDoor(false), TCDError::None);
    EXPECT_EQ(drive_.Ready().value, 1u);
    EXPECT_EQ(drive_.TrackCount().value, 3u);
    EXPECT_EQ(drive_.Position().value, 0u);
    EXPECT_EQ(drive_.SetDoor(false), TCDError::DoorAlreadySet);
}

TEST_F(ImageDriveTest, ADataTrackPlaysNothingAndItsPositionStandsStill) {
    TDiscImage mixed({2, 2, 2}, 2);
    TImageDrive drive(mixed.Cue());
    TCompletionLog log(drive);
    ASSERT_EQ(drive.Open(), TCDError::None);
    const quint32 start = drive.TrackStart(2).value;
    ASSERT_EQ(drive.Play(start, start + drive.TrackLength(2).value, true), TCDError::None);
    Idle(1500);
    EXPECT_EQ(drive.Position().value, start);
    EXPECT_EQ(drive.Mode(), TCDMode::Playing)
        << "the controller's stuck rule moves on, not the drive";
    EXPECT_TRUE(log.kinds.isEmpty());
    ASSERT_EQ(drive.Stop(), TCDError::None);
    Idle(100);
    EXPECT_EQ(log.kinds, QList<TCDCompletion>{TCDCompletion::Aborted});
}

TEST_F(ImageDriveTest, ADiscPulledOutWhilePlayingEndsTheRangeAndLeavesTheDriveNotReady) {
    TDiscImage longer({12});
    TImageDrive drive(longer.Cue());
    TCompletionLog log(drive);
    ASSERT_EQ(drive.Open(), TCDError::None);
    ASSERT_EQ(drive.Play(0, std::nullopt, true), TCDError::None);
    ASSERT_TRUE(WaitFor([&] { return drive.Position().value > 100; }, kStartMs));
    ASSERT_TRUE(longer.TruncateBin(2352 * 75));
    ASSERT_TRUE(WaitFor([&] { return !log.kinds.isEmpty(); }, 5000)) << "playback never noticed";
    EXPECT_EQ(log.kinds, QList<TCDCompletion>{TCDCompletion::Failure});
    EXPECT_EQ(drive.Ready().value, 0u);
    EXPECT_EQ(drive.Mode(), TCDMode::NotReady);
    Idle(100);
    EXPECT_EQ(drive.Ready().value, 0u) << "stays out until the tray has been opened and closed";
    EXPECT_EQ(log.kinds.size(), 1);
}

TEST(LibcdioDriveSound, ReadsThroughParanoiaAndCompletesARange) {
    TDiscImage image({2, 3});
    TLibcdioDrive drive(image.Cue(), DRIVER_BINCUE);
    TCompletionLog log(drive);
    ASSERT_EQ(drive.Open(), TCDError::None);
    ASSERT_EQ(drive.Ready().value, 1u);
    const quint32 end = drive.TrackLength(1).value;
    ASSERT_EQ(drive.Play(end - 1000, end, true), TCDError::None);
    ASSERT_TRUE(WaitFor([&] { return !log.kinds.isEmpty(); }, kStartMs + 2000));
    EXPECT_EQ(log.kinds, QList<TCDCompletion>{TCDCompletion::Successful});
    EXPECT_EQ(drive.Position().value, end);
}

} // namespace
