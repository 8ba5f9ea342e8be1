// 24-bit and float samples: reading frames in other layouts, conversions between the depths,
// the effects, partial edits, the clipboard and the peak summary. Values are written and read
// here byte by byte, independently of the editor's own sample access.

#include "core/peaksummary.h"
#include "core/samplebuffer.h"
#include "core/sampleeditor.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

namespace {

using L = SampleLayout;
// Sample values in memory order: bytes 0..255 for 8-bit layouts, signed integers for 16- and
// 24-bit ones, floats for float ones.
using Values = std::vector<double>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void Put(quint8* p, SampleDepth depth, double v) {
    const qint64 i = qint64(v);
    switch (depth) {
    case SampleDepth::Int8:
        p[0] = quint8(i);
        break;
    case SampleDepth::Int16:
    case SampleDepth::Int24:
        for (quint32 b = 0; b < DepthBytes(depth); ++b)
            p[b] = quint8(i >> (8 * b));
        break;
    case SampleDepth::Float32: {
        const float f = float(v);
        std::memcpy(p, &f, 4);
        break;
    }
    }
}

double Get(const quint8* p, SampleDepth depth) {
    switch (depth) {
    case SampleDepth::Int8:
        return p[0];
    case SampleDepth::Int16:
        return qint16(quint16(p[0] | p[1] << 8));
    case SampleDepth::Int24: {
        const qint32 v = qint32(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16);
        return v >= 0x800000 ? v - 0x1000000 : v;
    }
    case SampleDepth::Float32:
        break;
    }
    float f;
    std::memcpy(&f, p, 4);
    return f;
}

void Fill(CSampleBuffer& buffer, SampleLayout layout, const Values& values, quint32 rate = 22050) {
    const SampleDepth depth = LayoutDepth(layout);
    buffer.SetFormat(rate, LayoutIsStereo(layout), depth);
    ASSERT_EQ(buffer.InsertFrames(0, quint32(values.size() / LayoutChannels(layout)), 0), 1);
    for (std::size_t i = 0; i < values.size(); ++i)
        Put(buffer.GetData() + i * DepthBytes(depth), depth, values[i]);
    buffer.CommitFormat();
}

Values Read(const CSampleBuffer& buffer) {
    Values values;
    const quint32 bytes = buffer.BytesPerSample();
    for (quint32 i = 0; i + bytes <= buffer.GetByteLength(); i += bytes)
        values.push_back(Get(buffer.GetData() + i, buffer.GetDepth()));
    return values;
}

// Compares with NaN equal to NaN, so that tables can say "no number".
::testing::AssertionResult Same(const Values& got, const Values& want) {
    bool same = got.size() == want.size();
    for (std::size_t i = 0; same && i < got.size(); ++i)
        same = got[i] == want[i] || (std::isnan(got[i]) && std::isnan(want[i]));
    if (same)
        return ::testing::AssertionSuccess();
    auto text = [](const Values& v) {
        QString s;
        for (double x : v)
            s += QString::number(x, 'g', 10) + QLatin1Char(' ');
        return s.toStdString();
    };
    return ::testing::AssertionFailure() << "got " << text(got) << "\nwant " << text(want);
}

Values Random24(std::size_t count, quint32 seed) {
    Values v{-8388608, 8388607, 0, -1};
    quint32 x = seed;
    while (v.size() < count) {
        x = x * 1664525u + 1013904223u;
        v.push_back(double(qint32(x) >> 8));
    }
    return v;
}

// ----- ReadFrame --------------------------------------------------------------------------

struct FrameCase {
    SampleLayout source;
    Values frame;
    SampleLayout target;
    Values want;
};

class ReadWideFrame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(ReadWideFrame, ConvertsOneFrameIntoItsSlot) {
    const FrameCase& c = GetParam();
    CSampleBuffer buffer;
    Fill(buffer, c.source, c.frame);
    quint8 slot[8];
    std::memset(slot, 0xEE, sizeof slot);
    buffer.ReadFrame(0, c.target, slot);
    // The right channel's half starts at byte 2 of the 4-byte slot of 8/16-bit targets, at
    // byte 4 of the 8-byte slot of 24-bit and float ones.
    const quint32 half = LayoutIsClassic(c.target) ? 2 : 4;
    Values got;
    for (quint32 ch = 0; ch < LayoutChannels(c.target); ++ch)
        got.push_back(Get(slot + ch * half, LayoutDepth(c.target)));
    EXPECT_TRUE(Same(got, c.want));
}

INSTANTIATE_TEST_SUITE_P(
    Depths, ReadWideFrame,
    ::testing::Values(
        // Integers widen by shifting and narrow to their high bits.
        FrameCase{L::Mono16, {-32768}, L::Mono24, {-8388608}},
        FrameCase{L::Mono16, {1234}, L::Stereo24, {315904, 315904}},
        FrameCase{L::Mono8, {0}, L::Mono24, {-8388608}},
        FrameCase{L::Mono24, {0x123456}, L::Mono16, {0x1234}},
        FrameCase{L::Mono24, {-1}, L::Mono16, {-1}}, FrameCase{L::Mono24, {-1}, L::Mono8, {127}},
        FrameCase{L::Stereo24, {8388607, -8388608}, L::Mono24, {-1}},
        FrameCase{L::Stereo24, {8388607, 8388607}, L::Mono16, {32767}},
        FrameCase{L::Stereo16, {-32768, 32767}, L::Stereo24, {-8388608, 8388352}},
        // Integers to float divide by 2^(bits-1); a stereo mix keeps its half step.
        FrameCase{L::Mono8, {64}, L::MonoFloat, {-0.5}},
        FrameCase{L::Mono16, {-16384}, L::StereoFloat, {-0.5, -0.5}},
        FrameCase{L::Stereo16, {100, 101}, L::MonoFloat, {double(float(100.5 / 32768))}},
        FrameCase{L::Mono24, {-8388608}, L::MonoFloat, {-1.0}},
        // Float to integers rounds and clips; no number is silence.
        FrameCase{L::MonoFloat, {0.5}, L::Mono16, {16384}},
        FrameCase{L::MonoFloat, {1.5}, L::Mono16, {32767}},
        FrameCase{L::MonoFloat, {-2.0}, L::Mono24, {-8388608}},
        FrameCase{L::MonoFloat, {kNaN}, L::Mono16, {0}},
        FrameCase{L::MonoFloat, {0.25}, L::Mono8, {160}},
        FrameCase{L::StereoFloat, {1.5, 0.5}, L::MonoFloat, {1.0}},
        FrameCase{L::StereoFloat, {1.5, 0.75}, L::Mono24, {8388607}},
        // Float to float keeps everything, beyond full scale and no number too.
        FrameCase{L::MonoFloat, {-3.25}, L::StereoFloat, {-3.25, -3.25}},
        FrameCase{L::StereoFloat, {kNaN, 7.0}, L::StereoFloat, {kNaN, 7.0}},
        // The strip reads every layout as 8-bit stereo.
        FrameCase{L::StereoFloat, {0.5, -1.5}, L::Stereo8, {192, 0}},
        FrameCase{L::Mono24, {-4194304}, L::Stereo8, {64, 64}},
        FrameCase{L::Stereo24, {8388607, 65535}, L::Stereo8, {255, 128}}));

// ----- ConvertLayout and ApplyFormat ------------------------------------------------------

struct RoundTrip {
    SampleLayout from;
    SampleLayout via;
};

class DepthRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// The conversions that lose nothing come back bit for bit, and the wider values are exact.
TEST_P(DepthRoundTrip, ComesBackExactly) {
    const RoundTrip& c = GetParam();
    const SampleDepth from = LayoutDepth(c.from);
    Values original = Random24(64, 7);
    for (double& v : original)
        v = from == SampleDepth::Int16 ? std::floor(v / 256) : v;
    CSampleBuffer buffer;
    Fill(buffer, c.from, original);
    ASSERT_EQ(buffer.ConvertLayout(c.from, c.via), 1);
    EXPECT_EQ(buffer.GetLayout(), c.via);
    EXPECT_EQ(buffer.GetBits(), DepthBits(LayoutDepth(c.via)));
    Values widened = original;
    for (double& v : widened)
        v = LayoutDepth(c.via) != SampleDepth::Float32 ? v * 256
            : from == SampleDepth::Int16               ? v / 32768
                                                       : v / 8388608;
    EXPECT_TRUE(Same(Read(buffer), widened));
    ASSERT_EQ(buffer.ConvertLayout(c.via, c.from), 1);
    EXPECT_TRUE(Same(Read(buffer), original));
}

INSTANTIATE_TEST_SUITE_P(Lossless, DepthRoundTrip,
                         ::testing::Values(RoundTrip{L::Stereo16, L::Stereo24},
                                           RoundTrip{L::Mono16, L::Mono24},
                                           RoundTrip{L::Stereo24, L::StereoFloat},
                                           RoundTrip{L::Mono24, L::MonoFloat},
                                           RoundTrip{L::Stereo16, L::StereoFloat}));

struct LayoutCase {
    SampleLayout from;
    Values values;
    SampleLayout to;
    Values want;
};

class WideConvertLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(WideConvertLayout, ConvertsTheWholeSample) {
    const LayoutCase& c = GetParam();
    CSampleBuffer buffer;
    Fill(buffer, c.from, c.values);
    ASSERT_EQ(buffer.ConvertLayout(c.from, c.to), 1);
    EXPECT_TRUE(Same(Read(buffer), c.want));
    EXPECT_EQ(buffer.GetFormat().formatTag, c.to == L::MonoFloat || c.to == L::StereoFloat ? 3 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, WideConvertLayout,
    ::testing::Values(
        // Float to 16 bits clips beyond full scale and rounds to the nearest step.
        LayoutCase{L::MonoFloat,
                   {1.5, -1.5, 0.25, -1.0, 0.99999, 1.0 / 65536 * 3},
                   L::Mono16,
                   {32767, -32768, 8192, -32768, 32767, 2}},
        LayoutCase{L::StereoFloat, {1.5, -0.5, 2.0, 2.0}, L::Mono24, {4194304, 8388607}},
        LayoutCase{L::Stereo24, {-8388608, 8388607, 256, 767}, L::Mono16, {-1, 1}},
        LayoutCase{
            L::Mono8, {0, 255, 128}, L::Stereo24, {-8388608, -8388608, 8323072, 8323072, 0, 0}},
        LayoutCase{L::Mono24, {8388607, -8388608, 65535}, L::Mono8, {255, 0, 128}}));

// The depth the format record names is the one ApplyFormat converts to, rate and all.
TEST(WideApplyFormat, ConvertsToTheDepthOfTheFormat) {
    struct Case {
        SampleLayout from;
        Values values;
        SampleDepth to;
        Values want;
        quint16 tag;
    } const cases[] = {
        {L::Mono16, {-32768, 16384, 5}, SampleDepth::Int24, {-8388608, 4194304, 1280}, 1},
        {L::Mono16, {-32768, 16384, 5}, SampleDepth::Float32, {-1, 0.5, 5.0 / 32768}, 3},
        {L::MonoFloat, {3.0, -0.5, 0.0}, SampleDepth::Int16, {32767, -16384, 0}, 1},
        {L::Mono24, {-8388608, 4194304, 1280}, SampleDepth::Int16, {-32768, 16384, 5}, 1}};
    for (const Case& c : cases) {
        CSampleBuffer buffer;
        Fill(buffer, c.from, c.values);
        buffer.SetFormat(buffer.GetRate(), false, c.to);
        ASSERT_EQ(buffer.ApplyFormat(), 1);
        EXPECT_EQ(buffer.GetDepth(), c.to);
        EXPECT_EQ(buffer.GetFormat().formatTag, c.tag);
        EXPECT_EQ(buffer.GetCommittedFormat(), buffer.GetFormat());
        EXPECT_TRUE(Same(Read(buffer), c.want)) << int(c.to);
    }
}

// Lowering 24-bit or float samples to 16 bits with dither rounds with noise: never more than
// one and a half steps from the exact value, and without the bias of keeping the high bits.
TEST(WideDither, StaysWithinItsNoiseAndHasNoBias) {
    for (SampleLayout from : {L::Mono24, L::MonoFloat}) {
        const bool isFloat = from == L::MonoFloat;
        Values values(4000);
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] =
                isFloat ? double(float((double(i) - 2000.3) / 32768)) : double(i) * 37 - 70000;
        CSampleBuffer buffer;
        Fill(buffer, from, values);
        buffer.SetDither(true);
        ASSERT_EQ(buffer.ConvertLayout(from, L::Mono16), 1);
        const Values out = Read(buffer);
        ASSERT_EQ(out.size(), values.size());
        double bias = 0;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double exact = values[i] * (isFloat ? 32768.0 : 1.0 / 256);
            EXPECT_LE(std::fabs(out[i] - exact), 1.5) << i;
            bias += out[i] - exact;
        }
        EXPECT_LT(std::fabs(bias / double(out.size())), 0.1) << int(from);
    }
}

