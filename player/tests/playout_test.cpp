// Leaving the disc playing after the player: the controller hands the rest of the disc off on exit
// and takes a play-out over when the album loads; the play-out's arguments and answers; and
// asking a play-out that is not there, stale or hung never holds the asker up.

#include "capturereporter.h"
#include "manualdrive.h"

#include "core/commandids.h"
#include "core/mcidevice.h"
#include "core/playcontroller.h"
#include "platform/playoutlink.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The hand-driven drive with a play-out: one left by an earlier run, and one it can leave.
class TPlayOutDrive : public TManualDrive {
public:
    using TManualDrive::TManualDrive;
    bool HandOff() override {
        log << QStringLiteral("hand off");
        if (handOffWorks)
            playing = false;
        return handOffWorks;
    }
    bool PlayOutRunning() override { return playOutAt.has_value(); }
    std::optional<quint32> TakeOver() override {
        log << QStringLiteral("take over");
        return std::exchange(playOutAt, std::nullopt);
    }

    std::optional<quint32> playOutAt;
    bool handOffWorks = true;
};

class PlayOutController : public ::testing::Test {
protected:
    // Tracks of 30, 45 and 60 s; queue in disc order.
    void Start(std::optional<quint32> playOutAt) {
        auto service = std::make_unique<TPlayOutDrive>(QVector<quint32>{30000, 45000, 60000});
        drive = service.get();
        drive->playOutAt = playOutAt;
        device = std::make_unique<MCIDevice>(QStringLiteral("cdaudio"), std::move(service));
        controller = std::make_unique<TPlayController>(
            *device, folder.filePath(QStringLiteral("cdalb.idb")));
        controller->SetOptionQuery([this](int id) { return options.contains(id); });
        controller->SetUp();
        controller->Timer().stop();
    }

    QTemporaryDir folder;
    TCaptureReporter reporter;
    QSet<int> options{CmAutoPlay};
    TPlayOutDrive* drive = nullptr;
    std::unique_ptr<MCIDevice> device;
    std::unique_ptr<TPlayController> controller;
};

struct TTakeOverCase {
    const char* name;
    std::optional<quint32> playOutAt;
    int currentSong;
    QString play; // the one play request
    int barPosition;
};

class TakeOver : public PlayOutController, public ::testing::WithParamInterface<TTakeOverCase> {};

