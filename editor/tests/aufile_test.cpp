#include "capturereporter.h"
#include "core/samplebuffer.h"
#include "filebytes.h"

#include <gtest/gtest.h>

namespace {

using L = SampleLayout;

QByteArray BigHeader(quint32 headerSize, quint32 encoding, quint32 rate, quint32 channels) {
    return CFileBytes()
        .Text(".snd")
        .BE32(headerSize)
        .BE32(0xFFFFFFFF)
        .BE32(encoding)
        .BE32(rate)
        .BE32(channels)
        .Bytes();
}

QByteArray LittleHeader(const char* magic, quint32 encoding, quint32 rate, quint32 channels) {
    return CFileBytes()
        .Raw(magic, 4)
        .LE32(24)
        .LE32(0)
        .LE32(encoding)
        .LE32(rate)
        .LE32(channels)
        .Bytes();
}

class SunAudioTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    CCaptureReporter capture;
    CSampleBuffer buffer;
};

// ----- writer ----------------------------------------------------------------------------------

TEST_F(SunAudioTest, EightBitIsWrittenSignedAndTheSampleStaysUnsigned) {
    const QByteArray data("\x80\x00\xFF\x7F", 4);
    ASSERT_TRUE(MakeSample(buffer, dir, data, L::Stereo8, 8000));
    const QString path = dir.filePath(QStringLiteral("out.au"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::SunAudio), 1);
    const QByteArray expected = CFileBytes()
                                    .Text(".snd")
                                    .BE32(24)
                                    .BE32(4)
                                    .BE32(2)
                                    .BE32(8000)
                                    .BE32(2)
                                    .Raw("\x00\x80\x7F\xFF", 4)
                                    .Bytes();
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(DataOf(buffer), data);
}

TEST_F(SunAudioTest, SixteenBitIsWrittenBigEndianAndTheSampleStaysLittleEndian) {
    const QByteArray data("\x01\x02\x03\x04\xFF\x7F", 6);
    ASSERT_TRUE(MakeSample(buffer, dir, data, L::Mono16, 44100));
    const QString path = dir.filePath(QStringLiteral("out.snd"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::SunAudio), 1);
    const QByteArray expected = CFileBytes()
                                    .Text(".snd")
                                    .BE32(24)
                                    .BE32(6)
                                    .BE32(3)
                                    .BE32(44100)
                                    .BE32(1)
                                    .Raw("\x02\x01\x04\x03\x7F\xFF", 6)
                                    .Bytes();
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(DataOf(buffer), data);
}

// ----- reader ------------------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    QByteArray file;
    SampleLayout layout;
    quint32 rate;
    QByteArray data;
    QStringList messages;
};

class SunAudioRead : public SunAudioTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SunAudioRead, LoadsInTheEditorsForm) {
    const ReadCase& c = GetParam();
    const QString path = WriteFile(dir, QStringLiteral("in.au"), c.file);
    ASSERT_EQ(buffer.LoadFile(path, FileKind::SunAudio), 1);
    EXPECT_EQ(capture.Texts(), c.messages);
    for (const CMessage& m : capture.messages) {
        EXPECT_TRUE(m.caption.isEmpty());
        EXPECT_EQ(m.icon, CMessageIcon::Warning);
    }
    EXPECT_EQ(buffer.GetLayout(), c.layout);
    EXPECT_EQ(buffer.GetRate(), c.rate);
    EXPECT_EQ(DataOf(buffer), c.data);
    EXPECT_EQ(buffer.GetCommittedFormat(), buffer.GetFormat());
    EXPECT_EQ(buffer.GetFrameCount(), buffer.GetByteLength() / buffer.BytesPerFrame());
}

// The whole file: what the raw fallback loads.
QByteArray Whole(const QByteArray& file) {
    return file;
}

const QByteArray kBadMagic =
    CFileBytes().Text("RIFF").BE32(24).BE32(0).BE32(2).BE32(8000).BE32(1).Bytes();
const QByteArray kSmallHeader =
    CFileBytes().Text(".snd").BE32(8).BE32(0).BE32(2).BE32(8000).BE32(1).U8(1).Bytes();
const QByteArray kHeaderPastEnd = BigHeader(0x7FFFFFFF, 2, 8000, 1) + QByteArray("\x01\x02", 2);
const QByteArray kShortFile = QByteArray(".snd\x00\x00\x00\x18\x00\x00", 10);

