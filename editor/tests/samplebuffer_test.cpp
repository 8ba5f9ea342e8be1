#include "capturereporter.h"
#include "core/samplebuffer.h"
#include "filebytes.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

namespace {

// ----- the document's kind-by-ending rule ----------------------------------------------------

struct KindCase {
    const char* path;
    FileKind kind;
};

class FileKindByEnding : public ::testing::TestWithParam<KindCase> {};

TEST_P(FileKindByEnding, PicksTheReaderFromTheUpperCasedEnding) {
    EXPECT_EQ(FileKindForPath(QString::fromUtf8(GetParam().path)), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, FileKindByEnding,
    ::testing::Values(KindCase{"/a/b.AU", FileKind::SunAudio}, KindCase{"b.au", FileKind::SunAudio},
                      KindCase{"b.snd", FileKind::SunAudio}, KindCase{"b.SnD", FileKind::SunAudio},
                      KindCase{"b.voc", FileKind::Voice}, KindCase{"b.Wav", FileKind::Wave},
                      KindCase{"b.wave", FileKind::Raw}, KindCase{"b.au.txt", FileKind::Raw},
                      KindCase{"bau", FileKind::Raw}, KindCase{"wav", FileKind::Raw},
                      KindCase{"", FileKind::Raw}, KindCase{"a.flac", FileKind::Flac},
                      KindCase{"a.FLAC", FileKind::Flac}, KindCase{"a.aif", FileKind::Aiff},
                      KindCase{"a.Aiff", FileKind::Aiff}, KindCase{"a.ogg", FileKind::OggVorbis},
                      KindCase{"a.oga", FileKind::OggVorbis}, KindCase{"a.opus", FileKind::Opus},
                      KindCase{"a.caf", FileKind::Caf}, KindCase{"a.w64", FileKind::Wave64},
                      KindCase{"a.rf64", FileKind::Rf64}, KindCase{"a.flac.bak", FileKind::Raw},
                      KindCase{"aiff", FileKind::Raw}));

// ----- ReadFrame ---------------------------------------------------------------------------------

struct FrameCase {
    SampleLayout source;
    std::vector<quint8> frame;
    SampleLayout target;
    // The left (or only) value and, for stereo targets, the right value, as the target stores
    // them: unsigned bytes for 8-bit, signed words for 16-bit.
    int left;
    int right;
};

class ReadFrameTable : public ::testing::TestWithParam<FrameCase> {};

TEST_P(ReadFrameTable, ConvertsOneFrameExactly) {
    const FrameCase& c = GetParam();
    QTemporaryDir dir;
    CSampleBuffer buffer;
    // Frame 1 is the one under test; frame 0 differs so an offset mistake shows.
    QByteArray bytes(int(c.frame.size()), char(0x55));
    bytes.append(reinterpret_cast<const char*>(c.frame.data()), int(c.frame.size()));
    ASSERT_TRUE(MakeSample(buffer, dir, bytes, c.source, 8000));
    ASSERT_EQ(buffer.GetFrameCount(), 2u);

    std::array<quint8, 4> slot{0xEE, 0xEE, 0xEE, 0xEE};
    buffer.ReadFrame(1, c.target, slot.data());
    auto value = [&](int offset) {
        return LayoutIs16Bit(c.target)
                   ? int(qint16(quint16(slot[offset] | (slot[offset + 1] << 8))))
                   : int(slot[offset]);
    };
    EXPECT_EQ(value(0), c.left);
    if (LayoutIsStereo(c.target)) {
        EXPECT_EQ(value(2), c.right);
    } else {
        EXPECT_EQ(slot[2], 0xEE) << "a mono target must leave the right slot alone";
    }
}

std::vector<quint8> W(int l) {
    return {quint8(l & 0xFF), quint8((l >> 8) & 0xFF)};
}
std::vector<quint8> W2(int l, int r) {
    return {quint8(l & 0xFF), quint8((l >> 8) & 0xFF), quint8(r & 0xFF), quint8((r >> 8) & 0xFF)};
}

using L = SampleLayout;
INSTANTIATE_TEST_SUITE_P(
    AllLayouts, ReadFrameTable,
    ::testing::Values(
        // Stereo16 sources: averages by arithmetic shift, 8-bit keeps the high byte.
        FrameCase{L::Stereo16, W2(1000, 3000), L::Mono16, 2000, 0},
        FrameCase{L::Stereo16, W2(1000, 3000), L::Mono8, 135, 0},
        FrameCase{L::Stereo16, W2(-1000, 1000), L::Mono16, 0, 0},
        FrameCase{L::Stereo16, W2(-1000, 1000), L::Mono8, 128, 0},
        FrameCase{L::Stereo16, W2(-3, 0), L::Mono16, -2, 0},
        FrameCase{L::Stereo16, W2(32767, 32767), L::Mono8, 255, 0},
        FrameCase{L::Stereo16, W2(-32768, -32768), L::Mono8, 0, 0},
        FrameCase{L::Stereo16, W2(-32768, -32768), L::Mono16, -32768, 0},
        FrameCase{L::Stereo16, W2(-1, 256), L::Stereo8, 127, 129},
        FrameCase{L::Stereo16, W2(-5, 7), L::Stereo16, -5, 7},
        // Mono8 sources.
        FrameCase{L::Mono8, {0}, L::Mono16, -32768, 0},
        FrameCase{L::Mono8, {255}, L::Mono16, 32512, 0},
        FrameCase{L::Mono8, {128}, L::Mono16, 0, 0}, FrameCase{L::Mono8, {77}, L::Mono8, 77, 0},
        FrameCase{L::Mono8, {77}, L::Stereo8, 77, 77},
        FrameCase{L::Mono8, {129}, L::Stereo16, 256, 256},
        // Mono16 sources: high byte plus 128, modulo 256.
        FrameCase{L::Mono16, W(-32768), L::Mono8, 0, 0},
        FrameCase{L::Mono16, W(32767), L::Mono8, 255, 0},
        FrameCase{L::Mono16, W(-1), L::Mono8, 127, 0},
        FrameCase{L::Mono16, W(255), L::Mono8, 128, 0},
        FrameCase{L::Mono16, W(-300), L::Stereo8, 126, 126},
        FrameCase{L::Mono16, W(-300), L::Stereo16, -300, -300},
        // Stereo8 sources.
        FrameCase{L::Stereo8, {255, 255}, L::Mono8, 255, 0},
        FrameCase{L::Stereo8, {0, 1}, L::Mono8, 0, 0},
        FrameCase{L::Stereo8, {255, 255}, L::Mono16, 32512, 0},
        FrameCase{L::Stereo8, {0, 0}, L::Mono16, -32768, 0},
        FrameCase{L::Stereo8, {128, 129}, L::Mono16, 128, 0},
        FrameCase{L::Stereo8, {3, 250}, L::Stereo8, 3, 250},
        FrameCase{L::Stereo8, {0, 255}, L::Stereo16, -32768, 32512}));

TEST(ReadFrame, FramesPastTheEndLeaveTheSlotUntouched) {
    QTemporaryDir dir;
    CSampleBuffer buffer;
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray(8, char(1)), L::Stereo16, 8000));
    std::array<quint8, 4> slot{9, 9, 9, 9};
    buffer.ReadFrame(2, L::Stereo16, slot.data());
    buffer.ReadFrame(0xFFFFFFFFu, L::Mono8, slot.data());
    EXPECT_EQ(slot, (std::array<quint8, 4>{9, 9, 9, 9}));
    CSampleBuffer empty;
    empty.ReadFrame(0, L::Mono8, slot.data());
    EXPECT_EQ(slot[0], 9);
}

