// The formats read and written through libsndfile: lossless ones give back every byte, the lossy
// ones the sound, the tags come back as the information texts, and a damaged or foreign file is
// read as far as it goes with one clear message.

#include "capturereporter.h"
#include "filebytes.h"
#include "samplemaker.h"

#include "core/samplebuffer.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using L = SampleLayout;

const SampleLayout kLayouts[] = {L::Mono8, L::Mono16, L::Stereo8, L::Stereo16};

// The file ending of each libsndfile kind, which FileKindForPath takes back to the kind.
QString Ending(FileKind kind) {
    static const char* const kEndings[] = {"flac", "aiff", "ogg", "opus", "caf", "w64", "rf64"};
    return QString::fromLatin1(kEndings[int(kind) - int(FileKind::Flac)]);
}

QString LayoutName(SampleLayout layout) {
    return QStringLiteral("%1%2")
        .arg(LayoutIsStereo(layout) ? "Stereo" : "Mono")
        .arg(LayoutIs16Bit(layout) ? 16 : 8);
}

// Two tones, one per side, at 3/4 of full scale: music enough for a lossy coder.
void FillTones(CSampleBuffer& buffer, SampleLayout layout, quint32 rate, quint32 frames) {
    Values values;
    for (quint32 f = 0; f < frames; ++f) {
        for (quint32 c = 0; c < LayoutChannels(layout); ++c) {
            const double x = 0.75 * std::sin(2 * M_PI * (440 + 330 * c) * f / rate);
            values.push_back(LayoutIs16Bit(layout) ? int(x * 32767) : int(x * 127) + 128);
        }
    }
    FillSample(buffer, layout, rate, values);
}

// Signal to noise of `decoded` against `original`, in dB, both as 16-bit values.
double SignalToNoise(const CSampleBuffer& original, const CSampleBuffer& decoded) {
    double signal = 0;
    double noise = 0;
    for (quint32 f = 0; f < original.GetFrameCount(); ++f) {
        quint8 a[4];
        quint8 b[4];
        original.ReadFrame(f, L::Stereo16, a);
        decoded.ReadFrame(f, L::Stereo16, b);
        for (int i = 0; i < 4; i += 2) {
            const double x = qint16(a[i] | (a[i + 1] << 8));
            const double y = qint16(b[i] | (b[i + 1] << 8));
            signal += x * x;
            noise += (x - y) * (x - y);
        }
    }
    return 10 * std::log10(signal / std::max(noise, 1.0));
}

class SoundFileTest : public ::testing::Test {
protected:
    QString Path(FileKind kind) const {
        return dir.filePath(QStringLiteral("sound.") + Ending(kind));
    }

    QTemporaryDir dir;
    CCaptureReporter capture;
};

// ----- lossless formats --------------------------------------------------------------------------

class Lossless : public SoundFileTest,
                 public ::testing::WithParamInterface<std::tuple<FileKind, SampleLayout>> {};

TEST_P(Lossless, GivesBackEveryByteInTheSameLayoutAndRate) {
    const auto [kind, layout] = GetParam();
    CSampleBuffer source;
    FillSample(source, layout, 22050, RandomValues(layout, 3001, quint32(kind)));
    ASSERT_EQ(source.SaveFile(Path(kind), kind), 1);

    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(Path(kind), FileKindForPath(Path(kind))), 1);
    EXPECT_TRUE(capture.messages.isEmpty()) << capture.messages.value(0).text.toStdString();
    EXPECT_EQ(loaded.GetLayout(), layout);
    EXPECT_EQ(loaded.GetRate(), 22050u);
    EXPECT_EQ(loaded.GetFrameCount(), 3001u);
    EXPECT_EQ(loaded.GetFormat(), loaded.GetCommittedFormat());
    EXPECT_TRUE(DataOf(loaded) == DataOf(source));
}

INSTANTIATE_TEST_SUITE_P(KindsAndLayouts, Lossless,
                         ::testing::Combine(::testing::Values(FileKind::Flac, FileKind::Aiff,
                                                              FileKind::Caf, FileKind::Wave64,
                                                              FileKind::Rf64),
                                            ::testing::ValuesIn(kLayouts)),
                         [](const auto& info) {
                             return (Ending(std::get<0>(info.param)) +
                                     LayoutName(std::get<1>(info.param)))
                                 .toStdString();
                         });

// ----- lossy formats -----------------------------------------------------------------------------