// Linear interpolation at 24 bits and in float, where values beyond full scale stay.
TEST(WideResample, InterpolatesLinearly) {
    struct Case {
        SampleLayout layout;
        Values values;
        Values want;
    } const cases[] = {
        {L::Mono24, {0, 1000001, -8388608}, {0, 500000, 1000001, -3694303, -8388608, -8388608}},
        {L::MonoFloat, {1.5, 3.0}, {1.5, 2.25, 3.0, 3.0}},
        {L::Stereo24, {8, -8, 16, -16}, {8, -8, 12, -12, 16, -16, 16, -16}}};
    for (const Case& c : cases) {
        CSampleBuffer buffer;
        Fill(buffer, c.layout, c.values, 8000);
        ASSERT_EQ(buffer.Resample(8000, 16000), 1);
        EXPECT_TRUE(Same(Read(buffer), c.want)) << int(c.layout);
    }
}

// The band-limited converter keeps a tone at 24 bits and in float, including a float tone above
// full scale that an integer path would have clipped.
TEST(WideResample, BandLimitedKeepsTheTone) {
    struct Case {
        SampleLayout layout;
        double amplitude;
    } const cases[] = {{L::Mono24, 0.5 * 8388608}, {L::MonoFloat, 1.5}, {L::StereoFloat, 0.25}};
    for (const Case& c : cases) {
        const quint32 frames = 4410;
        const quint32 channels = LayoutChannels(c.layout);
        Values values;
        for (quint32 i = 0; i < frames; ++i) {
            for (quint32 ch = 0; ch < channels; ++ch)
                values.push_back(std::round(c.amplitude * std::sin(2 * M_PI * 1000 * i / 44100) *
                                            (c.layout == L::Mono24 ? 1 : 1e6)) /
                                 (c.layout == L::Mono24 ? 1 : 1e6));
        }
        CSampleBuffer buffer;
        Fill(buffer, c.layout, values, 44100);
        buffer.SetFormat(48000, channels == 2, LayoutDepth(c.layout));
        ASSERT_EQ(buffer.ApplyFormat(), 1);
        const Values out = Read(buffer);
        ASSERT_EQ(out.size(), std::size_t(frames * 48000 / 44100 * channels));
        double worst = 0;
        // Away from the ends, where the tone starts and stops abruptly.
        for (std::size_t i = 400 * channels; i + 400 * channels < out.size(); ++i) {
            const double t = double(i / channels) / 48000;
            worst =
                std::max(worst, std::fabs(out[i] - c.amplitude * std::sin(2 * M_PI * 1000 * t)));
        }
        EXPECT_LT(worst, c.amplitude * 1e-4) << int(c.layout);
    }
}

