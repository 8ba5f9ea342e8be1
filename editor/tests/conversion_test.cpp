// Format conversion: resampling by linear interpolation, layout conversion frame by frame, and
// ApplyFormat from the committed to the current format, including the failures that must leave
// the sample as it was.

#include "capturereporter.h"
#include "samplemaker.h"

#include "core/samplebuffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// ----- Resample ----------------------------------------------------------------------------

struct ResampleCase {
    SampleLayout layout;
    quint32 oldRate;
    quint32 newRate;
    Values values;
    Values expected;
};

class Resample : public ::testing::TestWithParam<ResampleCase> {};

TEST_P(Resample, InterpolatesLinearlyAndHoldsTheLastFrame) {
    const ResampleCase& c = GetParam();
    CSampleBuffer buffer;
    FillSample(buffer, c.layout, c.oldRate, c.values);
    ASSERT_EQ(buffer.Resample(c.oldRate, c.newRate), 1);
    EXPECT_EQ(ValuesOf(buffer), c.expected);
    EXPECT_EQ(buffer.GetFrameCount(), c.expected.size() / LayoutChannels(c.layout));
    EXPECT_EQ(buffer.GetByteLength(), buffer.GetFrameCount() * LayoutBytesPerFrame(c.layout));
}

INSTANTIATE_TEST_SUITE_P(
    Rates, Resample,
    ::testing::Values(
        ResampleCase{SampleLayout::Mono8, 11025, 22050, {10, 20}, {10, 15, 20, 20}},
        // Negative interpolations truncate toward zero.
        ResampleCase{SampleLayout::Mono16, 8000, 16000, {-10, -21}, {-10, -15, -21, -21}},
        ResampleCase{SampleLayout::Stereo8,
                     1000,
                     2000,
                     {0, 200, 100, 100},
                     {0, 200, 50, 150, 100, 100, 100, 100}},
        // Three 16-bit frames at half the rate: one whole frame, no stray byte.
        ResampleCase{SampleLayout::Mono16, 2000, 1000, {5, 6, 7}, {5}},
        ResampleCase{SampleLayout::Stereo16, 3000, 2000, {0, 0, 30, -30, 60, -60}, {0, 0, 45, -45}},
        ResampleCase{SampleLayout::Mono8, 8000, 8000, {1, 2, 3}, {1, 2, 3}}));

TEST(Resample, DownsamplingByTwoKeepsEverySecondFrame) {
    const Values input = RandomValues(SampleLayout::Stereo16, 1001, 3);
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Stereo16, 44100, input);
    ASSERT_EQ(buffer.Resample(44100, 22050), 1);
    Values expected;
    for (std::size_t frame = 0; frame < 500; ++frame) {
        expected.push_back(input[4 * frame]);
        expected.push_back(input[4 * frame + 1]);
    }
    EXPECT_EQ(ValuesOf(buffer), expected);
}

TEST(Resample, ARateOfZeroChangesNothing) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono8, 8000, {1, 2, 3});
    const CSampleState before = CSampleState::Of(buffer);
    EXPECT_EQ(buffer.Resample(0, 8000), 0);
    EXPECT_EQ(buffer.Resample(8000, 0), 0);
    EXPECT_EQ(CSampleState::Of(buffer), before);
}

TEST(Resample, ABlockThatCannotGrowLeavesTheSampleAndSaysSo) {
    CCaptureReporter reporter;
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Stereo16, 8000, RandomValues(SampleLayout::Stereo16, 10, 1));
    const CSampleState before = CSampleState::Of(buffer);
    // 40 bytes raised 4e9-fold do not fit a 32-bit length.
    EXPECT_EQ(buffer.Resample(1, 4000000000u), 0);
    EXPECT_EQ(CSampleState::Of(buffer), before);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text, QStringLiteral("Error resizing sample!"));
    EXPECT_EQ(reporter.messages[0].caption, QStringLiteral("Wavelathe"));
}

// ----- ConvertLayout against ReadFrame, every pair of layouts ------------------------------

