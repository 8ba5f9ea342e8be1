#include "capturereporter.h"
#include "core/samplebuffer.h"
#include "filebytes.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using L = SampleLayout;

QByteArray VoiceHeader() {
    return CFileBytes().Text("Creative Voice File\x1A").LE16(26).LE16(0x010A).LE16(0x1129).Bytes();
}

QByteArray Block(quint8 type, const QByteArray& body) {
    return CFileBytes().U8(type).LE24(quint32(body.size())).Raw(body).Bytes();
}
QByteArray Sound(quint8 code, const QByteArray& data) {
    return Block(1, CFileBytes().U8(code).U8(0).Raw(data).Bytes());
}
QByteArray Silence(quint16 length, quint8 code) {
    return Block(3, CFileBytes().LE16(length).U8(code).Bytes());
}
QByteArray Extended(quint16 timeConstant, quint8 packing, quint8 mode) {
    return Block(8, CFileBytes().LE16(timeConstant).U8(packing).U8(mode).Bytes());
}
QByteArray Voice(const QByteArray& blocks) {
    return VoiceHeader() + blocks + QByteArray(1, 0);
}

class VoiceFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    CCaptureReporter capture;
    CSampleBuffer buffer;
};

// ----- writer --------------------------------------------------------------------------------

TEST_F(VoiceFileTest, MonoIsWrittenWithExtendedBlockSoundBlockAndTerminator) {
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray("\x80\x01\xFE", 3), L::Mono8, 22050));
    const QString path = dir.filePath(QStringLiteral("out.voc"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::Voice), 1);
    EXPECT_TRUE(capture.messages.isEmpty()) << "22050 Hz is held exactly";
    // 65536 - 11610: 256000000 / 11610 is 22049.96 Hz, the constant nearest 22050 Hz.
    const QByteArray expected = CFileBytes()
                                    .Raw(VoiceHeader())
                                    .U8(8)
                                    .LE24(4)
                                    .LE16(53926)
                                    .U8(0)
                                    .U8(0)
                                    .U8(1)
                                    .LE24(5)
                                    .U8(211)
                                    .U8(0)
                                    .Raw("\x80\x01\xFE", 3)
                                    .LE32(0)
                                    .Bytes();
    EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(VoiceFileTest, StereoUsesTheTimeConstantOfBothChannelsAndMode1) {
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray("\x10\x20", 2), L::Stereo8, 44100));
    const QString path = dir.filePath(QStringLiteral("out.voc"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::Voice), 1);
    // 65536 - trunc(256000000 / 88200) and 256 - trunc(1000000 / 44100).
    const QByteArray blocks = CFileBytes()
                                  .U8(8)
                                  .LE24(4)
                                  .LE16(65536 - 2902)
                                  .U8(0)
                                  .U8(1)
                                  .U8(1)
                                  .LE24(4)
                                  .U8(256 - 22)
                                  .U8(0)
                                  .Raw("\x10\x20", 2)
                                  .LE32(0)
                                  .Bytes();
    EXPECT_EQ(ReadFile(path), VoiceHeader() + blocks);
}

TEST_F(VoiceFileTest, SixteenBitSamplesAreRefusedAndTheOldFileStays) {
    const QString path = WriteFile(dir, QStringLiteral("old.voc"), QByteArray("old contents"));
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray(4, 0), L::Mono16, 22050));
    EXPECT_EQ(buffer.SaveFile(path, FileKind::Voice), 0);
    ASSERT_EQ(capture.Texts(),
              QStringList{
                  QStringLiteral(".VOC files only support 8-bit sample data. Convert the sample to "
                                 "8-bit, then save")});
    EXPECT_EQ(capture.messages[0].caption, QStringLiteral("Wavelathe"));
    EXPECT_EQ(ReadFile(path), QByteArray("old contents"));
}