// ----- Clipboard --------------------------------------------------------------------------

class WideClipboard : public ::testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }
};

// A float clip keeps its values beyond full scale in a float sample and is converted (clipped)
// in a 16-bit one; one channel of a 24-bit sample travels as a mono 24-bit clip.
TEST_F(WideClipboard, PastingConvertsToTheSamplesLayout) {
    struct Case {
        SampleLayout clipLayout;
        Values clip;
        int copyChannel;
        SampleLayout target;
        Values before;
        quint32 at;
        int pasteChannel;
        Values want;
    } const cases[] = {
        {L::MonoFloat, {1.75, -2.5}, 0, L::MonoFloat, {0.125}, 1, 0, {0.125, 1.75, -2.5}},
        {L::StereoFloat, {1.75, -2.5}, 0, L::Stereo16, {5, 6}, 0, 0, {32767, -32768, 5, 6}},
        {L::MonoFloat, {0.5}, 0, L::Stereo24, {1, 2}, 0, 2, {1, 4194304, 0, 2}},
        {L::Stereo24, {-8388608, 8388607, 65536, 3}, 2, L::Mono24, {9}, 0, 0, {8388607, 3, 9}},
        {L::Stereo24,
         {-8388608, 8388607},
         0,
         L::StereoFloat,
         {0, 0},
         1,
         0,
         {0, 0, -1.0, 8388607.0 / 8388608}},
    };
    for (const Case& c : cases) {
        CSampleBuffer source;
        Fill(source, c.clipLayout, c.clip);
        ASSERT_EQ(source.CopyToClipboard(nullptr, -1, -1, c.copyChannel), 1);
        CSampleBuffer target;
        Fill(target, c.target, c.before);
        const quint32 frames = quint32(c.clip.size() / LayoutChannels(c.clipLayout));
        EXPECT_EQ(target.InsertClipboard(nullptr, c.at, c.pasteChannel), frames);
        EXPECT_EQ(target.GetLayout(), c.target);
        EXPECT_TRUE(Same(Read(target), c.want)) << int(c.target);
    }
}

