// Cue sheets over audio files in the virtual drive: the table of contents they give (or the
// message that names the file at fault), the sound read back through the drive, and a copy of a
// disc made one file per track getting the disc's own key and titles.

#include "capturereporter.h"
#include "discimage.h"
#include "drivetesting.h"

#include "core/album.h"
#include "core/cuesheetwriter.h"
#include "core/mcidevice.h"
#include "core/ripnames.h"
#include "platform/audiocuesheet.h"
#include "platform/audiofiledisc.h"
#include "platform/imagedrive.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <sndfile.h>

#include <gtest/gtest.h>

namespace {

constexpr int kFramesPerSector = TDiscToc::kFramesPerSector;
constexpr int kFlac = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
constexpr int kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kReportMs = 2000;

// Samples that differ everywhere, so a shifted or misplaced read shows.
QVector<qint16> Music(qint64 frames, int channels, quint32 seed) {
    QVector<qint16> samples(frames * channels);
    quint32 x = seed * 2654435761u + 1;
    for (qint16& s : samples) {
        x = x * 1664525u + 1013904223u;
        s = qint16(x >> 16);
    }
    return samples;
}

bool WriteSound(const QString& path, const QVector<qint16>& samples, int channels, int rate,
                int format) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const sf_count_t frames = samples.size() / channels;
    const bool written = sf_writef_short(file, samples.constData(), frames) == frames;
    return sf_close(file) == 0 && written;
}

bool WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

// Exposes how the playback worker reads the drive's sectors.
class TReadableImageDrive : public TImageDrive {
public:
    using TImageDrive::Reader;
    using TImageDrive::TImageDrive;
};

struct TFileSpec {
    const char* name;
    qint64 frames; // -1: a file of text, not sound
    int rate = 44100;
    int channels = 2;
    int format = kFlac;
};

struct TSheetCase {
    const char* test;
    std::vector<TFileSpec> files;
    const char* sheet;
    std::vector<qint32> starts; // expected track starts in sectors; none when a message is
    qint32 leadout = 0;
    QStringList titles;  // expected album title, then the tracks'
    const char* message; // expected beginning of the message; null when the disc plays
};

class AudioCueSheet : public ::testing::TestWithParam<TSheetCase> {};