// ----- format bookkeeping ----------------------------------------------------------------------

TEST(SampleFormat, ConstructionDefaultsAre22050HzEightBitMono) {
    CSampleBuffer buffer;
    EXPECT_FALSE(buffer.HasData());
    EXPECT_EQ(buffer.GetFrameCount(), 0u);
    EXPECT_EQ(buffer.GetLayout(), L::Mono8);
    const CWaveFormat expected{1, 1, 22050, 22050, 1, 8, 0};
    EXPECT_EQ(buffer.GetFormat(), expected);
    EXPECT_EQ(buffer.GetCommittedFormat(), expected);
    for (int i = 0; i < InfoTextCount; ++i)
        EXPECT_TRUE(buffer.GetInfo(i).isEmpty());
}

TEST(SampleFormat, SetFormatReinterpretsTheBytesWithoutTouchingThem) {
    QTemporaryDir dir;
    CSampleBuffer buffer;
    QByteArray bytes(1000, Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    ASSERT_TRUE(MakeSample(buffer, dir, bytes, L::Mono8, 11025));
    EXPECT_EQ(buffer.SetFormat(44100, true, true), 4);
    EXPECT_EQ(buffer.GetFrameCount(), 250u);
    EXPECT_EQ(buffer.GetFormat().avgBytesPerSec, 176400u);
    EXPECT_EQ(buffer.GetFormat().blockAlign, 4);
    EXPECT_EQ(buffer.GetChannels(), 2u);
    EXPECT_EQ(buffer.GetBits(), 16u);
    EXPECT_EQ(buffer.GetLayout(), L::Stereo16);
    EXPECT_EQ(DataOf(buffer), bytes);
    EXPECT_EQ(buffer.SetFormat(8000, true, false), 2);
    EXPECT_EQ(buffer.GetFrameCount(), 500u);
}

TEST(SampleFormat, RevertRestoresTheCommittedFormatAndFrameCount) {
    QTemporaryDir dir;
    CSampleBuffer buffer;
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray(1001, char(0)), L::Stereo8, 22050));
    buffer.SetFormat(8000, false, true);
    EXPECT_EQ(buffer.GetFrameCount(), 500u);
    quint32 rate = 0;
    bool stereo = false;
    bool wide = true;
    buffer.RevertFormat(rate, stereo, wide);
    EXPECT_EQ(rate, 22050u);
    EXPECT_TRUE(stereo);
    EXPECT_FALSE(wide);
    EXPECT_EQ(buffer.GetLayout(), L::Stereo8);
    EXPECT_EQ(buffer.GetFrameCount(), 500u);
    EXPECT_EQ(buffer.GetFormat(), buffer.GetCommittedFormat());
}

