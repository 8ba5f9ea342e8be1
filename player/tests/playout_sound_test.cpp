// The real korvo32 closed while it plays, on its own Xvfb display and the test sound server: with
// Stop Play on Exit off the rest of the disc plays on in a play-out process, which the next start
// takes over from where it has got to; SIGTERM ends a play-out; with the option on nothing plays
// on; a play-out that cannot play its disc says so and fails.

#include "discimage.h"
#include "testprocesses.h"

#include "platform/playoutlink.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

constexpr int WaitMs = 20000;
constexpr int PollMs = 100;
constexpr int AnswerMs = 1000;

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WaitUntil(const std::function<bool()>& done, int ms = WaitMs) {
    for (int waited = 0; waited < ms; waited += PollMs) {
        if (done())
            return true;
        QThread::msleep(PollMs);
    }
    return done();
}

// The processes with a stream on the sound server.
QList<qint64> StreamingProcesses() {
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(WaitMs))
        return {};
    QList<qint64> pids;
    const QRegularExpression pid(QStringLiteral("application\\.process\\.id = \"(\\d+)\""));
    for (const QRegularExpressionMatch& match :
         pid.globalMatch(QString::fromUtf8(pactl.readAllStandardOutput())))
        pids << match.captured(1).toLongLong();
    return pids;
}

bool Streams(qint64 pid) {
    return StreamingProcesses().contains(pid);
}

void Stop(QProcess& process) {
    StopProcess(process, WaitMs);
}

class PlayOutSound : public ::testing::Test {
protected:
    // Tracks of 4, 30 and 5 s, in disc order.
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("PULSE_SERVER"));
        ASSERT_FALSE(disc.Cue().isEmpty());
        ASSERT_FALSE(x11.Name().isEmpty()) << "Xvfb did not start (is it installed?)";
        env = x11.Environment();
        env.insert(QStringLiteral("KORVO_HOME"), home.path());
        env.insert(QStringLiteral("KORVO_CDROM"), disc.Cue());
        WriteSettings("[Settings]\nRandomOrder=0\nStopPlayonExit=0\n");
    }
    void TearDown() override {
        Stop(second);
        Stop(first);
        // A play-out still answering is ended by its own id.
        if (const auto state = PlayOut::Ask(home.path(), PlayOut::kWhere, AnswerMs))
            ::kill(pid_t(state->pid), SIGTERM);
    }

    void WriteSettings(const QByteArray& text) {
        QFile ini(home.filePath(QStringLiteral("Korvo.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(text);
    }

    // Starts the player and waits until it plays the disc by itself (Auto Play).
    void StartPlaying(QProcess& player, const QString& log) {
        player.setProcessEnvironment(env);
        // A file, not a pipe: the play-out inherits it and outlives the player.
        player.setStandardErrorFile(home.filePath(log));
        player.start(QStringLiteral(KORVO32_PATH), {});
        ASSERT_TRUE(player.waitForStarted(WaitMs));
        ASSERT_TRUE(WaitUntil([&] { return Streams(player.processId()); }))
            << Slurp(home.filePath(log)).toStdString();
    }

    // Closes the player as the user does, with Exit on its Album menu (Alt+A, X), and waits for
    // its end.
    void CloseNormally(QProcess& player) {
        const auto xdotool = [this](const QStringList& arguments) {
            return RunXdotool(env, arguments, WaitMs);
        };
        const QByteArray window = xdotool({QStringLiteral("search"), QStringLiteral("--sync"),
                                           QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                           QString::number(player.processId())});
        ASSERT_FALSE(window.isEmpty());
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                 QString::fromLatin1(window), QStringLiteral("key"), QStringLiteral("alt+a"),
                 QStringLiteral("sleep"), QStringLiteral("0.5"), QStringLiteral("key"),
                 QStringLiteral("x")});
        ASSERT_TRUE(player.waitForFinished(WaitMs));
        EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(player.exitCode(), 0);
    }

    std::optional<TPlayOutState> PlayOutState() {
        return PlayOut::Ask(home.path(), PlayOut::kWhere, AnswerMs);
    }

    // Closes a playing player; returns the play-out it left, after checking it plays.
    TPlayOutState CloseAndFindPlayOut() {
        const qint64 playerPid = first.processId();
        CloseNormally(first);
        const std::optional<TPlayOutState> state = PlayOutState();
        EXPECT_TRUE(state);
        if (!state)
            return {};
        EXPECT_NE(state->pid, playerPid);
        EXPECT_EQ(state->source, disc.Cue());
        EXPECT_TRUE(WaitUntil([&] { return !Streams(playerPid); }));
        EXPECT_TRUE(Streams(state->pid));
        return *state;
    }

    TDiscImage disc{{4, 30, 5}};
    QTemporaryDir home;
    TXDisplay x11{QStringLiteral("1024x768x24"), WaitMs};
    QProcessEnvironment env;
    QProcess first;
    QProcess second;
};

