// The sample effects on every layout and selector, their arithmetic at the edges (saturation,
// truncation toward zero), and the gain texts of the volume dialog.

#include "capturereporter.h"
#include "samplemaker.h"

#include "core/samplebuffer.h"
#include "core/sampleeditor.h"
#include "core/volumescale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// ----- Amplify: one sample through the gain table --------------------------------------------

struct GainCase {
    SampleLayout layout;
    int sample;
    float gain;
    int expected;
};

void PrintTo(const GainCase& c, std::ostream* os) {
    *os << "layout " << quint32(c.layout) << ", " << c.sample << " x " << c.gain;
}

class AmplifyValue : public ::testing::TestWithParam<GainCase> {};

TEST_P(AmplifyValue, GivesTheTruncatedSaturatedProduct) {
    const GainCase& c = GetParam();
    CSampleBuffer buffer;
    FillSample(buffer, c.layout, 8000, {c.sample});
    buffer.Amplify(c.gain, -1, -1, 0);
    EXPECT_EQ(ValuesOf(buffer), Values{c.expected});
}

INSTANTIATE_TEST_SUITE_P(
    Edges, AmplifyValue,
    ::testing::Values(
        // 8-bit: (b - 128) x g, saturated to -128..127, truncated toward zero, plus 128.
        GainCase{SampleLayout::Mono8, 200, 2.0f, 255}, GainCase{SampleLayout::Mono8, 10, 2.0f, 0},
        GainCase{SampleLayout::Mono8, 128, 50.0f, 128},
        GainCase{SampleLayout::Mono8, 129, 0.5f, 128},
        GainCase{SampleLayout::Mono8, 127, 0.5f, 128}, GainCase{SampleLayout::Mono8, 0, 0.5f, 64},
        GainCase{SampleLayout::Mono8, 255, -1.0f, 1}, GainCase{SampleLayout::Mono8, 0, -1.0f, 255},
        GainCase{SampleLayout::Mono8, 131, 1.5f, 132},
        GainCase{SampleLayout::Mono8, 200, INFINITY, 255},
        // 16-bit: saturated like the 8-bit path instead of wrapping round.
        GainCase{SampleLayout::Mono16, -1, 2.0f, -2},
        GainCase{SampleLayout::Mono16, 1000, 0.5f, 500},
        GainCase{SampleLayout::Mono16, 20000, 2.0f, 32767},
        GainCase{SampleLayout::Mono16, -20000, 2.0f, -32768},
        GainCase{SampleLayout::Mono16, -3, 0.5f, -1}, GainCase{SampleLayout::Mono16, 3, 0.5f, 1},
        GainCase{SampleLayout::Mono16, -32768, -1.0f, 32767},
        GainCase{SampleLayout::Mono16, 0, -INFINITY, 0}));

TEST(Amplify, GainOneLeavesEveryValueAsItIs) {
    for (SampleLayout layout : {SampleLayout::Mono8, SampleLayout::Mono16}) {
        Values all;
        const int low = LayoutIs16Bit(layout) ? -32768 : 0;
        const int high = LayoutIs16Bit(layout) ? 32767 : 255;
        for (int v = low; v <= high; ++v)
            all.push_back(v);
        CSampleBuffer buffer;
        FillSample(buffer, layout, 8000, all);
        buffer.Amplify(1.0f, -1, -1, 0);
        EXPECT_EQ(ValuesOf(buffer), all) << "layout " << quint32(layout);
    }
}

// Whole ranges and single frames go different ways (tables or eight words at a time, against one
// multiplication per sample); every value must come out the same either way.
class AmplifyAgreesWithScaleFrame
    : public ::testing::TestWithParam<std::tuple<SampleLayout, int, float>> {};

TEST_P(AmplifyAgreesWithScaleFrame, ForEveryValue) {
    const auto [layout, channel, gain] = GetParam();
    Values values;
    for (int v = LayoutIs16Bit(layout) ? -32768 : 0; v <= (LayoutIs16Bit(layout) ? 32767 : 255);
         ++v)
        values.push_back(v);
    // An odd frame count leaves a tail behind any multiple of eight.
    values.push_back(values[values.size() / 3]);
    if (LayoutIsStereo(layout))
        values.insert(values.end(), values.rbegin(), values.rend());
    CSampleBuffer whole;
    FillSample(whole, layout, 8000, values);
    CSampleBuffer frames;
    FillSample(frames, layout, 8000, values);
    whole.Amplify(gain, 1, whole.GetFrameCount() - 1, channel);
    for (quint32 frame = 1; frame < frames.GetFrameCount(); ++frame)
        frames.ScaleFrame(gain, frame, channel);
    EXPECT_EQ(ValuesOf(whole), ValuesOf(frames));
}