TEST(SampleFormat, InfoTextsOutsideTheSixIndicesAreIgnored) {
    CSampleBuffer buffer;
    buffer.SetInfo(InfoName, QStringLiteral("Song"));
    buffer.SetInfo(6, QStringLiteral("x"));
    buffer.SetInfo(-1, QStringLiteral("x"));
    EXPECT_EQ(buffer.GetInfo(InfoName), QStringLiteral("Song"));
    EXPECT_TRUE(buffer.GetInfo(6).isEmpty());
    EXPECT_TRUE(buffer.GetInfo(-1).isEmpty());
}

TEST(SampleFormat, CopyFromTakesDataAndFormatAndCommitsIt) {
    QTemporaryDir dir;
    CSampleBuffer source;
    const QByteArray bytes("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    ASSERT_TRUE(MakeSample(source, dir, bytes, L::Mono16, 8000));
    source.SetFormat(16000, true, true);
    CSampleBuffer copy;
    EXPECT_EQ(copy.CopyFrom(source), 1);
    EXPECT_EQ(DataOf(copy), bytes);
    EXPECT_NE(copy.GetData(), source.GetData());
    EXPECT_EQ(copy.GetLayout(), L::Stereo16);
    EXPECT_EQ(copy.GetFrameCount(), 2u);
    EXPECT_EQ(copy.GetFormat(), source.GetFormat());
    EXPECT_EQ(copy.GetCommittedFormat(), source.GetFormat());
}

// ----- InsertFrames and DeleteFrames against a per-channel model ------------------------------

// One vector of sample values per channel; nullopt marks stale frames the caller overwrites.
using Channel = std::vector<std::optional<int>>;
using Model = std::vector<Channel>;

Model ModelOf(const CSampleBuffer& buffer) {
    Model model(buffer.GetChannels());
    const quint32 sampleBytes = buffer.BytesPerSample();
    const quint8* p = buffer.GetData();
    for (quint32 f = 0; f < buffer.GetFrameCount(); ++f)
        for (auto& channel : model) {
            channel.push_back(sampleBytes == 1 ? int(*p)
                                               : int(qint16(quint16(p[0] | (p[1] << 8)))));
            p += sampleBytes;
        }
    return model;
}

void ExpectMatches(const Model& actual, const Model& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t c = 0; c < actual.size(); ++c) {
        ASSERT_EQ(actual[c].size(), expected[c].size()) << "channel " << c;
        for (std::size_t f = 0; f < actual[c].size(); ++f) {
            if (expected[c][f]) {
                EXPECT_EQ(actual[c][f], expected[c][f]) << "channel " << c << " frame " << f;
            }
        }
    }
}

