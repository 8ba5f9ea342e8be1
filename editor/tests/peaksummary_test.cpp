// The peak summary against the extremes found by reading every frame: ranges on and across block
// boundaries of every level and past the end, a lone spike, edits followed by Update, the empty
// sample, the summary's size, and the summary built while a file is read.

#include "samplemaker.h"

#include "core/peakblocks.h"
#include "core/peaksummary.h"
#include "core/samplebuffer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr SampleLayout kLayouts[] = {SampleLayout::Mono8, SampleLayout::Mono16,
                                     SampleLayout::Stereo8, SampleLayout::Stereo16};

// What a Range call answers; min and max keep these marks when it finds no frame.
struct Answer {
    bool found = false;
    qint16 min = 1111;
    qint16 max = -1111;
    bool operator==(const Answer& o) const {
        return found == o.found && min == o.min && max == o.max;
    }
};
void PrintTo(const Answer& a, std::ostream* os) {
    *os << (a.found ? "" : "none ") << a.min << ".." << a.max;
}

Answer Ask(const CPeakSummary& summary, const CSampleBuffer& buffer, quint32 first, quint32 count,
           int channel) {
    Answer a;
    a.found = summary.Range(buffer, first, count, channel, a.min, a.max);
    return a;
}

// Every frame of first..first+count-1 of one channel as ChannelOf gives it.
Answer ReadEveryFrame(const Values& samples, SampleLayout layout, quint32 first, quint32 count) {
    Answer a;
    for (quint64 i = first; i < quint64(first) + count && i < samples.size(); ++i) {
        const int v = LayoutIs16Bit(layout) ? samples[i] : (samples[i] - 128) * 256;
        a.min = qint16(a.found ? std::min<int>(a.min, v) : v);
        a.max = qint16(a.found ? std::max<int>(a.max, v) : v);
        a.found = true;
    }
    return a;
}

// 41 level-0 blocks, the last one partial: three level-1 blocks, one level-2 block.
quint32 FramesFor(SampleLayout layout) {
    return 40 * (1024 / LayoutBytesPerFrame(layout)) + 37;
}

// Ranges on the boundaries of blocks (b frames) and of their parents, past the end and empty,
// each block alone, then random ones, short and long.
std::vector<std::pair<quint32, quint32>> Spans(quint32 b, quint32 frames) {
    std::vector<std::pair<quint32, quint32>> spans = {
        {0, 1},          {b - 1, 2},           {b, b},           {b - 1, b + 2}, {16 * b, 16 * b},
        {3, 33 * b},     {17 * b + 5, 20 * b}, {32 * b, 9 * b},  {40 * b, 37},   {0, frames},
        {frames - 1, 1}, {frames - 5, 100},    {7, 0xFFFFFFFFu}, {frames, 1},    {0, 0}};
    for (quint32 k = 0; k * b < frames; ++k) // every block of levels 0 and 1 on its own
        spans.insert(spans.end(), {{k * b, b}, {16 * k * b, 16 * b}});
    QRandomGenerator random(3);
    for (int i = 0; i < 200; ++i)
        spans.emplace_back(random.bounded(frames + 1), random.bounded(i % 2 ? 3 * b : frames + 99));
    return spans;
}

class PeakRange : public ::testing::TestWithParam<SampleLayout> {};

TEST_P(PeakRange, EqualsTheExtremesOfEveryFrame) {
    const SampleLayout layout = GetParam();
    CSampleBuffer buffer;
    FillSample(buffer, layout, 22050, RandomValues(layout, FramesFor(layout), 7));
    CPeakSummary summary;
    summary.Build(buffer);
    ASSERT_EQ(summary.BlockFrames(), 1024 / LayoutBytesPerFrame(layout));
    for (int channel : {0, 1})
        for (const auto& [first, count] : Spans(summary.BlockFrames(), FramesFor(layout)))
            EXPECT_EQ(Ask(summary, buffer, first, count, channel),
                      ReadEveryFrame(ChannelOf(buffer, channel), layout, first, count))
                << "frames " << first << " +" << count << ", channel " << channel;
}

INSTANTIATE_TEST_SUITE_P(Layouts, PeakRange, ::testing::ValuesIn(kLayouts));

