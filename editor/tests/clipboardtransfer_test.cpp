// Cut, copy and paste through the application's real clipboard: the clip's bytes, conversion on
// paste, the position rule, one-channel transfers, and clips from other programs that must not
// be pasted.

#include "capturereporter.h"
#include "samplemaker.h"

#include "core/clipboardaccess.h"
#include "core/samplebuffer.h"
#include "core/sampleclip.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray ClipboardBlock() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime ? mime->data(QStringLiteral("WLSAMPLE")) : QByteArray();
}

void PutBlock(const QByteArray& block) {
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("WLSAMPLE"), block);
    QGuiApplication::clipboard()->setMimeData(mime);
}

QByteArray Header(quint32 layout, quint32 rate, quint32 bytes) {
    QByteArray header(12, Qt::Uninitialized);
    qToLittleEndian<quint32>(layout, header.data());
    qToLittleEndian<quint32>(rate, header.data() + 4);
    qToLittleEndian<quint32>(bytes, header.data() + 8);
    return header;
}

QByteArray Bytes(const Values& values) {
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(quint8(v)));
    return bytes;
}

// Puts a clip of the values in the layout on the clipboard by copying them from a sample.
void CopyClip(SampleLayout layout, quint32 rate, const Values& values) {
    CSampleBuffer source;
    FillSample(source, layout, rate, values);
    ASSERT_EQ(source.CopyToClipboard(nullptr, -1, -1, 0), 1);
}

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }
    CCaptureReporter reporter;
};

// ----- Copy --------------------------------------------------------------------------------

struct CopyCase {
    const char* name;
    SampleLayout layout;
    quint32 rate;
    Values values;
    qint64 first;
    qint64 last;
    int channel;
    QByteArray block;
};

void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << c.name;
}