// Cutting part of a 24-bit sample and pasting it back restores every byte.
TEST_F(WideClipboard, CutAndPasteOf24BitIsExact) {
    for (int channel : {0, 1, 2}) {
        const Values original = Random24(40, 11);
        CSampleBuffer buffer;
        Fill(buffer, L::Stereo24, original);
        ASSERT_EQ(buffer.CutToClipboard(nullptr, 5, 12, channel), 1);
        if (channel == 0) {
            EXPECT_EQ(buffer.GetFrameCount(), 12u);
        }
        EXPECT_EQ(buffer.InsertClipboard(nullptr, 5, channel), 8u);
        Values restored = Read(buffer);
        // A one-channel cut leaves its fill at the other end of that channel.
        if (channel != 0)
            restored.resize(original.size());
        EXPECT_TRUE(Same(restored, original)) << channel;
    }
}

// ----- Effects ----------------------------------------------------------------------------

struct EffectCase {
    const char* name;
    SampleLayout layout;
    Values values;
    std::function<int(CSampleBuffer&)> effect;
    Values want;
};

class WideEffect : public ::testing::TestWithParam<EffectCase> {};

TEST_P(WideEffect, GivesTheExpectedValues) {
    const EffectCase& c = GetParam();
    CSampleBuffer buffer;
    Fill(buffer, c.layout, c.values);
    EXPECT_EQ(c.effect(buffer), 1);
    EXPECT_TRUE(Same(Read(buffer), c.want));
}