INSTANTIATE_TEST_SUITE_P(
    Gains, AmplifyAgreesWithScaleFrame,
    ::testing::Combine(::testing::ValuesIn({SampleLayout::Mono8, SampleLayout::Mono16,
                                            SampleLayout::Stereo8, SampleLayout::Stereo16}),
                       ::testing::Values(0, 1, 2),
                       ::testing::Values(0.0f, 0.37f, 1.01f, -1.0f, 2.5f, -1e30f, INFINITY)));

TEST(Amplify, NotANumberChangesNothing) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono16, 8000, {100, -100});
    buffer.Amplify(NAN, -1, -1, 0);
    EXPECT_EQ(ValuesOf(buffer), (Values{100, -100}));
}

struct SelectorCase {
    SampleLayout layout;
    int channel;
    qint64 first;
    qint64 last;
    // For each sample of the three-frame stereo input: is it doubled?
    std::vector<bool> doubled;
};

class AmplifySelector : public ::testing::TestWithParam<SelectorCase> {};

TEST_P(AmplifySelector, TouchesOnlyTheChosenChannelAndFrames) {
    const SelectorCase& c = GetParam();
    const bool wide = LayoutIs16Bit(c.layout);
    const Values input =
        wide ? Values{10, 20, 30, 40, 50, 60} : Values{138, 148, 158, 168, 178, 188};
    CSampleBuffer buffer;
    FillSample(buffer, c.layout, 8000, input);
    buffer.Amplify(2.0f, c.first, c.last, c.channel);
    Values expected = input;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (c.doubled[i])
            expected[i] = wide ? input[i] * 2 : (input[i] - 128) * 2 + 128;
    }
    EXPECT_EQ(ValuesOf(buffer), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stereo, AmplifySelector,
    ::testing::Values(SelectorCase{SampleLayout::Stereo8, 0, -1, -1, {1, 1, 1, 1, 1, 1}},
                      SelectorCase{SampleLayout::Stereo8, 1, -1, -1, {1, 0, 1, 0, 1, 0}},
                      SelectorCase{SampleLayout::Stereo8, 2, 1, 2, {0, 0, 0, 1, 0, 1}},
                      SelectorCase{SampleLayout::Stereo16, 0, 1, 1, {0, 0, 1, 1, 0, 0}},
                      SelectorCase{SampleLayout::Stereo16, 1, 0, 1, {1, 0, 1, 0, 0, 0}},
                      SelectorCase{SampleLayout::Stereo16, 2, -1, -1, {0, 1, 0, 1, 0, 1}},
                      // Past the end the range stops at the last frame.
                      SelectorCase{SampleLayout::Stereo16, 0, 2, 99, {0, 0, 0, 0, 1, 1}}));

// ----- NormaliseFactor and PeakSearch --------------------------------------------------------

struct PeakCase {
    SampleLayout layout;
    Values values;
    int channel;
    float factor;
    quint32 peakFrame;
};

class PeakMeasure : public ::testing::TestWithParam<PeakCase> {};

TEST_P(PeakMeasure, GivesTheFactorAndTheFirstFrameOfTheMaximum) {
    const PeakCase& c = GetParam();
    CSampleBuffer buffer;
    FillSample(buffer, c.layout, 8000, c.values);
    EXPECT_FLOAT_EQ(buffer.NormaliseFactor(-1, -1, c.channel), c.factor);
    EXPECT_EQ(buffer.PeakSearch(-1, -1, c.channel), c.peakFrame);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, PeakMeasure,
    ::testing::Values(
        PeakCase{SampleLayout::Mono8, {100, 160, 127}, 0, 127.0f / 33.0f, 1},
        // A distance of 128 (byte 255) normalises as 127, yet still wins the peak search.
        PeakCase{SampleLayout::Mono8, {127, 0, 255}, 0, 1.0f, 2},
        PeakCase{SampleLayout::Mono8, {127, 0, 254}, 0, 1.0f, 1},
        // Nothing above the measure 0: factor 1 and the range's first frame.
        PeakCase{SampleLayout::Mono8, {127, 127, 127}, 0, 1.0f, 0},
        PeakCase{SampleLayout::Mono16, {-5, -30000, -1}, 0, 1.0f, 0},
        // Only positive 16-bit values count.
        PeakCase{SampleLayout::Mono16, {-32768, 16383, 100}, 0, 32767.0f / 16383.0f, 1},
        // Stereo: frames, not samples, and only the chosen channel.
        PeakCase{SampleLayout::Stereo8, {127, 127, 127, 200, 250, 127}, 0, 127.0f / 123.0f, 2},
        PeakCase{SampleLayout::Stereo8, {127, 127, 127, 200, 250, 127}, 2, 127.0f / 73.0f, 1},
        PeakCase{
            SampleLayout::Stereo16, {5000, 100, 7000, 200, 6000, 300}, 2, 32767.0f / 300.0f, 2},
        PeakCase{
            SampleLayout::Stereo16, {5000, 100, 7000, 200, 6000, 300}, 1, 32767.0f / 7000.0f, 1}));

