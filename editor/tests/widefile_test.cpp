// 24-bit and float samples in files: every format that holds them gives them back unchanged,
// Sun/NeXT's wide encodings read as the values they code, a file is opened by what its first bytes
// say rather than its name, and a save that would keep less says what it would lose.

#include "capturereporter.h"
#include "filebytes.h"

#include "core/samplebuffer.h"
#include "core/wlprodoc.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

using L = SampleLayout;

QByteArray Floats(std::initializer_list<float> values) {
    QByteArray bytes;
    for (float v : values)
        bytes.append(reinterpret_cast<const char*>(&v), 4);
    return bytes;
}

// `frames` frames of random samples in a 24-bit or float layout; float values spread over twice
// full scale, so that the files must keep what lies beyond it too.
QByteArray RandomWide(SampleLayout layout, quint32 frames, quint32 seed) {
    QRandomGenerator random(seed);
    const quint32 samples = frames * LayoutChannels(layout);
    QByteArray bytes;
    for (quint32 i = 0; i < samples; ++i) {
        if (LayoutDepth(layout) == SampleDepth::Int24) {
            const quint32 v = random.generate();
            bytes.append(reinterpret_cast<const char*>(&v), 3);
        } else {
            bytes.append(Floats({float(random.bounded(4.0) - 2.0)}));
        }
    }
    return bytes;
}

void FillWide(CSampleBuffer& buffer, SampleLayout layout, quint32 rate, const QByteArray& bytes) {
    buffer.SetFormat(rate, LayoutIsStereo(layout), LayoutDepth(layout));
    ASSERT_EQ(buffer.InsertFrames(0, quint32(bytes.size()) / LayoutBytesPerFrame(layout), 0), 1);
    std::memcpy(buffer.GetData(), bytes.constData(), std::size_t(bytes.size()));
    buffer.CommitFormat();
}

QString Ending(FileKind kind) {
    switch (kind) {
    case FileKind::Wave:
        return QStringLiteral("wav");
    case FileKind::SunAudio:
        return QStringLiteral("au");
    case FileKind::Aiff:
        return QStringLiteral("aiff");
    case FileKind::Flac:
        return QStringLiteral("flac");
    case FileKind::Caf:
        return QStringLiteral("caf");
    case FileKind::Wave64:
        return QStringLiteral("w64");
    default:
        return QStringLiteral("rf64");
    }
}

// ----- round trips ------------------------------------------------------------------------------

class WideRoundTrip : public ::testing::TestWithParam<std::tuple<FileKind, SampleLayout>> {};

TEST_P(WideRoundTrip, SavedAndLoadedGivesBackTheSameSamplesAtTheSameDepth) {
    const auto [kind, layout] = GetParam();
    QTemporaryDir dir;
    CCaptureReporter capture;
    const QByteArray samples = RandomWide(layout, 1001, quint32(kind) * 16 + quint32(layout));
    CSampleBuffer source;
    FillWide(source, layout, 48000, samples);
    const QString path = dir.filePath(QStringLiteral("wide.") + Ending(kind));
    ASSERT_EQ(source.SaveFile(path, kind), 1);

    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(path, FileKindFor(path)), 1);
    EXPECT_TRUE(capture.messages.isEmpty()) << capture.Texts().join('|').toStdString();
    EXPECT_EQ(loaded.GetLayout(), layout);
    EXPECT_EQ(loaded.GetRate(), 48000u);
    EXPECT_EQ(loaded.GetFormat(), source.GetFormat());
    EXPECT_TRUE(DataOf(loaded) == samples);
    EXPECT_FALSE(loaded.GetFileOrigin().integerAsFloat);
}

INSTANTIATE_TEST_SUITE_P(
    HoldingFloat, WideRoundTrip,
    ::testing::Combine(::testing::Values(FileKind::Wave, FileKind::SunAudio, FileKind::Aiff,
                                         FileKind::Caf, FileKind::Wave64, FileKind::Rf64),
                       ::testing::Values(L::Mono24, L::Stereo24, L::MonoFloat, L::StereoFloat)));
INSTANTIATE_TEST_SUITE_P(Flac, WideRoundTrip,
                         ::testing::Combine(::testing::Values(FileKind::Flac),
                                            ::testing::Values(L::Mono24, L::Stereo24)));