TEST(PeakSummary, FindsAOneFrameSpikeInALongFlatStretch) {
    for (SampleLayout layout : kLayouts) {
        const quint32 channels = LayoutChannels(layout);
        const quint32 frames = 300 * 1024 / LayoutBytesPerFrame(layout);
        const quint32 spike = frames / 2 + 77;
        const int channel = int(channels) - 1;
        Values values(frames * channels, LayoutIs16Bit(layout) ? 0 : 128);
        values[spike * channels + channel] = LayoutIs16Bit(layout) ? -32768 : 0;
        CSampleBuffer buffer;
        FillSample(buffer, layout, 8000, values);
        CPeakSummary summary;
        summary.Build(buffer);
        const Answer spiked{true, -32768, 0};
        const Answer flat{true, 0, 0};
        EXPECT_EQ(Ask(summary, buffer, 5, frames - 9, channel), spiked) << quint32(layout);
        EXPECT_EQ(Ask(summary, buffer, 0, spike, channel), flat) << quint32(layout);
        EXPECT_EQ(Ask(summary, buffer, spike + 1, frames, channel), flat) << quint32(layout);
        // A mono sample answers for both channels.
        EXPECT_EQ(Ask(summary, buffer, 0, frames, 1 - channel), channels == 2 ? flat : spiked);
    }
}

// Each edit changes the sample and names the frames to Update.
using Edit = std::pair<quint32, quint32> (*)(CSampleBuffer&);
const std::pair<const char*, Edit> kEdits[] = {
    {"overwritten middle",
     [](CSampleBuffer& b) {
         std::memset(b.GetData() + b.GetByteLength() / 2, 0x7F, 2000);
         return std::make_pair(b.GetFrameCount() / 2,
                               (b.GetByteLength() / 2 + 2000) / b.BytesPerFrame());
     }},
    {"deleted",
     [](CSampleBuffer& b) { return b.DeleteFrames(1000, 9000, 0), std::make_pair(1000u, ~0u); }},
    {"deleted, naming only those",
     [](CSampleBuffer& b) { return b.DeleteFrames(1000, 9000, 0), std::make_pair(1000u, 9000u); }},
    {"deleted to one block",
     [](CSampleBuffer& b) { return b.DeleteFrames(100, -1, 0), std::make_pair(100u, ~0u); }},
    {"everything deleted",
     [](CSampleBuffer& b) { return b.DeleteFrames(-1, -1, 0), std::make_pair(0u, ~0u); }},
    {"inserted",
     [](CSampleBuffer& b) {
         b.InsertFrames(2000, 70000, 0);
         std::memset(b.GetData() + 2000 * b.BytesPerFrame(), 0x11, 70000 * b.BytesPerFrame());
         return std::make_pair(2000u, ~0u);
     }},
    {"new layout",
     [](CSampleBuffer& b) {
         const SampleLayout from = b.GetLayout();
         b.ConvertLayout(from, MakeLayout(!LayoutIsStereo(from), !LayoutIs16Bit(from)));
         return std::make_pair(0u, ~0u);
     }},
};

class PeakUpdate
    : public ::testing::TestWithParam<std::tuple<SampleLayout, std::pair<const char*, Edit>>> {};

TEST_P(PeakUpdate, AnswersAsAFreshBuild) {
    const auto& [layout, edit] = GetParam();
    CSampleBuffer buffer;
    FillSample(buffer, layout, 22050, RandomValues(layout, FramesFor(layout), 11));
    CPeakSummary updated;
    updated.Build(buffer);
    const auto [first, last] = edit.second(buffer);
    updated.Update(buffer, first, last);
    CPeakSummary fresh;
    fresh.Build(buffer);
    ASSERT_EQ(updated.BlockFrames(), fresh.BlockFrames());
    for (int channel : {0, 1})
        for (const auto& [from, count] : Spans(fresh.BlockFrames(), buffer.GetFrameCount()))
            EXPECT_EQ(Ask(updated, buffer, from, count, channel),
                      Ask(fresh, buffer, from, count, channel))
                << edit.first << ": frames " << from << " +" << count << ", channel " << channel;
}

INSTANTIATE_TEST_SUITE_P(Edits, PeakUpdate,
                         ::testing::Combine(::testing::ValuesIn(kLayouts),
                                            ::testing::ValuesIn(kEdits)));

