// The real korvo32 on the demo disc and the test sound server, driven over the test session bus
// as a desktop's media controls drive it; and a player without a bus, which starts as ever.

#include "discimage.h"
#include "testprocesses.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <functional>
#include <limits>

namespace {

constexpr int WaitMs = 15000;
const QString Path = QStringLiteral("/org/mpris/MediaPlayer2");
const QString Root = QStringLiteral("org.mpris.MediaPlayer2");
const QString Player = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");

QString TrackPath(int track) {
    return QStringLiteral("/org/audiosuite/Korvo/track/%1").arg(track);
}

bool Eventually(const std::function<bool()>& condition) {
    for (int waited = 0; waited < WaitMs; waited += 20) {
        if (condition())
            return true;
        QTest::qWait(20);
    }
    return condition();
}

// A D-Bus value as a plain QVariant: a dictionary comes back as a QVariantMap.
QVariant Plain(const QVariant& value) {
    if (value.userType() == qMetaTypeId<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value;
}

} // namespace

// What the player announced on the bus.
class TBusRecorder : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
    QList<qlonglong> seeks;

    // The values a property was announced with, in order.
    QVariantList Announced(const QString& property) const {
        QVariantList values;
        for (const QVariantMap& change : changes)
            if (change.contains(property))
                values << Plain(change.value(property));
        return values;
    }

public slots:
    void OnChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
        if (interface == Player)
            changes << changed;
    }
    void OnSeeked(qlonglong position) { seeks << position; }
};