// FLAC holds no float: it keeps 24 bits, scaled by 2^23, rounded and clipped at full scale.
TEST(WideFile, FloatIntoFlacKeeps24BitsAndClips) {
    QTemporaryDir dir;
    CSampleBuffer source;
    FillWide(source, L::MonoFloat, 8000,
             Floats({0.5f, -1.0f, 1.0f, 2.0f, -3.0f, 1.0f / 8388608.0f, 0.3f / 8388608.0f}));
    const QString path = dir.filePath(QStringLiteral("f.flac"));
    ASSERT_EQ(source.SaveFile(path, FileKind::Flac), 1);
    CSampleBuffer loaded;
    ASSERT_EQ(loaded.LoadFile(path, FileKind::Flac), 1);
    ASSERT_EQ(loaded.GetLayout(), L::Mono24);
    const QByteArray expected = CFileBytes()
                                    .LE24(0x400000)
                                    .LE24(0x800000)
                                    .LE24(0x7FFFFF)
                                    .LE24(0x7FFFFF)
                                    .LE24(0x800000)
                                    .LE24(1)
                                    .LE24(0)
                                    .Bytes();
    EXPECT_TRUE(DataOf(loaded) == expected);
}

// Lossy streams take wide samples too (Opus at a rate it holds, resampled otherwise) and open as
// 16-bit sound that is still the same tones.
TEST(WideFile, LossyFormatsTakeWideSamples) {
    struct Case {
        FileKind kind;
        const char* ending;
        SampleLayout layout;
        quint32 rate;
        quint32 savedRate;
    };
    const Case cases[] = {{FileKind::OggVorbis, "ogg", L::StereoFloat, 44100, 44100},
                          {FileKind::OggVorbis, "ogg", L::Mono24, 22050, 22050},
                          {FileKind::Opus, "opus", L::StereoFloat, 48000, 48000},
                          {FileKind::Opus, "opus", L::Stereo24, 44100, 48000}};
    QTemporaryDir dir;
    CCaptureReporter capture;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ending + std::to_string(c.rate));
        const quint32 channels = LayoutChannels(c.layout);
        std::vector<double> tones;
        QByteArray bytes;
        for (quint32 f = 0; f < c.rate; ++f) {
            for (quint32 ch = 0; ch < channels; ++ch) {
                const double x = 0.5 * std::sin(2 * M_PI * (440 + 330 * ch) * f / c.rate);
                tones.push_back(x);
                if (LayoutDepth(c.layout) == SampleDepth::Int24) {
                    const qint32 v = qint32(std::lround(x * 8388608));
                    bytes.append(reinterpret_cast<const char*>(&v), 3);
                } else {
                    bytes.append(Floats({float(x)}));
                }
            }
        }
        CSampleBuffer source;
        FillWide(source, c.layout, c.rate, bytes);
        const QString path = dir.filePath(QStringLiteral("lossy.") + QLatin1String(c.ending));
        ASSERT_EQ(source.SaveFile(path, c.kind), 1);
        EXPECT_TRUE(DataOf(source) == bytes) << "saving must not change the sample";
        CSampleBuffer loaded;
        ASSERT_EQ(loaded.LoadFile(path, FileKindFor(path)), 1);
        EXPECT_EQ(loaded.GetLayout(), MakeLayout(channels == 2, SampleDepth::Int16));
        EXPECT_EQ(loaded.GetRate(), c.savedRate);
        EXPECT_EQ(loaded.GetFrameCount(), c.savedRate);
        if (c.savedRate != c.rate)
            continue;
        double signal = 0;
        double noise = 0;
        for (std::size_t i = 0; i < tones.size(); ++i) {
            const quint8* p = loaded.GetData() + 2 * i;
            const double y = qint16(quint16(p[0] | p[1] << 8)) / 32768.0;
            signal += tones[i] * tones[i];
            noise += (tones[i] - y) * (tones[i] - y);
        }
        EXPECT_GT(10 * std::log10(signal / noise), 20.0);
    }
    EXPECT_TRUE(capture.messages.isEmpty()) << capture.Texts().join('|').toStdString();
}

// ----- Sun/NeXT encodings -----------------------------------------------------------------------

struct SunCase {
    const char* name;
    quint32 encoding;
    bool bigEndian;
    QByteArray data;
    SampleLayout layout;
    QByteArray expected;
    bool integerAsFloat;
};

class SunWideRead : public ::testing::TestWithParam<SunCase> {};