TEST(PeakSummary, EmptyClearedOrStaleAnswersNothing) {
    CSampleBuffer buffer;
    CPeakSummary summary;
    summary.Build(buffer);
    EXPECT_EQ(Ask(summary, buffer, 0, 100, 0), Answer{});
    FillSample(buffer, SampleLayout::Mono16, 8000, {5, -7, 3});
    summary.Build(buffer);
    EXPECT_EQ(Ask(summary, buffer, 0, 100, 0), (Answer{true, -7, 5}));
    buffer.DeleteFrames(0, 0, 0); // no Update: the summary no longer fits
    EXPECT_EQ(Ask(summary, buffer, 0, 100, 0), Answer{});
    summary.Clear();
    EXPECT_EQ(summary.BlockFrames(), 0u);
}

TEST(PeakSummary, TakesUnderOnePercentOfTheSampleBytes) {
    for (SampleLayout layout : kLayouts) {
        CSampleBuffer buffer;
        FillSample(buffer, layout, 44100, RandomValues(layout, 1 << 20, 1));
        CPeakSummary summary;
        summary.Build(buffer);
        EXPECT_GT(summary.MemoryBytes(), 0u);
        EXPECT_LT(summary.MemoryBytes() * 100, buffer.GetByteLength()) << quint32(layout);
    }
}

// A file of each reader's path: the plain wave layouts read in pieces, a float wave converted as
// it is read, a Sun audio file, and bytes no reader knows (loaded raw). Each holds more than one
// read piece and ends inside a block.
struct LoadCase {
    const char* name;
    FileKind kind;
    QByteArray (*make)(const QString& path);
};

QByteArray SavedAs(const QString& path, SampleLayout layout, FileKind kind) {
    CSampleBuffer buffer;
    FillSample(buffer, layout, 22050,
               RandomValues(layout, 700 * 1024 / LayoutBytesPerFrame(layout) + 37, 5));
    return buffer.SaveFile(path, kind) ? QByteArray() : QByteArray("not saved");
}

// A 24-bit wave file of the same music: its 1020- and 1023-byte blocks straddle the pieces the
// reader reads.
QByteArray Saved24(const QString& path, bool stereo) {
    CSampleBuffer buffer;
    const SampleLayout layout = stereo ? SampleLayout::Stereo16 : SampleLayout::Mono16;
    FillSample(buffer, layout, 22050,
               RandomValues(layout, 700 * 1024 / LayoutBytesPerFrame(layout) + 37, 6));
    buffer.SetFormat(22050, stereo, SampleDepth::Int24);
    buffer.ApplyFormat();
    return buffer.GetDepth() == SampleDepth::Int24 && buffer.SaveFile(path, FileKind::Wave)
               ? QByteArray()
               : QByteArray("not saved");
}

QByteArray FloatWave(const QString& path) {
    constexpr quint32 kFrames = 90001;
    QByteArray bytes("RIFF....WAVEfmt ");
    auto le = [&](quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            bytes.append(char((v >> (8 * i)) & 0xFF));
    };
    le(16, 4);
    le(3, 2); // IEEE float
    le(2, 2); // stereo
    le(8000, 4);
    le(8000 * 8, 4);
    le(8, 2);
    le(32, 2);
    bytes.append("data");
    le(kFrames * 8, 4);
    QRandomGenerator random(9);
    for (quint32 i = 0; i < kFrames * 2; ++i) {
        const float v = float(random.generateDouble() * 1.8 - 0.9);
        quint32 word;
        std::memcpy(&word, &v, 4);
        le(word, 4);
    }
    const quint32 riff = quint32(bytes.size() - 8);
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = char((riff >> (8 * i)) & 0xFF);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
               ? QByteArray()
               : QByteArray("not written");
}

QByteArray NoKnownFormat(const QString& path) {
    QByteArray bytes(400 * 1024 + 3, '\0');
    QRandomGenerator random(4);
    for (char& c : bytes)
        c = char(random.bounded(256));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
               ? QByteArray()
               : QByteArray("not written");
}

