// Cross-checks the file formats with sox, an independent reader and writer: files sox makes load
// with the samples sox itself decodes from them, and files the editor writes decode in sox to the
// editor's own samples, rate and channels.

#include "capturereporter.h"
#include "core/samplebuffer.h"
#include "filebytes.h"
#include "samplemaker.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using L = SampleLayout;

// Runs sox with `args`; its standard output, or nullopt with the reason recorded as a failure.
std::optional<QByteArray> Sox(const QStringList& args) {
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    if (sox.isEmpty()) {
        ADD_FAILURE() << "sox is not installed (scripts/setup installs it)";
        return std::nullopt;
    }
    QProcess process;
    process.start(sox, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << "sox " << args.join(QLatin1Char(' ')).toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}

// What sox decodes from `path`, as raw samples of the given sox encoding options.
std::optional<QByteArray> SoxDecode(const QString& path, const QStringList& encoding) {
    return Sox(
        QStringList{QStringLiteral("-D"), path, QStringLiteral("-t"), QStringLiteral("raw")} +
        encoding + QStringList{QStringLiteral("-")});
}

std::optional<quint32> SoxInfo(const QString& path, const char* option) {
    const auto out = Sox({QStringLiteral("--i"), QString::fromLatin1(option), path});
    if (!out)
        return std::nullopt;
    return out->trimmed().toUInt();
}

const QStringList kUnsigned8{"-e", "unsigned", "-b", "8"};
const QStringList kSigned16{"-e", "signed", "-b", "16", "-L"};
const QStringList kSigned32{"-e", "signed", "-b", "32", "-L"};

// A 32-bit sample rounded to 16 bits, as the editor reads wider formats through libsndfile.
int Round16(qint32 value) {
    return int(std::clamp<qint64>((qint64(value) + 0x8000) >> 16, -32768, 32767));
}

std::vector<qint32> Ints32(const QByteArray& raw) {
    std::vector<qint32> values(std::size_t(raw.size() / 4));
    std::memcpy(values.data(), raw.constData(), values.size() * 4);
    return values;
}

// ----- files made by sox -------------------------------------------------------------------------

enum class Compare {
    Bytes8,     // sox's unsigned 8-bit samples are our bytes
    Words16,    // sox's signed 16-bit samples are our words
    Exact24,    // our 24-bit samples are sox's 32-bit ones without their (empty) low byte
    IntAsFloat, // our floats are sox's 32-bit samples divided by 2^31
    FloatNear,  // our floats are sox's within its 32-bit integer pipeline's step
    Lossy16,    // two decoders of a lossy stream: the same within a few steps
};

const QStringList kFloat32{"-e", "floating-point", "-b", "32", "-L"};

std::vector<float> FloatsOf(const QByteArray& raw) {
    std::vector<float> values(std::size_t(raw.size() / 4));
    std::memcpy(values.data(), raw.constData(), values.size() * 4);
    return values;
}

// 24-bit samples as 32-bit ones, the low byte empty.
std::vector<qint32> Ints24(const CSampleBuffer& buffer) {
    std::vector<qint32> values(buffer.GetByteLength() / 3);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const quint8* p = buffer.GetData() + 3 * i;
        values[i] = qint32(quint32(p[0] << 8 | p[1] << 16 | p[2] << 24));
    }
    return values;
}

struct MadeBySox {
    const char* name;
    const char* extension;
    QStringList options; // sox output options
    int channels;
    SampleLayout layout;
    Compare compare;
};

class MadeBySoxTest : public ::testing::TestWithParam<MadeBySox> {};