TEST_P(SunWideRead, ReadsTheValuesTheEncodingCodes) {
    const SunCase& c = GetParam();
    QTemporaryDir dir;
    CCaptureReporter capture;
    CFileBytes file;
    if (c.bigEndian)
        file.Text(".snd")
            .BE32(24)
            .BE32(quint32(c.data.size()))
            .BE32(c.encoding)
            .BE32(8000)
            .BE32(LayoutChannels(c.layout));
    else
        file.Text("dns.")
            .LE32(24)
            .LE32(quint32(c.data.size()))
            .LE32(c.encoding)
            .LE32(8000)
            .LE32(LayoutChannels(c.layout));
    const QString path = WriteFile(dir, QStringLiteral("s.au"), file.Raw(c.data).Bytes());
    CSampleBuffer buffer;
    ASSERT_EQ(buffer.LoadFile(path, FileKind::SunAudio), 1);
    EXPECT_TRUE(capture.messages.isEmpty());
    EXPECT_EQ(buffer.GetLayout(), c.layout);
    EXPECT_EQ(buffer.GetRate(), 8000u);
    EXPECT_TRUE(DataOf(buffer) == c.expected) << DataOf(buffer).toHex().toStdString();
    EXPECT_EQ(buffer.GetFileOrigin().integerAsFloat, c.integerAsFloat);
}

QByteArray BigFloats(std::initializer_list<float> values) {
    CFileBytes bytes;
    for (float v : values) {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        bytes.BE32(bits);
    }
    return bytes.Bytes();
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, SunWideRead,
    ::testing::Values(
        SunCase{"Linear24BigEndian", 4, true, QByteArray("\x12\x34\x56\xFF\xFF\xFE", 6), L::Mono24,
                QByteArray("\x56\x34\x12\xFE\xFF\xFF", 6), false},
        SunCase{"Linear24LittleEndianStereo", 4, false, QByteArray("\x01\x02\x03\x04\x05\x06", 6),
                L::Stereo24, QByteArray("\x01\x02\x03\x04\x05\x06", 6), false},
        SunCase{"Linear32IsHeldAsFloat", 5, true,
                CFileBytes().BE32(0x40000000).BE32(0x80000000).Bytes(), L::MonoFloat,
                Floats({0.5f, -1.0f}), true},
        SunCase{"FloatBigEndianKeepsValuesBeyondFullScale", 6, true, BigFloats({0.25f, -2.5f}),
                L::MonoFloat, Floats({0.25f, -2.5f}), false},
        SunCase{"DoubleBecomesFloat", 7, true,
                CFileBytes().BE32(0x3FE00000).BE32(0).BE32(0xBFD00000).BE32(0).Bytes(),
                L::StereoFloat, Floats({0.5f, -0.25f}), false},
        SunCase{"ALawExpandsTo16Bit", 27, true, QByteArray("\xD5\x55\xAA\x2A", 4), L::Mono16,
                CFileBytes().LE16(8).LE16(quint16(-8)).LE16(32256).LE16(quint16(-32256)).Bytes(),
                false}),
    [](const ::testing::TestParamInfo<SunCase>& info) { return std::string(info.param.name); });

// AIFF-C with G.711 codes: the codes expand to 16-bit samples, whatever the name says.
TEST(WideFile, AiffCWithMuLawOrALawOpensAsSixteenBitSamples) {
    struct Case {
        const char* compression;
        QByteArray codes;
        QByteArray expected;
    };
    const Case cases[] = {
        {"ulaw", QByteArray("\x00\x7F\x80\xFF", 4),
         CFileBytes().LE16(quint16(-32124)).LE16(0).LE16(32124).LE16(0).Bytes()},
        {"alaw", QByteArray("\xD5\x55\xAA\x2A", 4),
         CFileBytes().LE16(8).LE16(quint16(-8)).LE16(32256).LE16(quint16(-32256)).Bytes()},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.compression);
        // 8000 Hz as an 80-bit extended number: exponent 16383 + 12, mantissa 8000 / 4096.
        const QByteArray comm = CFileBytes()
                                    .BE16(2)
                                    .BE32(2)
                                    .BE16(16)
                                    .Raw("\x40\x0B\xFA\x00\x00\x00\x00\x00\x00\x00", 10)
                                    .Text(c.compression)
                                    .Raw("\x00\x00", 2)
                                    .Bytes();
        const QByteArray ssnd = CFileBytes().BE32(0).BE32(0).Raw(c.codes).Bytes();
        const QByteArray body = CFileBytes()
                                    .Text("AIFC")
                                    .Text("FVER")
                                    .BE32(4)
                                    .BE32(0xA2805140)
                                    .Text("COMM")
                                    .BE32(quint32(comm.size()))
                                    .Raw(comm)
                                    .Text("SSND")
                                    .BE32(quint32(ssnd.size()))
                                    .Raw(ssnd)
                                    .Bytes();
        const QString path =
            WriteFile(dir, QStringLiteral("g711.dat"),
                      CFileBytes().Text("FORM").BE32(quint32(body.size())).Raw(body).Bytes());
        CSampleBuffer buffer;
        ASSERT_EQ(FileKindFor(path), FileKind::Aiff);
        ASSERT_EQ(buffer.LoadFile(path, FileKindFor(path)), 1);
        EXPECT_EQ(buffer.GetLayout(), L::Stereo16);
        EXPECT_EQ(buffer.GetRate(), 8000u);
        EXPECT_EQ(DataOf(buffer).toHex(), c.expected.toHex());
    }
}

