// Copying a generated disc image through the real libcdio-paranoia and libsndfile: the files
// hold exactly the disc's samples, a damaged image fails at the right track, Cancel leaves no
// file that looks finished.

#include "ripimage.h"

#include "core/crc32.h"
#include "core/discids.h"
#include "core/riplog.h"
#include "platform/audiocuesheet.h"
#include "platform/audiofiledisc.h"
#include "platform/cdio.h"
#include "platform/discripper.h"
#include "platform/flactags.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <sndfile.h>

namespace {

constexpr int kRipDeadlineMs = 60000;
using TStatus = TRipTrackResult::TStatus;

// Tracks of 2 s noise, 1.5 s tone, 3 s noise.
const QList<int> kSectors{150, 113, 225};
const QStringList kTitles{QStringLiteral("Static"), QStringLiteral("Tone: A"),
                          QStringLiteral("Hiss")};

std::vector<qint16> ReadAudio(const QString& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return {};
    std::vector<qint16> samples(size_t(info.frames * info.channels));
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList Files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class RipperTest : public ::testing::Test {
protected:
    TRipOptions Options(const QString& source) {
        TRipOptions options;
        options.Source = source;
        options.Destination = FOut.path();
        return options;
    }

    TRipReport Rip(const TRipOptions& options,
                   std::function<void(TDiscRipper&, int)> onTrack = {}) {
        TDiscRipper ripper(options);
        QSignalSpy finished(&ripper, &TDiscRipper::finished);
        QObject::connect(&ripper, &TDiscRipper::trackStarted, &ripper,
                         [&](int, int, int track, const QString& title) {
                             FStarted << QStringLiteral("%1 %2").arg(track).arg(title);
                             if (onTrack)
                                 onTrack(ripper, track);
                         });
        QObject::connect(&ripper, &TDiscRipper::progress, &ripper,
                         [&](double, double disc, double, int) { FDisc << disc; });
        ripper.Start();
        EXPECT_TRUE(ripper.Running());
        EXPECT_TRUE(finished.wait(kRipDeadlineMs)) << "the rip did not end";
        EXPECT_FALSE(ripper.Running());
        return finished.isEmpty() ? TRipReport() : finished.first().first().value<TRipReport>();
    }

    QTemporaryDir FOut;
    QStringList FStarted;
    QList<double> FDisc;
};

class RipFormats : public RipperTest, public ::testing::WithParamInterface<TRipOptions::TFormat> {};

TEST_P(RipFormats, FilesHoldTheDiscsSamplesAndTheLogTheirChecksums) {
    const TRipImage image(kSectors, kTitles, QStringLiteral("Generated"));
    TRipOptions options = Options(image.Cue());
    options.Format = GetParam();
    const TRipReport report = Rip(options);
    const bool flac = GetParam() == TRipOptions::TFormat::Flac;
    const QString ext = flac ? QStringLiteral(".flac") : QStringLiteral(".wav");

    EXPECT_TRUE(report.AllGood()) << qPrintable(report.Message);
    EXPECT_EQ(report.Summary(), QStringLiteral("All tracks copied without errors"));
    EXPECT_EQ(report.Folder, FOut.filePath(QStringLiteral("Generated")));
    EXPECT_EQ(FStarted, QStringList({"1 Static", "2 Tone: A", "3 Hiss"}));
    ASSERT_FALSE(FDisc.isEmpty());
    EXPECT_DOUBLE_EQ(FDisc.last(), 1.0);
    const QStringList names{"01 - Static" + ext, "02 - Tone_ A" + ext, "03 - Hiss" + ext};
    EXPECT_EQ(Files(report.Folder),
              QStringList({names[0], names[1], names[2], "Generated.cue", "Generated.log"}))
        << "nothing else, no temporary file";
    const QString log = ReadText(report.LogPath);
    ASSERT_EQ(report.Tracks.size(), 3);
    for (int t = 1; t <= 3; ++t) {
        const TRipTrackResult& result = report.Tracks[t - 1];
        EXPECT_EQ(result.Track, t);
        EXPECT_EQ(result.Status, TStatus::Matched);
        EXPECT_EQ(result.Text(), QStringLiteral("Copied - test and copy match"));
        EXPECT_EQ(result.File, QDir(report.Folder).filePath(names[t - 1]));
        const std::vector<qint16> expected = image.Track(t);
        EXPECT_TRUE(ReadAudio(result.File) == expected)
            << "track " << t << " differs from the disc";
        const QString crc = TRipLog::Hex(TCrc32::Of(QByteArray::fromRawData(
            reinterpret_cast<const char*>(expected.data()), int(expected.size() * 2))));
        EXPECT_EQ(log.count(QStringLiteral("CRC32: ") + crc), 2) << "copy and test, track " << t;
    }
    EXPECT_TRUE(log.contains(QStringLiteral("All tracks copied without errors")));
    EXPECT_TRUE(log.contains(QStringLiteral("AccurateRip id: 003-")));
    const QString cue = ReadText(QDir(report.Folder).filePath(QStringLiteral("Generated.cue")));
    for (const QString& name : names)
        EXPECT_TRUE(cue.contains(QStringLiteral("FILE \"%1\" WAVE").arg(name))) << qPrintable(cue);
    if (flac) {
        const QStringList tags = TFlacTags::Read(report.Tracks[1].File);
        for (const char* tag :
             {"TITLE=Tone: A", "ALBUM=Generated", "TRACKNUMBER=2", "TRACKTOTAL=3"})
            EXPECT_TRUE(tags.contains(QString::fromUtf8(tag)))
                << tag << " in " << qPrintable(tags.join(';'));
        EXPECT_EQ(tags.filter(QStringLiteral("MUSICBRAINZ_DISCID=")).size(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, RipFormats,
                         ::testing::Values(TRipOptions::TFormat::Flac, TRipOptions::TFormat::Wav),
                         [](const auto& info) {
                             return info.param == TRipOptions::TFormat::Flac ? "Flac" : "Wav";
                         });

TEST_F(RipperTest, ACopyPlaysAsTheSameDisc) {
    const TRipImage image(kSectors, kTitles, QStringLiteral("Again"));
    TRipOptions options = Options(image.Cue());
    options.TestAndCopy = false;
    const TRipReport report = Rip(options);
    ASSERT_TRUE(report.AllGood()) << qPrintable(report.Message);
    const TDiscToc original = ReadToc(OpenCdio(image.Cue(), DRIVER_BINCUE).get());
    const TAudioFileDisc copy = TAudioFileDisc::Open(
        TAudioCueSheet::Read(QDir(report.Folder).filePath(QStringLiteral("Again.cue"))));
    ASSERT_TRUE(copy.IsValid()) << qPrintable(copy.Error());
    ASSERT_EQ(copy.Toc().TrackCount(), original.TrackCount());
    for (int t = 1; t <= original.TrackCount(); ++t)
        EXPECT_EQ(copy.Toc().Track(t).firstSector, original.Track(t).firstSector) << "track " << t;
    EXPECT_EQ(copy.Toc().LeadoutSector(), original.LeadoutSector());
    EXPECT_EQ(TDiscIds::MusicBrainz(copy.Toc()), TDiscIds::MusicBrainz(original))
        << "the same disc to every database, and so the same album key";
}

class RipOffsets : public RipperTest, public ::testing::WithParamInterface<int> {};

TEST_P(RipOffsets, SamplesShiftAndOutsideTheDiscIsCountedSilence) {
    const int offset = GetParam();
    const TRipImage image(kSectors, kTitles, QStringLiteral("Shifted"));
    TRipOptions options = Options(image.Cue());
    options.Format = TRipOptions::TFormat::Wav;
    options.TestAndCopy = false;
    options.ReadOffset = offset;
    const TRipReport report = Rip(options);
    ASSERT_TRUE(report.AllGood()) << qPrintable(report.Message);
    for (int t = 1; t <= 3; ++t) {
        EXPECT_EQ(report.Tracks[t - 1].Status, TStatus::Copied);
        EXPECT_TRUE(ReadAudio(report.Tracks[t - 1].File) == image.Track(t, offset))
            << "track " << t;
    }
    // Only the first track reaches before the disc, only the last past its end.
    const QString log = ReadText(report.LogPath);
    EXPECT_EQ(
        log.count(QStringLiteral("Samples outside the disc (silence): %1").arg(std::abs(offset))),
        1)
        << qPrintable(log);
    EXPECT_TRUE(log.contains(QStringLiteral("Read offset: %1 samples").arg(offset)));
}

INSTANTIATE_TEST_SUITE_P(Offsets, RipOffsets, ::testing::Values(-1000, 1000, 3000));

TEST_F(RipperTest, AnImageCutShortFailsAtTheCut) {
    const TRipImage image(kSectors, kTitles, QStringLiteral("Cut"));
    // 100 sectors into the last track; the TOC sheet still names the full lengths (libcdio
    // refuses a sheet whose tracks start past the end of the data).
    ASSERT_TRUE(QFile::resize(image.Bin(), qint64(150 + 113 + 100) * 2352));
    TRipOptions options = Options(image.Toc());
    options.Format = TRipOptions::TFormat::Wav;
    const TRipReport report = Rip(options);
    ASSERT_EQ(report.Tracks.size(), 3) << qPrintable(report.Message);
    EXPECT_EQ(report.Tracks[0].Status, TStatus::Matched);
    EXPECT_EQ(report.Tracks[1].Status, TStatus::Matched);
    EXPECT_EQ(report.Tracks[2].Text(), QStringLiteral("Errors at 0:01.25"));
    EXPECT_TRUE(report.Tracks[2].File.isEmpty());
    EXPECT_FALSE(report.AllGood());
    EXPECT_EQ(report.Summary(), QStringLiteral("There were errors in track 3"));
    EXPECT_EQ(Files(report.Folder), QStringList({"01 - Track 01.wav", "02 - Track 02.wav",
                                                 "Unknown Album.cue", "Unknown Album.log"}))
        << "the unreadable track leaves no file; a TOC sheet has no titles";
    const QString log = ReadText(report.LogPath);
    EXPECT_TRUE(log.contains(QStringLiteral("Status: Errors at 0:01.25"))) << qPrintable(log);
    EXPECT_TRUE(log.contains(
        QStringLiteral("Track 3 could not be read at 0:01.25; no file of it was kept.")));
    EXPECT_TRUE(log.trimmed().endsWith(QStringLiteral("There were errors in track 3")));
    EXPECT_TRUE(ReadAudio(report.Tracks[1].File) == image.Track(2));
}

TEST_F(RipperTest, CancelLeavesNoFinishedLookingFile) {
    // A long second track, so the copy is still on it when Cancel arrives.
    const TRipImage image({150, 27000, 75}, kTitles, QStringLiteral("Stopped"));
    const TRipReport report = Rip(Options(image.Cue()), [](TDiscRipper& ripper, int track) {
        if (track == 2)
            ripper.Cancel();
    });
    EXPECT_TRUE(report.Cancelled);
    EXPECT_FALSE(report.AllGood());
    EXPECT_EQ(report.Message, QStringLiteral("The copy was cancelled."));
    ASSERT_EQ(report.Tracks.size(), 3);
    EXPECT_EQ(report.Tracks[0].Status, TStatus::Matched);
    EXPECT_EQ(report.Tracks[1].Status, TStatus::NotCopied);
    EXPECT_TRUE(report.Tracks[1].File.isEmpty());
    EXPECT_EQ(report.Tracks[2].Status, TStatus::NotCopied);
    EXPECT_EQ(Files(report.Folder),
              QStringList({"01 - Static.flac", "Stopped.cue", "Stopped.log"}));
    const QString log = ReadText(report.LogPath);
    EXPECT_TRUE(log.contains(
        QStringLiteral("The copy was cancelled. The unfinished file of track 2 was removed.")))
        << qPrintable(log);
    EXPECT_FALSE(log.contains(QStringLiteral("Track 3\n"))) << "never started";
}

TEST_F(RipperTest, AFolderGoneWhileCopyingIsAWriteFailure) {
    const TRipImage image({150, 27000, 75}, kTitles, QStringLiteral("Gone"));
    const QString folder = FOut.filePath(QStringLiteral("Gone"));
    const TRipReport report = Rip(Options(image.Cue()), [&](TDiscRipper&, int track) {
        if (track == 2)
            QDir(folder).removeRecursively();
    });
    EXPECT_EQ(report.Folder, folder);
    EXPECT_TRUE(report.Message.startsWith(
        QStringLiteral("Could not write \"%1/02 - Tone_ A.flac\"").arg(folder)))
        << qPrintable(report.Message);
    ASSERT_EQ(report.Tracks.size(), 3);
    EXPECT_EQ(report.Tracks[1].Status, TStatus::NotCopied);
    EXPECT_EQ(report.Tracks[2].Status, TStatus::NotCopied);
    EXPECT_FALSE(report.AllGood());
    EXPECT_TRUE(report.LogPath.isEmpty()) << "the log's folder is gone too";
    EXPECT_FALSE(QFileInfo::exists(folder)) << "nothing made the folder again";
}

TEST_F(RipperTest, NoDiscOrNoFolderIsAClearMessage) {
    TRipReport report = Rip(Options(FOut.filePath(QStringLiteral("missing.cue"))));
    EXPECT_TRUE(report.NoDisc);
    EXPECT_TRUE(report.Message.startsWith(QStringLiteral("There is no audio disc in ")));
    EXPECT_TRUE(report.Folder.isEmpty());
    EXPECT_TRUE(report.LogPath.isEmpty());

    const TRipImage image(kSectors, kTitles, QStringLiteral("Nowhere"));
    TRipOptions options = Options(image.Cue());
    options.Destination = image.Bin(); // a file, not a folder
    report = Rip(options);
    EXPECT_FALSE(report.NoDisc);
    EXPECT_EQ(report.Message,
              QStringLiteral("Could not make a folder in \"%1\".").arg(image.Bin()));

    options = Options(image.Cue());
    options.Tracks = {2, 4};
    report = Rip(options);
    EXPECT_EQ(report.Message, QStringLiteral("The disc has no audio track 4."));
    EXPECT_TRUE(Files(FOut.path()).isEmpty()) << "nothing made for a track list that cannot be";
}

} // namespace