// Data that does not fit one block's 24-bit length continues in type 2 blocks and reads back whole.
TEST_F(VoiceFileTest, LongDataIsSplitIntoContinuationBlocksAndReadsBackWhole) {
    constexpr int kFirst = 0xFFFFFF - 2;
    for (int extra : {0, 5}) {
        QByteArray data(kFirst + extra, Qt::Uninitialized);
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i * 31 + (i >> 12));
        ASSERT_TRUE(MakeSample(buffer, dir, data, L::Mono8, 11025));
        const QString path = dir.filePath(QStringLiteral("long.voc"));
        ASSERT_EQ(buffer.SaveFile(path, FileKind::Voice), 1);
        const QByteArray file = ReadFile(path);
        const int first = 26 + 8;
        EXPECT_EQ(file.mid(first, 4), CFileBytes().U8(1).LE24(0xFFFFFF).Bytes());
        const int next = first + 4 + 0xFFFFFF;
        if (extra) {
            EXPECT_EQ(file.mid(next, 4), CFileBytes().U8(2).LE24(quint32(extra)).Bytes());
            EXPECT_EQ(file.size(), next + 4 + extra + 4);
        } else {
            EXPECT_EQ(file.size(), next + 4);
        }
        CSampleBuffer loaded;
        ASSERT_EQ(loaded.LoadFile(path, FileKind::Voice), 1);
        EXPECT_TRUE(DataOf(loaded) == data);
    }
    EXPECT_TRUE(capture.messages.isEmpty());
}

// The rates a voice file holds are those of its time constant: 256000000 / (65536 - constant),
// halved for stereo, for every 16-bit constant.
quint32 NearestHeldRate(quint32 rate, bool stereo) {
    quint32 nearest = 0;
    qint64 distance = std::numeric_limits<qint64>::max();
    for (quint32 divisor = 1; divisor <= 65536; ++divisor) {
        const auto held = quint32(std::lround(256000000.0 / divisor * (stereo ? 0.5 : 1.0)));
        if (qAbs(qint64(held) - qint64(rate)) < distance) {
            nearest = held;
            distance = qAbs(qint64(held) - qint64(rate));
        }
    }
    return nearest;
}

class VoiceRate : public VoiceFileTest,
                  public ::testing::WithParamInterface<std::tuple<quint32, bool>> {};

// A saved voice file reopens at the rate of the sample, or the user was told at the save which
// rate, the nearest the file holds, it reopens at.
TEST_P(VoiceRate, ReopensAtTheSavedRateOrTheUserIsToldWhichRate) {
    const auto [rate, stereo] = GetParam();
    const QByteArray data("\x10\x20\x30\x40", 4);
    ASSERT_TRUE(MakeSample(buffer, dir, data, stereo ? L::Stereo8 : L::Mono8, rate));
    const QString path = dir.filePath(QStringLiteral("rate.voc"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::Voice), 1);
    const QStringList told = capture.Texts();

    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(path, FileKind::Voice), 1);
    EXPECT_EQ(capture.Texts(), told) << "reopening says nothing more";
    EXPECT_EQ(DataOf(loaded), data);
    EXPECT_EQ(loaded.GetLayout(), stereo ? L::Stereo8 : L::Mono8);
    const quint32 reopened = loaded.GetRate();
    if (reopened == rate) {
        EXPECT_TRUE(told.isEmpty()) << told.value(0).toStdString();
        return;
    }
    ASSERT_EQ(told.size(), 1) << "reopens at " << reopened << " Hz without a word";
    EXPECT_TRUE(told[0].contains(QStringLiteral("%1 Hz").arg(reopened))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains(QStringLiteral("%1 Hz").arg(rate))) << told[0].toStdString();
    EXPECT_EQ(reopened, NearestHeldRate(rate, stereo));
}

INSTANTIATE_TEST_SUITE_P(
    MonoAndStereo, VoiceRate,
    ::testing::Combine(::testing::Values(0u, 1u, 1000u, 1302u, 1951u, 1952u, 1953u, 1954u, 2000u,
                                         3890u, 3891u, 3900u, 3906u, 3907u, 4000u, 8000u, 11025u,
                                         22050u, 44100u, 48000u, 96000u, 999999u, 1000000u,
                                         1000001u, 2000000u, 128000000u, 256000000u, 300000000u),
                       ::testing::Bool()),
    [](const auto& info) {
        return (std::get<1>(info.param) ? "Stereo" : "Mono") +
               std::to_string(std::get<0>(info.param));
    });

// ----- reader ------------------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    QByteArray file;
    // Expected data; empty with `raw` set means the raw fallback of the whole file.
    QByteArray data;
    quint32 rate;
    bool stereo;
    QStringList messages;
    bool raw = false;
};

