#include "core/disctoc.h"

#include <gtest/gtest.h>

namespace {

// A disc whose first track does not start at sector 0 (a hidden first track or a gap), so the
// rule "positions count from the first track's start" is visible in every value.
TDiscToc OffsetDisc() {
    return TDiscToc({{182, true}, {182 + 1, true}, {182 + 3, true}, {182 + 22500, false}},
                    182 + 30000);
}

TEST(DiscToc, TimesCountFromTheFirstTrackAndTruncateEachValue) {
    const TDiscToc toc = OffsetDisc();
    ASSERT_TRUE(toc.IsValid());
    EXPECT_EQ(toc.TrackStartMs(1), 0u);
    EXPECT_EQ(toc.TrackStartMs(2), 13u) << "1 sector = 13.33 ms, truncated";
    EXPECT_EQ(toc.TrackStartMs(3), 40u);
    EXPECT_EQ(toc.TrackLengthMs(1), 13u);
    EXPECT_EQ(toc.TrackLengthMs(2), 26u) << "2 sectors, not 40 - 13";
    EXPECT_EQ(toc.TrackLengthMs(4), 100000u) << "the last track runs to the lead-out";
    EXPECT_EQ(toc.DiscLengthMs(), 400000u);
    EXPECT_EQ(toc.DiscFrames(), 30000 * 588);
    EXPECT_FALSE(toc.Track(4).audio);
}

struct TBadToc {
    const char* name;
    QVector<TTocTrack> tracks;
    qint32 leadout;
};

class InvalidToc : public ::testing::TestWithParam<TBadToc> {};

TEST_P(InvalidToc, IsNotADisc) {
    EXPECT_FALSE(TDiscToc(GetParam().tracks, GetParam().leadout).IsValid());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, InvalidToc,
    ::testing::Values(TBadToc{"NoTracks", {}, 1000},
                      TBadToc{"TrackPastLeadout", {{0, true}, {525, true}}, 425},
                      TBadToc{"TrackAtLeadout", {{0, true}, {425, true}}, 425},
                      TBadToc{"Descending", {{0, true}, {300, true}, {200, true}}, 1000},
                      TBadToc{"Repeated", {{0, true}, {300, true}, {300, true}}, 1000},
                      TBadToc{"NegativeStart", {{-5, true}}, 1000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiscToc, MillisecondsAndFramesRoundTripForEveryValueOfTenMinutes) {
    for (quint32 ms = 0; ms <= 600000; ++ms) {
        const qint64 frames = TDiscToc::MsToFrames(ms);
        ASSERT_EQ(TDiscToc::FramesToMs(frames), ms) << "at " << ms << " ms";
        ASSERT_GE(frames * 1000, qint64(ms) * 44100) << "never before the millisecond";
        ASSERT_LT(frames * 1000 - qint64(ms) * 44100, 44100) << "within one millisecond";
    }
}

TEST(DiscToc, ATrackStartInMillisecondsPlaysFromTheTracksFirstSample) {
    const TDiscToc toc = OffsetDisc();
    for (int t = 1; t <= toc.TrackCount(); ++t) {
        const qint64 start = qint64(toc.Track(t).firstSector - 182) * TDiscToc::kFramesPerSector;
        EXPECT_EQ(TDiscToc::MsToFrames(toc.TrackStartMs(t)), start) << "track " << t;
        EXPECT_EQ(toc.TrackAtFrame(start), t);
        EXPECT_EQ(toc.TrackAtFrame(start - 1), t - 1);
    }
    EXPECT_EQ(toc.TrackAtFrame(toc.DiscFrames()), 0) << "the lead-out belongs to no track";
    EXPECT_EQ(toc.TrackEndFrame(3), 22500 * 588) << "track 3 ends where track 4 begins";
    EXPECT_EQ(toc.TrackEndFrame(4), toc.DiscFrames());
}

} // namespace