TEST(PeakSearch, ReturnsTheFirstFrameOfASubRangeWithoutPeak) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono8, 8000, {255, 127, 127, 127, 200});
    EXPECT_EQ(buffer.PeakSearch(1, 3, 0), 1u);
    EXPECT_EQ(buffer.PeakSearch(1, 4, 0), 4u);
}

// ----- DCBiasAdjust ----------------------------------------------------------------------

struct BiasCase {
    SampleLayout layout;
    Values values;
    float bias;
    int channel;
    Values expected;
};

class DCBias : public ::testing::TestWithParam<BiasCase> {};

TEST_P(DCBias, RemovesTheMeanAndAddsTheBias) {
    const BiasCase& c = GetParam();
    CSampleBuffer buffer;
    FillSample(buffer, c.layout, 8000, c.values);
    buffer.DCBiasAdjust(c.bias, c.channel);
    EXPECT_EQ(ValuesOf(buffer), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, DCBias,
    ::testing::Values(
        // Mean 15 above the zero line.
        BiasCase{SampleLayout::Mono8, {138, 148, 138, 148}, 0.0f, 0, {123, 133, 123, 133}},
        // Offset 15 + 12.7: -17.7 and -7.7 truncate toward zero.
        BiasCase{SampleLayout::Mono8, {138, 148, 138, 148}, 10.0f, 0, {111, 121, 111, 121}},
        BiasCase{SampleLayout::Mono16, {1000, 3000}, 0.0f, 0, {-1000, 1000}},
        // Offset 15000 - 32767: the largest result saturates instead of wrapping.
        BiasCase{SampleLayout::Mono16,
                 {30000, 30000, 30000, -30000},
                 -100.0f,
                 0,
                 {32767, 32767, 32767, -12233}},
        // The right channel's own mean; the left stays.
        BiasCase{SampleLayout::Stereo8, {0, 130, 255, 140}, 0.0f, 2, {0, 123, 255, 133}},
        BiasCase{SampleLayout::Stereo16, {100, -7, 300, -3}, 0.0f, 1, {-100, -7, 100, -3}},
        // Both channels together: one mean over all samples.
        BiasCase{SampleLayout::Stereo16, {100, 300, 100, 300}, 0.0f, 0, {-100, 100, -100, 100}}));

// ----- ScaleFrame and PanFrame -------------------------------------------------------------

TEST(ScaleFrame, ScalesTheChosenSamplesOfOneFrame) {
    struct {
        int channel;
        Values expected;
    } cases[] = {{0, {10, 20, 60, -32768}}, {1, {10, 20, 60, -20000}}, {2, {10, 20, 30, -32768}}};
    for (const auto& c : cases) {
        CSampleBuffer buffer;
        FillSample(buffer, SampleLayout::Stereo16, 8000, {10, 20, 30, -20000});
        buffer.ScaleFrame(2.0f, 1, c.channel);
        buffer.ScaleFrame(2.0f, 2, c.channel); // past the last frame: nothing
        EXPECT_EQ(ValuesOf(buffer), c.expected) << "selector " << c.channel;
    }
    CSampleBuffer mono;
    FillSample(mono, SampleLayout::Mono8, 8000, {100, 228});
    mono.ScaleFrame(3.0f, 1, 0);
    EXPECT_EQ(ValuesOf(mono), (Values{100, 255}));
}

struct PanCase {
    SampleLayout layout;
    int left;
    int right;
    float position;
    int expectedLeft;
    int expectedRight;
};

class PanFrame : public ::testing::TestWithParam<PanCase> {};

TEST_P(PanFrame, MixesToMonoAndRedistributes) {
    const PanCase& c = GetParam();
    CSampleBuffer buffer;
    FillSample(buffer, c.layout, 8000, {c.left, c.right, c.left, c.right});
    buffer.PanFrame(c.position, 1);
    EXPECT_EQ(ValuesOf(buffer), (Values{c.left, c.right, c.expectedLeft, c.expectedRight}));
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PanFrame,
    ::testing::Values(PanCase{SampleLayout::Stereo8, 228, 28, 1.0f, 128, 128},
                      PanCase{SampleLayout::Stereo8, 228, 128, 0.5f, 153, 153},
                      PanCase{SampleLayout::Stereo8, 200, 100, 1.0f, 150, 128},
                      PanCase{SampleLayout::Stereo8, 200, 100, 0.0f, 128, 150},
                      PanCase{SampleLayout::Stereo8, 0, 0, 1.0f, 0, 128},
                      PanCase{SampleLayout::Stereo16, 1001, -3, 0.25f, 124, 374},
                      PanCase{SampleLayout::Stereo16, -32768, -32768, 1.0f, -32768, 0},
                      // Beyond fully left the mix is not pushed past full scale.
                      PanCase{SampleLayout::Stereo16, -32768, -32768, 3.0f, -32768, 0}));

TEST(PanFrameMono, LeavesAMonoSampleAlone) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono16, 8000, {500, 700});
    buffer.PanFrame(1.0f, 0);
    EXPECT_EQ(ValuesOf(buffer), (Values{500, 700}));
}