using LayoutPair = std::tuple<SampleLayout, SampleLayout>;

class ConvertLayout : public ::testing::TestWithParam<LayoutPair> {};

TEST_P(ConvertLayout, WritesEveryFrameAsReadFrameConvertsIt) {
    const auto [source, target] = GetParam();
    // Every possible frame where there are at most 65536; else random frames and the extremes.
    Values values;
    if (source == SampleLayout::Stereo16) {
        values = RandomValues(source, 20000, 11);
        for (int l : {-32768, -1, 0, 32767})
            for (int r : {-32768, -1, 0, 32767})
                values.insert(values.end(), {l, r});
        values.insert(values.end(), {-3, 0}); // a frame past whole groups of eight, odd sum
    } else {
        const int low = LayoutIs16Bit(source) ? -32768 : 0;
        const int count = source == SampleLayout::Mono8 ? 256 : 65536;
        for (int i = 0; i < count; ++i) {
            if (source == SampleLayout::Stereo8)
                values.insert(values.end(), {i & 0xFF, i >> 8});
            else
                values.push_back(low + i);
        }
    }
    CSampleBuffer original;
    FillSample(original, source, 8000, values);
    CSampleBuffer buffer;
    FillSample(buffer, source, 8000, values);

    ASSERT_EQ(buffer.ConvertLayout(source, target), 1);
    ASSERT_EQ(buffer.GetFrameCount(), original.GetFrameCount());
    EXPECT_EQ(buffer.GetLayout(), target);
    EXPECT_EQ(buffer.GetByteLength(), original.GetFrameCount() * LayoutBytesPerFrame(target));
    const quint32 frameBytes = LayoutBytesPerFrame(target);
    for (quint32 frame = 0; frame < original.GetFrameCount(); ++frame) {
        quint8 slot[4] = {};
        original.ReadFrame(frame, target, slot);
        const quint8* out = buffer.GetData() + frame * frameBytes;
        switch (target) {
        case SampleLayout::Mono8:
            ASSERT_EQ(out[0], slot[0]) << frame;
            break;
        case SampleLayout::Mono16:
            ASSERT_EQ(std::memcmp(out, slot, 2), 0) << frame;
            break;
        case SampleLayout::Stereo8:
            ASSERT_EQ(out[0], slot[0]) << frame;
            ASSERT_EQ(out[1], slot[2]) << frame;
            break;
        case SampleLayout::Stereo16:
            ASSERT_EQ(std::memcmp(out, slot, 4), 0) << frame;
            break;
        }
    }
}

const SampleLayout kLayouts[] = {SampleLayout::Mono8, SampleLayout::Mono16, SampleLayout::Stereo8,
                                 SampleLayout::Stereo16};

INSTANTIATE_TEST_SUITE_P(AllPairs, ConvertLayout,
                         ::testing::Combine(::testing::ValuesIn(kLayouts),
                                            ::testing::ValuesIn(kLayouts)));

// ----- ApplyFormat -------------------------------------------------------------------------

TEST(ApplyFormat, EightBitMonoBecomesSixteenBitStereoAtTwiceTheRate) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono8, 22050, Values(1000, 128));
    buffer.SetFormat(44100, true, true);
    ASSERT_EQ(buffer.ApplyFormat(), 1);
    EXPECT_EQ(buffer.GetFrameCount(), 2000u);
    EXPECT_EQ(buffer.GetByteLength(), 8000u);
    EXPECT_EQ(ValuesOf(buffer), Values(4000, 0));
    EXPECT_EQ(buffer.GetFormat().avgBytesPerSec, 176400u);
    EXPECT_EQ(buffer.GetFormat().blockAlign, 4);
    EXPECT_EQ(buffer.GetCommittedFormat(), buffer.GetFormat());
}