class VoiceRead : public VoiceFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(VoiceRead, GathersTheBlocksAsTheWalkDescribes) {
    const ReadCase& c = GetParam();
    const QString path = WriteFile(dir, QStringLiteral("in.voc"), c.file);
    ASSERT_EQ(buffer.LoadFile(path, FileKind::Voice), 1);
    EXPECT_EQ(capture.Texts(), c.messages);
    for (const CMessage& m : capture.messages) {
        EXPECT_EQ(m.caption, QStringLiteral("Wavelathe"));
        EXPECT_EQ(m.icon, CMessageIcon::Warning);
    }
    if (c.raw) {
        EXPECT_EQ(DataOf(buffer), c.file);
        EXPECT_EQ(buffer.GetRate(), 11025u);
        EXPECT_EQ(buffer.GetLayout(), L::Mono8);
        return;
    }
    EXPECT_EQ(DataOf(buffer), c.data);
    EXPECT_EQ(buffer.GetRate(), c.rate);
    EXPECT_EQ(buffer.GetLayout(), c.stereo ? L::Stereo8 : L::Mono8);
    EXPECT_EQ(buffer.GetCommittedFormat(), buffer.GetFormat());
}

QStringList Twice(const char* text) {
    return {QString::fromUtf8(text), QString::fromUtf8(text)};
}

const QByteArray kAb("ab");
const QString kCutShort =
    QStringLiteral("The voice file is cut short; the sound up to its end has been loaded.");

