// Format conversion: resampling by linear interpolation, band-limited rate conversion measured
// tone by tone, layout conversion frame by frame with and without dither, and ApplyFormat from the
// committed to the current format, including the failures that must leave the sample as it was.

#include "capturereporter.h"
#include "samplemaker.h"
#include "tonelevel.h"

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
        default:
            FAIL() << "this table lists the 8- and 16-bit layouts only";
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
    buffer.SetRateConversion(RateConversion::Linear);
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
    buffer.SetRateConversion(RateConversion::Linear);
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

// ----- Band-limited rate conversion --------------------------------------------------------

// A tone converted from one rate to another, and the level found at `probe` in the result,
// relative to the tone's. At the tone itself the level is kept within 0.1 dB; elsewhere (where
// linear interpolation leaves an alias or an image) it is at least 85 dB down. 16-bit samples
// put the noise floor near -96 dB, far under what is measured here at one frequency.
struct ToneCase {
    SampleLayout layout;
    quint32 from;
    quint32 to;
    double tone;
    double probe;
};

class BandLimited : public ::testing::TestWithParam<ToneCase> {};

TEST_P(BandLimited, KeepsTheToneAndLeavesNoAliasOrImage) {
    const ToneCase& c = GetParam();
    const quint32 channels = LayoutChannels(c.layout);
    // Half of full scale in the left channel, a quarter in the right, one second long.
    const double amplitudes[] = {16384.0, 8192.0};
    Values values(std::size_t(c.from) * channels);
    for (quint32 ch = 0; ch < channels; ++ch) {
        const std::vector<double> tone = Sine(amplitudes[ch], c.tone, c.from, c.from);
        for (std::size_t i = 0; i < tone.size(); ++i)
            values[i * channels + ch] = int(std::lrint(tone[i]));
    }
    CSampleBuffer buffer;
    FillSample(buffer, c.layout, c.from, values);
    ASSERT_EQ(buffer.GetRateConversion(), RateConversion::BandLimited) << "the default";
    buffer.SetFormat(c.to, channels == 2, true);
    ASSERT_EQ(buffer.ApplyFormat(), 1);
    ASSERT_EQ(buffer.GetFrameCount(), c.to);
    EXPECT_EQ(buffer.GetRate(), c.to);

    for (quint32 ch = 0; ch < channels; ++ch) {
        const Values out = ChannelOf(buffer, int(ch));
        // The tone's onset and end are clicks whose spread says nothing of the filter.
        const std::size_t edge = out.size() / 10;
        const std::vector<double> middle(out.begin() + edge, out.end() - edge);
        const double level = Decibels(ToneAmplitude(middle, c.probe, c.to) / amplitudes[ch]);
        if (c.probe == c.tone)
            EXPECT_NEAR(level, 0.0, 0.1) << "channel " << ch;
        else
            EXPECT_LE(level, -85.0) << "channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tones, BandLimited,
    ::testing::Values(
        // 15 kHz above the new limit of 11025 Hz: linear conversion folds it to 7050 Hz.
        ToneCase{SampleLayout::Mono16, 44100, 22050, 15000, 7050},
        ToneCase{SampleLayout::Stereo16, 44100, 22050, 15000, 7050},
        // 8 kHz raised to 44.1 kHz: linear conversion leaves its image at 14050 Hz.
        ToneCase{SampleLayout::Mono16, 22050, 44100, 8000, 14050},
        ToneCase{SampleLayout::Stereo16, 22050, 44100, 8000, 14050},
        ToneCase{SampleLayout::Mono16, 44100, 22050, 1000, 1000},
        ToneCase{SampleLayout::Stereo16, 22050, 44100, 1000, 1000},
        ToneCase{SampleLayout::Stereo16, 44100, 48000, 1000, 1000}));

// The linear choice is the classic conversion, exactly: ApplyFormat gives what Resample and then
// ConvertLayout give, for rates up and down and every layout pair that changes the bits.
TEST(ApplyFormat, LinearConversionIsResampleThenConvertLayout) {
    const std::tuple<SampleLayout, SampleLayout, quint32, quint32> cases[] = {
        {SampleLayout::Stereo16, SampleLayout::Mono8, 44100, 22050},
        {SampleLayout::Mono8, SampleLayout::Stereo16, 11025, 44100},
        {SampleLayout::Stereo16, SampleLayout::Stereo16, 44100, 48000},
        {SampleLayout::Mono16, SampleLayout::Mono16, 48000, 44100}};
    for (const auto& [source, target, from, to] : cases) {
        const Values values = RandomValues(source, 3000, 8);
        CSampleBuffer converted;
        converted.SetRateConversion(RateConversion::Linear);
        FillSample(converted, source, from, values);
        converted.SetFormat(to, LayoutIsStereo(target), LayoutIs16Bit(target));
        ASSERT_EQ(converted.ApplyFormat(), 1);
        CSampleBuffer expected;
        FillSample(expected, source, from, values);
        ASSERT_EQ(expected.Resample(from, to), 1);
        ASSERT_EQ(expected.ConvertLayout(source, target), 1);
        EXPECT_EQ(ValuesOf(converted), ValuesOf(expected)) << from << " to " << to;
    }
}

// ----- Dither --------------------------------------------------------------------------------

// 16-bit samples lowered to 8 bits with dither: each error from the exact value (in 8-bit steps)
// is TPDF noise of two steps' width plus rounding, so it stays under 1.5 steps, averages 0 and
// has an RMS of 0.5 step (1/12 + 1/6 = 1/4 step squared). The undithered conversion keeps the
// high byte: its error averages -0.5 step.
TEST(Dither, SixteenToEightBitsAddsUnbiasedTriangularNoise) {
    const std::pair<SampleLayout, SampleLayout> cases[] = {
        {SampleLayout::Mono16, SampleLayout::Mono8},
        {SampleLayout::Stereo16, SampleLayout::Stereo8},
        {SampleLayout::Stereo16, SampleLayout::Mono8},
        {SampleLayout::Mono16, SampleLayout::Stereo8}};
    for (const auto& [source, target] : cases) {
        const quint32 frames = 100000;
        // Values away from the ends, so that no sample clips.
        Values values = RandomValues(source, frames, 21);
        for (int& v : values)
            v = v * 30000 / 32768;
        CSampleBuffer buffer;
        buffer.SetDither(true);
        FillSample(buffer, source, 22050, values);
        buffer.SetFormat(22050, LayoutIsStereo(target), false);
        ASSERT_EQ(buffer.ApplyFormat(), 1);
        ASSERT_EQ(buffer.GetLayout(), target);

        const quint32 sourceChannels = LayoutChannels(source);
        double sum = 0.0;
        double squares = 0.0;
        double worst = 0.0;
        std::size_t count = 0;
        for (quint32 ch = 0; ch < LayoutChannels(target); ++ch) {
            const Values out = ChannelOf(buffer, int(ch));
            ASSERT_EQ(out.size(), frames);
            for (quint32 i = 0; i < frames; ++i) {
                // The exact value: the sample of that channel, or the mix ReadFrame makes.
                const int exact = sourceChannels == 1 ? values[i]
                                  : LayoutChannels(target) == 1
                                      ? (values[2 * i] + values[2 * i + 1]) >> 1
                                      : values[2 * i + ch];
                const double error = double(out[i] - 128) - double(exact) / 256.0;
                sum += error;
                squares += error * error;
                worst = std::max(worst, std::abs(error));
                ++count;
            }
        }
        const double mean = sum / double(count);
        const double rms = std::sqrt(squares / double(count));
        const auto name = quint32(source) * 100 + quint32(target);
        EXPECT_NEAR(mean, 0.0, 0.01) << name;
        EXPECT_NEAR(rms, 0.5, 0.02) << name;
        EXPECT_LT(worst, 1.5) << name;
    }
}

TEST(Dither, ChangesNothingWhereTheBitsDoNotDrop) {
    for (SampleLayout source : kLayouts) {
        const SampleLayout target = MakeLayout(!LayoutIsStereo(source), LayoutIs16Bit(source));
        const Values values = RandomValues(source, 500, 6);
        CSampleBuffer dithered;
        dithered.SetDither(true);
        FillSample(dithered, source, 8000, values);
        CSampleBuffer plain;
        FillSample(plain, source, 8000, values);
        ASSERT_EQ(dithered.ConvertLayout(source, target), 1);
        ASSERT_EQ(plain.ConvertLayout(source, target), 1);
        EXPECT_EQ(ValuesOf(dithered), ValuesOf(plain)) << quint32(source);
    }
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
