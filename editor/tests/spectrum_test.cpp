// The spectrum a strip shows: a pure tone lights the pixel row of its frequency at full level in
// every layout and at every zoom, the window sits centred on a column narrower than the FFT, the
// colour map runs from black at -120 dB upwards in lightness, and the column cache computes each
// column once, keeps it across scrolling and recomputes only what an edit changed.

#include "samplemaker.h"

#include "core/spectrum.h"
#include "core/spectrumcache.h"

#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Workers on a loaded two-core machine; the tests wait for events, this only bounds a hang.
constexpr int kDeadlineMs = 20000;

// A sample of `layout` with a sine just under full scale at `hertz` on `channel` from frame
// `begin` on, silence everywhere else.
void MakeTone(CSampleBuffer& buffer, SampleLayout layout, quint32 rate, quint32 frames,
              double hertz, int channel, quint32 begin = 0) {
    const SampleDepth depth = LayoutDepth(layout);
    buffer.SetFormat(rate, LayoutIsStereo(layout), depth);
    buffer.InsertFrames(0, frames, 0);
    const quint32 bytes = LayoutBytesPerSample(layout);
    const quint32 channels = LayoutChannels(layout);
    quint8* p = buffer.GetData();
    for (quint32 i = 0; i < frames; ++i) {
        for (quint32 c = 0; c < channels; ++c, p += bytes) {
            const bool on = int(c) == channel && i >= begin;
            const double v = on ? std::sin(2 * M_PI * hertz * i / rate) : 0.0;
            switch (depth) {
            case SampleDepth::Int8:
                *p = quint8(std::lround(v * 127) + 128);
                break;
            case SampleDepth::Int16:
                qToLittleEndian<qint16>(qint16(std::lround(v * 32767)), p);
                break;
            case SampleDepth::Int24: {
                const long x = std::lround(v * 8388607);
                p[0] = quint8(x);
                p[1] = quint8(x >> 8);
                p[2] = quint8(x >> 16);
                break;
            }
            case SampleDepth::Float32:
                qToLittleEndian<float>(float(v), p);
                break;
            }
        }
    }
    buffer.CommitFormat();
}

int LoudestRow(const std::vector<quint8>& levels, const spectrum::CRowMap& map) {
    int best = 0;
    for (int y = 1; y < map.Rows(); ++y)
        if (map.Level(levels.data(), y) > map.Level(levels.data(), best))
            best = y;
    return best;
}

struct ToneCase {
    SampleLayout layout;
    quint32 rate;
    int channel;
    // Frames per column: below, at and far above the FFT's size.
    quint32 frames;
    int rows;
    // The tone's row counted from the bottom; the tone sits in its middle.
    int row;
};

void PrintTo(const ToneCase& c, std::ostream* os) {
    *os << int(c.layout) << " " << c.rate << " Hz ch" << c.channel << " N=" << c.frames << " "
        << c.rows << " rows, row " << c.row;
}

class ToneRow : public ::testing::TestWithParam<ToneCase> {};