TEST_P(TakeOver, GoesOnFromThePlayOutsPositionOnItsSong) {
    const TTakeOverCase& c = GetParam();
    Start(c.playOutAt);
    ASSERT_EQ(controller->LoadAlbum(false), 0);
    EXPECT_EQ(drive->Requests(QStringLiteral("take over")).size(), c.playOutAt ? 1 : 0);
    EXPECT_EQ(drive->Requests(QStringLiteral("play")), QStringList{c.play});
    EXPECT_EQ(controller->CurrentSong(), c.currentSong);
    EXPECT_EQ(controller->Queue().Selected(), c.currentSong);
    EXPECT_FALSE(controller->IsStopped());
    EXPECT_TRUE(controller->IsTracking());
    EXPECT_EQ(controller->BarPosition(), c.barPosition);
    // Only the first load after the start takes over.
    controller->Stop();
    drive->playOutAt = 1000;
    ASSERT_EQ(controller->LoadAlbum(true), 0);
    EXPECT_EQ(drive->Requests(QStringLiteral("take over")).size(), c.playOutAt ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TakeOver,
    ::testing::Values(
        TTakeOverCase{"InTheSecondSong", 50000, 1, "play 50000 75000 n", 20000 * 10000 / 45000},
        TTakeOverCase{"AtTheEndOfTheFirst", 29999, 0, "play 29999 30000 n", 29999 * 10000 / 30000},
        TTakeOverCase{"InTheLastSongToTheEndOfTheDisc", 100000, 2, "play 100000 - n",
                      25000 * 10000 / 60000},
        // Beyond the disc: nothing to go on with, so Auto Play starts as usual.
        TTakeOverCase{"BeyondTheDisc", 200000, 0, "play - 30000 n", 0},
        TTakeOverCase{"NoPlayOut", std::nullopt, 0, "play - 30000 n", 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct TExitCase {
    const char* name;
    bool stopOnExit;
    bool handOffWorks;
    QStringList requests; // from the exit on
};

class Exit : public PlayOutController, public ::testing::WithParamInterface<TExitCase> {};

TEST_P(Exit, LeavesTheDiscToThePlayOutOnlyWithStopPlayOnExitOff) {
    const TExitCase& c = GetParam();
    if (c.stopOnExit)
        options.insert(CmStopPlayOnExit);
    Start(std::nullopt);
    drive->handOffWorks = c.handOffWorks;
    ASSERT_EQ(controller->LoadAlbum(false), 0);
    drive->Advance(5000);
    drive->log.clear();
    controller->ShutDown();
    EXPECT_EQ(drive->log, c.requests);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Exit,
    ::testing::Values(
        TExitCase{"StopPlayOnExit", true, true, {"stop", "audio on", "close"}},
        TExitCase{"HandedOff", false, true, {"hand off", "audio on", "close"}},
        // A drive that plays by itself is told to go on, and stays open.
        TExitCase{"DriveGoesOn", false, false, {"hand off", "stop", "play - - -", "audio on"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct TArgumentsCase {
    const char* name;
    QStringList arguments;
    std::optional<TPlayOutRequest> request;
};

class PlayOutArguments : public ::testing::TestWithParam<TArgumentsCase> {};

TEST_P(PlayOutArguments, AreReadOrRefusedWithAReason) {
    const TArgumentsCase& c = GetParam();
    QString error;
    const std::optional<TPlayOutRequest> request = PlayOut::ParseArguments(c.arguments, &error);
    EXPECT_EQ(request, c.request);
    EXPECT_EQ(error.contains(QStringLiteral("usage: korvo32 --play-out")), !c.request)
        << error.toStdString();
    if (request) {
        EXPECT_EQ(PlayOut::Arguments(*request), c.arguments);
    }
}

const QString kPlayOut = QStringLiteral("--play-out");

INSTANTIATE_TEST_SUITE_P(
    Cases, PlayOutArguments,
    ::testing::Values(
        TArgumentsCase{"Valid",
                       {kPlayOut, "/discs/a b.cue", "61000", "1765000000000", "/home/k"},
                       TPlayOutRequest{"/discs/a b.cue", 61000, 1765000000000, "/home/k"}},
        TArgumentsCase{"TooFew", {kPlayOut, "/dev/cdrom", "0", "0"}, std::nullopt},
        TArgumentsCase{"NotAPlayOut", {"--play", "/dev/cdrom", "0", "0", "/k"}, std::nullopt},
        TArgumentsCase{
            "PositionNotANumber", {kPlayOut, "/dev/cdrom", "12s", "0", "/k"}, std::nullopt},
        TArgumentsCase{"NegativePosition", {kPlayOut, "/dev/cdrom", "-1", "0", "/k"}, std::nullopt},
        TArgumentsCase{"NegativeTime", {kPlayOut, "/dev/cdrom", "0", "-5", "/k"}, std::nullopt},
        TArgumentsCase{"EmptySource", {kPlayOut, "", "0", "0", "/k"}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct TAnswerCase {
    const char* name;
    QByteArray line;
    std::optional<TPlayOutState> state;
};

class PlayOutAnswer : public ::testing::TestWithParam<TAnswerCase> {};

TEST_P(PlayOutAnswer, IsReadOrRefused) {
    const TAnswerCase& c = GetParam();
    const std::optional<TPlayOutState> state = PlayOut::ParseState(c.line);
    EXPECT_EQ(state, c.state);
    if (state) {
        EXPECT_EQ(PlayOut::FormatState(*state), c.line);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlayOutAnswer,
    ::testing::Values(TAnswerCase{"Drive", "playing 61000 4242 /dev/cdrom\n",
                                  TPlayOutState{61000, 4242, "/dev/cdrom"}},
                      TAnswerCase{"SourceWithSpaces", "playing 0 7 /my discs/a b.cue\n",
                                  TPlayOutState{0, 7, "/my discs/a b.cue"}},
                      TAnswerCase{"NoSource", "playing 61000 4242\n", std::nullopt},
                      TAnswerCase{"OtherWord", "stopped 61000 4242 /dev/cdrom\n", std::nullopt},
                      TAnswerCase{"PositionNotANumber", "playing 1:01 4242 /dev/cdrom\n",
                                  std::nullopt},
                      TAnswerCase{"NoProcess", "playing 61000 0 /dev/cdrom\n", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

class PlayOutAsk : public ::testing::Test {
protected:
    // Ask never takes much longer than its timeout, whatever is or is not there.
    std::optional<TPlayOutState> AskInTime() {
        QElapsedTimer clock;
        clock.start();
        const std::optional<TPlayOutState> state =
            PlayOut::Ask(home.path(), PlayOut::kWhere, kTimeoutMs);
        EXPECT_LT(clock.elapsed(), kTimeoutMs + 2000);
        return state;
    }
    QString SocketPath() const { return QDir::temp().filePath(PlayOut::ServerName(home.path())); }

    static constexpr int kTimeoutMs = 500;
    QTemporaryDir home;
};

TEST_F(PlayOutAsk, NothingThereIsNoPlayOut) {
    EXPECT_FALSE(AskInTime());
}

TEST_F(PlayOutAsk, StaleSocketIsNoPlayOut) {
    // A socket file whose process is gone, as a killed play-out leaves it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(SocketPath());
    ASSERT_LT(size_t(path.size()), sizeof(address.sun_path));
    std::copy(path.begin(), path.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    EXPECT_FALSE(AskInTime());
    QFile::remove(SocketPath());
}

TEST_F(PlayOutAsk, HungPlayOutIsNoPlayOut) {
    // Listening, but its process never answers (no event loop runs here).
    QLocalServer hung;
    ASSERT_TRUE(hung.listen(PlayOut::ServerName(home.path())));
    EXPECT_FALSE(AskInTime());
}

} // namespace