TEST(ApplyFormat, SixteenBitStereoBecomesEightBitMonoAtHalfTheRate) {
    CSampleBuffer buffer;
    // Frames (1000, 3000) and (-1000, 1000): their mixes are 135 and 128 in 8 bits.
    FillSample(buffer, SampleLayout::Stereo16, 16000, {1000, 3000, 7, 7, -1000, 1000, 9, 9});
    buffer.SetFormat(8000, false, false);
    ASSERT_EQ(buffer.ApplyFormat(), 1);
    EXPECT_EQ(ValuesOf(buffer), (Values{135, 128}));
    EXPECT_EQ(buffer.GetLayout(), SampleLayout::Mono8);
    EXPECT_EQ(buffer.GetRate(), 8000u);
}

TEST(ApplyFormat, RaisesARateBelowFourThousand) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono8, 8000, {10, 20, 30, 40, 50, 60, 70, 80});
    buffer.SetFormat(3000, false, false);
    ASSERT_EQ(buffer.ApplyFormat(), 1);
    EXPECT_EQ(buffer.GetRate(), 4000u);
    EXPECT_EQ(buffer.GetCommittedFormat().samplesPerSec, 4000u);
    EXPECT_EQ(ValuesOf(buffer), (Values{10, 30, 50, 70}));
}

TEST(ApplyFormat, TheSameFormatChangesNoByte) {
    for (SampleLayout layout : kLayouts) {
        CSampleBuffer buffer;
        FillSample(buffer, layout, 22050, RandomValues(layout, 333, 5));
        const CSampleState before = CSampleState::Of(buffer);
        ASSERT_EQ(buffer.ApplyFormat(), 1);
        EXPECT_EQ(CSampleState::Of(buffer), before) << "layout " << quint32(layout);
    }
}

TEST(ApplyFormat, AnEmptySampleStaysAsItIs) {
    CSampleBuffer buffer;
    buffer.SetFormat(3000, true, true);
    const CSampleState before = CSampleState::Of(buffer);
    EXPECT_EQ(buffer.ApplyFormat(), 1);
    EXPECT_EQ(CSampleState::Of(buffer), before);
}

TEST(ApplyFormat, ACommittedRateOfZeroKeepsTheFrames) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono8, 0, {1, 2, 3});
    buffer.SetFormat(8000, false, true);
    ASSERT_EQ(buffer.ApplyFormat(), 1);
    EXPECT_EQ(buffer.GetFrameCount(), 3u);
    EXPECT_EQ(buffer.GetRate(), 8000u);
    EXPECT_EQ(ValuesOf(buffer), (Values{(1 - 128) * 256, (2 - 128) * 256, (3 - 128) * 256}));
}

TEST(ApplyFormat, ABlockThatCannotGrowLeavesDataAndFormatsAsTheyWere) {
    CCaptureReporter reporter;
    CSampleBuffer buffer;
    // Eight frames at 1 Hz raised to 3 GHz in 16-bit stereo would need 96 GB.
    FillSample(buffer, SampleLayout::Mono8, 1, RandomValues(SampleLayout::Mono8, 8, 2));
    buffer.SetFormat(3000000000u, true, true);
    const CSampleState before = CSampleState::Of(buffer);
    EXPECT_EQ(buffer.ApplyFormat(), 0);
    EXPECT_EQ(CSampleState::Of(buffer), before);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text, QStringLiteral("Error resizing sample!"));
}

TEST(RevertFormat, RestoresTheCommittedFormatAndFrameCount) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono16, 11025, RandomValues(SampleLayout::Mono16, 50, 4));
    buffer.SetFormat(44100, true, false);
    EXPECT_EQ(buffer.GetFrameCount(), 50u);
    quint32 rate = 0;
    bool stereo = true;
    bool sixteenBit = false;
    buffer.RevertFormat(rate, stereo, sixteenBit);
    EXPECT_EQ(rate, 11025u);
    EXPECT_FALSE(stereo);
    EXPECT_TRUE(sixteenBit);
    EXPECT_EQ(buffer.GetFrameCount(), 50u);
    EXPECT_EQ(buffer.GetFormat(), buffer.GetCommittedFormat());
}

} // namespace