INSTANTIATE_TEST_SUITE_P(
    Depths, WideEffect,
    ::testing::Values(
        // 24-bit gains saturate at the limits and truncate toward zero.
        EffectCase{"amplify24",
                   L::Mono24,
                   {4194304, -4194305, 1000001, -3},
                   [](CSampleBuffer& b) { return b.Amplify(2.0f, -1, -1, 0); },
                   {8388607, -8388608, 2000002, -6}},
        EffectCase{"attenuate24",
                   L::Mono24,
                   {1000001, -7},
                   [](CSampleBuffer& b) { return b.Amplify(0.3f, -1, -1, 0); },
                   {300000, -2}},
        EffectCase{"amplifyRight24",
                   L::Stereo24,
                   {100, 100, -101, -101},
                   [](CSampleBuffer& b) { return b.Amplify(0.5f, -1, -1, 2); },
                   {100, 50, -101, -50}},
        // Float gains keep what lies beyond full scale.
        EffectCase{"amplifyFloat",
                   L::StereoFloat,
                   {0.75, -3, 0.5, kNaN},
                   [](CSampleBuffer& b) { return b.Amplify(2.0f, -1, -1, 0); },
                   {1.5, -6, 1.0, kNaN}},
        EffectCase{"amplifyLeftFloat",
                   L::StereoFloat,
                   {0.75, 0.75},
                   [](CSampleBuffer& b) { return b.Amplify(4.0f, 0, 0, 1); },
                   {3.0, 0.75}},
        EffectCase{"reverse24",
                   L::Stereo24,
                   {1, -2, 3, -4, 5, -6},
                   [](CSampleBuffer& b) { return b.Reverse(-1, -1, 0); },
                   {5, -6, 3, -4, 1, -2}},
        EffectCase{"reverseRight24",
                   L::Stereo24,
                   {1, -2, 3, -4, 5, -6},
                   [](CSampleBuffer& b) { return b.Reverse(-1, -1, 2); },
                   {1, -6, 3, -4, 5, -2}},
        EffectCase{"reverseFloat",
                   L::StereoFloat,
                   {1.5, -2, 3, kNaN},
                   [](CSampleBuffer& b) { return b.Reverse(-1, -1, 0); },
                   {3, kNaN, 1.5, -2}},
        EffectCase{"reverseMono24",
                   L::Mono24,
                   {8388607, 0, -8388608},
                   [](CSampleBuffer& b) { return b.Reverse(-1, -1, 0); },
                   {-8388608, 0, 8388607}},
        // The top bit of every byte, as for 8 and 16 bits; float samples are negated.
        EffectCase{"changeSign24",
                   L::Mono24,
                   {0, 1, -8355712},
                   [](CSampleBuffer& b) { return b.ChangeSign(-1, -1); },
                   {-8355712, -8355711, 0}},
        EffectCase{"changeSignFloat",
                   L::StereoFloat,
                   {1.5, -0.25, 3, 0.125, -7, 1},
                   [](CSampleBuffer& b) { return b.ChangeSign(1, 2); },
                   {1.5, -0.25, -3, -0.125, 7, -1}},
        EffectCase{"dcBias24",
                   L::Mono24,
                   {100, 201},
                   [](CSampleBuffer& b) { return b.DCBiasAdjust(0.0f, 0); },
                   {-50, 50}},
        EffectCase{"dcBiasOffset24",
                   L::Mono24,
                   {0, 0, -8388608},
                   [](CSampleBuffer& b) { return b.DCBiasAdjust(1.0f, 0); },
                   {2712316, 2712316, -5676291}},
        EffectCase{"dcBiasFloat",
                   L::MonoFloat,
                   {0.5, 1.5},
                   [](CSampleBuffer& b) { return b.DCBiasAdjust(50.0f, 0); },
                   {-1.0, 0.0}},
        EffectCase{"scaleFrame24",
                   L::Stereo24,
                   {4000000, -5, 7, 7},
                   [](CSampleBuffer& b) { return b.ScaleFrame(3.0f, 0, 0); },
                   {8388607, -15, 7, 7}},
        EffectCase{"scaleFrameFloat",
                   L::MonoFloat,
                   {0.5, 0.5},
                   [](CSampleBuffer& b) { return b.ScaleFrame(3.0f, 1, 0); },
                   {0.5, 1.5}},
        EffectCase{"panFrame24",
                   L::Stereo24,
                   {1001, 3},
                   [](CSampleBuffer& b) { return b.PanFrame(0.25f, 0); },
                   {125, 375}},
        EffectCase{"panFrameFloat",
                   L::StereoFloat,
                   {1.0, 3.0},
                   [](CSampleBuffer& b) { return b.PanFrame(0.25f, 0); },
                   {0.5, 1.5}}),
    [](const auto& info) { return std::string(info.param.name); });