// ----- opened by content ------------------------------------------------------------------------

struct ContentCase {
    const char* name;
    QByteArray head;
    FileKind kind;
};

class ContentRule : public ::testing::TestWithParam<ContentCase> {};

// Raw stands for "by the name": whatever the content does not settle.
TEST_P(ContentRule, TheFirstBytesChooseTheReader) {
    EXPECT_EQ(FileKindForContent(GetParam().head, FileKind::Raw), GetParam().kind);
}

QByteArray Padded(const QByteArray& head) {
    return head + QByteArray(64 - head.size(), '\0');
}
// A literal with its NUL bytes.
template <std::size_t N> QByteArray Padded(const char (&head)[N]) {
    return Padded(QByteArray(head, N - 1));
}

const char kWave64Guid[] = "riff\x2E\x91\xCF\x11\xA5\xD6\x28\xDB\x04\xC1\x00\x00";

INSTANTIATE_TEST_SUITE_P(
    Heads, ContentRule,
    ::testing::Values(
        ContentCase{"Riff", Padded("RIFF\x10\0\0\0WAVEfmt "), FileKind::Wave},
        ContentCase{"Rifx", Padded("RIFX\0\0\0\x10WAVEfmt "), FileKind::Wave},
        ContentCase{"RiffThatIsNoWave", Padded("RIFF\x10\0\0\0AVI "), FileKind::Raw},
        ContentCase{"Rf64", Padded("RF64\xFF\xFF\xFF\xFFWAVEds64"), FileKind::Rf64},
        ContentCase{"Bw64", Padded("BW64\xFF\xFF\xFF\xFFWAVEds64"), FileKind::Rf64},
        ContentCase{"Aiff",
                    Padded("FORM\0\0\0\x10"
                           "AIFFCOMM"),
                    FileKind::Aiff},
        ContentCase{"AiffC",
                    Padded("FORM\0\0\0\x10"
                           "AIFCFVER"),
                    FileKind::Aiff},
        ContentCase{"FormThatIsNoAiff",
                    Padded("FORM\0\0\0\x10"
                           "8SVX"),
                    FileKind::Raw},
        ContentCase{"SunBigEndian", Padded(".snd\0\0\0\x18"), FileKind::SunAudio},
        ContentCase{"SunLittleEndian", Padded("dns.\x18\0\0\0"), FileKind::SunAudio},
        ContentCase{"Voice", Padded("Creative Voice File\x1A\x1A\0"), FileKind::Voice},
        ContentCase{"Flac", Padded("fLaC\0\0\0\x22"), FileKind::Flac},
        ContentCase{"OggVorbis",
                    Padded(QByteArray("OggS", 4) + QByteArray(24, '\x01') + "\x01vorbis"),
                    FileKind::OggVorbis},
        ContentCase{"OggOpus", Padded(QByteArray("OggS", 4) + QByteArray(24, '\x01') + "OpusHead"),
                    FileKind::Opus},
        ContentCase{"Caf", Padded("caff\0\x01\0\0"), FileKind::Caf},
        ContentCase{"Wave64", Padded(QByteArray(kWave64Guid, 16)), FileKind::Wave64},
        ContentCase{"TooShortForAnything", QByteArray("RIF"), FileKind::Raw},
        ContentCase{"RawSamples", QByteArray(64, '\x80'), FileKind::Raw}),
    [](const ::testing::TestParamInfo<ContentCase>& info) { return std::string(info.param.name); });