// ----- Reverse and ChangeSign ------------------------------------------------------------

struct ReverseCase {
    SampleLayout layout;
    qint64 first;
    qint64 last;
    int channel;
    Values values;
    Values expected;
};

class Reverse : public ::testing::TestWithParam<ReverseCase> {};

TEST_P(Reverse, ReversesTheRangeOfTheChosenChannel) {
    const ReverseCase& c = GetParam();
    CSampleBuffer buffer;
    FillSample(buffer, c.layout, 8000, c.values);
    buffer.Reverse(c.first, c.last, c.channel);
    EXPECT_EQ(ValuesOf(buffer), c.expected);
    buffer.Reverse(c.first, c.last, c.channel);
    EXPECT_EQ(ValuesOf(buffer), c.values);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, Reverse,
    ::testing::Values(
        ReverseCase{SampleLayout::Mono8, 1, 3, 0, {1, 2, 3, 4, 5}, {1, 4, 3, 2, 5}},
        ReverseCase{SampleLayout::Mono16, -1, -1, 0, {-1, 2, -3, 4}, {4, -3, 2, -1}},
        ReverseCase{SampleLayout::Stereo8, -1, -1, 0, {1, 2, 3, 4, 5, 6}, {5, 6, 3, 4, 1, 2}},
        ReverseCase{SampleLayout::Stereo8, 0, 2, 1, {1, 2, 3, 4, 5, 6}, {5, 2, 3, 4, 1, 6}},
        ReverseCase{
            SampleLayout::Stereo16, -1, -1, 0, {1, -2, 3, -4, 5, -6}, {5, -6, 3, -4, 1, -2}},
        ReverseCase{SampleLayout::Stereo16, 1, 2, 2, {1, -2, 3, -4, 5, -6}, {1, -2, 3, -6, 5, -4}},
        ReverseCase{SampleLayout::Mono16, 2, 2, 0, {7, 8, 9}, {7, 8, 9}}));

TEST(ChangeSign, FlipsTheTopBitOfTheRangeBytesAndTwiceRestores) {
    CSampleBuffer buffer;
    const Values input = RandomValues(SampleLayout::Stereo16, 4, 7);
    FillSample(buffer, SampleLayout::Stereo16, 8000, input);
    const CSampleState before = CSampleState::Of(buffer);
    buffer.ChangeSign(1, 2);
    const CSampleState once = CSampleState::Of(buffer);
    for (int i = 0; i < before.bytes.size(); ++i) {
        const bool inRange = i >= 4 && i < 12;
        EXPECT_EQ(quint8(once.bytes[i]), quint8(before.bytes[i] ^ (inRange ? 0x80 : 0))) << i;
    }
    buffer.ChangeSign(1, 2);
    EXPECT_EQ(CSampleState::Of(buffer), before);
}

