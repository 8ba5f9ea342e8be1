#include "capturereporter.h"
#include "core/samplebuffer.h"
#include "filebytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace {

using L = SampleLayout;

const char kSoftware[] = "Wavelathe Pro v1.0.1";

// The information list the writer makes for a sample without texts: one "ISFT" item of 21
// bytes (the text and its NUL) and its pad byte.
QByteArray SoftwareOnlyList() {
    return CFileBytes()
        .Text("LIST")
        .LE32(4 + 8 + 22)
        .Text("INFO")
        .Text("ISFT")
        .LE32(21)
        .Text(kSoftware)
        .U8(0)
        .U8(0)
        .Bytes();
}

class WaveFileTest : public ::testing::Test {
protected:
    QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("t.wav")) {
        return WriteFile(dir, name, bytes);
    }
    int Load(const QByteArray& bytes) { return buffer.LoadFile(Write(bytes), FileKind::Wave); }
    QTemporaryDir dir;
    CCaptureReporter capture;
    CSampleBuffer buffer;
};

// ----- writer: golden bytes ----------------------------------------------------------------

TEST_F(WaveFileTest, ThreeFrames16BitStereoGiveADataChunkOfTwelveBytes) {
    const QByteArray data("\x01\x00\x02\x00\xFF\xFF\xFE\xFF\x00\x80\xFF\x7F", 12);
    ASSERT_TRUE(MakeSample(buffer, dir, data, L::Stereo16, 44100));
    const QString path = dir.filePath(QStringLiteral("out.wav"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::Wave), 1);

    const QByteArray chunks = CFileBytes()
                                  .Raw(SoftwareOnlyList())
                                  .Text("fmt ")
                                  .LE32(16)
                                  .LE16(1)
                                  .LE16(2)
                                  .LE32(44100)
                                  .LE32(176400)
                                  .LE16(4)
                                  .LE16(16)
                                  .Text("data")
                                  .LE32(12)
                                  .Raw(data)
                                  .Bytes();
    const QByteArray expected = CFileBytes().Text("RIFF").LE32(90).Text("WAVE").Raw(chunks).Bytes();
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(buffer.GetInfo(InfoSoftware), QString::fromLatin1(kSoftware));
}

TEST_F(WaveFileTest, ThreeFrames8BitMonoGetAPadByteAfterTheData) {
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray("\x80\x00\xFF", 3), L::Mono8, 11025));
    const QString path = dir.filePath(QStringLiteral("out.wav"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::Wave), 1);
    const QByteArray expected = CFileBytes()
                                    .Text("RIFF")
                                    .LE32(82)
                                    .Text("WAVE")
                                    .Raw(SoftwareOnlyList())
                                    .Text("fmt ")
                                    .LE32(16)
                                    .Raw(FormatBody(1, 1, 11025, 8))
                                    .Text("data")
                                    .LE32(3)
                                    .Raw("\x80\x00\xFF", 3)
                                    .U8(0)
                                    .Bytes();
    EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(WaveFileTest, TextsAreWrittenInTheirFixedOrderEachWithNulAndPad) {
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray(2, char(0x80)), L::Mono8, 8000));
    buffer.SetInfo(InfoName, QStringLiteral("Song"));
    buffer.SetInfo(InfoArtist, QStringLiteral("Ann"));
    buffer.SetInfo(InfoCreationDate, QStringLiteral("1996-02-01"));
    buffer.SetInfo(InfoSoftware, QStringLiteral("something else"));
    const QString path = dir.filePath(QStringLiteral("out.wav"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::Wave), 1);

    const QByteArray items = CFileBytes()
                                 .Chunk("IART", QByteArray("Ann", 4))
                                 .Chunk("ICRD", QByteArray("1996-02-01", 11))
                                 .Chunk("INAM", QByteArray("Song", 5))
                                 .Chunk("ISFT", QByteArray(kSoftware, 21))
                                 .Bytes();
    const QByteArray file = ReadFile(path);
    const QByteArray list =
        CFileBytes().Text("LIST").LE32(quint32(4 + items.size())).Text("INFO").Raw(items).Bytes();
    EXPECT_EQ(file.mid(12, list.size()), list);
    EXPECT_EQ(file.mid(12 + list.size(), 4), QByteArray("fmt "));
}

// ----- reader: texts -------------------------------------------------------------------------