class WideDocument : public ::testing::Test {
protected:
    // A sample saved as `kind` under `name`, whatever the name's ending says.
    QString Save(const QString& name, FileKind kind, SampleLayout layout,
                 const QByteArray& samples) {
        CSampleBuffer buffer;
        FillWide(buffer, layout, 44100, samples);
        const QString path = dir.filePath(name);
        EXPECT_EQ(buffer.SaveFile(path, kind), 1);
        return path;
    }
    std::unique_ptr<CWlproDoc> Open(const QString& path) {
        CWlproDoc::CLoaded loaded = CWlproDoc::Read(path);
        if (!loaded.buffer)
            return nullptr;
        return std::make_unique<CWlproDoc>(std::move(loaded), path);
    }

    QTemporaryDir dir;
    CCaptureReporter capture;
};

TEST_F(WideDocument, AFileOpensByItsContentAndSavesBackAsTheSameKind) {
    struct Case {
        const char* name;
        FileKind content;
    };
    const QByteArray samples = RandomWide(L::Stereo24, 500, 5);
    for (const Case& c :
         {Case{"flac-really.wav", FileKind::Flac}, Case{"wave-really.dat", FileKind::Wave},
          Case{"au-really.aiff", FileKind::SunAudio}}) {
        SCOPED_TRACE(c.name);
        const QString path = Save(QString::fromLatin1(c.name), c.content, L::Stereo24, samples);
        const auto doc = Open(path);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->Buffer().GetLayout(), L::Stereo24);
        EXPECT_TRUE(DataOf(doc->Buffer()) == samples);
        EXPECT_EQ(doc->KindFor(path), c.content);
        ASSERT_TRUE(doc->Write(path));
        EXPECT_EQ(FileKindFor(path), c.content);
        EXPECT_TRUE(DataOf(Open(path)->Buffer()) == samples);
    }
    EXPECT_TRUE(capture.messages.isEmpty()) << capture.Texts().join('|').toStdString();
}

TEST_F(WideDocument, ManyChannelsAndWideIntegersAreNotedAndTheNoteGoesWithASave) {
    QByteArray six;
    for (int i = 0; i < 6 * 10; ++i)
        six.append(CFileBytes().LE16(quint32(i * 100)).Bytes());
    const QString sixPath = WriteFile(
        dir, QStringLiteral("surround.wav"),
        WaveFile(
            CFileBytes().Chunk("fmt ", FormatBody(1, 6, 44100, 16)).Chunk("data", six).Bytes()));
    const QString intPath = WriteFile(
        dir, QStringLiteral("int32.wav"),
        WaveFile(CFileBytes()
                     .Chunk("fmt ", FormatBody(1, 2, 44100, 32))
                     .Chunk("data", CFileBytes().LE32(0x40000000).LE32(0xC0000000).Bytes())
                     .Bytes()));
    const auto surround = Open(sixPath);
    const auto integers = Open(intPath);
    ASSERT_TRUE(surround && integers);
    EXPECT_EQ(surround->Buffer().GetLayout(), L::Stereo16);
    EXPECT_EQ(surround->LoadNote(), QStringLiteral("6 channels mixed to stereo"));
    EXPECT_EQ(integers->Buffer().GetLayout(), L::StereoFloat);
    EXPECT_EQ(integers->LoadNote(), QStringLiteral("32-bit integer samples held as 32-bit float"));

    ASSERT_TRUE(surround->Write(sixPath));
    surround->SavedAs(sixPath);
    EXPECT_EQ(surround->LoadNote(), QString());
    EXPECT_EQ(surround->SaveLoss(sixPath), QString());
}

struct LossCase {
    const char* name;
    SampleLayout layout;
    const char* target;
    const char* loss; // %1 the document's file name
};

class SaveLoss : public WideDocument, public ::testing::WithParamInterface<LossCase> {};

