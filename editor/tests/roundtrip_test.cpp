#include "capturereporter.h"
#include "core/samplebuffer.h"
#include "filebytes.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using L = SampleLayout;

struct RoundTrip {
    FileKind kind;
    SampleLayout layout;
};

class SaveAndLoad : public ::testing::TestWithParam<RoundTrip> {};

// 8000 Hz is one of the rates every format holds exactly, the voice file's rate codes included.
TEST_P(SaveAndLoad, KeepsEveryByteTheLayoutAndTheRate) {
    const RoundTrip& p = GetParam();
    QTemporaryDir dir;
    CCaptureReporter capture;
    std::mt19937 random(int(p.kind) * 16 + int(p.layout));
    QByteArray bytes(7 * int(LayoutBytesPerFrame(p.layout)), Qt::Uninitialized);
    for (char& b : bytes)
        b = char(random());
    CSampleBuffer source;
    ASSERT_TRUE(MakeSample(source, dir, bytes, p.layout, 8000));
    const QString path = dir.filePath(QStringLiteral("round"));
    ASSERT_EQ(source.SaveFile(path, p.kind), 1);
    EXPECT_EQ(DataOf(source), bytes);

    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(path, p.kind), 1);
    EXPECT_TRUE(capture.messages.isEmpty());
    EXPECT_EQ(DataOf(loaded), bytes);
    if (p.kind != FileKind::Raw) {
        EXPECT_EQ(loaded.GetLayout(), p.layout);
        EXPECT_EQ(loaded.GetRate(), 8000u);
        EXPECT_EQ(loaded.GetFrameCount(), 7u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    KindsAndLayouts, SaveAndLoad,
    ::testing::Values(RoundTrip{FileKind::Wave, L::Mono8}, RoundTrip{FileKind::Wave, L::Mono16},
                      RoundTrip{FileKind::Wave, L::Stereo8}, RoundTrip{FileKind::Wave, L::Stereo16},
                      RoundTrip{FileKind::SunAudio, L::Mono8},
                      RoundTrip{FileKind::SunAudio, L::Mono16},
                      RoundTrip{FileKind::SunAudio, L::Stereo8},
                      RoundTrip{FileKind::SunAudio, L::Stereo16},
                      RoundTrip{FileKind::Voice, L::Mono8}, RoundTrip{FileKind::Voice, L::Stereo8},
                      RoundTrip{FileKind::Raw, L::Mono8}, RoundTrip{FileKind::Raw, L::Stereo16}));

TEST(SaveAndLoadEmpty, AnEmptySampleSavesAndLoadsInEveryKind) {
    QTemporaryDir dir;
    CCaptureReporter capture;
    for (FileKind kind : {FileKind::Wave, FileKind::SunAudio, FileKind::Voice}) {
        CSampleBuffer empty;
        // A rate every kind holds exactly: a voice file says so when it cannot (22050 Hz).
        empty.SetFormat(8000, false, false);
        const QString path = dir.filePath(QStringLiteral("empty%1").arg(int(kind)));
        ASSERT_EQ(empty.SaveFile(path, kind), 1);
        CSampleBuffer loaded;
        ASSERT_EQ(loaded.LoadFile(path, kind), 1);
        EXPECT_EQ(loaded.GetFrameCount(), 0u) << int(kind);
    }
    EXPECT_TRUE(capture.messages.isEmpty());
}

// Offsets past 2 GiB, in sparse files: only the bytes around them take disk space.
class BeyondTwoGigabytes : public ::testing::Test {
protected:
    static constexpr qint64 kFar = 0xC0000000; // 3 GiB

    // Writes `head`, leaves a hole up to `kFar`, and writes `tail` there.
    QString Sparse(const QByteArray& head, const QByteArray& tail) {
        const QString path = dir.filePath(QStringLiteral("sparse"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(head) != head.size() ||
            !file.seek(kFar) || file.write(tail) != tail.size())
            return QString();
        return path;
    }

    QTemporaryDir dir;
    CCaptureReporter capture;
    CSampleBuffer buffer;
};

TEST_F(BeyondTwoGigabytes, WaveChunksAfterAThreeGigabyteChunkAreFound) {
    const QByteArray head = CFileBytes()
                                .Text("RIFF")
                                .LE32(0xFFFFFFF0)
                                .Text("WAVE")
                                .Text("junk")
                                .LE32(quint32(kFar - 20))
                                .Bytes();
    const QByteArray tail = CFileBytes()
                                .Chunk("fmt ", FormatBody(1, 2, 8000, 16))
                                .Chunk("data", QByteArray("\x01\x02\x03\x04", 4))
                                .Bytes();
    const QString path = Sparse(head, tail);
    ASSERT_FALSE(path.isEmpty());
    ASSERT_EQ(buffer.LoadFile(path, FileKind::Wave), 1);
    EXPECT_TRUE(capture.messages.isEmpty());
    EXPECT_EQ(DataOf(buffer), QByteArray("\x01\x02\x03\x04", 4));
    EXPECT_EQ(buffer.GetLayout(), L::Stereo16);
}

TEST_F(BeyondTwoGigabytes, SunAudioHeaderSizeAboveTwoGigabytes) {
    const QByteArray head =
        CFileBytes().Text(".snd").BE32(quint32(kFar)).BE32(2).BE32(2).BE32(8000).BE32(1).Bytes();
    const QString path = Sparse(head, QByteArray("\x00\x7F", 2));
    ASSERT_FALSE(path.isEmpty());
    ASSERT_EQ(buffer.LoadFile(path, FileKind::SunAudio), 1);
    EXPECT_TRUE(capture.messages.isEmpty());
    EXPECT_EQ(DataOf(buffer), QByteArray("\x80\xFF", 2));
}

TEST_F(BeyondTwoGigabytes, RawReadAtAnOffsetAboveTwoGigabytes) {
    const QString path = Sparse(QByteArray("head"), QByteArray("tail"));
    ASSERT_FALSE(path.isEmpty());
    ASSERT_EQ(buffer.ReadRaw(path, quint64(kFar) + 1, 2), 1);
    EXPECT_EQ(DataOf(buffer), QByteArray("ai"));
}

} // namespace