TEST_F(WaveFileTest, AListAfterTheDataChunkIsReadWithItsTexts) {
    const QByteArray items = CFileBytes()
                                 .Chunk("INAM", QByteArray("Song", 5))
                                 .Chunk("ICMT", QByteArray("no nul"))
                                 .Chunk("ICOP", QByteArray("(c)\0tail", 8))
                                 .Bytes();
    const QByteArray file = WaveFile(CFileBytes()
                                         .Chunk("fmt ", FormatBody(1, 1, 8000, 8))
                                         .Chunk("data", QByteArray("\x01\x02\x03", 3))
                                         .Chunk("LIST", QByteArray("INFO") + items)
                                         .Bytes());
    buffer.SetInfo(InfoArtist, QStringLiteral("kept"));
    ASSERT_EQ(Load(file), 1);
    EXPECT_TRUE(capture.messages.isEmpty());
    EXPECT_EQ(buffer.GetInfo(InfoName), QStringLiteral("Song"));
    EXPECT_EQ(buffer.GetInfo(InfoComments), QStringLiteral("no nul"));
    EXPECT_EQ(buffer.GetInfo(InfoCopyright), QStringLiteral("(c)"));
    EXPECT_EQ(buffer.GetInfo(InfoArtist), QStringLiteral("kept"));
    EXPECT_EQ(DataOf(buffer), QByteArray("\x01\x02\x03", 3));
}

TEST_F(WaveFileTest, TextsSurviveARoundTripIncludingNonAsciiOnes) {
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray(4, char(0x80)), L::Mono8, 8000));
    buffer.SetInfo(InfoArtist, QStringLiteral("Dvořák"));
    buffer.SetInfo(InfoComments, QStringLiteral("odd"));
    const QString path = dir.filePath(QStringLiteral("t.wav"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::Wave), 1);
    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(path, FileKind::Wave), 1);
    EXPECT_EQ(loaded.GetInfo(InfoArtist), QStringLiteral("Dvořák"));
    EXPECT_EQ(loaded.GetInfo(InfoComments), QStringLiteral("odd"));
    EXPECT_EQ(loaded.GetInfo(InfoSoftware), QString::fromLatin1(kSoftware));
}

TEST_F(WaveFileTest, Latin1TextsFromOlderFilesAreRead) {
    const QByteArray file = WaveFile(
        CFileBytes()
            .Chunk("LIST", QByteArray("INFO") +
                               CFileBytes().Chunk("IART", QByteArray("Caf\xE9", 5)).Bytes())
            .Chunk("fmt ", FormatBody(1, 1, 8000, 8))
            .Chunk("data", QByteArray(2, char(0x80)))
            .Bytes());
    ASSERT_EQ(Load(file), 1);
    EXPECT_EQ(buffer.GetInfo(InfoArtist), QStringLiteral("Café"));
}

// ----- reader: format chunk ----------------------------------------------------------------

TEST_F(WaveFileTest, ASixteenByteFormatLeavesTheExtraSizeAsItWas) {
    QByteArray eighteen = FormatBody(1, 2, 22050, 16);
    eighteen.append("\x07\x00", 2);
    ASSERT_EQ(Load(WaveFile(
                  CFileBytes().Chunk("fmt ", eighteen).Chunk("data", QByteArray(8, 0)).Bytes())),
              1);
    EXPECT_EQ(buffer.GetFormat().extraSize, 7);
    ASSERT_EQ(Load(WaveFile(CFileBytes()
                                .Chunk("fmt ", FormatBody(1, 1, 8000, 8))
                                .Chunk("data", QByteArray(8, 0))
                                .Bytes())),
              1);
    EXPECT_EQ(buffer.GetFormat().extraSize, 7);
    EXPECT_EQ(buffer.GetLayout(), L::Mono8);
    EXPECT_EQ(buffer.GetRate(), 8000u);
}

TEST_F(WaveFileTest, AWrongBlockAlignAndByteRateAreCorrectedOnLoad) {
    const QByteArray format =
        CFileBytes().LE16(1).LE16(2).LE32(22050).LE32(0).LE16(0).LE16(16).Bytes();
    ASSERT_EQ(
        Load(WaveFile(CFileBytes().Chunk("fmt ", format).Chunk("data", QByteArray(8, 0)).Bytes())),
        1);
    EXPECT_EQ(buffer.GetFormat().blockAlign, 4);
    EXPECT_EQ(buffer.GetFormat().avgBytesPerSec, 88200u);
    EXPECT_EQ(buffer.GetFrameCount(), 2u);
}