const LoadCase kLoads[] = {
    {"Mono8", FileKind::Wave,
     [](const QString& p) { return SavedAs(p, SampleLayout::Mono8, FileKind::Wave); }},
    {"Mono16", FileKind::Wave,
     [](const QString& p) { return SavedAs(p, SampleLayout::Mono16, FileKind::Wave); }},
    {"Stereo8", FileKind::Wave,
     [](const QString& p) { return SavedAs(p, SampleLayout::Stereo8, FileKind::Wave); }},
    {"Stereo16", FileKind::Wave,
     [](const QString& p) { return SavedAs(p, SampleLayout::Stereo16, FileKind::Wave); }},
    {"Mono24", FileKind::Wave, [](const QString& p) { return Saved24(p, false); }},
    {"Stereo24", FileKind::Wave, [](const QString& p) { return Saved24(p, true); }},
    {"FloatWave", FileKind::Wave, FloatWave},
    {"SunAudio", FileKind::SunAudio,
     [](const QString& p) { return SavedAs(p, SampleLayout::Stereo16, FileKind::SunAudio); }},
    {"NoKnownFormat", FileKind::Wave, NoKnownFormat},
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class PeakWhileLoading : public ::testing::TestWithParam<LoadCase> {};

TEST_P(PeakWhileLoading, EqualsTheSummaryBuiltAfterwards) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in"));
    ASSERT_EQ(GetParam().make(path), QByteArray());
    CSampleBuffer loaded;
    CPeakSummary fed;
    // Left over from another sample: the load must not build on it.
    FillSample(loaded, SampleLayout::Mono8, 8000, Values(5000, 3));
    fed.Build(loaded);
    ASSERT_TRUE(loaded.LoadFile(path, GetParam().kind, &fed));
    ASSERT_GT(loaded.GetByteLength(), 256u * 1024);
    CPeakSummary built;
    built.Build(loaded);
    EXPECT_TRUE(fed == built);
    EXPECT_EQ(fed.MemoryBytes(), built.MemoryBytes());
    for (int channel : {0, 1})
        for (const auto& [first, count] : Spans(built.BlockFrames(), loaded.GetFrameCount()))
            EXPECT_EQ(Ask(fed, loaded, first, count, channel),
                      Ask(built, loaded, first, count, channel));
}

INSTANTIATE_TEST_SUITE_P(Files, PeakWhileLoading, ::testing::ValuesIn(kLoads),
                         [](const ::testing::TestParamInfo<LoadCase>& info) {
                             return std::string(info.param.name);
                         });

#ifdef __SSE2__
// The block loops are compiled twice, and a processor uses one of them: the tests above check the
// one this processor uses. Here the 16-byte compilation must give the peaks the AVX2 one gives,
// block for block, in every layout.
TEST(PeakBlocks, BothCompilationsAgree) {
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("ssse3"))
        GTEST_SKIP() << "the processor runs only the 16-byte loops, which the tests above check";
    constexpr SampleLayout kAll[] = {SampleLayout::Mono8,     SampleLayout::Stereo8,
                                     SampleLayout::Mono16,    SampleLayout::Stereo16,
                                     SampleLayout::Mono24,    SampleLayout::Stereo24,
                                     SampleLayout::MonoFloat, SampleLayout::StereoFloat};
    constexpr std::size_t kBlocks = 37;
    QRandomGenerator random(11);
    for (SampleLayout layout : kAll) {
        const quint32 frameBytes = LayoutBytesPerFrame(layout);
        std::vector<quint8> data(kBlocks * (wlpro::peakblocks::kBlockBytes / frameBytes) *
                                 frameBytes);
        if (LayoutDepth(layout) == SampleDepth::Float32) {
            // Up to one and a half times full scale, beyond which the summary clips.
            for (std::size_t i = 0; i + 4 <= data.size(); i += 4) {
                const float v = float(random.generateDouble() * 3.0 - 1.5);
                std::memcpy(data.data() + i, &v, 4);
            }
        } else {
            for (quint8& byte : data)
                byte = quint8(random.bounded(256));
        }
        std::vector<quint8> narrow(kBlocks * 8);
        std::vector<quint8> wide(kBlocks * 8);
        ASSERT_TRUE(wlpro::peakblocks::ScanLayoutBlocks<16>(layout, data.data(), kBlocks,
                                                            narrow.data(), true));
        ASSERT_TRUE(
            wlpro::peakblocks::ScanLayoutBlocksAvx2(layout, data.data(), kBlocks, wide.data()));
        EXPECT_EQ(narrow, wide) << int(layout);
    }
}
#endif

} // namespace