struct RangeCase {
    SampleLayout layout;
    int channel;
};

class RangeOperations : public ::testing::TestWithParam<RangeCase> {
protected:
    static constexpr quint32 kFrames = 9;

    void SetUp() override {
        const SampleLayout layout = GetParam().layout;
        QByteArray bytes;
        for (quint32 i = 0; i < kFrames * LayoutBytesPerFrame(layout); ++i)
            bytes.append(char(quint8(17 + 23 * i)));
        ASSERT_TRUE(MakeSample(buffer, dir, bytes, layout, 8000));
    }

    bool OneChannel() const { return GetParam().channel != 0 && LayoutIsStereo(GetParam().layout); }
    std::size_t Chosen() const { return GetParam().channel == 2 ? 1 : 0; }

    QTemporaryDir dir;
    CSampleBuffer buffer;
};

TEST_P(RangeOperations, DeleteRemovesTheRangeAndFillsOneChannelsTail) {
    const int fill = LayoutIs16Bit(GetParam().layout) ? -256 : 127;
    for (auto [first, last] : {std::pair{2, 4}, {0, 0}, {8, 8}, {0, 8}}) {
        SetUp();
        Model expected = ModelOf(buffer);
        ASSERT_EQ(buffer.DeleteFrames(first, last, GetParam().channel), 1);
        const int count = last - first + 1;
        for (std::size_t c = 0; c < expected.size(); ++c) {
            if (OneChannel() && c != Chosen())
                continue;
            expected[c].erase(expected[c].begin() + first, expected[c].begin() + last + 1);
            if (OneChannel())
                expected[c].insert(expected[c].end(), std::size_t(count), fill);
        }
        ExpectMatches(ModelOf(buffer), expected);
        EXPECT_EQ(buffer.GetByteLength(), buffer.GetFrameCount() * buffer.BytesPerFrame());
    }
}

TEST_P(RangeOperations, DeleteOfTheWholeSampleByMinusOne) {
    ASSERT_EQ(buffer.DeleteFrames(-1, -1, GetParam().channel), 1);
    if (OneChannel()) {
        EXPECT_EQ(buffer.GetFrameCount(), kFrames);
        const int fill = LayoutIs16Bit(GetParam().layout) ? -256 : 127;
        const Model model = ModelOf(buffer);
        for (const auto& value : model[Chosen()])
            EXPECT_EQ(value, fill);
    } else {
        EXPECT_EQ(buffer.GetFrameCount(), 0u);
        EXPECT_EQ(buffer.GetByteLength(), 0u);
        EXPECT_TRUE(buffer.HasData());
    }
}

TEST_P(RangeOperations, InsertMakesRoomAndMovesOnlyTheChosenChannel) {
    const int otherFill = LayoutIs16Bit(GetParam().layout) ? 0 : 127;
    for (auto [at, count] : {std::pair{3u, 2u}, {0u, 1u}, {kFrames, 4u}, {5u, 0u}}) {
        SetUp();
        Model expected = ModelOf(buffer);
        ASSERT_EQ(buffer.InsertFrames(at, count, GetParam().channel), 1);
        for (std::size_t c = 0; c < expected.size(); ++c) {
            if (OneChannel() && c != Chosen())
                expected[c].insert(expected[c].end(), count, otherFill);
            else
                expected[c].insert(expected[c].begin() + at, count, std::nullopt);
        }
        ExpectMatches(ModelOf(buffer), expected);
        EXPECT_EQ(buffer.GetFrameCount(), kFrames + count);
        EXPECT_EQ(buffer.GetByteLength(), (kFrames + count) * buffer.BytesPerFrame());
    }
}

INSTANTIATE_TEST_SUITE_P(LayoutsAndChannels, RangeOperations,
                         ::testing::Values(RangeCase{L::Mono8, 0}, RangeCase{L::Mono16, 0},
                                           RangeCase{L::Stereo8, 0}, RangeCase{L::Stereo8, 1},
                                           RangeCase{L::Stereo8, 2}, RangeCase{L::Stereo16, 0},
                                           RangeCase{L::Stereo16, 1}, RangeCase{L::Stereo16, 2}));