TEST_P(ToneRow, APureTonePeaksInItsRowAtFullScale) {
    const ToneCase c = GetParam();
    const double hertz = (c.row + 0.5) * (c.rate / 2.0) / c.rows;
    const quint32 frames = std::max<quint32>(c.frames * 3, 8192);
    CSampleBuffer buffer;
    MakeTone(buffer, c.layout, c.rate, frames, hertz, c.channel);
    // A column in the middle, its windows well inside the sample.
    const quint32 start = frames / 2;
    const std::vector<quint8> levels = spectrum::ColumnLevels(buffer, c.channel, start, c.frames);
    const spectrum::CRowMap map(spectrum::SizeFor(c.frames), c.rows);
    const int top = c.rows - 1 - c.row;
    EXPECT_EQ(map.RowOf(hertz, c.rate), top);
    EXPECT_EQ(LoudestRow(levels, map), top);

    // Full scale reads 0 dB, less the Hann window's loss between bins (at most 1.42 dB).
    const std::vector<double> db = spectrum::ColumnDecibels(buffer, c.channel, start, c.frames);
    const double peak = *std::max_element(db.begin(), db.end());
    EXPECT_GT(peak, -1.5);
    EXPECT_LT(peak, 0.05);
    // Rows well away from the tone stay dark: the window keeps the tone's energy close. 8-bit
    // rounding puts its own harmonics about 45 dB down.
    const double clear = LayoutDepth(c.layout) == SampleDepth::Int8 ? 30 : 70;
    for (int y = 0; y < c.rows; ++y) {
        if (std::abs(y - top) > c.rows / 8) {
            ASSERT_LT(spectrum::DbOfLevel(map.Level(levels.data(), y)), peak - clear)
                << "row " << y;
        }
    }

    // The other channel of a stereo sample is silent.
    if (LayoutIsStereo(c.layout)) {
        const std::vector<quint8> other =
            spectrum::ColumnLevels(buffer, 1 - c.channel, start, c.frames);
        EXPECT_EQ(*std::max_element(other.begin(), other.end()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToneRow,
    ::testing::Values(ToneCase{SampleLayout::Mono16, 44100, 0, 64, 100, 9},
                      ToneCase{SampleLayout::Stereo16, 44100, 1, 4000, 128, 45},
                      ToneCase{SampleLayout::Mono8, 8000, 0, 1, 64, 20},
                      ToneCase{SampleLayout::Stereo8, 22050, 0, 2048, 100, 80},
                      ToneCase{SampleLayout::Mono16, 48000, 0, 100000, 50, 47},
                      ToneCase{SampleLayout::Stereo16, 11025, 0, 700, 32, 2},
                      ToneCase{SampleLayout::Mono24, 96000, 0, 300, 120, 60},
                      ToneCase{SampleLayout::Stereo24, 44100, 1, 20000, 64, 3},
                      ToneCase{SampleLayout::MonoFloat, 48000, 0, 1024, 100, 99},
                      ToneCase{SampleLayout::StereoFloat, 32000, 1, 10, 40, 0}));

// At high zoom the column's window is centred on it: a column at the start of a burst sees half
// the burst, a column in its middle all of it.
TEST(Spectrum, AColumnNarrowerThanTheWindowSeesTheSoundAroundIt) {
    constexpr quint32 kRate = 44100;
    constexpr quint32 kBurst = 20000;
    CSampleBuffer buffer;
    MakeTone(buffer, SampleLayout::Mono16, kRate, 40000, 1378.125, 0, kBurst);
    auto peak = [&](quint32 start) {
        const std::vector<double> db = spectrum::ColumnDecibels(buffer, 0, start, 4);
        return *std::max_element(db.begin(), db.end());
    };
    // Columns of 4 frames, window 512: the column at the burst's first frame is centred there.
    EXPECT_NEAR(peak(kBurst - 2), -6.0, 1.0);
    EXPECT_NEAR(peak(kBurst + 300), 0.0, 0.5);
    EXPECT_LT(peak(kBurst - 300), -100.0);
    // Past the end of the sample counts as silence: half a window of tone again.
    EXPECT_NEAR(peak(40000 - 2), -6.0, 1.0);
}

TEST(Spectrum, TheColourMapRunsFromBlackUpInLightness) {
    EXPECT_EQ(spectrum::LevelOfDb(-120.0), 0);
    EXPECT_EQ(spectrum::LevelOfDb(-300.0), 0);
    EXPECT_EQ(spectrum::LevelOfDb(0.0), 255);
    EXPECT_EQ(spectrum::LevelOfDb(6.0), 255);
    EXPECT_EQ(spectrum::LevelOfDb(-60.0), 128);
    EXPECT_EQ(spectrum::Colour(spectrum::LevelOfDb(-120.0)), qRgb(0, 0, 0));
    // Every step up is brighter than the one below (luma, as the eye weighs red, green and
    // blue), and the top is near white.
    auto luma = [](QRgb c) { return 0.2126 * qRed(c) + 0.7152 * qGreen(c) + 0.0722 * qBlue(c); };
    for (int level = 1; level < spectrum::kLevels; ++level)
        ASSERT_GT(luma(spectrum::Colour(level)), luma(spectrum::Colour(level - 1))) << level;
    EXPECT_GT(luma(spectrum::Colour(255)), 0.9 * 255);
}

// ----- Cache ---------------------------------------------------------------------------------

struct CCacheFixture {
    CSampleBuffer buffer;
    CSpectrumCache cache;
    CCacheFixture() {
        FillSample(buffer, SampleLayout::Stereo16, 22050,
                   RandomValues(SampleLayout::Stereo16, 200000, 3));
        cache.SetSource(&buffer, 1);
    }
    static std::vector<quint32> Starts(quint32 first, quint32 frames, int count) {
        std::vector<quint32> starts;
        for (int i = 0; i < count; ++i)
            starts.push_back(first + quint32(i) * frames);
        return starts;
    }
    // Waits until every batch is back, dropped ones too.
    bool Settle() {
        return QTest::qWaitFor([this] { return !cache.Busy(); }, kDeadlineMs);
    }
};

TEST(SpectrumCache, ColumnsAreComputedOnceAndScrollingReusesThem) {
    CCacheFixture f;
    constexpr quint32 kN = 100;
    f.cache.Request(kN, CCacheFixture::Starts(0, kN, 400));
    ASSERT_TRUE(f.Settle());
    EXPECT_EQ(f.cache.Computed(), 400u);
    // The stored column is the one computed directly from the sample.
    const quint8* column = f.cache.Column(kN, 250 * kN);
    ASSERT_NE(column, nullptr);
    const std::vector<quint8> direct = spectrum::ColumnLevels(f.buffer, 1, 250 * kN, kN);
    EXPECT_TRUE(std::equal(direct.begin(), direct.end(), column));

    // A line to the right: only the 50 new columns; back left: none.
    f.cache.Request(kN, CCacheFixture::Starts(50 * kN, kN, 400));
    ASSERT_TRUE(f.Settle());
    EXPECT_EQ(f.cache.Computed(), 450u);
    f.cache.Request(kN, CCacheFixture::Starts(0, kN, 400));
    ASSERT_TRUE(f.Settle());
    EXPECT_EQ(f.cache.Computed(), 450u);
    // Another zoom has columns of its own; coming back finds the first zoom's still there.
    f.cache.Request(2 * kN, CCacheFixture::Starts(0, 2 * kN, 100));
    ASSERT_TRUE(f.Settle());
    EXPECT_EQ(f.cache.Computed(), 550u);
    f.cache.Request(kN, CCacheFixture::Starts(0, kN, 400));
    EXPECT_FALSE(f.cache.Busy());
}

TEST(SpectrumCache, AnEditRecomputesOnlyTheColumnsThatReadChangedFrames) {
    CCacheFixture f;
    constexpr quint32 kN = 2000;
    const std::vector<quint32> starts = CCacheFixture::Starts(0, kN, 100);
    f.cache.Request(kN, starts);
    ASSERT_TRUE(f.Settle());
    // Frames from 150000 on change: columns 75 to 99.
    std::fill(f.buffer.GetData() + 150000 * 4, f.buffer.GetData() + 200000 * 4, 0);
    f.cache.Invalidate(150000);
    bool current = true;
    // Until the new values arrive the old one is still there to show.
    ASSERT_NE(f.cache.Column(kN, 80 * kN, &current), nullptr);
    EXPECT_FALSE(current);
    ASSERT_NE(f.cache.Column(kN, 74 * kN, &current), nullptr);
    EXPECT_TRUE(current);
    f.cache.Request(kN, starts);
    ASSERT_TRUE(f.Settle());
    EXPECT_EQ(f.cache.Computed(), 125u);
    const quint8* silent = f.cache.Column(kN, 80 * kN, &current);
    EXPECT_TRUE(current);
    EXPECT_EQ(*std::max_element(silent, silent + spectrum::BinCount(spectrum::SizeFor(kN))), 0);
}

TEST(SpectrumCache, ResultsOfBatchesBegunBeforeAnEditAreDropped) {
    CCacheFixture f;
    constexpr quint32 kN = 20000;
    f.cache.Request(kN, CCacheFixture::Starts(0, kN, 10));
    // The frames change while the batches run.
    std::fill(f.buffer.GetData(), f.buffer.GetData() + f.buffer.GetByteLength(), 0);
    f.cache.Invalidate(0);
    ASSERT_TRUE(f.Settle());
    EXPECT_EQ(f.cache.Column(kN, 0), nullptr);
    f.cache.Request(kN, CCacheFixture::Starts(0, kN, 10));
    ASSERT_TRUE(f.Settle());
    const quint8* column = f.cache.Column(kN, 5 * kN);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(*std::max_element(column, column + spectrum::BinCount(1024)), 0);
}

} // namespace