TEST(DecodeULaw, ExpandsThreeCodesToThreeWords) {
    for (SampleLayout layout : {SampleLayout::Mono8, SampleLayout::Stereo8}) {
        CSampleBuffer buffer;
        FillSample(buffer, layout, 8000, {0, 127, 128, 255});
        if (layout == SampleLayout::Mono8)
            buffer.DeleteFrames(3, 3, 0);
        const quint32 codes = buffer.GetByteLength();
        ASSERT_EQ(buffer.DecodeULaw(), 1);
        EXPECT_EQ(buffer.GetByteLength(), codes * 2);
        EXPECT_EQ(buffer.GetLayout(),
                  LayoutIsStereo(layout) ? SampleLayout::Stereo16 : SampleLayout::Mono16);
        EXPECT_EQ(buffer.GetRate(), 8000u);
        const Values expected = {-32124, 0, 32124, 0};
        EXPECT_EQ(ValuesOf(buffer), Values(expected.begin(), expected.begin() + codes));
    }
}

// ----- The Adjust Volume dialog's result and gain texts -------------------------------------

struct VolumeCase {
    SampleLayout layout;
    int channel;
    float left;
    float right;
    Values expected;
};

class AdjustVolume : public ::testing::TestWithParam<VolumeCase> {};

TEST_P(AdjustVolume, AppliesEachSidesGain) {
    const VolumeCase& c = GetParam();
    CSampleBuffer buffer;
    FillSample(buffer, c.layout, 8000, {1000, 1000, -1000, -1000});
    CSampleEditor editor(buffer);
    editor.AdjustVolume(c.left, c.right, -1, -1, c.channel, false, 0.0f);
    EXPECT_EQ(ValuesOf(buffer), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Selectors, AdjustVolume,
    ::testing::Values(VolumeCase{SampleLayout::Stereo16, 0, 1.0f, 1.0f, {1000, 1000, -1000, -1000}},
                      VolumeCase{SampleLayout::Stereo16, 0, 2.0f, 0.5f, {2000, 500, -2000, -500}},
                      VolumeCase{SampleLayout::Stereo16, 1, 2.0f, 0.5f, {2000, 1000, -2000, -1000}},
                      VolumeCase{SampleLayout::Stereo16, 2, 2.0f, 0.5f, {1000, 500, -1000, -500}},
                      VolumeCase{SampleLayout::Mono16, 0, 3.0f, 0.5f, {3000, 3000, -3000, -3000}}));

TEST(AdjustVolume, RemovesTheBiasAfterTheGain) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono16, 8000, {1000, 3000});
    CSampleEditor editor(buffer);
    editor.AdjustVolume(2.0f, 2.0f, -1, -1, 0, true, 0.0f);
    EXPECT_EQ(ValuesOf(buffer), (Values{-2000, 2000}));
}

struct TextCase {
    double percent;
    bool decibels;
    const char* text;
};

class VolumeText : public ::testing::TestWithParam<TextCase> {};

TEST_P(VolumeText, WritesTheUnitsDigits) {
    EXPECT_EQ(CVolumeScale::TextFromPercent(GetParam().percent, GetParam().decibels),
              QLatin1String(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Units, VolumeText,
                         ::testing::Values(TextCase{50, true, "-6.02"}, TextCase{100, true, "0.00"},
                                           TextCase{200, true, "6.02"},
                                           TextCase{1000, true, "20.00"}, TextCase{0, true, "-inf"},
                                           TextCase{50, false, "50.0"},
                                           TextCase{12.24, false, "12.2"},
                                           TextCase{-0.5, false, "-0.5"}));

TEST(VolumeText, ReadsPercentagesAndDecibels) {
    EXPECT_DOUBLE_EQ(*CVolumeScale::PercentFromText(QStringLiteral(" 150 "), false), 150.0);
    EXPECT_DOUBLE_EQ(*CVolumeScale::PercentFromText(QStringLiteral("20"), true), 1000.0);
    EXPECT_NEAR(*CVolumeScale::PercentFromText(QStringLiteral("-6.02"), true), 50.0, 0.01);
    EXPECT_DOUBLE_EQ(*CVolumeScale::PercentFromText(QStringLiteral("-inf"), true), 0.0);
    EXPECT_FALSE(CVolumeScale::PercentFromText(QStringLiteral("loud"), false).has_value());
    EXPECT_FALSE(CVolumeScale::PercentFromText(QString(), true).has_value());
}

} // namespace