TEST(RangeOperationsExample, DeletingLeftFramesTwoToThreeOfSixKeepsSixFrames) {
    QTemporaryDir dir;
    CSampleBuffer buffer;
    const QByteArray bytes("\x0A\xB0\x0B\xB1\x0C\xB2\x0D\xB3\x0E\xB4\x0F\xB5", 12);
    ASSERT_TRUE(MakeSample(buffer, dir, bytes, L::Stereo8, 8000));
    ASSERT_EQ(buffer.DeleteFrames(2, 3, 1), 1);
    EXPECT_EQ(buffer.GetFrameCount(), 6u);
    EXPECT_EQ(DataOf(buffer), QByteArray("\x0A\xB0\x0B\xB1\x0E\xB2\x0F\xB3\x7F\xB4\x7F\xB5", 12));
}

TEST(RangeOperationsExample, InsertKeepsAStrayByteAfterTheLastWholeFrame) {
    for (int channel : {0, 1, 2}) {
        QTemporaryDir dir;
        CSampleBuffer buffer;
        ASSERT_TRUE(MakeSample(buffer, dir, QByteArray("\x0A\xB0\x0B\xB1\x0C\xB2\x99", 7),
                               L::Stereo8, 8000));
        ASSERT_EQ(buffer.InsertFrames(1, 2, channel), 1);
        EXPECT_EQ(buffer.GetByteLength(), 11u);
        EXPECT_EQ(buffer.GetFrameCount(), 5u);
        EXPECT_EQ(quint8(DataOf(buffer).back()), 0x99) << "channel " << channel;
    }
}

TEST(RangeOperationsExample, InsertIntoAnEmptySampleGivesRoom) {
    CSampleBuffer buffer;
    ASSERT_EQ(buffer.InsertFrames(0, 5, 0), 1);
    EXPECT_TRUE(buffer.HasData());
    EXPECT_EQ(buffer.GetFrameCount(), 5u);
    EXPECT_EQ(buffer.GetByteLength(), 5u);
}

TEST(RangeOperationsExample, DeleteOnAnEmptySampleDoesNothing) {
    CSampleBuffer buffer;
    EXPECT_EQ(buffer.DeleteFrames(-1, -1, 0), 0);
    EXPECT_FALSE(buffer.HasData());
}

// ----- sign flip and mu-law -------------------------------------------------------------------

TEST(SampleCoding, ChangeSignFlipsTheTopBitOfTheRangeOnlyAndTwiceRestores) {
    QTemporaryDir dir;
    CSampleBuffer buffer;
    QByteArray bytes;
    for (int i = 0; i < 43; ++i)
        bytes.append(char(i * 11));
    ASSERT_TRUE(MakeSample(buffer, dir, bytes, L::Mono8, 8000));
    buffer.ChangeSign(3, 30);
    const QByteArray once = DataOf(buffer);
    for (int i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(quint8(once[i]), quint8(bytes[i]) ^ (i >= 3 && i <= 30 ? 0x80 : 0)) << i;
    buffer.ChangeSign(3, 30);
    EXPECT_EQ(DataOf(buffer), bytes);

    // On 16-bit stereo the range covers whole frames: frame 1 is bytes 4 to 7.
    buffer.SetFormat(8000, true, true);
    buffer.ChangeSign(1, 1);
    const QByteArray wide = DataOf(buffer);
    for (int i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(quint8(wide[i]), quint8(bytes[i]) ^ (i >= 4 && i < 8 ? 0x80 : 0)) << i;
}

TEST(SampleCoding, DecodeULawDoublesTheDataThroughTheG711Table) {
    QTemporaryDir dir;
    CSampleBuffer buffer;
    ASSERT_TRUE(
        MakeSample(buffer, dir, QByteArray("\x00\x7F\x80\xFF\x8F\x0F", 6), L::Stereo8, 8000));
    ASSERT_EQ(buffer.DecodeULaw(), 1);
    EXPECT_EQ(buffer.GetLayout(), L::Stereo16);
    EXPECT_EQ(buffer.GetRate(), 8000u);
    EXPECT_EQ(buffer.GetByteLength(), 12u);
    EXPECT_EQ(buffer.GetFrameCount(), 3u);
    // 0x8F ends the top segment of positive codes; 0x0F is its negative twin.
    EXPECT_EQ(WordsOf(buffer), (std::vector<qint16>{-32124, 0, 32124, 0, 16764, -16764}));
}

TEST(SampleCoding, DecodeULawOfThreeMonoBytesGivesSixBytesOfMono16) {
    QTemporaryDir dir;
    CSampleBuffer buffer;
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray("\x00\x80\x7F", 3), L::Mono8, 8000));
    ASSERT_EQ(buffer.DecodeULaw(), 1);
    EXPECT_EQ(buffer.GetByteLength(), 6u);
    EXPECT_EQ(buffer.GetLayout(), L::Mono16);
    EXPECT_EQ(WordsOf(buffer), (std::vector<qint16>{-32124, 32124, 0}));
}