TEST_P(MadeBySoxTest, LoadsWithTheSamplesSoxDecodes) {
    const MadeBySox& c = GetParam();
    QTemporaryDir dir;
    CCaptureReporter capture;
    const QString path = dir.filePath(QStringLiteral("made.") + QLatin1String(c.extension));
    QStringList make{"-n", "-r", "11025", "-c", QString::number(c.channels)};
    make << c.options << path << "synth"
         << "0.1"
         << "sine"
         << "300-3000"
         << "sine"
         << "550";
    ASSERT_TRUE(Sox(make));

    CSampleBuffer buffer;
    ASSERT_EQ(buffer.LoadFile(path, FileKindFor(path)), 1);
    EXPECT_TRUE(capture.messages.isEmpty()) << capture.messages.value(0).text.toStdString();
    EXPECT_EQ(buffer.GetLayout(), c.layout);
    EXPECT_EQ(buffer.GetChannels(), quint32(c.channels));
    const auto rate = SoxInfo(path, "-r");
    ASSERT_TRUE(rate);
    // Voice files hold a rate code, which both sides round in their own way.
    EXPECT_NEAR(double(buffer.GetRate()), double(*rate), *rate * 0.01);
    EXPECT_GT(buffer.GetFrameCount(), 1000u);

    switch (c.compare) {
    case Compare::Bytes8: {
        const auto expected = SoxDecode(path, kUnsigned8);
        ASSERT_TRUE(expected);
        EXPECT_TRUE(DataOf(buffer) == *expected);
        break;
    }
    case Compare::Words16: {
        const auto expected = SoxDecode(path, kSigned16);
        ASSERT_TRUE(expected);
        EXPECT_TRUE(DataOf(buffer) == *expected);
        break;
    }
    case Compare::Exact24: {
        const auto decoded = SoxDecode(path, kSigned32);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(Ints24(buffer), Ints32(*decoded));
        break;
    }
    case Compare::IntAsFloat:
    case Compare::FloatNear: {
        const auto decoded = SoxDecode(path, kSigned32);
        ASSERT_TRUE(decoded);
        const std::vector<qint32> wide = Ints32(*decoded);
        const std::vector<float> ours = FloatsOf(DataOf(buffer));
        ASSERT_EQ(ours.size(), wide.size());
        int mismatches = 0;
        for (std::size_t i = 0; i < ours.size(); ++i) {
            const double expected = wide[i] / 2147483648.0;
            const bool same =
                c.compare == Compare::IntAsFloat
                    ? ours[i] == float(expected)
                    : std::abs(ours[i] - expected) <= 1e-7 * std::abs(expected) + 1e-9;
            if (!same)
                ++mismatches;
        }
        EXPECT_EQ(mismatches, 0);
        break;
    }
    case Compare::Lossy16: {
        const auto decoded = SoxDecode(path, kSigned32);
        ASSERT_TRUE(decoded);
        const std::vector<qint32> wide = Ints32(*decoded);
        const std::vector<qint16> words = WordsOf(buffer);
        ASSERT_EQ(words.size(), wide.size());
        const int tolerance = 2;
        int mismatches = 0;
        for (std::size_t i = 0; i < words.size(); ++i)
            if (std::abs(int(words[i]) - Round16(wide[i])) > tolerance)
                ++mismatches;
        EXPECT_EQ(mismatches, 0);
        break;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, MadeBySoxTest,
    ::testing::Values(
        MadeBySox{"Wav8Mono", "wav", {"-e", "unsigned", "-b", "8"}, 1, L::Mono8, Compare::Bytes8},
        MadeBySox{
            "Wav8Stereo", "wav", {"-e", "unsigned", "-b", "8"}, 2, L::Stereo8, Compare::Bytes8},
        MadeBySox{"Wav16Mono", "wav", {"-e", "signed", "-b", "16"}, 1, L::Mono16, Compare::Words16},
        MadeBySox{
            "Wav16Stereo", "wav", {"-e", "signed", "-b", "16"}, 2, L::Stereo16, Compare::Words16},
        MadeBySox{
            "Wav24Stereo", "wav", {"-e", "signed", "-b", "24"}, 2, L::Stereo24, Compare::Exact24},
        MadeBySox{"Wav24MonoClassicHeader",
                  "wav",
                  {"-t", "wavpcm", "-e", "signed", "-b", "24"},
                  1,
                  L::Mono24,
                  Compare::Exact24},
        MadeBySox{
            "Wav32Mono", "wav", {"-e", "signed", "-b", "32"}, 1, L::MonoFloat, Compare::IntAsFloat},
        MadeBySox{"WavFloatStereo",
                  "wav",
                  {"-e", "floating-point", "-b", "32"},
                  2,
                  L::StereoFloat,
                  Compare::FloatNear},
        MadeBySox{"WavDoubleMono",
                  "wav",
                  {"-e", "floating-point", "-b", "64"},
                  1,
                  L::MonoFloat,
                  Compare::FloatNear},
        MadeBySox{"WavMuLaw", "wav", {"-e", "u-law"}, 1, L::Mono16, Compare::Words16},
        MadeBySox{"WavALaw", "wav", {"-e", "a-law"}, 2, L::Stereo16, Compare::Words16},
        MadeBySox{"AuMuLaw", "au", {"-e", "u-law"}, 1, L::Mono16, Compare::Words16},
        MadeBySox{"AuSigned8", "au", {"-e", "signed", "-b", "8"}, 2, L::Stereo8, Compare::Bytes8},
        MadeBySox{
            "AuSigned16", "au", {"-e", "signed", "-b", "16"}, 2, L::Stereo16, Compare::Words16},
        MadeBySox{
            "AuLittleEndianMuLaw", "au", {"-L", "-e", "u-law"}, 2, L::Stereo16, Compare::Words16},
        MadeBySox{"AuLittleEndian8",
                  "au",
                  {"-L", "-e", "signed", "-b", "8"},
                  1,
                  L::Mono8,
                  Compare::Bytes8},
        MadeBySox{"AuLittleEndian16",
                  "au",
                  {"-L", "-e", "signed", "-b", "16"},
                  1,
                  L::Mono16,
                  Compare::Words16},
        MadeBySox{"SndBigEndian16",
                  "snd",
                  {"-t", "au", "-B", "-e", "signed", "-b", "16"},
                  1,
                  L::Mono16,
                  Compare::Words16},
        MadeBySox{"VocMono", "voc", {"-e", "unsigned", "-b", "8"}, 1, L::Mono8, Compare::Bytes8},
        MadeBySox{
            "VocStereo", "voc", {"-e", "unsigned", "-b", "8"}, 2, L::Stereo8, Compare::Bytes8},
        MadeBySox{"Flac16Stereo", "flac", {"-b", "16"}, 2, L::Stereo16, Compare::Words16},
        MadeBySox{"Flac24Mono", "flac", {"-b", "24"}, 1, L::Mono24, Compare::Exact24},
        MadeBySox{"Flac8Mono", "flac", {"-b", "8"}, 1, L::Mono8, Compare::Bytes8},
        MadeBySox{"Aiff16Stereo", "aiff", {"-b", "16"}, 2, L::Stereo16, Compare::Words16},
        MadeBySox{"Aif24Stereo", "aif", {"-b", "24"}, 2, L::Stereo24, Compare::Exact24},
        MadeBySox{"Au24Mono", "au", {"-e", "signed", "-b", "24"}, 1, L::Mono24, Compare::Exact24},
        MadeBySox{"Au32Stereo",
                  "au",
                  {"-e", "signed", "-b", "32"},
                  2,
                  L::StereoFloat,
                  Compare::IntAsFloat},
        MadeBySox{"AuFloatStereo",
                  "au",
                  {"-e", "floating-point", "-b", "32"},
                  2,
                  L::StereoFloat,
                  Compare::FloatNear},
        MadeBySox{"AuALaw", "au", {"-e", "a-law"}, 1, L::Mono16, Compare::Words16},
        MadeBySox{"Caf24Stereo", "caf", {"-b", "24"}, 2, L::Stereo24, Compare::Exact24},

        MadeBySox{"Aiff8Mono", "aiff", {"-b", "8"}, 1, L::Mono8, Compare::Bytes8},
        MadeBySox{"OggVorbisStereo", "ogg", {}, 2, L::Stereo16, Compare::Lossy16},
        MadeBySox{"OggVorbisMono", "oga", {"-t", "vorbis"}, 1, L::Mono16, Compare::Lossy16}),
    [](const ::testing::TestParamInfo<MadeBySox>& info) { return std::string(info.param.name); });

// ----- files written by the editor ---------------------------------------------------------------

struct WrittenHere {
    FileKind kind;
    const char* extension;
    SampleLayout layout;
};

class ReadBySoxTest : public ::testing::TestWithParam<WrittenHere> {};

TEST_P(ReadBySoxTest, SoxDecodesTheSameSamplesRateAndChannels) {
    const WrittenHere& c = GetParam();
    QTemporaryDir dir;
    std::mt19937 random(unsigned(c.layout) * 7 + unsigned(c.kind));
    QByteArray bytes(2001 * int(LayoutBytesPerFrame(c.layout)), Qt::Uninitialized);
    for (char& b : bytes)
        b = char(random());
    CSampleBuffer buffer;
    ASSERT_TRUE(MakeSample(buffer, dir, bytes, c.layout, 8000));
    const QString path = dir.filePath(QStringLiteral("ours.") + QLatin1String(c.extension));
    ASSERT_EQ(buffer.SaveFile(path, c.kind), 1);

    const auto rate = SoxInfo(path, "-r");
    const auto channels = SoxInfo(path, "-c");
    ASSERT_TRUE(rate && channels);
    EXPECT_EQ(*rate, 8000u);
    EXPECT_EQ(*channels, LayoutChannels(c.layout));
    const auto decoded = SoxDecode(path, LayoutIs16Bit(c.layout) ? kSigned16 : kUnsigned8);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(*decoded == bytes);
}

INSTANTIATE_TEST_SUITE_P(KindsAndLayouts, ReadBySoxTest,
                         ::testing::Values(WrittenHere{FileKind::Wave, "wav", L::Mono8},
                                           WrittenHere{FileKind::Wave, "wav", L::Mono16},
                                           WrittenHere{FileKind::Wave, "wav", L::Stereo8},
                                           WrittenHere{FileKind::Wave, "wav", L::Stereo16},
                                           WrittenHere{FileKind::SunAudio, "au", L::Mono8},
                                           WrittenHere{FileKind::SunAudio, "au", L::Mono16},
                                           WrittenHere{FileKind::SunAudio, "au", L::Stereo8},
                                           WrittenHere{FileKind::SunAudio, "au", L::Stereo16},
                                           WrittenHere{FileKind::Voice, "voc", L::Mono8},
                                           WrittenHere{FileKind::Voice, "voc", L::Stereo8},
                                           WrittenHere{FileKind::Flac, "flac", L::Mono8},
                                           WrittenHere{FileKind::Flac, "flac", L::Stereo16},
                                           WrittenHere{FileKind::Aiff, "aiff", L::Mono8},
                                           WrittenHere{FileKind::Aiff, "aiff", L::Mono16},
                                           WrittenHere{FileKind::Aiff, "aiff", L::Stereo8}));

class WideReadBySox : public ::testing::TestWithParam<WrittenHere> {};

// 24-bit samples at random; float ones on the 2^-23 grid within full scale, which sox's 32-bit
// integer pipeline carries exactly, so that sox's float output must be our bytes.
TEST_P(WideReadBySox, SoxDecodesTheSameSamples) {
    const WrittenHere& c = GetParam();
    QTemporaryDir dir;
    std::mt19937 random(unsigned(c.layout) * 7 + unsigned(c.kind));
    const bool isFloat = LayoutDepth(c.layout) == SampleDepth::Float32;
    const int frames = 2001;
    QByteArray bytes;
    for (int i = 0; i < frames * int(LayoutChannels(c.layout)); ++i) {
        const qint32 v = qint32(random() & 0xFFFFFF) - 0x800000;
        if (isFloat) {
            const float x = float(v / 8388608.0);
            bytes.append(reinterpret_cast<const char*>(&x), 4);
        } else {
            bytes.append(reinterpret_cast<const char*>(&v), 3);
        }
    }
    CSampleBuffer buffer;
    buffer.SetFormat(8000, LayoutIsStereo(c.layout), LayoutDepth(c.layout));
    ASSERT_EQ(buffer.InsertFrames(0, frames, 0), 1);
    std::memcpy(buffer.GetData(), bytes.constData(), std::size_t(bytes.size()));
    const QString path = dir.filePath(QStringLiteral("ours.") + QLatin1String(c.extension));
    ASSERT_EQ(buffer.SaveFile(path, c.kind), 1);

    EXPECT_EQ(SoxInfo(path, "-r"), std::optional<quint32>(8000));
    EXPECT_EQ(SoxInfo(path, "-c"), std::optional<quint32>(LayoutChannels(c.layout)));
    EXPECT_EQ(SoxInfo(path, "-b"), std::optional<quint32>(isFloat ? 32 : 24));
    const auto decoded = SoxDecode(path, isFloat ? kFloat32 : kSigned32);
    ASSERT_TRUE(decoded);
    if (isFloat)
        EXPECT_TRUE(*decoded == bytes);
    else
        EXPECT_EQ(Ints32(*decoded), Ints24(buffer));
}

INSTANTIATE_TEST_SUITE_P(KindsAndLayouts, WideReadBySox,
                         ::testing::Values(WrittenHere{FileKind::Wave, "wav", L::Mono24},
                                           WrittenHere{FileKind::Wave, "wav", L::Stereo24},
                                           WrittenHere{FileKind::Wave, "wav", L::MonoFloat},
                                           WrittenHere{FileKind::Wave, "wav", L::StereoFloat},
                                           WrittenHere{FileKind::SunAudio, "au", L::Stereo24},
                                           WrittenHere{FileKind::SunAudio, "au", L::MonoFloat},
                                           WrittenHere{FileKind::Aiff, "aiff", L::Mono24},
                                           WrittenHere{FileKind::Aiff, "aiff", L::StereoFloat},
                                           WrittenHere{FileKind::Flac, "flac", L::Mono24},
                                           WrittenHere{FileKind::Flac, "flac", L::Stereo24},
                                           WrittenHere{FileKind::Caf, "caf", L::Stereo24},
                                           // No float CAF or Wave64: sox reads those through
                                           // libsndfile scaled by about 1.42, even its own.
                                           WrittenHere{FileKind::Wave64, "w64", L::Stereo24},
                                           WrittenHere{FileKind::Rf64, "rf64", L::Mono24}));

TEST(ReadBySox, OggVorbisWrittenHereDecodesToTheSameSound) {
    QTemporaryDir dir;
    CSampleBuffer buffer;
    Values values;
    for (int f = 0; f < 22050; ++f) {
        values.push_back(int(20000 * std::sin(2 * M_PI * 440 * f / 22050)));
        values.push_back(int(15000 * std::sin(2 * M_PI * 660 * f / 22050)));
    }
    FillSample(buffer, L::Stereo16, 22050, values);
    const QString path = dir.filePath(QStringLiteral("ours.ogg"));
    ASSERT_EQ(buffer.SaveFile(path, FileKind::OggVorbis), 1);

    EXPECT_EQ(SoxInfo(path, "-r"), std::optional<quint32>(22050));
    EXPECT_EQ(SoxInfo(path, "-c"), std::optional<quint32>(2));
    const auto decoded = SoxDecode(path, kSigned16);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->size(), qsizetype(values.size() * 2));
    double signal = 0;
    double noise = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double d = qFromLittleEndian<qint16>(decoded->constData() + 2 * i) - values[i];
        signal += double(values[i]) * values[i];
        noise += d * d;
    }
    EXPECT_GT(10 * std::log10(signal / noise), 30.0) << "quality 0.6 keeps two tones clean";
}

