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
        const QString path = dir.filePath(QStringLiteral("empty%1").arg(int(kind)));
        ASSERT_EQ(empty.SaveFile(path, kind), 1);
        CSampleBuffer loaded;
        ASSERT_EQ(loaded.LoadFile(path, kind), 1);
        EXPECT_EQ(loaded.GetFrameCount(), 0u) << int(kind);
    }
    EXPECT_TRUE(capture.messages.isEmpty());
}

} // namespace