// ----- load dispatch ---------------------------------------------------------------------------

TEST(LoadDispatch, ATextFileNamedWavOpensAsRawAfterTheReadersMessage) {
    QTemporaryDir dir;
    CCaptureReporter capture;
    const QByteArray text("hello, this is not a sample\n");
    const QString path = WriteFile(dir, QStringLiteral("notes.wav"), text);
    CSampleBuffer buffer;
    EXPECT_EQ(buffer.LoadFile(path, FileKindForPath(path)), 1);
    ASSERT_EQ(capture.messages.size(), 1);
    EXPECT_EQ(capture.messages[0].text, QStringLiteral("This File is NOT a wave file"));
    EXPECT_EQ(capture.messages[0].icon, CMessageIcon::Warning);
    EXPECT_EQ(DataOf(buffer), text);
    EXPECT_EQ(buffer.GetRate(), 11025u);
    EXPECT_EQ(buffer.GetLayout(), L::Mono8);
    EXPECT_EQ(buffer.GetCommittedFormat(), buffer.GetFormat());
}

TEST(LoadDispatch, AMissingFileFailsAndKeepsTheSampleConsistent) {
    QTemporaryDir dir;
    CCaptureReporter capture;
    CSampleBuffer buffer;
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray(40, char(3)), L::Stereo16, 44100));
    EXPECT_EQ(buffer.LoadFile(dir.filePath(QStringLiteral("gone.raw")), FileKind::Raw), 0);
    EXPECT_EQ(buffer.GetLayout(), L::Stereo16);
    EXPECT_EQ(buffer.GetFrameCount(), 10u);
    EXPECT_EQ(buffer.GetRate(), 44100u);
}

TEST(LoadDispatch, UnknownKindsLoadAndSaveAsRaw) {
    QTemporaryDir dir;
    const QByteArray bytes("\x01\x02\x03", 3);
    CSampleBuffer buffer;
    ASSERT_EQ(buffer.LoadFile(WriteFile(dir, QStringLiteral("a.x"), bytes), FileKind(99)), 1);
    EXPECT_EQ(DataOf(buffer), bytes);
    const QString out = dir.filePath(QStringLiteral("b.x"));
    ASSERT_EQ(buffer.SaveFile(out, FileKind(-1)), 1);
    EXPECT_EQ(ReadFile(out), bytes);
}

TEST(LoadDispatch, ReadRawTakesOffsetAndLengthWithinTheFile) {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("r.raw"), QByteArray("0123456789", 10));
    CSampleBuffer buffer;
    buffer.SetFormat(8000, false, true);
    ASSERT_EQ(buffer.ReadRaw(path, 3, 4), 1);
    EXPECT_EQ(DataOf(buffer), QByteArray("3456"));
    EXPECT_EQ(buffer.GetFrameCount(), 2u);
    ASSERT_EQ(buffer.ReadRaw(path, 7, 0), 1);
    EXPECT_EQ(DataOf(buffer), QByteArray("789"));
    ASSERT_EQ(buffer.ReadRaw(path, 8, 100), 1);
    EXPECT_EQ(DataOf(buffer), QByteArray("89"));
    EXPECT_EQ(buffer.ReadRaw(path, 11, 0), 0);
}

TEST(CopyFromEmpty, ACopyOfAnEmptySampleIsEmpty) {
    QTemporaryDir dir;
    CSampleBuffer buffer;
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray(6, 1), L::Stereo8, 8000));
    CSampleBuffer empty;
    ASSERT_EQ(buffer.CopyFrom(empty), 1);
    EXPECT_FALSE(buffer.HasData());
    EXPECT_EQ(buffer.GetFrameCount(), 0u);
    EXPECT_EQ(buffer.GetLayout(), L::Mono8);
}

} // namespace