// ----- more than two channels --------------------------------------------------------------------

struct MixCase {
    const char* name;
    int channels;
    // Each channel's weight on the left and the right side, in the usual order of FLAC files.
    std::vector<int> left;
    std::vector<int> right;
};

class MixDown : public ::testing::TestWithParam<MixCase> {};

TEST_P(MixDown, EachSideIsTheWeightedMeanOfItsChannelsAndTheCentre) {
    const MixCase& c = GetParam();
    QTemporaryDir dir;
    CCaptureReporter capture;
    const QString path = dir.filePath(QStringLiteral("many.flac"));
    QStringList make{"-n", "-r",    "8000", "-b", "16", "-c", QString::number(c.channels),
                     path, "synth", "0.05"};
    for (int i = 0; i < c.channels; ++i)
        make << "sine" << QString::number(200 + 150 * i);
    ASSERT_TRUE(Sox(make));

    CSampleBuffer buffer;
    ASSERT_EQ(buffer.LoadFile(path, FileKind::Flac), 1);
    EXPECT_TRUE(capture.messages.isEmpty());
    ASSERT_EQ(buffer.GetLayout(), L::Stereo16);
    const auto decoded = SoxDecode(path, kSigned32);
    ASSERT_TRUE(decoded);
    const std::vector<qint32> all = Ints32(*decoded);
    const std::vector<qint16> words = WordsOf(buffer);
    ASSERT_EQ(words.size() * std::size_t(c.channels), all.size() * 2);
    auto side = [&](std::size_t frame, const std::vector<int>& weights) {
        qint64 sum = 0;
        qint64 total = 0;
        for (int i = 0; i < c.channels; ++i) {
            sum += weights[std::size_t(i)] * qint64(all[frame * std::size_t(c.channels) + i]);
            total += weights[std::size_t(i)];
        }
        return Round16(qint32(sum / total));
    };
    int mismatches = 0;
    for (std::size_t f = 0; f < words.size() / 2; ++f) {
        if (words[2 * f] != side(f, c.left) || words[2 * f + 1] != side(f, c.right))
            ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, MixDown,
    ::testing::Values(MixCase{"LeftRightCentre", 3, {2, 0, 1}, {0, 2, 1}},
                      MixCase{"Quad", 4, {2, 0, 2, 0}, {0, 2, 0, 2}},
                      MixCase{"FivePointOne", 6, {2, 0, 1, 0, 2, 0}, {0, 2, 1, 0, 0, 2}}),
    [](const ::testing::TestParamInfo<MixCase>& info) { return std::string(info.param.name); });

} // namespace