// Long runs (done several samples at a time) give every sample the single-precision product,
// saturated and truncated toward zero at 24 bits, as it is in float; up to the last sample of
// the range and not one byte beyond.
TEST(WideAmplify, LongRunsMatchTheProductOfEachSample) {
    for (SampleLayout layout : {L::Mono24, L::Stereo24, L::MonoFloat, L::StereoFloat}) {
        const SampleDepth depth = LayoutDepth(layout);
        const bool isFloat = depth == SampleDepth::Float32;
        for (float gain : {2.0f, 0.3f, -1.5f, 1.0f, 1e30f}) {
            for (quint32 frames : {6u, 7u, 1001u}) {
                Values values = Random24(frames * LayoutChannels(layout), frames);
                for (double& v : values)
                    v = isFloat ? v / 4194304 : v;
                CSampleBuffer buffer;
                Fill(buffer, layout, values);
                // Two frames after the range, which must keep their values.
                const quint32 after = 2 * LayoutChannels(layout);
                ASSERT_EQ(buffer.InsertFrames(frames, 2, 0), 1);
                for (quint32 i = 1; i <= after; ++i)
                    Put(buffer.GetData() + buffer.GetByteLength() - DepthBytes(depth) * i, depth,
                        77);
                ASSERT_EQ(buffer.Amplify(gain, 0, frames - 1, 0), 1);
                Values want;
                for (double v : values) {
                    const double x = double(float(v) * gain);
                    want.push_back(isFloat ? x : std::trunc(std::clamp(x, -8388608.0, 8388607.0)));
                }
                want.resize(want.size() + after, 77);
                EXPECT_TRUE(Same(Read(buffer), want))
                    << int(layout) << " " << gain << " " << frames;
            }
        }
    }
}

// Reversing runs of every length (done twelve bytes from each end at a time where they are
// long) puts every frame of the range in reverse order, bit for bit, and leaves the frames
// around the range alone.
TEST(WideReverse, LongRunsReverseEveryFrameExactly) {
    for (SampleLayout layout : {L::Mono24, L::Stereo24, L::MonoFloat, L::StereoFloat}) {
        const quint32 channels = LayoutChannels(layout);
        for (quint32 frames : {2u, 7u, 8u, 9u, 15u, 16u, 17u, 1001u}) {
            Values values = Random24((frames + 2) * channels, frames);
            if (LayoutDepth(layout) == SampleDepth::Float32) {
                for (double& v : values)
                    v = v / 4194304;
            }
            CSampleBuffer buffer;
            Fill(buffer, layout, values);
            ASSERT_EQ(buffer.Reverse(1, frames, 0), 1);
            Values want = values;
            for (quint32 f = 0; f < frames; ++f) {
                for (quint32 c = 0; c < channels; ++c)
                    want[(1 + f) * channels + c] = values[(frames - f) * channels + c];
            }
            EXPECT_TRUE(Same(Read(buffer), want)) << int(layout) << " " << frames;
        }
    }
}