namespace {

// korvo32 in a temporary settings folder on the demo disc, with the options the test writes.
class TKorvo {
public:
    TKorvo(const QByteArray& settings, const std::function<void(QProcessEnvironment&)>& adjust) {
        QFile ini(FHome.filePath("Korvo.ini"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(settings);
        ini.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KORVO_HOME", FHome.path());
        env.insert("KORVO_CDROM", TDiscImage::DemoDisc());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        adjust(env);
        FProcess.setProcessEnvironment(env);
        FProcess.start(QStringLiteral(KORVO32_PATH), {});
        EXPECT_TRUE(FProcess.waitForStarted(WaitMs));
    }
    ~TKorvo() { StopProcess(FProcess, WaitMs); }

    bool WaitForLog(const QByteArray& text) {
        return Eventually([&] { return Log().contains(text); });
    }
    QByteArray Settings() const {
        QFile ini(FHome.filePath("Korvo.ini"));
        return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
    }
    QProcess& Process() { return FProcess; }
    // Starts the program again in the same folder, which asks this one to come forward; the
    // later start's exit code, -1 when it did not end by itself.
    int StartAgain() {
        QProcess later;
        later.setProcessEnvironment(FProcess.processEnvironment());
        later.start(QStringLiteral(KORVO32_PATH), {});
        if (!later.waitForFinished(WaitMs)) {
            StopProcess(later, WaitMs);
            return -1;
        }
        return later.exitStatus() == QProcess::NormalExit ? later.exitCode() : -1;
    }
    const QByteArray& Log() {
        FLog += FProcess.readAllStandardError();
        return FLog;
    }

private:
    QTemporaryDir FHome;
    QProcess FProcess;
    QByteArray FLog;
};

class MprisTest : public ::testing::Test {
protected:
    // Without the bus or the sound server every check would fail for want of them rather than
    // of the player.
    void SetUp() override {
        ASSERT_TRUE(FBus.isConnected())
            << "no D-Bus session bus (DBUS_SESSION_BUS_ADDRESS): run the tests through "
               "scripts/test, which starts one; "
            << FBus.lastError().message().toStdString();
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
        ASSERT_TRUE(pactl.waitForFinished(WaitMs) && pactl.exitStatus() == QProcess::NormalExit &&
                    pactl.exitCode() == 0)
            << "no sound server (PULSE_SERVER): run the tests through scripts/test, which starts "
               "one; "
            << pactl.errorString().toStdString() << " "
            << pactl.readAllStandardError().toStdString();
    }

    // Starts the player with the options given and waits until it holds its name and has the
    // disc in its queue; other tests' players on the same bus may hold the plain name.
    void Start(const QByteArray& options) {
        FKorvo = std::make_unique<TKorvo>("[Settings]\nAutoPlay=0\nAuxOutDevice=1\n" + options,
                                          [](QProcessEnvironment&) {});
        ASSERT_TRUE(Eventually([&] { return !(FName = NameOf(*FKorvo)).isEmpty(); }))
            << FKorvo->Log().data();
        for (const auto& [interface, member, slot] :
             {std::tuple{Properties, "PropertiesChanged",
                         SLOT(OnChanged(QString, QVariantMap, QStringList))},
              std::tuple{Player, "Seeked", SLOT(OnSeeked(qlonglong))}})
            ASSERT_TRUE(FBus.connect(FName, Path, interface, QString::fromLatin1(member),
                                     &FRecorder, slot));
        ASSERT_TRUE(Eventually([&] { return Get(Player, "CanPlay").toBool(); }));
    }

    // The MPRIS name a player owns, empty while it owns none.
    QString NameOf(TKorvo& korvo) {
        const uint pid = uint(korvo.Process().processId());
        const QString name = QStringLiteral("org.mpris.MediaPlayer2.korvo");
        for (const QString& candidate : {name, name + QStringLiteral(".instance%1").arg(pid)})
            if (FBus.interface()->servicePid(candidate).value() == pid)
                return candidate;
        return QString();
    }

    QVariant Get(const QString& interface, const char* property) {
        const QDBusMessage reply =
            FBus.call(QDBusMessage::createMethodCall(FName, Path, Properties, "Get")
                      << interface << QString::fromLatin1(property));
        return Plain(reply.arguments().value(0).value<QDBusVariant>().variant());
    }
    bool Set(const char* property, const QVariant& value) {
        const QDBusMessage reply = FBus.call(
            QDBusMessage::createMethodCall(FName, Path, Properties, "Set")
            << Player << QString::fromLatin1(property) << QVariant::fromValue(QDBusVariant(value)));
        if (reply.type() == QDBusMessage::ReplyMessage)
            return true;
        ADD_FAILURE() << "Set " << property << ": " << reply.errorMessage().toStdString();
        return false;
    }
    bool Call(const QString& interface, const char* method, const QVariantList& arguments = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(FName, Path, interface, method);
        call.setArguments(arguments);
        return FBus.call(call).type() == QDBusMessage::ReplyMessage;
    }
    bool BecomesStatus(const char* status) {
        return Eventually([&] { return Get(Player, "PlaybackStatus") == status; });
    }
    QVariantMap Metadata() { return Get(Player, "Metadata").toMap(); }
    qlonglong Position() { return Get(Player, "Position").toLongLong(); }
    int TrackNumber() { return Metadata().value("xesam:trackNumber").toInt(); }
    // The player's streams on the sound server; -1 when the server cannot be asked.
    int Streams() {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"),
                    {QStringLiteral("list"), QStringLiteral("sink-inputs")});
        if (!pactl.waitForFinished(WaitMs) || pactl.exitStatus() != QProcess::NormalExit ||
            pactl.exitCode() != 0)
            return -1;
        return int(
            pactl.readAllStandardOutput().count(QStringLiteral("application.process.id = \"%1\"")
                                                    .arg(FKorvo->Process().processId())
                                                    .toLatin1()));
    }
    // Waits until every request sent before has been carried out: requests run in order, and
    // this one's effect can be seen.
    bool Barrier() {
        const QString loop = Get(Player, "LoopStatus") == "Playlist" ? "None" : "Playlist";
        return Set("LoopStatus", loop) &&
               Eventually([&] { return Get(Player, "LoopStatus") == loop; });
    }

    QDBusConnection FBus = QDBusConnection::sessionBus();
    std::unique_ptr<TKorvo> FKorvo;
    QString FName;
    TBusRecorder FRecorder;
};

TEST_F(MprisTest, SaysWhoItIsAndRaisesItsWindow) {
    ASSERT_NO_FATAL_FAILURE(Start(""));
    const struct {
        QString interface;
        const char* property;
        QVariant value;
    } cases[] = {
        {Root, "Identity", QStringLiteral("Korvo")},
        {Root, "DesktopEntry", QStringLiteral("org.audiosuite.Korvo")},
        {Root, "CanQuit", true},
        {Root, "CanRaise", true},
        {Root, "HasTrackList", false},
        {Root, "SupportedUriSchemes", QStringList()},
        {Root, "SupportedMimeTypes", QStringList()},
        {Player, "Rate", 1.0},
        {Player, "MinimumRate", 1.0},
        {Player, "MaximumRate", 1.0},
        {Player, "CanControl", true},
        {Player, "PlaybackStatus", QStringLiteral("Stopped")},
        {Player, "CanSeek", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Get(c.interface, c.property), c.value) << c.property;
    EXPECT_TRUE(Call(Root, "Raise"));
    EXPECT_TRUE(FKorvo->WaitForLog("activated")) << FKorvo->Log().data();
}

TEST_F(MprisTest, ASecondPlayerTakesAnInstanceName) {
    ASSERT_NO_FATAL_FAILURE(Start(""));
    TKorvo second("[Settings]\n", [](QProcessEnvironment&) {});
    const QString expected =
        QStringLiteral("org.mpris.MediaPlayer2.korvo.instance%1").arg(second.Process().processId());
    EXPECT_TRUE(Eventually([&] { return NameOf(second) == expected; })) << second.Log().data();
}

TEST_F(MprisTest, PlaysPausesSkipsAndSeeksAsTheButtonsDo) {
    ASSERT_NO_FATAL_FAILURE(Start("RandomOrder=0\n"));
    ASSERT_TRUE(Call(Player, "Play"));
    ASSERT_TRUE(BecomesStatus("Playing"));
    QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value("mpris:trackid").value<QDBusObjectPath>().path(), TrackPath(1));
    EXPECT_EQ(metadata.value("xesam:trackNumber"), 1);
    EXPECT_EQ(metadata.value("xesam:album"), QStringLiteral("Korvo Demo Disc"));
    EXPECT_FALSE(metadata.value("xesam:title").toString().isEmpty());
    EXPECT_GT(metadata.value("mpris:length").toLongLong(), 10'000'000);

    // A pause silences the player, and playing on starts where it paused.
    ASSERT_TRUE(Eventually([&] { return Streams() > 0; })) << "the player is not heard";
    ASSERT_TRUE(Call(Player, "Pause"));
    ASSERT_TRUE(BecomesStatus("Paused"));
    EXPECT_TRUE(Eventually([&] { return Streams() == 0; })) << "still heard while paused";
    const qlonglong pausedAt = Position();
    ASSERT_TRUE(Call(Player, "PlayPause"));
    ASSERT_TRUE(BecomesStatus("Playing"));
    EXPECT_GE(Position(), pausedAt);
    EXPECT_TRUE(Eventually([&] { return Streams() > 0 && Position() > pausedAt; }));

    // A track change is announced with the new song's metadata.
    ASSERT_TRUE(Call(Player, "Next"));
    ASSERT_TRUE(Eventually([&] {
        for (const QVariant& announced : FRecorder.Announced("Metadata"))
            if (Plain(announced.toMap().value("mpris:trackid")).value<QDBusObjectPath>().path() ==
                TrackPath(2))
                return true;
        return false;
    }));
    EXPECT_EQ(Metadata().value("xesam:trackNumber"), 2);

    // Seeking within the song, announced with Seeked; a position for another song is ignored.
    const QDBusObjectPath second(TrackPath(2));
    ASSERT_TRUE(Call(Player, "SetPosition", {QVariant::fromValue(second), qlonglong(10'000'000)}));
    ASSERT_TRUE(Eventually([&] { return !FRecorder.seeks.isEmpty(); }));
    EXPECT_NEAR(FRecorder.seeks.first(), 10'000'000, 100'000);
    EXPECT_GE(Position(), 9'900'000);
    // Requests are carried out in order, so the seek that follows it shows the ignored one
    // has been seen to.
    const QDBusObjectPath first(TrackPath(1));
    ASSERT_TRUE(Call(Player, "SetPosition", {QVariant::fromValue(first), qlonglong(0)}));
    ASSERT_TRUE(Call(Player, "SetPosition", {QVariant::fromValue(second), qlonglong(12'000'000)}));
    ASSERT_TRUE(Eventually([&] { return FRecorder.seeks.size() >= 2; }));
    EXPECT_EQ(FRecorder.seeks.size(), 2);
    EXPECT_NEAR(FRecorder.seeks.last(), 12'000'000, 100'000);

    // A relative seek; one past the end goes on to the next song.
    ASSERT_TRUE(Call(Player, "Seek", {qlonglong(3'000'000)}));
    ASSERT_TRUE(Eventually([&] { return FRecorder.seeks.size() == 3; }));
    EXPECT_NEAR(FRecorder.seeks.last(), 15'000'000, 1'000'000);
    ASSERT_TRUE(Call(Player, "Seek", {qlonglong(3'600'000'000)}));
    ASSERT_TRUE(Eventually([&] { return Metadata().value("xesam:trackNumber") == 3; }));

    ASSERT_TRUE(Call(Player, "Previous"));
    ASSERT_TRUE(Eventually([&] { return Metadata().value("xesam:trackNumber") == 2; }));
    ASSERT_TRUE(Call(Player, "Stop"));
    ASSERT_TRUE(BecomesStatus("Stopped"));
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Get(Player, "CanPause"), false);
    // Every status went out as it changed.
    const auto statuses = [&] {
        return QVariant(FRecorder.Announced("PlaybackStatus")).toStringList().join(' ');
    };
    EXPECT_TRUE(Eventually([&] { return statuses() == "Playing Paused Playing Stopped"; }))
        << statuses().toStdString();
}

// A seek by any offset stays on the disc: past the end of the song is the next song, before its
// start is its start.
TEST_F(MprisTest, ASeekOfAnySizeStaysOnTheDisc) {
    ASSERT_NO_FATAL_FAILURE(Start("RandomOrder=0\n"));
    ASSERT_TRUE(Call(Player, "Play"));
    ASSERT_TRUE(BecomesStatus("Playing"));
    constexpr qlonglong Max = std::numeric_limits<qlonglong>::max();
    constexpr qlonglong Min = std::numeric_limits<qlonglong>::min();
    const struct {
        qlonglong offset;
        bool nextSong;
    } cases[] = {
        {Max, true},  {Max - 4'000'000, true}, {3'600'000'000, true},
        {Min, false}, {-3'600'000'000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        // Five seconds into the song playing now.
        const int track = TrackNumber();
        const qsizetype seeks = FRecorder.seeks.size();
        ASSERT_TRUE(
            Call(Player, "SetPosition",
                 {QVariant::fromValue(QDBusObjectPath(TrackPath(track))), qlonglong(5'000'000)}));
        ASSERT_TRUE(Eventually([&] { return FRecorder.seeks.size() == seeks + 1; }));
        ASSERT_TRUE(Call(Player, "Seek", {c.offset}));
        if (c.nextSong) {
            EXPECT_TRUE(Eventually([&] { return TrackNumber() == track + 1; }))
                << "still on " << TrackNumber();
        } else {
            ASSERT_TRUE(Eventually([&] { return FRecorder.seeks.size() == seeks + 2; }));
            EXPECT_LT(FRecorder.seeks.last(), 1'000'000);
            EXPECT_EQ(TrackNumber(), track);
        }
    }
}

// A media key held down sends PlayPause after PlayPause without waiting for the answers.
TEST_F(MprisTest, BurstsOfPlayPauseLeaveThePlayerWorking) {
    ASSERT_NO_FATAL_FAILURE(Start("RandomOrder=0\n"));
    // Odd and even bursts: the last press may start or pause the song.
    const int bursts[] = {99, 100, 9, 10};
    bool playing = false;
    bool stopped = true;
    for (const int presses : bursts) {
        SCOPED_TRACE(presses);
        QList<QDBusPendingCall> calls;
        {
            // Sent while the player is busy (held still here), the presses all wait for it at
            // once, as those of a held key do behind a command that takes a while.
            struct TResume {
                pid_t pid;
                ~TResume() { ::kill(pid, SIGCONT); }
            } const held{pid_t(FKorvo->Process().processId())};
            ASSERT_EQ(::kill(held.pid, SIGSTOP), 0);
            for (int i = 0; i < presses; ++i)
                calls << FBus.asyncCall(
                    QDBusMessage::createMethodCall(FName, Path, Player, "PlayPause"));
            // The bus passes on one sender's messages in order: once it has answered this,
            // every press is waiting in the player's queue.
            ASSERT_TRUE(FBus.interface()->isServiceRegistered(FName).value());
        }
        for (QDBusPendingCall& call : calls) {
            call.waitForFinished();
            ASSERT_FALSE(call.isError()) << call.error().message().toStdString() << "\n"
                                         << FKorvo->Log().data();
        }
        // A player that went away is noticed only once its end has been read.
        const bool answered = Barrier() && !FKorvo->Process().waitForFinished(100);
        ASSERT_TRUE(answered) << "exit status " << FKorvo->Process().exitStatus() << " code "
                              << FKorvo->Process().exitCode() << "\n"
                              << FKorvo->Log().data();
        // From stopped the first press plays; every other one pauses or plays on.
        playing = (presses - (stopped ? 1 : 0)) % 2 == 0 ? stopped || playing : !playing;
        stopped = false;
        const qlonglong at = Position();
        EXPECT_EQ(Get(Player, "PlaybackStatus").toString(), playing ? "Playing" : "Paused");
        if (playing) {
            EXPECT_TRUE(Eventually([&] { return Streams() == 1 && Position() > at + 500'000; }))
                << Streams() << " streams at " << Position();
        } else {
            EXPECT_TRUE(Eventually([&] { return Streams() == 0; })) << "heard while paused";
        }
    }
    ASSERT_TRUE(Call(Root, "Quit"));
    ASSERT_TRUE(FKorvo->Process().waitForFinished(WaitMs));
    EXPECT_EQ(FKorvo->Process().exitStatus(), QProcess::NormalExit) << FKorvo->Log().data();
    EXPECT_EQ(FKorvo->Process().exitCode(), 0);
}

TEST_F(MprisTest, OptionsAndVolumeFollowTheirControls) {
    ASSERT_NO_FATAL_FAILURE(Start("RandomOrder=0\nContinuousLoop=0\n"));
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    struct TSetCase {
        const char* property;
        QVariant value;
        QVariant expected; // the value itself when not given
    };
    const TSetCase volumes[] = {
        {"Volume", 0.25, {}},
        {"Volume", Infinity, 1.0},
        {"Volume", -Infinity, 0.0},
        {"Volume", 0.5, {}},
    };
    const TSetCase options[] = {
        {"LoopStatus", QStringLiteral("Track"), {}},
        {"LoopStatus", QStringLiteral("None"), {}},
        {"LoopStatus", QStringLiteral("Playlist"), {}},
        {"Shuffle", true, {}},
        {"Shuffle", false, {}},
        {"Shuffle", true, {}},
    };
    const auto follows = [&](const TSetCase& c) {
        const QVariant expected = c.expected.isValid() ? c.expected : c.value;
        ASSERT_TRUE(Set(c.property, c.value)) << c.property;
        EXPECT_TRUE(Eventually([&] {
            const QVariantList announced = FRecorder.Announced(c.property);
            return Get(Player, c.property) == expected && !announced.isEmpty() &&
                   announced.last() == expected;
        })) << c.property
            << " " << c.value.toString().toStdString();
    };
    for (const auto& c : volumes)
        follows(c);
    // A volume that is no number leaves the control where it was.
    const qsizetype announcedVolumes = FRecorder.Announced("Volume").size();
    ASSERT_TRUE(Set("Volume", std::nan("")));
    ASSERT_TRUE(Barrier());
    EXPECT_EQ(Get(Player, "Volume").toDouble(), 0.5);
    EXPECT_EQ(FRecorder.Announced("Volume").size(), announcedVolumes);
    for (const auto& c : options)
        follows(c);
    // The check marks themselves moved: the player saves them on Quit.
    ASSERT_TRUE(Call(Root, "Quit"));
    ASSERT_TRUE(FKorvo->Process().waitForFinished(WaitMs));
    EXPECT_EQ(FKorvo->Process().exitCode(), 0);
    const QByteArray settings = FKorvo->Settings();
    EXPECT_TRUE(settings.contains("\nRandomOrder=1\n")) << settings.data();
    EXPECT_TRUE(settings.contains("\nContinuousLoop=1\n")) << settings.data();
}

// Without a session bus the player starts and plays as ever and only logs it.
class MprisWithoutBusTest : public ::testing::TestWithParam<const char*> {};

TEST_P(MprisWithoutBusTest, StartsAsEver) {
    const QString address = QString::fromLatin1(GetParam());
    TKorvo korvo("[Settings]\n", [&](QProcessEnvironment& env) {
        if (address.isEmpty())
            env.remove("DBUS_SESSION_BUS_ADDRESS");
        else
            env.insert("DBUS_SESSION_BUS_ADDRESS", address);
    });
    EXPECT_TRUE(korvo.WaitForLog("no session bus")) << korvo.Log().data();
    ASSERT_TRUE(korvo.WaitForLog("listening for later starts")) << korvo.Log().data();
    // It serves its event loop: a later start reaches it.
    EXPECT_EQ(korvo.StartAgain(), 0);
    EXPECT_TRUE(korvo.WaitForLog("activated by a later start")) << korvo.Log().data();
    ASSERT_EQ(korvo.Process().state(), QProcess::Running) << korvo.Log().data();
    ASSERT_EQ(::kill(pid_t(korvo.Process().processId()), SIGTERM), 0);
    ASSERT_TRUE(korvo.Process().waitForFinished(WaitMs));
    EXPECT_EQ(korvo.Process().exitStatus(), QProcess::NormalExit) << korvo.Log().data();
    EXPECT_EQ(korvo.Process().exitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(Addresses, MprisWithoutBusTest,
                         ::testing::Values("", "unix:path=/nonexistent/korvo-bus"));

} // namespace

#include "mpris_test.moc"