struct LossyCase {
    FileKind kind;
    SampleLayout layout;
    quint32 rate;
    // The rate the file holds: Opus keeps only a few.
    quint32 savedRate;
};

class Lossy : public SoundFileTest, public ::testing::WithParamInterface<LossyCase> {};

TEST_P(Lossy, KeepsTheSoundTheChannelsAndTheLengthAsSixteenBit) {
    const LossyCase& c = GetParam();
    CSampleBuffer source;
    FillTones(source, c.layout, c.rate, c.rate);
    const CSampleState before = CSampleState::Of(source);
    ASSERT_EQ(source.SaveFile(Path(c.kind), c.kind), 1);
    EXPECT_TRUE(CSampleState::Of(source) == before) << "saving must not change the sample";

    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(Path(c.kind), c.kind), 1);
    EXPECT_TRUE(capture.messages.isEmpty()) << capture.messages.value(0).text.toStdString();
    EXPECT_EQ(loaded.GetLayout(), MakeLayout(LayoutIsStereo(c.layout), true));
    EXPECT_EQ(loaded.GetRate(), c.savedRate);
    EXPECT_EQ(loaded.GetFrameCount(), c.savedRate);
    if (c.savedRate == c.rate) {
        EXPECT_GT(SignalToNoise(source, loaded), LayoutIs16Bit(c.layout) ? 20.0 : 15.0);
    }
}

INSTANTIATE_TEST_SUITE_P(KindsAndLayouts, Lossy,
                         ::testing::Values(LossyCase{FileKind::OggVorbis, L::Mono16, 44100, 44100},
                                           LossyCase{FileKind::OggVorbis, L::Stereo16, 22050,
                                                     22050},
                                           LossyCase{FileKind::OggVorbis, L::Stereo8, 8000, 8000},
                                           LossyCase{FileKind::Opus, L::Mono16, 48000, 48000},
                                           LossyCase{FileKind::Opus, L::Stereo16, 16000, 16000},
                                           LossyCase{FileKind::Opus, L::Stereo16, 44100, 48000},
                                           LossyCase{FileKind::Opus, L::Mono8, 11025, 48000}),
                         [](const auto& info) {
                             return (Ending(info.param.kind) + LayoutName(info.param.layout) +
                                     QString::number(info.param.rate))
                                 .toStdString();
                         });

// ----- information texts -------------------------------------------------------------------------

class Tags : public SoundFileTest, public ::testing::WithParamInterface<FileKind> {};

TEST_P(Tags, TitleArtistCommentAndCopyrightComeBackAsTheInformationTexts) {
    const FileKind kind = GetParam();
    CSampleBuffer source;
    FillTones(source, L::Stereo16, 48000, 4800);
    const QString texts[] = {QStringLiteral("Ärtist"), QStringLiteral("A comment"),
                             QStringLiteral("(c) 2024 Nobody")};
    source.SetInfo(InfoName, QStringLiteral("Tïtle"));
    source.SetInfo(InfoArtist, texts[0]);
    source.SetInfo(InfoComments, texts[1]);
    source.SetInfo(InfoCopyright, texts[2]);
    ASSERT_EQ(source.SaveFile(Path(kind), kind), 1);

    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(Path(kind), kind), 1);
    for (int info : {InfoName, InfoArtist, InfoComments, InfoCopyright})
        EXPECT_EQ(loaded.GetInfo(info), source.GetInfo(info)) << info;
}

INSTANTIATE_TEST_SUITE_P(Kinds, Tags,
                         ::testing::Values(FileKind::Flac, FileKind::Aiff, FileKind::OggVorbis,
                                           FileKind::Opus, FileKind::Caf, FileKind::Rf64),
                         [](const auto& info) { return Ending(info.param).toStdString(); });

// ----- an empty sample ---------------------------------------------------------------------------

class EmptySample : public SoundFileTest,
                    public ::testing::WithParamInterface<std::tuple<FileKind, SampleLayout>> {};

