// The playback engine on a generated disc image and the real sound server, with a command waiting
// in the event queue while a range stops or starts (a media key held down queues a burst of
// them): the command runs only after the transition, and the engine ends up as it asked. Also the
// read-ahead workers such a burst leaves opening the disc side by side.

#include "discimage.h"
#include "drivetesting.h"

#include "platform/cdio.h"
#include "platform/playbackengine.h"
#include "platform/readahead.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A new stream on the private server may take a moment before it moves.
constexpr int kStartMs = 4000;
// The range a queued Start plays, and how long it may take to be heard out.
constexpr qint64 kShortFrames = 44100 / 2;
constexpr int kShortRangeMs = 500 + kStartMs;

struct TReentryCase {
    const char* name;
    // What the caller is doing when the event loop would run the queued command.
    bool restart; // Start a new range over the playing one, or Stop
    // What the queued command does.
    bool queuedStart; // Start a short range, or Stop
};

class EngineReentryTest : public ::testing::TestWithParam<TReentryCase> {
protected:
    EngineReentryTest() : image_({1.0, 1.0}) {}

    void SetUp() override {
        ASSERT_FALSE(image_.Cue().isEmpty());
        const driver_id_t driver = ImageDriver(image_.Cue());
        toc_ = ReadToc(OpenCdio(image_.Cue(), driver).get());
        ASSERT_TRUE(toc_.IsValid());
        factory_ = TPlainSectorReader::Factory(image_.Cue(), driver);
        QObject::connect(&engine_, &TPlaybackEngine::ended, &engine_,
                         [this](TPlaybackEngine::TEnd end, qint64 heard) {
                             ends_.append({end, heard});
                         });
    }

    TCDError Play(qint64 frames) { return engine_.Start(factory_, toc_, 0, frames); }

    TDiscImage image_;
    TDiscToc toc_;
    TSectorReaderFactory factory_;
    TPlaybackEngine engine_;
    QList<std::pair<TPlaybackEngine::TEnd, qint64>> ends_;
};

TEST_P(EngineReentryTest, AQueuedCommandRunsAfterTheTransitionAndHasItsWay) {
    const TReentryCase& c = GetParam();
    ASSERT_EQ(Play(toc_.DiscFrames()), TCDError::None);
    // The sink plays for real, so taking it down is what the sound output really does.
    ASSERT_TRUE(WaitFor([&] { return engine_.HeardFrames() > 0; }, kStartMs));

    bool inTransition = true;
    bool ran = false;
    bool ranInside = false;
    TCDError queuedError = TCDError::None;
    QTimer::singleShot(0, &engine_, [&] {
        ran = true;
        ranInside = inTransition;
        if (c.queuedStart)
            queuedError = Play(kShortFrames);
        else
            engine_.Stop();
    });
    if (c.restart)
        ASSERT_EQ(Play(toc_.DiscFrames()), TCDError::None);
    else
        engine_.Stop();
    inTransition = false;
    EXPECT_FALSE(ran) << "the command ran inside the transition";
    EXPECT_EQ(engine_.IsActive(), c.restart);

    ASSERT_TRUE(WaitFor([&] { return ran; }, kStartMs));
    EXPECT_FALSE(ranInside);
    ASSERT_EQ(queuedError, TCDError::None);
    if (c.queuedStart) {
        // The queued range is the one that plays, to its end.
        ASSERT_TRUE(WaitFor([&] { return !ends_.isEmpty(); }, kShortRangeMs));
        EXPECT_EQ(ends_.first().first, TPlaybackEngine::TEnd::Completed);
        EXPECT_EQ(ends_.first().second, kShortFrames);
    } else {
        EXPECT_TRUE(ends_.isEmpty());
    }
    EXPECT_FALSE(engine_.IsActive());
    EXPECT_EQ(engine_.HeardFrames(), 0);
}

INSTANTIATE_TEST_SUITE_P(Transitions, EngineReentryTest,
                         ::testing::Values(TReentryCase{"StopThenStart", false, true},
                                           TReentryCase{"StopThenStop", false, false},
                                           TReentryCase{"RestartThenStart", true, true},
                                           TReentryCase{"RestartThenStop", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every Start opens the disc on a new worker thread while the ones it replaced may still be
// opening it: a burst of commands makes many open it at once.
TEST(ReadAheadTest, ManyWorkersOpenTheDiscAtOnce) {
    const TDiscImage image({0.2});
    ASSERT_FALSE(image.Cue().isEmpty());
    const driver_id_t driver = ImageDriver(image.Cue());
    const TDiscToc toc = ReadToc(OpenCdio(image.Cue(), driver).get());
    ASSERT_TRUE(toc.IsValid());
    constexpr int kWorkers = 16;
    for (int round = 0; round < 5; ++round) {
        std::vector<std::unique_ptr<TReadAhead>> workers;
        for (int i = 0; i < kWorkers; ++i)
            workers.push_back(std::make_unique<TReadAhead>(
                TPlainSectorReader::Factory(image.Cue(), driver), toc, 0, toc.DiscFrames()));
        for (const auto& worker : workers) {
            ASSERT_TRUE(WaitFor([&] { return worker->Finished(); }, kStartMs));
            EXPECT_EQ(worker->State(), TReadAhead::TState::Done);
            EXPECT_EQ(worker->Buffered(), toc.DiscFrames() * TDiscToc::kBytesPerFrame);
        }
    }
}

} // namespace