class Copy : public Clipboard, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(Copy, PutsHeaderAndRangeOnTheClipboard) {
    const CopyCase& c = GetParam();
    CSampleBuffer buffer;
    FillSample(buffer, c.layout, c.rate, c.values);
    ASSERT_EQ(buffer.CopyToClipboard(nullptr, c.first, c.last, c.channel), 1);
    EXPECT_EQ(ClipboardBlock(), c.block);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

Values Count(int n) {
    Values values(std::size_t(n), 0);
    for (int i = 0; i < n; ++i)
        values[std::size_t(i)] = i;
    return values;
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, Copy,
    ::testing::Values(
        // The right channel of frames 0..9: 12 header bytes and ten bytes.
        CopyCase{"RightOfTenFrames", SampleLayout::Stereo8, 11025, Count(24), 0, 9, 2,
                 Header(5, 11025, 10) + Bytes({1, 3, 5, 7, 9, 11, 13, 15, 17, 19})},
        CopyCase{"SixteenBitLeft",
                 SampleLayout::Stereo16,
                 8000,
                 {1, -1, 2, -2, 3, -3},
                 1,
                 2,
                 1,
                 Header(6, 8000, 4) + QByteArray("\x02\x00\x03\x00", 4)},
        CopyCase{"BothChannels",
                 SampleLayout::Stereo16,
                 44100,
                 {1, -1, 2, -2, 3, -3},
                 1,
                 1,
                 0,
                 Header(10, 44100, 4) + QByteArray("\x02\x00\xfe\xff", 4)},
        CopyCase{"WholeMono",
                 SampleLayout::Mono8,
                 8000,
                 {9, 8, 7},
                 -1,
                 -1,
                 0,
                 Header(5, 8000, 3) + Bytes({9, 8, 7})}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

TEST_F(Clipboard, CopyFromAnEmptySampleFailsAndLeavesTheClipboard) {
    CopyClip(SampleLayout::Mono8, 8000, {1, 2, 3});
    const QByteArray before = ClipboardBlock();
    CSampleBuffer empty;
    EXPECT_EQ(empty.CopyToClipboard(nullptr, -1, -1, 0), 0);
    EXPECT_EQ(empty.CutToClipboard(nullptr, -1, -1, 0), 0);
    EXPECT_EQ(ClipboardBlock(), before);
    ASSERT_EQ(reporter.messages.size(), 2);
    EXPECT_EQ(reporter.messages[0].text, QStringLiteral("Error manipulating memory!"));
    EXPECT_EQ(reporter.messages[0].caption, QStringLiteral("Wavelathe"));
}

// A program that installed no clipboard (the library used without a desktop) is told so, and
// neither the sample nor the desktop's clipboard changes.
TEST_F(Clipboard, WithoutAnInstalledClipboardEveryTransferSaysItCannotOpenIt) {
    CopyClip(SampleLayout::Mono8, 8000, {1, 2, 3});
    const QByteArray before = ClipboardBlock();
    CSampleBuffer sample;
    FillSample(sample, SampleLayout::Mono8, 8000, {4, 5, 6, 7});
    const CSampleState unchanged = CSampleState::Of(sample);
    CClipboardAccess* installed = CClipboardAccess::Installed();
    CClipboardAccess::Install(nullptr);
    const int results[] = {
        sample.CopyToClipboard(nullptr, -1, -1, 0), sample.CutToClipboard(nullptr, 0, 1, 0),
        int(sample.PasteFromClipboard(nullptr, 0, 0)), sample.ReadClipboard(nullptr)};
    CClipboardAccess::Install(installed);
    for (int result : results)
        EXPECT_EQ(result, 0);
    EXPECT_TRUE(CSampleState::Of(sample) == unchanged);
    EXPECT_EQ(ClipboardBlock(), before);
    ASSERT_EQ(reporter.messages.size(), 4);
    for (const CMessage& message : reporter.messages)
        EXPECT_EQ(message.text, QStringLiteral("Error opening clipboard!"));
}

// ----- Cut ---------------------------------------------------------------------------------

TEST_F(Clipboard, CuttingOneChannelKeepsTheFrameCount) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Stereo8, 8000, {1, 11, 2, 12, 3, 13, 4, 14, 5, 15});
    ASSERT_EQ(buffer.CutToClipboard(nullptr, 1, 2, 1), 1);
    EXPECT_EQ(buffer.GetFrameCount(), 5u);
    EXPECT_EQ(ChannelOf(buffer, 0), (Values{1, 4, 5, 127, 127}));
    EXPECT_EQ(ChannelOf(buffer, 1), (Values{11, 12, 13, 14, 15}));
    EXPECT_EQ(ClipboardBlock(), Header(5, 8000, 2) + Bytes({2, 3}));
}

TEST_F(Clipboard, CuttingAllChannelsRemovesTheFrames) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono16, 8000, {10, 20, 30, 40});
    ASSERT_EQ(buffer.CutToClipboard(nullptr, 0, 1, 0), 1);
    EXPECT_EQ(ValuesOf(buffer), (Values{30, 40}));
    EXPECT_EQ(ClipboardBlock(), Header(6, 8000, 4) + QByteArray("\x0a\x00\x14\x00", 4));
}

// ----- Paste -------------------------------------------------------------------------------

TEST_F(Clipboard, PasteIntoAnEmptySampleTakesTheClipsFormat) {
    const Values values = RandomValues(SampleLayout::Stereo16, 100, 21);
    CopyClip(SampleLayout::Stereo16, 32000, values);
    CSampleBuffer document;
    EXPECT_EQ(document.PasteFromClipboard(nullptr, 0, 0), 100u);
    EXPECT_EQ(document.GetLayout(), SampleLayout::Stereo16);
    EXPECT_EQ(document.GetRate(), 32000u);
    EXPECT_EQ(document.GetFrameCount(), 100u);
    EXPECT_EQ(ValuesOf(document), values);
    EXPECT_EQ(document.GetCommittedFormat(), document.GetFormat());
}

