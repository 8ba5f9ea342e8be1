// The real korvo32 program, started as the desktop starts it: one player per settings folder, a
// later start that brings the running one to the front, SIGTERM/SIGINT as a shutdown that saves,
// and a player that crashed not blocking the next one.

#include "testprocesses.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr int StartMs = 10000;

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Player {
public:
    explicit Player(const QString& home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KORVO_HOME", home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // No disc: these tests are about the process, not about playing.
        env.insert("KORVO_CDROM", "/nonexistent/korvo-drive");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::SeparateChannels);
    }
    // Ends a player still running as a shutdown does, so that it takes its lock file and socket
    // with it; one that does not end in time is killed.
    ~Player() { StopProcess(process, StartMs); }

    void Start() {
        process.start(QStringLiteral(KORVO32_PATH), {});
        ASSERT_TRUE(process.waitForStarted(StartMs));
    }

    // Starts the player that owns its folder, and waits until it listens for later starts.
    void StartFirst() {
        Start();
        ASSERT_TRUE(WaitForLog("listening for later starts")) << log.toStdString();
    }

    // Runs a start to its end; returns its exit code.
    int RunToEnd() {
        Start();
        EXPECT_TRUE(process.waitForFinished(StartMs));
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // Waits until the player has reported a line containing text on its error output.
    bool WaitForLog(const QByteArray& text) {
        for (int waited = 0; waited < StartMs; waited += 100) {
            log += process.readAllStandardError();
            if (log.contains(text))
                return true;
            process.waitForReadyRead(100);
        }
        return false;
    }

    // A later start in the same folder returns 0 and makes this player report its activation;
    // it also proves that this one is up and listening.
    void ActivateFrom(const QString& home) {
        Player later(home);
        EXPECT_EQ(later.RunToEnd(), 0);
        EXPECT_TRUE(WaitForLog("activated by a later start")) << log.toStdString();
        log.clear();
    }

    // Sends a signal to this player only; never to a process group, whatever state it is in.
    void Signal(int signal) {
        const qint64 pid = process.processId();
        ASSERT_GT(pid, 0);
        ASSERT_EQ(::kill(pid_t(pid), signal), 0);
    }

    QProcess process;
    QByteArray log;
};

class PlayerProcess : public ::testing::Test {
protected:
    QTemporaryDir home;
    QString Settings() const { return home.filePath("Korvo.ini"); }
};

TEST_F(PlayerProcess, LaterStartActivatesTheRunningPlayerAndEndsWithZero) {
    Player first(home.path());
    first.StartFirst();
    first.ActivateFrom(home.path());
    first.ActivateFrom(home.path());
    EXPECT_EQ(first.process.state(), QProcess::Running);
}

TEST_F(PlayerProcess, PlayersWithDifferentHomesRunSideBySide) {
    QTemporaryDir otherHome;
    Player a(home.path());
    Player b(otherHome.path());
    a.StartFirst();
    b.StartFirst();
    a.ActivateFrom(home.path());
    b.ActivateFrom(otherHome.path());
    EXPECT_EQ(a.process.state(), QProcess::Running);
    EXPECT_EQ(b.process.state(), QProcess::Running);
}

TEST_F(PlayerProcess, CrashedPlayerDoesNotBlockTheNextStart) {
    {
        Player crashed(home.path());
        crashed.StartFirst();
        crashed.ActivateFrom(home.path());
        crashed.Signal(SIGKILL);
        ASSERT_TRUE(crashed.process.waitForFinished(StartMs));
    }
    Player next(home.path());
    next.StartFirst();
    next.ActivateFrom(home.path());
    EXPECT_EQ(next.process.state(), QProcess::Running);
}

class PlayerSignal : public PlayerProcess, public ::testing::WithParamInterface<int> {};

TEST_P(PlayerSignal, EndsCleanlyAndSavesTheSettings) {
    Player player(home.path());
    player.StartFirst();
    player.ActivateFrom(home.path());
    ASSERT_FALSE(QFile::exists(Settings()));
    player.Signal(GetParam());
    ASSERT_TRUE(player.process.waitForFinished(StartMs));
    EXPECT_EQ(player.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.process.exitCode(), 0);
    const QByteArray saved = Slurp(Settings());
    EXPECT_TRUE(saved.startsWith("[General]\nVersion=2.7\nWindowPosition=")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\nSaveSettingsonExit=1\n"));
    EXPECT_TRUE(saved.contains("\n[State]\nPaused=0\nStopped=1\nStick=0\n"));
    // Nothing half-written is left beside it.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"Korvo.ini"});
}

INSTANTIATE_TEST_SUITE_P(Signals, PlayerSignal, ::testing::Values(SIGTERM, SIGINT),
                         [](const auto& info) {
                             return std::string(info.param == SIGTERM ? "Term" : "Int");
                         });

TEST_F(PlayerProcess, ShutdownWithSaveOnExitOffChangesOnlyThatKey) {
    const QByteArray before = "[General]\nVersion=3.0\nWindowPosition=1 2 3 4\n[Settings]\n"
                              "saveSETTINGSonexit=0\nAutoSaveAlbum=0\nFont=Arial, 9, 0, 0\n"
                              "; the user's note\n";
    {
        QFile file(Settings());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    Player player(home.path());
    player.StartFirst();
    player.ActivateFrom(home.path());
    player.Signal(SIGTERM);
    ASSERT_TRUE(player.process.waitForFinished(StartMs));
    EXPECT_EQ(player.process.exitCode(), 0);
    QByteArray expected = before;
    expected.replace("saveSETTINGSonexit=0", "SaveSettingsOnExit=0");
    EXPECT_EQ(Slurp(Settings()), expected);
}

} // namespace