INSTANTIATE_TEST_SUITE_P(
    Headers, SunAudioRead,
    ::testing::Values(
        ReadCase{"BigEndian16BitWordsAreSwapped",
                 BigHeader(24, 3, 22050, 2) + QByteArray("\x12\x34\xFF\xFE", 4),
                 L::Stereo16,
                 22050,
                 QByteArray("\x34\x12\xFE\xFF", 4),
                 {}},
        ReadCase{"LittleEndian16BitWordsStay",
                 LittleHeader("dns.", 3, 8000, 1) + QByteArray("\x12\x34\x56", 3),
                 L::Mono16,
                 8000,
                 QByteArray("\x12\x34\x56", 3),
                 {}},
        ReadCase{"ShortMagicLittleEndian",
                 LittleHeader("\0ds.", 2, 8000, 1) + QByteArray("\x00\x80", 2),
                 L::Mono8,
                 8000,
                 QByteArray("\x80\x00", 2),
                 {}},
        ReadCase{"ShortMagicBigEndian",
                 CFileBytes()
                     .Raw(".sd\0", 4)
                     .BE32(24)
                     .BE32(1)
                     .BE32(2)
                     .BE32(11025)
                     .BE32(2)
                     .Raw("\x7F\x81", 2)
                     .Bytes(),
                 L::Stereo8,
                 11025,
                 QByteArray("\xFF\x01", 2),
                 {}},
        ReadCase{"SignedBytesBecomeUnsigned",
                 BigHeader(24, 2, 8000, 1) + QByteArray("\x00\x7F\x80\xFF", 4),
                 L::Mono8,
                 8000,
                 QByteArray("\x80\xFF\x00\x7F", 4),
                 {}},
        ReadCase{"MuLawIsExpandedTo16Bit",
                 BigHeader(24, 1, 8000, 1) + QByteArray("\x00\xFF\x80", 3),
                 L::Mono16,
                 8000,
                 CFileBytes().LE16(quint16(-32124)).LE16(0).LE16(32124).Bytes(),
                 {}},
        ReadCase{"AnnotationAfterTheHeaderIsSkipped",
                 BigHeader(28, 2, 8000, 1) + QByteArray("note\x01\x02", 6),
                 L::Mono8,
                 8000,
                 QByteArray("\x81\x82", 2),
                 {}},
        ReadCase{"NoChannelsReadsAsStereo",
                 BigHeader(24, 2, 8000, 0) + QByteArray("\x01\x02", 2),
                 L::Stereo8,
                 8000,
                 QByteArray("\x81\x82", 2),
                 {}},
        ReadCase{"RateZero",
                 BigHeader(24, 3, 0, 1) + QByteArray("\x00\x01", 2),
                 L::Mono16,
                 0,
                 QByteArray("\x01\x00", 2),
                 {}},
        ReadCase{"UnknownEncodingLoadsTheDataRaw",
                 BigHeader(24, 23, 44100, 2) + QByteArray("\x05\x06\x07", 3),
                 L::Mono8,
                 11025,
                 QByteArray("\x05\x06\x07", 3),
                 {}},
        ReadCase{"BadMagic",
                 kBadMagic,
                 L::Mono8,
                 11025,
                 Whole(kBadMagic),
                 {QStringLiteral("Don't understand .au magic word!")}},
        ReadCase{"HeaderSizeTooSmall",
                 kSmallHeader,
                 L::Mono8,
                 11025,
                 Whole(kSmallHeader),
                 {QStringLiteral("Sun/NeXT header size too small.")}},
        ReadCase{"HeaderSizePastTheEnd",
                 kHeaderPastEnd,
                 L::Mono8,
                 11025,
                 Whole(kHeaderPastEnd),
                 {QStringLiteral("The Sun/NeXT header runs past the end of the file.")}},
        ReadCase{"FileShorterThanTheHeader",
                 kShortFile,
                 L::Mono8,
                 11025,
                 Whole(kShortFile),
                 {QStringLiteral("The Sun/NeXT header runs past the end of the file.")}},
        ReadCase{"TwoByteFile",
                 QByteArray(".s"),
                 L::Mono8,
                 11025,
                 QByteArray(".s"),
                 {QStringLiteral("Don't understand .au magic word!")}}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(SunAudioTest, AHeaderEndingExactlyAtTheFileEndGivesAnEmptySample) {
    ASSERT_EQ(buffer.LoadFile(WriteFile(dir, QStringLiteral("e.au"), BigHeader(24, 3, 8000, 2)),
                              FileKind::SunAudio),
              1);
    EXPECT_TRUE(capture.messages.isEmpty());
    EXPECT_TRUE(buffer.HasData());
    EXPECT_EQ(buffer.GetFrameCount(), 0u);
    EXPECT_EQ(buffer.GetLayout(), L::Stereo16);
}

TEST_F(SunAudioTest, AFileThatCannotBeOpenedFailsSilently) {
    EXPECT_EQ(buffer.ReadSunAudio(dir.filePath(QStringLiteral("missing.au"))), 0);
    EXPECT_TRUE(capture.messages.isEmpty());
}

} // namespace