TEST_F(Clipboard, EightBitMonoIntoSixteenBitStereoConvertsEachFrame) {
    const Values clip = RandomValues(SampleLayout::Mono8, 100, 5);
    CopyClip(SampleLayout::Mono8, 8000, clip);
    const Values target = RandomValues(SampleLayout::Stereo16, 10, 6);
    CSampleBuffer document;
    FillSample(document, SampleLayout::Stereo16, 22050, target);
    EXPECT_EQ(document.PasteFromClipboard(nullptr, 5, 0), 100u);
    ASSERT_EQ(document.GetFrameCount(), 110u);
    Values expected(target.begin(), target.begin() + 10);
    for (int b : clip) {
        expected.push_back((b - 128) * 256);
        expected.push_back((b - 128) * 256);
    }
    expected.insert(expected.end(), target.begin() + 10, target.end());
    EXPECT_EQ(ValuesOf(document), expected);
    EXPECT_EQ(document.GetRate(), 22050u);
}

struct PasteCase {
    const char* name;
    SampleLayout clipLayout;
    Values clip;
    SampleLayout layout;
    Values values;
    quint32 at;
    int channel;
    Values expected;
};

void PrintTo(const PasteCase& c, std::ostream* os) {
    *os << c.name;
}

class Paste : public Clipboard, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(Paste, InsertsTheClipFrameForFrameInTheSamplesFormat) {
    const PasteCase& c = GetParam();
    CopyClip(c.clipLayout, 44100, c.clip);
    CSampleBuffer document;
    FillSample(document, c.layout, 22050, c.values);
    const quint32 frames = quint32(c.clip.size() / LayoutChannels(c.clipLayout));
    EXPECT_EQ(document.PasteFromClipboard(nullptr, c.at, c.channel), frames);
    EXPECT_EQ(ValuesOf(document), c.expected);
    EXPECT_EQ(document.GetLayout(), c.layout);
    EXPECT_EQ(document.GetRate(), 22050u);
}

INSTANTIATE_TEST_SUITE_P(
    Clips, Paste,
    ::testing::Values(
        PasteCase{"AtTheEndGoesToTheStart",
                  SampleLayout::Mono8,
                  {1, 2},
                  SampleLayout::Mono8,
                  {7, 8, 9},
                  3,
                  0,
                  {1, 2, 7, 8, 9}},
        // Another rate is not resampled: the clip plays at the sample's rate.
        PasteCase{"OtherRateFrameForFrame",
                  SampleLayout::Mono16,
                  {100, 200, 300, 400},
                  SampleLayout::Mono16,
                  {1, 2},
                  1,
                  0,
                  {1, 100, 200, 300, 400, 2}},
        // Frames (1000, 3000) and (-1000, 1000) mix to 2000 and 0; the left channel keeps its
        // frames and its new frames at the end are silence.
        PasteCase{"RightChannelGetsTheMix",
                  SampleLayout::Stereo16,
                  {1000, 3000, -1000, 1000},
                  SampleLayout::Stereo16,
                  {1, 11, 2, 12, 3, 13},
                  1,
                  2,
                  {1, 11, 2, 2000, 3, 0, 0, 12, 0, 13}},
        // 16 to 8 bits keeps the high byte plus 128; the right channel's new frames are 127.
        PasteCase{"LeftChannelOfEightBits",
                  SampleLayout::Mono16,
                  {256, -32768},
                  SampleLayout::Stereo8,
                  {1, 11, 2, 12},
                  0,
                  1,
                  {129, 11, 0, 12, 1, 127, 2, 127}},
        PasteCase{"StereoIntoMono",
                  SampleLayout::Stereo8,
                  {10, 20, 200, 255},
                  SampleLayout::Mono8,
                  {1},
                  0,
                  0,
                  {15, 227, 1}}),
    [](const ::testing::TestParamInfo<PasteCase>& info) { return std::string(info.param.name); });

