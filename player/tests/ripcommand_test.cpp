// korvo32 --rip and --verify as a user runs them: exit codes, the log's path on standard output,
// titles from the album database, and a changed file found by --verify.

#include "ripimage.h"
#include "testprocesses.h"

#include "platform/ripcommand.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <sndfile.h>

namespace {

constexpr int kRunMs = 60000;

struct TRun {
    int code = -1;
    QString out, err;
};

class RipCommandTest : public ::testing::Test {
protected:
    TRun Run(const QStringList& arguments, const QString& drive) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVO_HOME"), FHome.path());
        env.insert(QStringLiteral("KORVO_CDROM"), drive);
        env.remove(QStringLiteral("DISPLAY")); // no window, so no display is needed
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none-at-all"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(KORVO32_PATH), arguments);
        TRun run;
        if (!process.waitForFinished(kRunMs)) {
            StopProcess(process, kRunMs);
            ADD_FAILURE() << "korvo32 did not end";
            return run;
        }
        run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QTemporaryDir FHome;
    QTemporaryDir FOut;
    // 2 s, 1.5 s and 3 s: the player's key is 6 2 1 3.
    const TRipImage FImage{{150, 113, 225}, {"Static", "Tone", "Hiss"}, "Generated"};
};

TEST_F(RipCommandTest, RipsWithTheDatabasesTitlesAndVerifyFindsAChangedFile) {
    QFile database(QDir(FHome.path()).filePath(QStringLiteral("cdalb.idb")));
    ASSERT_TRUE(database.open(QIODevice::WriteOnly));
    database.write("[6213]\nDatabaseVersion=2.7\nTitle=Kept Album\nNumberOfTracks=3\n"
                   "Song1=Opening\nSong2=Middle: Part\nSong3=Track 3\nSongOrder=1 2 3\n");
    database.close();

    const TRun rip = Run({"--rip", "--format", "wav", "--no-test", FOut.path()}, FImage.Cue());
    ASSERT_EQ(rip.code, 0) << qPrintable(rip.err);
    const QString folder = FOut.filePath(QStringLiteral("Kept Album"));
    EXPECT_EQ(rip.out, QDir(folder).filePath(QStringLiteral("Kept Album.log")));
    EXPECT_TRUE(rip.err.contains(QStringLiteral("Track 2 of 3 - Middle: Part")))
        << qPrintable(rip.err);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              QStringList({"01 - Opening.wav", "02 - Middle_ Part.wav", "03 - Hiss.wav",
                           "Kept Album.cue", "Kept Album.log"}))
        << "the database's titles, the disc's own where the database has only the default";

    TRun verify = Run({"--verify", folder}, QString());
    EXPECT_EQ(verify.code, 0) << qPrintable(verify.out + verify.err);

    // One sample of track 2 changed, the file otherwise intact.
    SF_INFO info{};
    SNDFILE* file =
        sf_open(QFile::encodeName(QDir(folder).filePath("02 - Middle_ Part.wav")).constData(),
                SFM_RDWR, &info);
    ASSERT_NE(file, nullptr);
    short frame[2] = {0, 0};
    sf_seek(file, 1000, SEEK_SET);
    sf_readf_short(file, frame, 1);
    frame[0] = short(frame[0] ^ 1);
    sf_seek(file, 1000, SEEK_SET);
    ASSERT_EQ(sf_writef_short(file, frame, 1), 1);
    sf_close(file);
    verify = Run({"--verify", folder}, QString());
    EXPECT_EQ(verify.code, 1);
    EXPECT_TRUE(
        verify.out.contains(QStringLiteral("Track 2 (02 - Middle_ Part.wav) differs: CRC32")))
        << qPrintable(verify.out);
    EXPECT_EQ(verify.out.count(QStringLiteral("differs")), 1) << qPrintable(verify.out);
}

TEST_F(RipCommandTest, ChosenTracksOnly) {
    const TRun rip =
        Run({"--rip", "--tracks", "1,3", "--offset", "-30", FOut.path()}, FImage.Cue());
    ASSERT_EQ(rip.code, 0) << qPrintable(rip.err);
    EXPECT_EQ(QDir(FOut.filePath("Generated")).entryList({"*.flac"}, QDir::Files),
              QStringList({"01 - Static.flac", "03 - Hiss.flac"}));
    EXPECT_EQ(Run({"--verify", FOut.filePath("Generated")}, QString()).code, 0);
}

TEST_F(RipCommandTest, NoAudioDiscExitsTwo) {
    const TRun rip = Run({"--rip", FOut.path()}, FOut.filePath(QStringLiteral("none.cue")));
    EXPECT_EQ(rip.code, 2);
    EXPECT_TRUE(rip.out.isEmpty());
    EXPECT_TRUE(rip.err.contains(QStringLiteral("There is no audio disc"))) << qPrintable(rip.err);
    EXPECT_TRUE(QDir(FOut.path()).isEmpty());
}

TEST_F(RipCommandTest, AFolderThatIsNoCopyCannotBeVerified) {
    const TRun verify = Run({"--verify", FOut.path()}, QString());
    EXPECT_EQ(verify.code, 1);
    EXPECT_TRUE(verify.err.contains(QStringLiteral("holds no CUE sheet and log")))
        << qPrintable(verify.err);
}

struct TBadArguments {
    const char* name;
    QStringList arguments;
    const char* message;
};

class RipArguments : public ::testing::TestWithParam<TBadArguments> {};

TEST_P(RipArguments, AreRefusedWithAReason) {
    QString error;
    EXPECT_FALSE(TRipCommand::ParseRip(GetParam().arguments, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().message))) << qPrintable(error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RipArguments,
    ::testing::Values(TBadArguments{"Format", {"--format", "ogg", "d"}, "flac or wav"},
                      TBadArguments{"OffsetTooLarge", {"--offset", "3001", "d"}, "-3000 to 3000"},
                      TBadArguments{"OffsetNoNumber", {"--offset", "x", "d"}, "-3000 to 3000"},
                      TBadArguments{"TrackZero", {"--tracks", "0", "d"}, "such as 1,3-5"},
                      TBadArguments{"RangeBackwards", {"--tracks", "3-1", "d"}, "such as 1,3-5"},
                      TBadArguments{"NoFolder", {"--no-test"}, "Usage"},
                      TBadArguments{"TwoFolders", {"a", "b"}, "Only one folder"},
                      TBadArguments{"Unknown", {"--fast", "d"}, "Unknown"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RipArguments, TracksAndOptionsAreRead) {
    EXPECT_EQ(TRipCommand::ParseTracks(QStringLiteral("5,1,3-4,3")), QList<int>({1, 3, 4, 5}));
    QString error;
    const std::optional<TRipOptions> options = TRipCommand::ParseRip(
        {"--format", "wav", "--no-test", "--offset", "-667", "--tracks", "2", "out"}, &error);
    ASSERT_TRUE(options) << qPrintable(error);
    EXPECT_EQ(options->Format, TRipOptions::TFormat::Wav);
    EXPECT_FALSE(options->TestAndCopy);
    EXPECT_EQ(options->ReadOffset, -667);
    EXPECT_EQ(options->Tracks, QList<int>{2});
    EXPECT_EQ(options->Destination, QStringLiteral("out"));
}

} // namespace