// The peak measures: the largest value, against the full scale of each depth.
TEST(WidePeak, NormaliseAndSearchFindTheLargestValue) {
    struct Case {
        SampleLayout layout;
        Values values;
        float factor;
        quint32 peakFrame;
    } const cases[] = {
        {L::Mono24, {5, 4194304, 4194304, -8000000}, 8388607.0f / 4194304.0f, 1},
        {L::Stereo24, {5, 9, 9, -100}, 8388607.0f / 9.0f, 0},
        {L::MonoFloat, {0.25, 2.5, -7}, 0.4f, 1},
        {L::StereoFloat, {-1, -2, -0.5, 0.125}, 8.0f, 1},
    };
    for (const Case& c : cases) {
        CSampleBuffer buffer;
        Fill(buffer, c.layout, c.values);
        EXPECT_FLOAT_EQ(buffer.NormaliseFactor(-1, -1, 0), c.factor) << int(c.layout);
        EXPECT_EQ(buffer.PeakSearch(-1, -1, 0), c.peakFrame) << int(c.layout);
    }
}

// Ramps of gain and pan at 24 bits and in float give what the frame-by-frame calls give.
TEST(WideRamp, MatchesTheFrameByFrameCalls) {
    for (SampleLayout layout : {L::Mono24, L::Stereo24, L::MonoFloat, L::StereoFloat}) {
        Values values = Random24(2 * 101, 5);
        if (LayoutDepth(layout) == SampleDepth::Float32) {
            for (double& v : values)
                v = v / 4194304;
        }
        values.resize(101 * LayoutChannels(layout));
        for (int channel : {0, 1, 2}) {
            CSampleBuffer ramp;
            CSampleBuffer frames;
            Fill(ramp, layout, values);
            Fill(frames, layout, values);
            ASSERT_EQ(ramp.ScaleRamp(3, 90, channel, 2.5, -0.05, 0.0), 1);
            for (quint32 i = 0; i < 90; ++i)
                frames.ScaleFrame(float(2.5 - 0.05 * i), 3 + i, channel);
            if (LayoutIsStereo(layout)) {
                ASSERT_EQ(ramp.PanRamp(10, 50, -0.2, 0.03, 0.0), 1);
                for (quint32 i = 0; i < 50; ++i)
                    frames.PanFrame(float(-0.2 + 0.03 * i), 10 + i);
            }
            EXPECT_TRUE(Same(Read(ramp), Read(frames))) << int(layout) << " " << channel;
        }
    }
}

// An edit of part of a 24-bit sample rewrites only the samples it names: every other byte
// stays as it was, and an edit and its inverse bring back every byte.
TEST(WidePartialEdit, LeavesTheRestBitExact) {
    struct Case {
        const char* name;
        std::function<void(CSampleBuffer&)> edit;
        // The samples the edit may change: frames first..last of channel (0 both).
        quint32 first, last;
        int channel;
        std::function<void(CSampleBuffer&)> inverse;
    } const cases[] = {
        {"amplify", [](CSampleBuffer& b) { b.Amplify(1.7f, 3, 5, 1); }, 3, 5, 1, nullptr},
        {"reverse", [](CSampleBuffer& b) { b.Reverse(3, 9, 2); }, 3, 9, 2,
         [](CSampleBuffer& b) { b.Reverse(3, 9, 2); }},
        {"reverseBoth", [](CSampleBuffer& b) { b.Reverse(4, 8, 0); }, 4, 8, 0,
         [](CSampleBuffer& b) { b.Reverse(4, 8, 0); }},
        {"changeSign", [](CSampleBuffer& b) { b.ChangeSign(2, 6); }, 2, 6, 0,
         [](CSampleBuffer& b) { b.ChangeSign(2, 6); }},
        {"scaleRamp", [](CSampleBuffer& b) { b.ScaleRamp(7, 4, 2, 0.5, 0.1, 0); }, 7, 10, 2,
         nullptr},
        {"pan", [](CSampleBuffer& b) { b.PanRamp(11, 3, 0.2, 0.1, 0); }, 11, 13, 0, nullptr},
        {"gain1", [](CSampleBuffer& b) { b.Amplify(1.0f, 0, 19, 0); }, 0, 0, 0, nullptr},
    };
    const Values original = Random24(40, 3);
    for (const Case& c : cases) {
        CSampleBuffer buffer;
        Fill(buffer, L::Stereo24, original);
        c.edit(buffer);
        const Values edited = Read(buffer);
        for (std::size_t i = 0; i < original.size(); ++i) {
            const quint32 frame = quint32(i / 2);
            const int channel = int(i % 2) + 1;
            const bool named = frame >= c.first && frame <= c.last &&
                               (c.channel == 0 || c.channel == channel) && c.first != c.last;
            if (!named) {
                EXPECT_EQ(edited[i], original[i]) << c.name << " sample " << i;
            }
        }
        if (c.inverse) {
            c.inverse(buffer);
            EXPECT_TRUE(Same(Read(buffer), original)) << c.name;
        }
    }
}