INSTANTIATE_TEST_SUITE_P(
    Blocks, VoiceRead,
    ::testing::Values(
        ReadCase{"RateCode211Is22222Hz", Voice(Sound(211, kAb)), kAb, 22222, false, {}},
        ReadCase{"SilenceAtTheSameRate",
                 Voice(Sound(206, kAb) + Silence(100, 206) + Block(2, "cd")),
                 kAb + QByteArray(100, char(128)) + "cd",
                 20000,
                 false,
                 {}},
        ReadCase{"SilenceAtHalfTheRateIsTwiceAsLong",
                 Voice(Sound(206, kAb) + Silence(100, 156)),
                 kAb + QByteArray(200, char(128)),
                 20000,
                 false,
                 {}},
        ReadCase{"SilenceFirstSetsTheRate",
                 Voice(Silence(3, 156) + Sound(156, kAb)),
                 QByteArray(3, char(128)) + kAb,
                 10000,
                 false,
                 {}},
        ReadCase{"ExtendedStereo",
                 Voice(Extended(53927, 0, 1) + Sound(211, "LRLR")),
                 "LRLR",
                 11026,
                 true,
                 {}},
        ReadCase{
            "ExtendedMono", Voice(Extended(53927, 0, 0) + Sound(211, kAb)), kAb, 22052, false, {}},
        ReadCase{"MarkerTextAndRepeatBlocksAreSkipped",
                 Voice(Block(4, "\x01\x00") + Block(5, "hello\0") + Block(6, "\x02\x00") +
                       Block(7, "") + Sound(211, kAb)),
                 kAb,
                 22222,
                 false,
                 {}},
        ReadCase{"UnknownBlockIsSkippedInBothPasses", Voice(Block(0x42, "xyz") + Sound(211, kAb)),
                 kAb, 22222, false, Twice("Skipping unknown block code")},
        ReadCase{"DifferentSoundRateCodesEndTheWalk", Voice(Sound(206, kAb) + Sound(156, "cd")),
                 kAb, 20000, false, Twice("Sample rate codes differ")},
        ReadCase{"PackedSoundEndsTheWalk", Voice(Sound(211, kAb) + Block(1, "\xD3\x01zz")), kAb,
                 22222, false, Twice("Can only interpret 8-bit data!")},
        ReadCase{"PackedExtendedBlockGoesOn", Voice(Extended(53927, 1, 0) + Sound(211, kAb)), kAb,
                 22052, false, Twice("Can only interpret 8-bit data (currently)!")},
        ReadCase{
            "MissingTerminatorEndsTheWalk", VoiceHeader() + Sound(211, kAb), kAb, 22222, false, {}},
        ReadCase{"TextAfterTheTerminatorIsIgnored",
                 Voice(Sound(211, kAb)) + "trailing",
                 kAb,
                 22222,
                 false,
                 {}},
        // Failures that leave no sound: the message, then the whole file as raw data.
        ReadCase{"NoSound",
                 Voice(Block(5, "x")),
                 {},
                 0,
                 false,
                 {QStringLiteral("Input .voc file had no sound!")},
                 true},
        ReadCase{"RateCodeZero",
                 Voice(Sound(0, kAb)),
                 {},
                 0,
                 false,
                 {QStringLiteral("Sample Rate appears to be 0"),
                  QStringLiteral("Input .voc file had no sound!")},
                 true},
        ReadCase{"SilenceRateZero",
                 Voice(Silence(5, 0)),
                 {},
                 0,
                 false,
                 {QStringLiteral("Silence sample rate is zero"),
                  QStringLiteral("Input .voc file had no sound!")},
                 true},
        ReadCase{"BadSignature",
                 QByteArray("Creative Voice Fil!\x1A\x1A\x00\x0A\x01\x29\x11", 26),
                 {},
                 0,
                 false,
                 {QStringLiteral("VOC file header incorrect")},
                 true},
        ReadCase{"ShortHeader",
                 QByteArray("Creative"),
                 {},
                 0,
                 false,
                 {QStringLiteral("Unexpected EOF in file")},
                 true},
        ReadCase{"NoHeaderSize",
                 QByteArray("Creative Voice File\x1A", 20),
                 {},
                 0,
                 false,
                 {QStringLiteral("Unexpected EOF in file")},
                 true},
        ReadCase{"HeaderSizePastTheEnd",
                 CFileBytes().Text("Creative Voice File\x1A").LE16(0xFFFF).Bytes(),
                 {},
                 0,
                 false,
                 {QStringLiteral("Input .voc file had no sound!")},
                 true},
        // An interrupted recording: the last block runs past the end and holds what is there.
        ReadCase{"SoundBlockLongerThanTheFile",
                 VoiceHeader() + CFileBytes().U8(1).LE24(0xFFFFFF).U8(211).U8(0).Raw(kAb).Bytes(),
                 kAb,
                 22222,
                 false,
                 {kCutShort}},
        ReadCase{"ContinuationLongerThanTheFile",
                 VoiceHeader() + Sound(211, kAb) + CFileBytes().U8(2).LE24(10).Raw("cde").Bytes(),
                 kAb + "cde",
                 22222,
                 false,
                 {kCutShort}},
        ReadCase{"StereoCutShortKeepsWholeFrames",
                 VoiceHeader() + Extended(53927, 0, 1) +
                     CFileBytes().U8(1).LE24(100).U8(211).U8(0).Raw("LRLRL").Bytes(),
                 "LRLR",
                 11026,
                 true,
                 {kCutShort}},
        ReadCase{"FileEndsInsideTheBlockAfterTheSound",
                 VoiceHeader() + Sound(211, kAb) + QByteArray("\x03\x03\x00\x10", 4),
                 kAb,
                 22222,
                 false,
                 {kCutShort}},
        ReadCase{"SoundFieldsCutShort",
                 VoiceHeader() + CFileBytes().U8(1).LE24(10).U8(211).Bytes(),
                 {},
                 0,
                 false,
                 {QStringLiteral("Unexpected EOF in file")},
                 true},
        ReadCase{"LengthCutInsideTheBlockHead",
                 VoiceHeader() + QByteArray("\x01\x05", 2),
                 {},
                 0,
                 false,
                 {QStringLiteral("Unexpected EOF in file")},
                 true},
        ReadCase{"SoundBlockTooShortForItsFields",
                 Voice(Block(1, "\xD3")),
                 {},
                 0,
                 false,
                 {QStringLiteral("Unexpected EOF in file")},
                 true},
        ReadCase{"ExtendedBlockTooShort",
                 Voice(Block(8, "\x01\x02")),
                 {},
                 0,
                 false,
                 {QStringLiteral("Unexpected EOF in file")},
                 true}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(VoiceFileTest, SilenceThatWouldExpandPastAGigabyteIsRefusedBeforeAllocating) {
    QByteArray blocks = Sound(206, kAb);
    for (int i = 0; i < 16385; ++i)
        blocks += Silence(0xFFFF, 206);
    const QByteArray file = Voice(blocks);
    const QString path = WriteFile(dir, QStringLiteral("huge.voc"), file);
    ASSERT_EQ(buffer.LoadFile(path, FileKind::Voice), 1);
    EXPECT_EQ(capture.Texts(),
              QStringList{QStringLiteral("This voice file would expand to 1025 MB of "
                                         "sound, more than the 1024 MB the editor opens.")});
    EXPECT_EQ(DataOf(buffer), file) << "the refused file opens as raw data";
}

TEST_F(VoiceFileTest, AFileThatCannotBeOpenedFailsSilently) {
    EXPECT_EQ(buffer.ReadVoice(dir.filePath(QStringLiteral("missing.voc"))), 0);
    EXPECT_TRUE(capture.messages.isEmpty());
}

} // namespace