// A save that reports success must leave a file that opens as what was saved: no sound, the same
// channels and rate. A format that cannot hold it must say so and leave no file.
TEST_P(EmptySample, ReopensEmptyOrIsRefusedWithAMessage) {
    const auto [kind, layout] = GetParam();
    CSampleBuffer source;
    FillSample(source, layout, 48000, {});
    ASSERT_EQ(source.GetFrameCount(), 0u);
    const QString path = Path(kind);
    if (source.SaveFile(path, kind) != 1) {
        EXPECT_EQ(capture.messages.size(), 1);
        EXPECT_FALSE(QFile::exists(path));
        return;
    }
    EXPECT_TRUE(capture.messages.isEmpty()) << capture.messages.value(0).text.toStdString();
    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(path, kind), 1);
    EXPECT_TRUE(capture.messages.isEmpty()) << capture.messages.value(0).text.toStdString();
    EXPECT_EQ(loaded.GetFrameCount(), 0u);
    EXPECT_EQ(loaded.GetChannels(), LayoutChannels(layout));
    EXPECT_EQ(loaded.GetRate(), 48000u);
}

INSTANTIATE_TEST_SUITE_P(KindsAndLayouts, EmptySample,
                         ::testing::Combine(::testing::Values(FileKind::Flac, FileKind::Aiff,
                                                              FileKind::OggVorbis, FileKind::Opus,
                                                              FileKind::Caf, FileKind::Wave64,
                                                              FileKind::Rf64),
                                            ::testing::Values(L::Mono8, L::Stereo16)),
                         [](const auto& info) {
                             return (Ending(std::get<0>(info.param)) +
                                     LayoutName(std::get<1>(info.param)))
                                 .toStdString();
                         });

// ----- damaged and foreign files -----------------------------------------------------------------

TEST_F(SoundFileTest, ACutShortFlacFileLoadsTheFramesThereWithOneWarning) {
    CSampleBuffer source;
    FillSample(source, L::Stereo16, 44100, RandomValues(L::Stereo16, 44100, 9));
    ASSERT_EQ(source.SaveFile(Path(FileKind::Flac), FileKind::Flac), 1);
    const QByteArray whole = ReadFile(Path(FileKind::Flac));
    const QString cut = WriteFile(dir, QStringLiteral("cut.flac"), whole.left(whole.size() / 2));

    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(cut, FileKind::Flac), 1);
    ASSERT_EQ(capture.messages.size(), 1);
    EXPECT_TRUE(capture.messages[0].text.contains(QStringLiteral("cut short")));
    EXPECT_EQ(loaded.GetLayout(), L::Stereo16);
    EXPECT_GT(loaded.GetFrameCount(), 10000u);
    EXPECT_LT(loaded.GetFrameCount(), 44100u);
    EXPECT_TRUE(DataOf(loaded) == DataOf(source).left(int(loaded.GetByteLength())));
}

TEST_F(SoundFileTest, AFileThatIsNoSoundSaysWhyAndOpensAsRawData) {
    const QByteArray text("just some text, not a sound");
    const QString path = WriteFile(dir, QStringLiteral("text.flac"), text);
    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(path, FileKind::Flac), 1);
    ASSERT_EQ(capture.messages.size(), 1);
    EXPECT_TRUE(capture.messages[0].text.startsWith(QStringLiteral("Cannot read the sound file")));
    EXPECT_EQ(DataOf(loaded), text);
    EXPECT_EQ(loaded.GetLayout(), L::Mono8);
}

TEST_F(SoundFileTest, AFailedSaveSaysWhyAndLeavesTheOldFileAlone) {
    const QString path = WriteFile(dir, QStringLiteral("old.flac"), QByteArray("old"));
    CSampleBuffer source;
    FillSample(source, L::Mono16, 8000, {1, 2, 3});
    source.SetFormat(0, false, true);
    EXPECT_EQ(source.SaveFile(path, FileKind::Flac), 0);
    EXPECT_EQ(capture.messages.size(), 1);
    EXPECT_EQ(ReadFile(path), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.flac")});
}

TEST_F(SoundFileTest, SavingOverALongerFileReplacesItWhole) {
    CSampleBuffer longer;
    FillSample(longer, L::Stereo16, 8000, RandomValues(L::Stereo16, 8000, 1));
    ASSERT_EQ(longer.SaveFile(Path(FileKind::Aiff), FileKind::Aiff), 1);
    CSampleBuffer shorter;
    FillSample(shorter, L::Mono8, 8000, {1, 2, 3});
    ASSERT_EQ(shorter.SaveFile(Path(FileKind::Aiff), FileKind::Aiff), 1);
    const QString fresh = dir.filePath(QStringLiteral("fresh.aiff"));
    ASSERT_EQ(shorter.SaveFile(fresh, FileKind::Aiff), 1);
    EXPECT_EQ(ReadFile(Path(FileKind::Aiff)), ReadFile(fresh));
}

} // namespace