// Every edit of a 24-bit or float sample, and a conversion between them, undoes to the bytes
// and format there were before and redoes to those after.
TEST(WideUndo, RestoresEveryByte) {
    const std::function<void(CSampleEditor&)> edits[] = {
        [](CSampleEditor& e) { e.Amplify(3.5f, 2, 30, 1); },
        [](CSampleEditor& e) { e.Reverse(-1, -1, 0); },
        [](CSampleEditor& e) { e.ChangeSign(5, 9); },
        [](CSampleEditor& e) { e.DCBiasAdjust(2.0f, 0); },
        [](CSampleEditor& e) { e.DeleteFrames(4, 12, 2); },
        [](CSampleEditor& e) { e.Convert(11025, false, SampleDepth::Int16); },
        [](CSampleEditor& e) { e.Convert(22050, true, SampleDepth::Float32); },
        [](CSampleEditor& e) { e.Convert(22050, true, SampleDepth::Int24); },
    };
    for (SampleLayout layout : {L::Stereo24, L::StereoFloat}) {
        Values values = Random24(80, 9);
        if (layout == L::StereoFloat) {
            for (double& v : values)
                v = v / 4194304;
        }
        int n = 0;
        for (const auto& edit : edits) {
            CSampleBuffer buffer;
            Fill(buffer, layout, values);
            CSampleEditor editor(buffer);
            const Values before = Read(buffer);
            const CWaveFormat format = buffer.GetFormat();
            edit(editor);
            const Values after = Read(buffer);
            const CWaveFormat changed = buffer.GetFormat();
            ASSERT_EQ(editor.Undo(), 1) << n;
            EXPECT_TRUE(Same(Read(buffer), before)) << int(layout) << " edit " << n;
            EXPECT_EQ(buffer.GetFormat(), format) << n;
            EXPECT_EQ(buffer.GetLayout(), layout) << n;
            ASSERT_EQ(editor.Redo(), 1) << n;
            EXPECT_TRUE(Same(Read(buffer), after)) << int(layout) << " edit " << n;
            EXPECT_EQ(buffer.GetFormat(), changed) << n;
            ++n;
        }
    }
}

// ----- Peak summary -----------------------------------------------------------------------

// The 16-bit value the summary shows for a sample value of the depth.
int Shown(double v, SampleDepth depth) {
    if (depth == SampleDepth::Int24)
        return int(std::floor(v / 256));
    return int(std::clamp(std::floor(v * 32768), -32768.0, 32767.0));
}

TEST(WidePeakSummary, RangesGiveTheExtremesOfTheirFrames) {
    for (SampleLayout layout : {L::Mono24, L::Stereo24, L::MonoFloat, L::StereoFloat}) {
        const SampleDepth depth = LayoutDepth(layout);
        const quint32 channels = LayoutChannels(layout);
        const quint32 frames = 9000;
        Values values = Random24(frames * channels, 17);
        if (depth == SampleDepth::Float32) {
            // Values up to twice full scale, which the summary shows at the limits.
            for (double& v : values)
                v = double(float(v / 4194304));
        }
        CSampleBuffer buffer;
        Fill(buffer, layout, values);
        CPeakSummary summary;
        summary.Build(buffer);
        // Around block edges (341 and 170 frames of 24-bit data), across levels and to the end.
        const quint32 ranges[][2] = {{0, 1},    {340, 2},    {169, 3},  {100, 1000},
                                     {5, 8990}, {0, frames}, {8999, 1}, {2727, 5460}};
        for (const auto& r : ranges) {
            for (int channel = 0; channel < 2; ++channel) {
                int lo = 32767;
                int hi = -32768;
                for (quint32 f = r[0]; f < r[0] + r[1]; ++f) {
                    const int v =
                        Shown(values[f * channels + (channels == 2 ? channel : 0)], depth);
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
                qint16 min = 0;
                qint16 max = 0;
                ASSERT_TRUE(summary.Range(buffer, r[0], r[1], channel, min, max));
                EXPECT_EQ(min, lo) << int(layout) << " " << r[0] << "+" << r[1];
                EXPECT_EQ(max, hi) << int(layout) << " " << r[0] << "+" << r[1];
            }
        }
        // An edit and its Update give the summary a fresh build gives.
        buffer.Amplify(-0.5f, 1000, 1200, 0);
        summary.Update(buffer, 1000, 1200);
        CPeakSummary fresh;
        fresh.Build(buffer);
        EXPECT_TRUE(summary == fresh) << int(layout);
    }
}

} // namespace