TEST_P(AudioCueSheet, GivesTheTableOfContentsOrAMessageNamingTheFile) {
    const TSheetCase& c = GetParam();
    QTemporaryDir dir;
    quint32 seed = 1;
    for (const TFileSpec& f : c.files) {
        const QString path = dir.filePath(QString::fromUtf8(f.name));
        ASSERT_TRUE(f.frames < 0 ? WriteText(path, "not sound at all\n")
                                 : WriteSound(path, Music(f.frames, f.channels, seed++), f.channels,
                                              f.rate, f.format))
            << f.name;
    }
    const QString sheet = dir.filePath(QStringLiteral("disc.cue"));
    ASSERT_TRUE(WriteText(sheet, c.sheet));

    TCaptureReporter reporter;
    TImageDrive drive(sheet);
    ASSERT_EQ(drive.Open(), TCDError::None);
    if (c.message) {
        EXPECT_EQ(drive.Ready().value, 0u);
        EXPECT_EQ(drive.Play(0, std::nullopt, false), TCDError::NotReady);
        EXPECT_TRUE(drive.Problem().startsWith(QString::fromUtf8(c.message)))
            << qPrintable(drive.Problem());
        ASSERT_TRUE(WaitFor([&] { return !reporter.messages.isEmpty(); }, kReportMs));
        EXPECT_EQ(reporter.messages[0].text, drive.Problem());
        EXPECT_EQ(drive.Ready().value, 0u);
        Idle(100);
        EXPECT_EQ(reporter.messages.size(), 1) << "told once, not at every poll";
        return;
    }
    EXPECT_TRUE(drive.Problem().isEmpty()) << qPrintable(drive.Problem());
    ASSERT_EQ(drive.Ready().value, 1u);
    const TDiscToc toc = TAudioFileDisc::Open(TAudioCueSheet::Read(sheet)).Toc();
    ASSERT_EQ(toc.TrackCount(), int(c.starts.size()));
    ASSERT_EQ(drive.TrackCount().value, c.starts.size());
    for (int t = 1; t <= toc.TrackCount(); ++t) {
        EXPECT_EQ(toc.Track(t).firstSector, c.starts[t - 1]) << "track " << t;
        EXPECT_EQ(drive.TrackStart(t).value, TDiscToc::SectorsToMs(c.starts[t - 1]));
    }
    EXPECT_EQ(toc.LeadoutSector(), c.leadout);
    EXPECT_EQ(drive.DiscLength().value, TDiscToc::SectorsToMs(c.leadout));
    const TDiscTitles titles = drive.Titles();
    EXPECT_EQ(QStringList{titles.album} + titles.tracks, c.titles);
    Idle(50);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

// Sector counts: 225 = 3 s, 300 = 4 s, 100 + a bit.
const char* const kPerTrackSheet = "TITLE \"Copied Album\"\n"
                                   "FILE \"01 - Intro.flac\" WAVE\n  TRACK 01 AUDIO\n"
                                   "    TITLE \"Intro\"\n    INDEX 01 00:00:00\n"
                                   "FILE \"02 - Song.flac\" WAVE\n  TRACK 02 AUDIO\n"
                                   "    TITLE \"Song\"\n    INDEX 01 00:00:00\n"
                                   "FILE \"03 - Coda.wav\" WAVE\n  TRACK 03 AUDIO\n"
                                   "    TITLE \"Coda\"\n    INDEX 01 00:00:00\n";

INSTANTIATE_TEST_SUITE_P(
    Sheets, AudioCueSheet,
    ::testing::Values(
        TSheetCase{"OneFilePerTrackAndAPartialLastSector",
                   {{"01 - Intro.flac", 225 * kFramesPerSector},
                    {"02 - Song.flac", 300 * kFramesPerSector},
                    {"03 - Coda.wav", 100 * kFramesPerSector + 100, 44100, 2, kWav}},
                   kPerTrackSheet,
                   {0, 225, 525},
                   626,
                   {"Copied Album", "Intro", "Song", "Coda"},
                   nullptr},
        TSheetCase{"OneFileForTheWholeDisc",
                   {{"disc.flac", 626 * kFramesPerSector - 300}},
                   "PERFORMER \"Someone\"\nTITLE \"Whole\"\nFILE \"disc.flac\" FLAC\n"
                   "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                   "  TRACK 02 AUDIO\n    TITLE \"Two\"\n    INDEX 00 00:02:00\n"
                   "    INDEX 01 00:03:00\n"
                   "  TRACK 03 AUDIO\n    PERFORMER \"Else\"\n    INDEX 01 00:07:00\n",
                   {0, 225, 525},
                   626,
                   {"Whole", "", "Two", ""},
                   nullptr},
        TSheetCase{"ATrackWhoseGapEndsThePreviousFile",
                   {{"a.wav", 200 * kFramesPerSector, 44100, 2, kWav},
                    {"b.wav", 100 * kFramesPerSector, 44100, 2, kWav}},
                   "FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                   "  TRACK 02 AUDIO\n    INDEX 00 00:02:50\n"
                   "FILE \"b.wav\" WAVE\n    INDEX 01 00:00:00\n"
                   "  TRACK 03 AUDIO\n    INDEX 01 00:01:00\n",
                   {0, 200, 275},
                   300,
                   {"", "", "", ""},
                   nullptr},
        TSheetCase{"ASoundFileTypedAsRawData",
                   {{"take.wav", 80 * kFramesPerSector, 44100, 2, kWav}},
                   "FILE \"take.wav\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n",
                   {0},
                   80,
                   {"", ""},
                   nullptr},
        TSheetCase{"AMissingFile",
                   {{"01 - Intro.flac", 225 * kFramesPerSector},
                    {"03 - Coda.wav", 100 * kFramesPerSector, 44100, 2, kWav}},
                   kPerTrackSheet,
                   {},
                   0,
                   {},
                   "The file \"02 - Song.flac\" named by the cue sheet \"disc.cue\" is missing."},
        TSheetCase{"AFileAt48kHz",
                   {{"01 - Intro.flac", 225 * 48000 / 75, 48000},
                    {"02 - Song.flac", 300 * kFramesPerSector},
                    {"03 - Coda.wav", 100 * kFramesPerSector, 44100, 2, kWav}},
                   kPerTrackSheet,
                   {},
                   0,
                   {},
                   "The file \"01 - Intro.flac\" named by the cue sheet \"disc.cue\" is 48000 Hz "
                   "stereo; a disc needs 44100 Hz stereo."},
        TSheetCase{"AMonoFile",
                   {{"01 - Intro.flac", 225 * kFramesPerSector},
                    {"02 - Song.flac", 300 * kFramesPerSector, 44100, 1},
                    {"03 - Coda.wav", 100 * kFramesPerSector, 44100, 2, kWav}},
                   kPerTrackSheet,
                   {},
                   0,
                   {},
                   "The file \"02 - Song.flac\" named by the cue sheet \"disc.cue\" is 44100 Hz "
                   "mono; a disc needs 44100 Hz stereo."},
        TSheetCase{"AFileThatIsNotSound",
                   {{"01 - Intro.flac", -1},
                    {"02 - Song.flac", 300 * kFramesPerSector},
                    {"03 - Coda.wav", 100 * kFramesPerSector, 44100, 2, kWav}},
                   kPerTrackSheet,
                   {},
                   0,
                   {},
                   "The file \"01 - Intro.flac\" named by the cue sheet \"disc.cue\" cannot be "
                   "read as sound ("},
        TSheetCase{"AnIndexPastTheEndOfItsFile",
                   {{"disc.flac", 300 * kFramesPerSector}},
                   "FILE \"disc.flac\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                   "  TRACK 02 AUDIO\n    INDEX 01 00:04:00\n",
                   {},
                   0,
                   {},
                   "The file \"disc.flac\" named by the cue sheet \"disc.cue\" ends before track 2 "
                   "starts."},
        TSheetCase{"SilenceThatIsInNoFile",
                   {{"disc.flac", 300 * kFramesPerSector}},
                   "FILE \"disc.flac\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                   "  TRACK 02 AUDIO\n    PREGAP 00:02:00\n    INDEX 01 00:02:00\n",
                   {},
                   0,
                   {},
                   "The cue sheet \"disc.cue\" cannot be used: line 5: PREGAP (silence that is in "
                   "no file) is not supported."},
        TSheetCase{"TracksOutOfOrder",
                   {{"disc.flac", 300 * kFramesPerSector}},
                   "FILE \"disc.flac\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:02:00\n"
                   "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n",
                   {},
                   0,
                   {},
                   "The cue sheet \"disc.cue\" cannot be used: line 5: track 2 starts before the "
                   "track ahead of it."}),
    [](const auto& info) { return std::string(info.param.test); });

TEST(AudioCueSheetDrive, AMissingFileThatTurnsUpMakesTheDiscReady) {
    QTemporaryDir dir;
    const QString sheet = dir.filePath(QStringLiteral("disc.cue"));
    ASSERT_TRUE(WriteText(sheet, "FILE \"late.wav\" WAVE\n  TRACK 01 AUDIO\n"
                                 "    INDEX 01 00:00:00\n"));
    TCaptureReporter reporter;
    TImageDrive drive(sheet);
    ASSERT_EQ(drive.Open(), TCDError::None);
    EXPECT_EQ(drive.Ready().value, 0u);
    EXPECT_TRUE(drive.Problem().contains(QStringLiteral("\"late.wav\"")));
    ASSERT_TRUE(WriteSound(dir.filePath(QStringLiteral("late.wav")),
                           Music(75 * kFramesPerSector, 2, 7), 2, 44100, kWav));
    EXPECT_EQ(drive.Ready().value, 1u);
    EXPECT_TRUE(drive.Problem().isEmpty());
    EXPECT_EQ(drive.DiscLength().value, 1000u);
}

TEST(AudioCueSheetDrive, PlaysOnFromOneFileIntoTheNextToTheEndOfTheDisc) {
    QTemporaryDir dir;
    for (const char* name : {"1.flac", "2.flac"})
        ASSERT_TRUE(WriteSound(dir.filePath(QString::fromUtf8(name)),
                               Music(75 * kFramesPerSector + 100, 2, 3), 2, 44100, kFlac));
    const QString sheet = dir.filePath(QStringLiteral("disc.cue"));
    ASSERT_TRUE(WriteText(sheet, "FILE \"1.flac\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                                 "FILE \"2.flac\" WAVE\n TRACK 02 AUDIO\n  INDEX 01 00:00:00\n"));
    TImageDrive drive(sheet);
    TCompletionLog log(drive);
    ASSERT_EQ(drive.Open(), TCDError::None);
    ASSERT_EQ(drive.Ready().value, 1u);
    const quint32 end = drive.DiscLength().value;
    ASSERT_EQ(drive.TrackStart(2).value, TDiscToc::SectorsToMs(76));
    ASSERT_EQ(drive.Play(drive.TrackStart(2).value - 400, std::nullopt, true), TCDError::None);
    constexpr int kPlayMs = 1500 + 4000; // the range, and a slow start of a private test server
    ASSERT_TRUE(WaitFor([&] { return !log.kinds.isEmpty(); }, kPlayMs + 1500));
    EXPECT_EQ(log.kinds, QList<TCDCompletion>{TCDCompletion::Successful});
    EXPECT_EQ(drive.Position().value, end);
}

// The sound read through the drive is the files' samples end to end, each file padded with
// silence to a whole sector, wherever a read starts and however many sectors it takes.
struct TLayout {
    const char* test;
    std::vector<TFileSpec> files;
    const char* sheet;
};

class AudioFileSectors : public ::testing::TestWithParam<TLayout> {};

TEST_P(AudioFileSectors, AreTheFilesSamplesPaddedToWholeSectors) {
    QTemporaryDir dir;
    QVector<qint16> disc;
    quint32 seed = 11;
    for (const TFileSpec& f : GetParam().files) {
        const QVector<qint16> samples = Music(f.frames, 2, seed++);
        ASSERT_TRUE(
            WriteSound(dir.filePath(QString::fromUtf8(f.name)), samples, 2, 44100, f.format));
        disc += samples;
        disc.resize((disc.size() / 2 + kFramesPerSector - 1) / kFramesPerSector * kFramesPerSector *
                    2);
    }
    const QString sheet = dir.filePath(QStringLiteral("disc.cue"));
    ASSERT_TRUE(WriteText(sheet, GetParam().sheet));
    TReadableImageDrive drive(sheet);
    ASSERT_EQ(drive.Open(), TCDError::None);
    ASSERT_EQ(drive.Ready().value, 1u) << qPrintable(drive.Problem());
    const int sectors = int(disc.size() / 2 / kFramesPerSector);
    ASSERT_EQ(drive.DiscLength().value, TDiscToc::SectorsToMs(sectors));
    const auto reader = drive.Reader()();
    ASSERT_NE(reader, nullptr);

    auto readBack = [&](int lsn, int count) {
        QVector<qint16> got(count * kFramesPerSector * 2);
        EXPECT_TRUE(reader->Read(lsn, count, reinterpret_cast<char*>(got.data()))) << "at " << lsn;
        return got == disc.mid(lsn * kFramesPerSector * 2, got.size());
    };
    // In steps of 7 (across every file boundary), then jumping back and forth.
    for (int lsn = 0; lsn < sectors; lsn += 7)
        EXPECT_TRUE(readBack(lsn, qMin(7, sectors - lsn))) << "at " << lsn;
    for (int lsn : {sectors - 3, 0, sectors / 2, 1})
        EXPECT_TRUE(readBack(lsn, 3)) << "at " << lsn;
    QVector<qint16> beyond(2 * kFramesPerSector * 2);
    EXPECT_FALSE(reader->Read(sectors - 1, 2, reinterpret_cast<char*>(beyond.data())))
        << "a read past the lead-out fails";

    // A file cut short while playing is a disc pulled out.
    ASSERT_TRUE(QFile::resize(dir.filePath(QString::fromUtf8(GetParam().files.back().name)), 4096));
    EXPECT_FALSE(reader->Read(sectors - 2, 1, reinterpret_cast<char*>(beyond.data())));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AudioFileSectors,
    ::testing::Values(
        TLayout{"OneFilePerTrack",
                {{"1.flac", 40 * kFramesPerSector},
                 {"2.wav", 33 * kFramesPerSector + 5, 44100, 2, kWav},
                 {"3.flac", 20 * kFramesPerSector + 587}},
                "FILE \"1.flac\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                "FILE \"2.wav\" WAVE\n TRACK 02 AUDIO\n  INDEX 01 00:00:00\n"
                "FILE \"3.flac\" WAVE\n TRACK 03 AUDIO\n  INDEX 01 00:00:00\n"},
        TLayout{"OneFileForTheDisc",
                {{"disc.flac", 95 * kFramesPerSector + 1}},
                "FILE \"disc.flac\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                " TRACK 02 AUDIO\n  INDEX 01 00:00:40\n TRACK 03 AUDIO\n  INDEX 01 00:01:10\n"}),
    [](const auto& info) { return std::string(info.param.test); });

// A disc copied one file per track, named and listed by the ripper's own rules, is the same
// album as the disc.
class CopiedDisc : public ::testing::TestWithParam<int> {};

TEST_P(CopiedDisc, GetsTheDiscsKeyTitlesAndTimes) {
    TDiscImage image({3, 4.27, 1.99, 2.5});
    ASSERT_FALSE(image.Cue().isEmpty());
    const TDiscToc original = ReadToc(OpenCdio(image.Cue(), DRIVER_BINCUE).get());
    ASSERT_TRUE(original.IsValid());
    QFile bin(image.Bin());
    ASSERT_TRUE(bin.open(QIODevice::ReadOnly));
    const QByteArray data = bin.readAll();

    QList<TCueSheetWriter::TEntry> entries;
    for (int t = 1; t <= original.TrackCount(); ++t) {
        const qint32 end = t < original.TrackCount() ? original.Track(t + 1).firstSector
                                                     : original.LeadoutSector();
        const QByteArray bytes =
            data.mid(qint64(original.Track(t).firstSector) * TDiscToc::kBytesPerSector,
                     qint64(end - original.Track(t).firstSector) * TDiscToc::kBytesPerSector);
        QVector<qint16> samples(bytes.size() / 2);
        qFromLittleEndian<qint16>(bytes.constData(), samples.size(), samples.data());
        const QString title = original.Track(t).title;
        const QString name = TRipNames::TrackFileName(
            t, title, GetParam() == kFlac ? QStringLiteral("flac") : QStringLiteral("wav"));
        ASSERT_TRUE(WriteSound(image.FilePath(name), samples, 2, 44100, GetParam()));
        entries.append({name, title});
    }
    // The sheet exactly as the ripper writes it.
    const QString copy = image.FilePath(QStringLiteral("Korvo Demo Disc.cue"));
    ASSERT_TRUE(TCueSheetWriter::Write(copy, original.Title(), entries));

    EXPECT_EQ(TAudioFileDisc::Open(TAudioCueSheet::Read(copy)).Toc(), original)
        << "the same tracks, lead-out and titles";
    MCIDevice discDevice(QStringLiteral("cdaudio"), std::make_unique<TImageDrive>(image.Cue()));
    MCIDevice copyDevice(QStringLiteral("cdaudio"), std::make_unique<TImageDrive>(copy));
    ASSERT_EQ(discDevice.Open(), 0u);
    ASSERT_EQ(copyDevice.Open(), 0u);
    TCDAlbum disc(&discDevice), copied(&copyDevice);
    disc.ComputeKey();
    copied.ComputeKey();
    EXPECT_FALSE(disc.Key().isEmpty());
    EXPECT_EQ(copied.Key(), disc.Key());
    EXPECT_EQ(copyDevice.Titles().tracks, discDevice.Titles().tracks);
    EXPECT_EQ(copyDevice.Titles().album, discDevice.Titles().album);
}

INSTANTIATE_TEST_SUITE_P(Formats, CopiedDisc, ::testing::Values(kFlac, kWav), [](const auto& info) {
    return std::string(info.param == kFlac ? "Flac" : "Wav");
});

} // namespace