TEST_F(WaveFileTest, ALongFormatChunkIsSkippedWholeBeforeTheDataSearch) {
    QByteArray body = FormatBody(1, 2, 22050, 16);
    body.append(QByteArray("\x02\x00"
                           "data",
                           6));
    const QByteArray file = WaveFile(
        CFileBytes().Chunk("fmt ", body).Chunk("data", QByteArray("\x01\x02\x03\x04", 4)).Bytes());
    ASSERT_EQ(Load(file), 1);
    EXPECT_EQ(DataOf(buffer), QByteArray("\x01\x02\x03\x04", 4));
    EXPECT_EQ(buffer.GetLayout(), L::Stereo16);
    EXPECT_EQ(buffer.GetFrameCount(), 1u);
}

TEST_F(WaveFileTest, OtherChunksAndOddPadsAreSkippedOnTheWayToTheData) {
    const QByteArray file = WaveFile(CFileBytes()
                                         .Chunk("junk", QByteArray("abc"))
                                         .Chunk("LIST", QByteArray("adtlxx"))
                                         .Chunk("fmt ", FormatBody(1, 1, 8000, 16))
                                         .Chunk("fact", QByteArray("\x01\x00\x00\x00", 4))
                                         .Chunk("data", QByteArray("\x10\x20\x30\x40", 4))
                                         .Bytes());
    ASSERT_EQ(Load(file), 1);
    EXPECT_TRUE(capture.messages.isEmpty());
    EXPECT_EQ(DataOf(buffer), QByteArray("\x10\x20\x30\x40", 4));
    EXPECT_EQ(buffer.GetFrameCount(), 2u);
}

// ----- reader: failures and the raw fallback -------------------------------------------------

struct FailureCase {
    const char* name;
    QByteArray file;
    const char* message;
    const char* caption;
    // The format the raw fallback reads the whole file in.
    SampleLayout fallbackLayout;
    quint32 fallbackRate;
};

class WaveFailure : public WaveFileTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(WaveFailure, ReportsOnceThenOpensTheWholeFileAsRaw) {
    const FailureCase& c = GetParam();
    ASSERT_EQ(Load(c.file), 1);
    ASSERT_EQ(capture.Texts(), QStringList{QString::fromUtf8(c.message)});
    EXPECT_EQ(capture.messages[0].caption, QString::fromUtf8(c.caption));
    EXPECT_EQ(capture.messages[0].icon, CMessageIcon::Warning);
    EXPECT_EQ(DataOf(buffer), c.file);
    EXPECT_EQ(buffer.GetLayout(), c.fallbackLayout);
    EXPECT_EQ(buffer.GetRate(), c.fallbackRate);
    EXPECT_EQ(buffer.GetFrameCount(), quint32(c.file.size()) / buffer.BytesPerFrame());
    EXPECT_EQ(buffer.GetCommittedFormat(), buffer.GetFormat());
}