TEST_P(SaveLoss, ASaveThatKeepsLessSaysWhat) {
    const LossCase& c = GetParam();
    const QString path =
        Save(QStringLiteral("doc.wav"), FileKind::Wave, c.layout, RandomWide(c.layout, 100, 9));
    const auto doc = Open(path);
    ASSERT_TRUE(doc);
    const QString loss = QString::fromUtf8(c.loss);
    EXPECT_EQ(doc->SaveLoss(dir.filePath(QString::fromLatin1(c.target))),
              loss.isEmpty() ? loss : loss.arg(QStringLiteral("doc.wav")));
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveLoss,
    ::testing::Values(
        LossCase{"FloatIntoVoice", L::StereoFloat, "out.voc",
                 "%1 holds 32-bit float samples; a voice file keeps 8 bits. Saving rounds every "
                 "sample to 8 bits and clips what lies beyond full scale."},
        LossCase{"TwentyFourIntoRaw", L::Mono24, "out.raw",
                 "%1 holds 24-bit samples; raw data keeps 16 bits. Saving keeps the top 16 bits "
                 "of every sample."},
        LossCase{"FloatIntoFlac", L::MonoFloat, "out.flac",
                 "%1 holds 32-bit float samples; a FLAC file keeps 24 bits. Saving rounds every "
                 "sample to 24 bits and clips what lies beyond full scale."},
        LossCase{"TwentyFourIntoFlac", L::Stereo24, "out.flac", ""},
        LossCase{"FloatIntoItsOwnFile", L::StereoFloat, "doc.wav", ""},
        LossCase{"FloatIntoSunAudio", L::StereoFloat, "out.au", ""},
        LossCase{"FloatIntoAiff", L::MonoFloat, "out.aif", ""}),
    [](const ::testing::TestParamInfo<LossCase>& info) { return std::string(info.param.name); });

TEST_F(WideDocument, SavingOverAFileOfSixChannelsSaysItBecomesTheStereoMix) {
    QByteArray six(6 * 2 * 8, '\x10');
    const QString path = WriteFile(
        dir, QStringLiteral("five-one.wav"),
        WaveFile(
            CFileBytes().Chunk("fmt ", FormatBody(1, 6, 8000, 16)).Chunk("data", six).Bytes()));
    const auto doc = Open(path);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->SaveLoss(path),
              QStringLiteral("five-one.wav holds 6 channels; Wavelathe edits mono and stereo. "
                             "Saving replaces it with the stereo mix."));
    // Another file loses nothing of the one that had six.
    EXPECT_EQ(doc->SaveLoss(dir.filePath(QStringLiteral("mix.wav"))), QString());
}

// What voice and raw files get of a wider sample: its values at 8 or 16 bits.
TEST(WideFile, VoiceAndRawTakeTheSampleNarrowed) {
    struct Case {
        FileKind kind;
        SampleLayout layout;
        QByteArray samples;
        SampleLayout readAs;
        QByteArray expected;
    };
    const Case cases[] = {
        {FileKind::Voice, L::MonoFloat, Floats({0.5f, -1.0f, 3.0f, -0.004f}), L::Mono8,
         QByteArray("\xC0\x00\xFF\x7F", 4)},
        {FileKind::Raw, L::MonoFloat, Floats({0.5f, -2.0f, 1.0f, 1.0f / 65536}), L::Mono16,
         CFileBytes().LE16(0x4000).LE16(0x8000).LE16(0x7FFF).LE16(1).Bytes()},
        {FileKind::Raw, L::Mono24, QByteArray("\x56\x34\x12\xFF\xFF\xFF", 6), L::Mono16,
         CFileBytes().LE16(0x1234).LE16(0xFFFF).Bytes()},
        {FileKind::Voice, L::Mono24, QByteArray("\x56\x34\x12\xFF\xFF\xFF", 6), L::Mono8,
         QByteArray("\x92\x7F", 2)},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        CSampleBuffer source;
        FillWide(source, c.layout, 8000, c.samples);
        const QString path = dir.filePath(QStringLiteral("narrow"));
        ASSERT_EQ(source.SaveFile(path, c.kind), 1);
        EXPECT_EQ(source.GetLayout(), c.layout) << "the sample itself stays as it was";
        CSampleBuffer loaded;
        if (c.kind == FileKind::Raw) {
            loaded.SetFormat(8000, false, SampleDepth::Int16);
            ASSERT_EQ(loaded.ReadRaw(path, 0, 0), 1);
        } else {
            ASSERT_EQ(loaded.LoadFile(path, c.kind), 1);
        }
        EXPECT_EQ(loaded.GetLayout(), c.readAs);
        EXPECT_EQ(DataOf(loaded).toHex(), c.expected.toHex());
    }
}

} // namespace