TEST_F(Clipboard, NothingOfOursOnTheClipboardPastesNothingSilently) {
    QGuiApplication::clipboard()->setText(QStringLiteral("not a sample"));
    CSampleBuffer document;
    FillSample(document, SampleLayout::Mono8, 8000, {1, 2});
    const CSampleState before = CSampleState::Of(document);
    EXPECT_EQ(document.PasteFromClipboard(nullptr, 0, 0), 0u);
    EXPECT_EQ(CSampleState::Of(document), before);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

// ----- Clips from other programs -----------------------------------------------------------

struct BadClip {
    const char* what;
    QByteArray block;
};

void PrintTo(const BadClip& c, std::ostream* os) {
    *os << c.what;
}

class ForeignClip : public ::testing::TestWithParam<BadClip> {};

TEST_P(ForeignClip, IsNotPasted) {
    CCaptureReporter reporter;
    PutBlock(GetParam().block);
    for (bool empty : {true, false}) {
        CSampleBuffer document;
        if (!empty)
            FillSample(document, SampleLayout::Stereo16, 8000, {1, 2, 3, 4});
        const CSampleState before = CSampleState::Of(document);
        EXPECT_EQ(document.PasteFromClipboard(nullptr, 0, 0), 0u);
        EXPECT_EQ(CSampleState::Of(document), before);
        CSampleBuffer reader;
        EXPECT_EQ(reader.ReadClipboard(nullptr), 0);
        EXPECT_FALSE(reader.HasData());
    }
    EXPECT_TRUE(reporter.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, ForeignClip,
    ::testing::Values(BadClip{"unknown layout", Header(7, 8000, 4) + QByteArray(4, 'x')},
                      BadClip{"layout 0", Header(0, 8000, 4) + QByteArray(4, 'x')},
                      BadClip{"rate 0", Header(10, 0, 4) + QByteArray(4, 'x')},
                      BadClip{"count beyond the data", Header(5, 8000, 5) + QByteArray(4, 'x')},
                      BadClip{"huge count", Header(9, 8000, 0xFFFFFFF0u) + QByteArray(4, 'x')},
                      BadClip{"short header", QByteArray(11, '\x05')},
                      BadClip{"no frame", Header(10, 8000, 3) + QByteArray(3, 'x')}));

TEST_F(Clipboard, ExtraBytesAfterTheCountedDataAreIgnored) {
    PutBlock(Header(5, 8000, 2) + Bytes({40, 50, 60}));
    CSampleBuffer document;
    EXPECT_EQ(document.PasteFromClipboard(nullptr, 0, 0), 2u);
    EXPECT_EQ(ValuesOf(document), (Values{40, 50}));
}

TEST_F(Clipboard, ReadShowsTheClipUntilReleasedWithoutChangingTheClipboard) {
    CopyClip(SampleLayout::Stereo8, 11025, {1, 2, 3, 4});
    const QByteArray before = ClipboardBlock();
    CSampleBuffer reader;
    ASSERT_EQ(reader.ReadClipboard(nullptr), 1);
    EXPECT_EQ(reader.GetLayout(), SampleLayout::Stereo8);
    EXPECT_EQ(reader.GetRate(), 11025u);
    EXPECT_EQ(ValuesOf(reader), (Values{1, 2, 3, 4}));
    reader.GetData()[0] = 99;
    EXPECT_EQ(ClipboardBlock(), before);
    reader.ReleaseClipboard();
    EXPECT_FALSE(reader.HasData());
    EXPECT_EQ(reader.GetFrameCount(), 0u);
}

TEST_F(Clipboard, ReleaseLeavesAnOwnedSampleAlone) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Mono8, 8000, {1, 2});
    buffer.ReleaseClipboard();
    EXPECT_EQ(ValuesOf(buffer), (Values{1, 2}));
}

} // namespace
