// The real korvo32 program on a generated disc image and the test sound server: it finds the
// disc, loads it as an album and plays it by itself; SIGTERM ends it with the settings and the
// album saved.

#include "discimage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr int WaitMs = 15000;

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(EndToEnd, PlaysTheDiscByItselfAndSavesEverythingOnSigterm) {
    TDiscImage disc({20, 4, 5});
    ASSERT_FALSE(disc.Cue().isEmpty());
    QTemporaryDir home;
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("PULSE_SERVER"));
    // Every other option keeps its default (on); in disc order the first song is track 1.
    QFile ini(home.filePath("Korvo.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Settings]\nRandomOrder=0\n");
    ini.close();

    QProcess player;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KORVO_HOME", home.path());
    env.insert("KORVO_CDROM", disc.Cue());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    player.setProcessEnvironment(env);
    player.start(QStringLiteral(KORVO32_PATH), {});
    ASSERT_TRUE(player.waitForStarted(WaitMs));

    // The first tick of the second timer loads the disc and Auto Play starts track 1, long
    // enough to be still playing when the signal comes, even on a slow start.
    QThread::msleep(5000);
    ASSERT_EQ(player.state(), QProcess::Running) << player.readAllStandardError().toStdString();
    ASSERT_EQ(::kill(pid_t(player.processId()), SIGTERM), 0);
    ASSERT_TRUE(player.waitForFinished(WaitMs));
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 0);

    const QByteArray settings = Slurp(home.filePath("Korvo.ini"));
    EXPECT_TRUE(settings.contains("[General]\nVersion=2.7\nWindowPosition=")) << settings.data();
    // Saved while the disc was still playing: neither stopped nor paused.
    EXPECT_TRUE(settings.contains("\n[State]\nPaused=0\nStopped=0\nStick=0\n")) << settings.data();
    EXPECT_TRUE(settings.contains("\nRandomOrder=0\n"));
    EXPECT_TRUE(settings.contains("\nAutoPlay=1\n"));

    // The album went into the database under the disc's key, with the queue and current song.
    const QString database = QString::fromUtf8(Slurp(home.filePath("cdalb.idb")));
    const QRegularExpression section(QStringLiteral("^\\[(\\d+)\\]$"),
                                     QRegularExpression::MultilineOption);
    const QRegularExpressionMatch key = section.match(database);
    ASSERT_TRUE(key.hasMatch()) << database.toStdString();
    // The key begins with the disc length in seconds and ends with the track lengths 20, 4, 5.
    EXPECT_TRUE(key.captured(1).endsWith("2045")) << key.captured(1).toStdString();
    EXPECT_EQ(database.count(section), 1);
    EXPECT_TRUE(database.contains("\nCurrentSong=0\n")) << database.toStdString();
    // Nothing half-written is left beside them.
    QStringList files = QDir(home.path()).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files, (QStringList{"Korvo.ini", "cdalb.idb"}));
}

} // namespace