QByteArray Plain16Stereo() {
    return FormatBody(1, 2, 22050, 16);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, WaveFailure,
    ::testing::Values(
        FailureCase{"NotRiff", QByteArray("RIFY\x04\x00\x00\x00WAVE", 12),
                    "This File is NOT a wave file", "", L::Mono8, 11025},
        FailureCase{"NotWave", CFileBytes().Text("RIFF").LE32(4).Text("AVI ").Bytes(),
                    "This File is NOT a wave file", "", L::Mono8, 11025},
        FailureCase{"TooShort", QByteArray("RIFF", 4), "This File is NOT a wave file", "", L::Mono8,
                    11025},
        FailureCase{"NoFormat", WaveFile(CFileBytes().Chunk("data", QByteArray(4, 1)).Bytes()),
                    "Cannot find Format information", "", L::Mono8, 11025},
        FailureCase{"FormatOf14Bytes",
                    WaveFile(CFileBytes()
                                 .Chunk("fmt ", Plain16Stereo().left(14))
                                 .Chunk("data", QByteArray(4, 1))
                                 .Bytes()),
                    "Format information too small", "", L::Mono8, 11025},
        FailureCase{
            "FormatPastTheEnd",
            WaveFile(CFileBytes().Text("fmt ").LE32(0x7FFFFFF0).Raw(Plain16Stereo()).Bytes()),
            "Error reading format information", "Error Opening Wave", L::Mono8, 11025},
        // Without data the raw fallback takes the plain format the file stated.
        FailureCase{"NoData",
                    WaveFile(CFileBytes()
                                 .Chunk("fmt ", Plain16Stereo())
                                 .Chunk("junk", QByteArray(4, 1))
                                 .Bytes()),
                    "Cannot find data information", "Error Opening Wave", L::Stereo16, 22050},
        FailureCase{"DataBeforeFormat",
                    WaveFile(CFileBytes()
                                 .Chunk("data", QByteArray(4, 1))
                                 .Chunk("fmt ", Plain16Stereo())
                                 .Bytes()),
                    "Cannot find data information", "Error Opening Wave", L::Stereo16, 22050},
        FailureCase{"ChunkBeforeDataPastTheEnd",
                    WaveFile(CFileBytes()
                                 .Chunk("fmt ", Plain16Stereo())
                                 .Text("junk")
                                 .LE32(0xFFFFFFF0)
                                 .Chunk("data", QByteArray(4, 1))
                                 .Bytes()),
                    "Cannot find data information", "Error Opening Wave", L::Stereo16, 22050},
        FailureCase{"HugeListBeforeTheFormat",
                    WaveFile(CFileBytes()
                                 .Text("LIST")
                                 .LE32(0xFFFFFFFF)
                                 .Text("INFO")
                                 .Chunk("fmt ", Plain16Stereo())
                                 .Bytes()),
                    "Cannot find Format information", "", L::Mono8, 11025},
        FailureCase{"Adpcm",
                    WaveFile(CFileBytes()
                                 .Chunk("fmt ", FormatBody(2, 1, 8000, 4))
                                 .Chunk("data", QByteArray(4, 1))
                                 .Bytes()),
                    "Unsupported wave format (format tag 2, 4 bits, 1 channels)",
                    "Error Opening Wave", L::Mono8, 11025},
        FailureCase{"NoChannels",
                    WaveFile(CFileBytes()
                                 .Chunk("fmt ", FormatBody(1, 0, 8000, 16))
                                 .Chunk("data", QByteArray(4, 1))
                                 .Bytes()),
                    "Unsupported wave format (format tag 1, 16 bits, 0 channels)",
                    "Error Opening Wave", L::Mono8, 11025},
        FailureCase{"FortyBitPcm",
                    WaveFile(CFileBytes()
                                 .Chunk("fmt ", FormatBody(1, 1, 8000, 40))
                                 .Chunk("data", QByteArray(10, 1))
                                 .Bytes()),
                    "Unsupported wave format (format tag 1, 40 bits, 1 channels)",
                    "Error Opening Wave", L::Mono8, 11025},
        FailureCase{
            "ExtensibleWithUnknownGuid",
            WaveFile(CFileBytes()
                         .Chunk("fmt ",
                                FormatBody(0xFFFE, 2, 8000, 16) +
                                    CFileBytes()
                                        .LE16(22)
                                        .LE16(16)
                                        .LE32(3)
                                        .LE16(1)
                                        .Fill(14, 0x42)
                                        .Bytes())
                         .Chunk("data", QByteArray(4, 1))
                         .Bytes()),
            "Unsupported wave format (format tag 65534, 16 bits, 2 channels)", "Error Opening Wave",
            L::Mono8, 11025}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// ----- reader: data that runs to the end of the file
// ----------------------------------------------

struct ToTheEndCase {
    const char* name;
    QByteArray format;
    // The data chunk's stated size and the bytes the file really holds after its head.
    quint32 stated;
    QByteArray present;
    SampleLayout layout;
    // The data loaded, and whether the file was worth a warning.
    QByteArray data;
    bool cutShort;
};

class DataToTheEnd : public WaveFileTest, public ::testing::WithParamInterface<ToTheEndCase> {};

TEST_P(DataToTheEnd, LoadsTheWholeFramesThereAndWarnsOnlyWhenMoreWasPromised) {
    const ToTheEndCase& c = GetParam();
    ASSERT_EQ(Load(WaveFile(CFileBytes()
                                .Chunk("fmt ", c.format)
                                .Text("data")
                                .LE32(c.stated)
                                .Raw(c.present)
                                .Bytes())),
              1);
    EXPECT_EQ(DataOf(buffer), c.data);
    EXPECT_EQ(buffer.GetLayout(), c.layout);
    EXPECT_EQ(buffer.GetRate(), 22050u);
    EXPECT_EQ(buffer.GetFormat(), buffer.GetCommittedFormat());
    if (!c.cutShort) {
        EXPECT_TRUE(capture.messages.isEmpty())
            << capture.Texts().join(QLatin1Char('|')).toStdString();
        return;
    }
    ASSERT_EQ(capture.messages.size(), 1);
    EXPECT_TRUE(capture.messages[0].text.startsWith(QStringLiteral("The wave file is cut short")));
    EXPECT_EQ(capture.messages[0].caption, QStringLiteral("Error Opening Wave"));
}

// Bytes 1, 2, 3 ... `count`: seven 16-bit stereo frames and one byte of an eighth for 29.
QByteArray Counting(int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes.append(char(i));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, DataToTheEnd,
    ::testing::Values(ToTheEndCase{"StreamedWithAllOnes", Plain16Stereo(), 0xFFFFFFFF, Counting(29),
                                   L::Stereo16, Counting(28), false},
                      ToTheEndCase{"StreamedWithZero", FormatBody(1, 1, 22050, 16), 0, Counting(29),
                                   L::Mono16, Counting(28), false},
                      ToTheEndCase{"EmptyDataBeforeAnotherChunk", FormatBody(1, 1, 22050, 16), 0,
                                   CFileBytes().Chunk("LIST", QByteArray("INFO")).Bytes(),
                                   L::Mono16, QByteArray(), false},
                      ToTheEndCase{"InterruptedRecording", Plain16Stereo(), 4000, Counting(29),
                                   L::Stereo16, Counting(28), true},
                      ToTheEndCase{"OneBytePastTheEnd", Plain16Stereo(), 9, Counting(8),
                                   L::Stereo16, Counting(8), true},
                      // Nine whole 3-byte frames, kept whole.
                      ToTheEndCase{"InterruptedTwentyFourBitRecording", FormatBody(1, 1, 22050, 24),
                                   300, Counting(29), L::Mono24, Counting(27), true},
                      ToTheEndCase{"StreamedFloat", FormatBody(3, 1, 22050, 32), 0xFFFFFFFF,
                                   CFileBytes().LE32(0x3F000000).LE32(0xBF000000).U8(0).Bytes(),
                                   L::MonoFloat,
                                   CFileBytes().LE32(0x3F000000).LE32(0xBF000000).Bytes(), false}),
    [](const ::testing::TestParamInfo<ToTheEndCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(WaveFileTest, AFileThatCannotBeOpenedFailsWithTheOpenMessage) {
    EXPECT_EQ(buffer.LoadFile(dir.filePath(QStringLiteral("missing.wav")), FileKind::Wave), 0);
    EXPECT_EQ(capture.Texts(), QStringList{QStringLiteral("Error - Couldn't open as Wave!")});
    EXPECT_FALSE(buffer.HasData());
}

TEST_F(WaveFileTest, AWrongRiffSizeDoesNotHideTheChunks) {
    QByteArray file = WaveFile(CFileBytes()
                                   .Chunk("fmt ", FormatBody(1, 1, 8000, 8))
                                   .Chunk("data", QByteArray("\x01\x02", 2))
                                   .Bytes());
    file[4] = 0;
    file[5] = 0;
    ASSERT_EQ(Load(file), 1);
    EXPECT_TRUE(capture.messages.isEmpty());
    EXPECT_EQ(DataOf(buffer), QByteArray("\x01\x02", 2));
}

TEST_F(WaveFileTest, ARateOfZeroLoadsWithoutDividing) {
    ASSERT_EQ(Load(WaveFile(CFileBytes()
                                .Chunk("fmt ", FormatBody(1, 2, 0, 8))
                                .Chunk("data", QByteArray(6, 9))
                                .Bytes())),
              1);
    EXPECT_EQ(buffer.GetRate(), 0u);
    EXPECT_EQ(buffer.GetFrameCount(), 3u);
    for (FileKind kind : {FileKind::Wave, FileKind::Voice, FileKind::SunAudio, FileKind::Raw})
        EXPECT_EQ(buffer.SaveFile(dir.filePath(QStringLiteral("zero%1").arg(int(kind))), kind), 1);
}

// ----- reader: formats converted on load ------------------------------------------------------

struct ConversionCase {
    const char* name;
    QByteArray format;
    QByteArray data;
    SampleLayout layout;
    std::vector<qint16> words; // for 16-bit results
    QByteArray bytes;          // for 8-bit, 24-bit and float results
};

class WaveConversion : public WaveFileTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(WaveConversion, LoadsAtTheDepthThatKeepsWhatTheFileHolds) {
    const ConversionCase& c = GetParam();
    ASSERT_EQ(Load(WaveFile(CFileBytes().Chunk("fmt ", c.format).Chunk("data", c.data).Bytes())),
              1);
    EXPECT_TRUE(capture.messages.isEmpty()) << capture.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(buffer.GetLayout(), c.layout);
    EXPECT_EQ(buffer.GetRate(), 8000u);
    const CWaveFormat& f = buffer.GetFormat();
    const SampleDepth depth = LayoutDepth(c.layout);
    EXPECT_EQ(f.formatTag, depth == SampleDepth::Float32 ? 3 : 1);
    EXPECT_EQ(f.bitsPerSample, DepthBits(depth));
    EXPECT_EQ(f.channels, LayoutChannels(c.layout));
    EXPECT_EQ(f.blockAlign, LayoutBytesPerFrame(c.layout));
    EXPECT_EQ(f.avgBytesPerSec, 8000u * LayoutBytesPerFrame(c.layout));
    EXPECT_EQ(buffer.GetCommittedFormat(), f);
    if (LayoutIs16Bit(c.layout))
        EXPECT_EQ(WordsOf(buffer), c.words);
    else
        EXPECT_EQ(DataOf(buffer), c.bytes);
    EXPECT_EQ(buffer.GetFrameCount() * buffer.BytesPerFrame(), buffer.GetByteLength());
}

QByteArray Floats(std::initializer_list<float> values) {
    QByteArray bytes;
    for (float v : values)
        bytes.append(reinterpret_cast<const char*>(&v), 4);
    return bytes;
}

QByteArray Doubles(std::initializer_list<double> values) {
    QByteArray bytes;
    for (double v : values)
        bytes.append(reinterpret_cast<const char*>(&v), 8);
    return bytes;
}

// Extensible: the classic 16 bytes, extra size 22, valid bits, channel mask, sub-format GUID.
QByteArray Extensible(quint16 channels, quint16 bits, quint16 subTag) {
    return FormatBody(0xFFFE, channels, 8000, bits) +
           CFileBytes()
               .LE16(22)
               .LE16(bits)
               .LE32(3)
               .LE16(subTag)
               .Raw("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14)
               .Bytes();
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Formats, WaveConversion,
    ::testing::Values(
        ConversionCase{"Pcm24IsKeptWhole",
                       FormatBody(1, 1, 8000, 24),
                       QByteArray("\x56\x34\x12\xFF\xFF\xFF\x00\x00\x80\xFF\xFF\x7F", 12),
                       L::Mono24,
                       {},
                       QByteArray("\x56\x34\x12\xFF\xFF\xFF\x00\x00\x80\xFF\xFF\x7F", 12)},
        ConversionCase{
            "Pcm32StereoIsHeldAsFloat",
            FormatBody(1, 2, 8000, 32),
            QByteArray("\x00\x00\x34\x12\xFF\xFF\xFF\x7F\x00\x00\x00\x80\x00\x00\x01\x00", 16),
            L::StereoFloat,
            {},
            Floats({0x1234 / 32768.0f, 1.0f, -1.0f, 1 / 32768.0f})},
        ConversionCase{"Float32IsKeptAsItIsBeyondFullScaleToo",
                       FormatBody(3, 1, 8000, 32),
                       Floats({0.5f, -1.0f, 1.0f, 2.0f, -0.00001f, kNaN}),
                       L::MonoFloat,
                       {},
                       Floats({0.5f, -1.0f, 1.0f, 2.0f, -0.00001f, kNaN})},
        ConversionCase{"Float64BecomesFloat",
                       FormatBody(3, 2, 8000, 64),
                       Doubles({0.25, -0.25}),
                       L::StereoFloat,
                       {},
                       Floats({0.25f, -0.25f})},
        ConversionCase{"MuLaw",
                       FormatBody(7, 1, 8000, 8),
                       QByteArray("\x00\x7F\x80\xFF", 4),
                       L::Mono16,
                       {-32124, 0, 32124, 0},
                       {}},
        ConversionCase{"ALaw",
                       FormatBody(6, 2, 8000, 8),
                       QByteArray("\xD5\x55\xAA\x2A", 4),
                       L::Stereo16,
                       {8, -8, 32256, -32256},
                       {}},
        ConversionCase{"ExtensiblePcm16",
                       Extensible(2, 16, 1),
                       QByteArray("\x01\x00\x02\x00", 4),
                       L::Stereo16,
                       {1, 2},
                       {}},
        ConversionCase{"ExtensibleFloat",
                       Extensible(1, 32, 3),
                       Floats({-0.5f}),
                       L::MonoFloat,
                       {},
                       Floats({-0.5f})},
        ConversionCase{"ExtensiblePcm24",
                       Extensible(1, 24, 1),
                       QByteArray("\x00\x00\x40", 3),
                       L::Mono24,
                       {},
                       QByteArray("\x00\x00\x40", 3)},
        // L R C LFE BL BR: each side is (2 x its front + centre + 2 x its back) / 5, rounded.
        ConversionCase{"SixChannelsAreMixedToStereo",
                       FormatBody(1, 6, 8000, 16),
                       CFileBytes()
                           .LE16(1)
                           .LE16(2)
                           .LE16(3)
                           .LE16(4)
                           .LE16(5)
                           .LE16(6)
                           .LE16(7)
                           .LE16(8)
                           .LE16(9)
                           .LE16(10)
                           .LE16(11)
                           .LE16(12)
                           .Bytes(),
                       L::Stereo16,
                       {3, 4, 9, 10},
                       {}},
        // L R C: each side (2 x its own + centre) / 3 about 128, rounded.
        ConversionCase{"ThreeChannels8Bit",
                       FormatBody(1, 3, 8000, 8),
                       QByteArray("\x01\x02\x03\x04\x05\x06", 6),
                       L::Stereo8,
                       {},
                       QByteArray("\x02\x02\x05\x05", 4)},
        ConversionCase{"TwelveBitPcmIn16BitContainers",
                       FormatBody(1, 1, 8000, 12),
                       QByteArray("\xF0\x7F\x10\x80", 4),
                       L::Mono16,
                       {0x7FF0, -32752},
                       {}},
        ConversionCase{"TrailingPartialFrameIsDropped",
                       FormatBody(1, 1, 8000, 24),
                       QByteArray("\x00\x00\x01\x00\x00", 5),
                       L::Mono24,
                       {},
                       QByteArray("\x00\x00\x01", 3)}),
    [](const ::testing::TestParamInfo<ConversionCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(WaveFileTest, APlainSixteenBitFileIsReadByteForByte) {
    const QByteArray data("\x01\x80\xFF\x7F\x00\x00", 6);
    ASSERT_EQ(
        Load(WaveFile(
            CFileBytes().Chunk("fmt ", FormatBody(1, 1, 8000, 16)).Chunk("data", data).Bytes())),
        1);
    EXPECT_EQ(DataOf(buffer), data);
    EXPECT_EQ(buffer.GetLayout(), L::Mono16);
    EXPECT_EQ(buffer.GetFrameCount(), 3u);
}

// ----- saving never harms the old file ----------------------------------------------------------

TEST_F(WaveFileTest, AFailedSaveLeavesNoFileAndReportsFailure) {
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray(4, 1), L::Mono8, 8000));
    const QString path = dir.filePath(QStringLiteral("no/such/dir/out.wav"));
    for (FileKind kind : {FileKind::Wave, FileKind::Voice, FileKind::SunAudio, FileKind::Raw})
        EXPECT_EQ(buffer.SaveFile(path, kind), 0);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(WaveFileTest, SavingOverAFileReplacesItWhole) {
    const QString path = Write(QByteArray(5000, 'x'), QStringLiteral("old.wav"));
    ASSERT_TRUE(MakeSample(buffer, dir, QByteArray(2, 1), L::Mono8, 8000));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::Wave), 1);
    EXPECT_EQ(ReadFile(path).size(), 8 + 4 + 42 + 24 + 8 + 2);
}

} // namespace