TEST_F(PlayOutSound, ClosedPlayerLeavesThePlayOutAndTheNextStartTakesOver) {
    ASSERT_NO_FATAL_FAILURE(StartPlaying(first, "first.log"));
    const TPlayOutState left = CloseAndFindPlayOut();
    ASSERT_GT(left.pid, 0);
    // It plays on, past the end of the first song into the second.
    quint32 reached = 0;
    ASSERT_TRUE(WaitUntil([&] {
        const auto state = PlayOutState();
        reached = state ? state->positionMs : 0;
        return reached > 5000;
    }));
    EXPECT_GT(reached, left.positionMs);

    ASSERT_NO_FATAL_FAILURE(StartPlaying(second, "second.log"));
    const QRegularExpression takeOver(QStringLiteral("taking over from the play-out at (\\d+) ms"));
    const QRegularExpressionMatch match =
        takeOver.match(QString::fromUtf8(Slurp(home.filePath("second.log"))));
    ASSERT_TRUE(match.hasMatch()) << Slurp(home.filePath("second.log")).toStdString();
    EXPECT_GE(match.captured(1).toUInt(), reached);
    EXPECT_FALSE(PlayOutState());
    EXPECT_TRUE(WaitUntil([&] { return !Streams(left.pid); }));

    // Ended while playing the second song: saved as playing, with that song current.
    Stop(second);
    const QByteArray settings = Slurp(home.filePath("Korvo.ini"));
    EXPECT_TRUE(settings.contains("\n[State]\nPaused=0\nStopped=0\n")) << settings.toStdString();
    const QByteArray database = Slurp(home.filePath("cdalb.idb"));
    EXPECT_TRUE(database.contains("\nCurrentSong=1\n")) << database.toStdString();
}

TEST_F(PlayOutSound, SigtermEndsThePlayOut) {
    ASSERT_NO_FATAL_FAILURE(StartPlaying(first, "first.log"));
    const TPlayOutState left = CloseAndFindPlayOut();
    ASSERT_GT(left.pid, 0);
    ASSERT_EQ(::kill(pid_t(left.pid), SIGTERM), 0);
    EXPECT_TRUE(WaitUntil([&] { return !PlayOutState() && !Streams(left.pid); }));
}

TEST_F(PlayOutSound, WithStopPlayOnExitNothingPlaysOn) {
    WriteSettings("[Settings]\nRandomOrder=0\nStopPlayonExit=1\n");
    ASSERT_NO_FATAL_FAILURE(StartPlaying(first, "first.log"));
    CloseNormally(first);
    EXPECT_FALSE(PlayOutState());
    // A play-out would stream for the rest of the disc, far longer than this waits.
    EXPECT_TRUE(WaitUntil([] { return StreamingProcesses().isEmpty(); }))
        << StreamingProcesses().size();
}

struct TBadPlayOut {
    const char* name;
    QStringList arguments; // after --play-out
    QByteArray message;
};

class BadPlayOut : public ::testing::TestWithParam<TBadPlayOut> {};

TEST_P(BadPlayOut, SaysWhyAndFails) {
    QTemporaryDir home;
    QProcess playOut;
    playOut.start(QStringLiteral(KORVO32_PATH),
                  QStringList{PlayOut::kOption} + GetParam().arguments + QStringList{home.path()});
    ASSERT_TRUE(playOut.waitForFinished(WaitMs));
    EXPECT_NE(playOut.exitCode(), 0);
    const QByteArray error = playOut.readAllStandardError();
    EXPECT_TRUE(error.contains(GetParam().message)) << error.toStdString();
    EXPECT_FALSE(PlayOut::Ask(home.path(), PlayOut::kWhere, AnswerMs));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadPlayOut,
    ::testing::Values(
        TBadPlayOut{"MissingImage", {"/nonexistent/korvo-disc.cue", "0", "0"}, "cannot play"},
        TBadPlayOut{"MissingDrive", {"/nonexistent/korvo-drive", "0", "0"}, "cannot play"},
        TBadPlayOut{"BadPosition", {"/dev/null", "soon", "0"}, "usage: korvo32 --play-out"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
