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
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

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
        QFile ini(m_home.filePath("Korvo.ini"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(settings);
        ini.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KORVO_HOME", m_home.path());
        env.insert("KORVO_CDROM", TDiscImage::DemoDisc());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        adjust(env);
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(KORVO32_PATH), {});
        EXPECT_TRUE(m_process.waitForStarted(WaitMs));
    }
    ~TKorvo() { StopProcess(m_process, WaitMs); }

    bool WaitForLog(const QByteArray& text) {
        return Eventually([&] { return Log().contains(text); });
    }
    QByteArray Settings() const {
        QFile ini(m_home.filePath("Korvo.ini"));
        return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
    }
    QProcess& Process() { return m_process; }
    const QByteArray& Log() {
        m_log += m_process.readAllStandardError();
        return m_log;
    }

private:
    QTemporaryDir m_home;
    QProcess m_process;
    QByteArray m_log;
};

class MprisTest : public ::testing::Test {
protected:
    // Starts the player with the options given and waits until it holds its name and has the
    // disc in its queue; other tests' players on the same bus may hold the plain name.
    void Start(const QByteArray& options) {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            << "run the tests through scripts/test, which starts the session bus";
        ASSERT_TRUE(m_bus.isConnected());
        m_korvo = std::make_unique<TKorvo>("[Settings]\nAutoPlay=0\nAuxOutDevice=1\n" + options,
                                           [](QProcessEnvironment&) {});
        ASSERT_TRUE(Eventually([&] { return !(m_name = NameOf(*m_korvo)).isEmpty(); }))
            << m_korvo->Log().data();
        for (const auto& [interface, member, slot] :
             {std::tuple{Properties, "PropertiesChanged",
                         SLOT(OnChanged(QString, QVariantMap, QStringList))},
              std::tuple{Player, "Seeked", SLOT(OnSeeked(qlonglong))}})
            ASSERT_TRUE(m_bus.connect(m_name, Path, interface, QString::fromLatin1(member),
                                      &m_recorder, slot));
        ASSERT_TRUE(Eventually([&] { return Get(Player, "CanPlay").toBool(); }));
    }

    // The MPRIS name a player owns, empty while it owns none.
    QString NameOf(TKorvo& korvo) {
        const uint pid = uint(korvo.Process().processId());
        const QString name = QStringLiteral("org.mpris.MediaPlayer2.korvo");
        for (const QString& candidate : {name, name + QStringLiteral(".instance%1").arg(pid)})
            if (m_bus.interface()->servicePid(candidate).value() == pid)
                return candidate;
        return QString();
    }

    QVariant Get(const QString& interface, const char* property) {
        const QDBusMessage reply =
            m_bus.call(QDBusMessage::createMethodCall(m_name, Path, Properties, "Get")
                       << interface << QString::fromLatin1(property));
        return Plain(reply.arguments().value(0).value<QDBusVariant>().variant());
    }
    bool Set(const char* property, const QVariant& value) {
        const QDBusMessage reply = m_bus.call(
            QDBusMessage::createMethodCall(m_name, Path, Properties, "Set")
            << Player << QString::fromLatin1(property) << QVariant::fromValue(QDBusVariant(value)));
        return reply.type() == QDBusMessage::ReplyMessage;
    }
    bool Call(const QString& interface, const char* method, const QVariantList& arguments = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(m_name, Path, interface, method);
        call.setArguments(arguments);
        return m_bus.call(call).type() == QDBusMessage::ReplyMessage;
    }
    bool BecomesStatus(const char* status) {
        return Eventually([&] { return Get(Player, "PlaybackStatus") == status; });
    }
    QVariantMap Metadata() { return Get(Player, "Metadata").toMap(); }
    qlonglong Position() { return Get(Player, "Position").toLongLong(); }

    QDBusConnection m_bus = QDBusConnection::sessionBus();
    std::unique_ptr<TKorvo> m_korvo;
    QString m_name;
    TBusRecorder m_recorder;
};

TEST_F(MprisTest, SaysWhoItIsAndRaisesItsWindow) {
    Start("");
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
    EXPECT_TRUE(m_korvo->WaitForLog("activated")) << m_korvo->Log().data();
}

TEST_F(MprisTest, ASecondPlayerTakesAnInstanceName) {
    Start("");
    TKorvo second("[Settings]\n", [](QProcessEnvironment&) {});
    const QString expected =
        QStringLiteral("org.mpris.MediaPlayer2.korvo.instance%1").arg(second.Process().processId());
    EXPECT_TRUE(Eventually([&] { return NameOf(second) == expected; })) << second.Log().data();
}

TEST_F(MprisTest, PlaysPausesSkipsAndSeeksAsTheButtonsDo) {
    Start("RandomOrder=0\n");
    ASSERT_TRUE(Call(Player, "Play"));
    ASSERT_TRUE(BecomesStatus("Playing"));
    QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value("mpris:trackid").value<QDBusObjectPath>().path(), TrackPath(1));
    EXPECT_EQ(metadata.value("xesam:trackNumber"), 1);
    EXPECT_EQ(metadata.value("xesam:album"), QStringLiteral("Korvo Demo Disc"));
    EXPECT_FALSE(metadata.value("xesam:title").toString().isEmpty());
    EXPECT_GT(metadata.value("mpris:length").toLongLong(), 10'000'000);

    ASSERT_TRUE(Call(Player, "Pause"));
    ASSERT_TRUE(BecomesStatus("Paused"));
    const qlonglong pausedAt = Position();
    QTest::qWait(300);
    EXPECT_EQ(Position(), pausedAt);
    ASSERT_TRUE(Call(Player, "PlayPause"));
    ASSERT_TRUE(BecomesStatus("Playing"));

    // A track change is announced with the new song's metadata.
    ASSERT_TRUE(Call(Player, "Next"));
    ASSERT_TRUE(Eventually([&] {
        for (const QVariant& announced : m_recorder.Announced("Metadata"))
            if (Plain(announced.toMap().value("mpris:trackid")).value<QDBusObjectPath>().path() ==
                TrackPath(2))
                return true;
        return false;
    }));
    EXPECT_EQ(Metadata().value("xesam:trackNumber"), 2);

    // Seeking within the song, announced with Seeked; a position for another song is ignored.
    const QDBusObjectPath second(TrackPath(2));
    ASSERT_TRUE(Call(Player, "SetPosition", {QVariant::fromValue(second), qlonglong(10'000'000)}));
    ASSERT_TRUE(Eventually([&] { return !m_recorder.seeks.isEmpty(); }));
    EXPECT_NEAR(m_recorder.seeks.first(), 10'000'000, 100'000);
    EXPECT_GE(Position(), 9'900'000);
    const QDBusObjectPath first(TrackPath(1));
    ASSERT_TRUE(Call(Player, "SetPosition", {QVariant::fromValue(first), qlonglong(0)}));
    QTest::qWait(300);
    EXPECT_GE(Position(), 9'900'000);
    EXPECT_EQ(m_recorder.seeks.size(), 1);

    // A relative seek; one past the end goes on to the next song.
    ASSERT_TRUE(Call(Player, "Seek", {qlonglong(3'000'000)}));
    ASSERT_TRUE(Eventually([&] { return m_recorder.seeks.size() == 2; }));
    EXPECT_NEAR(m_recorder.seeks.last(), 13'000'000, 1'000'000);
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
        return QVariant(m_recorder.Announced("PlaybackStatus")).toStringList().join(' ');
    };
    EXPECT_TRUE(Eventually([&] { return statuses() == "Playing Paused Playing Stopped"; }))
        << statuses().toStdString();
}

TEST_F(MprisTest, OptionsAndVolumeFollowTheirControls) {
    Start("RandomOrder=0\nContinuousLoop=0\n");
    const struct {
        const char* property;
        QVariant value;
    } cases[] = {
        {"LoopStatus", QStringLiteral("Track")},
        {"LoopStatus", QStringLiteral("None")},
        {"LoopStatus", QStringLiteral("Playlist")},
        {"Shuffle", true},
        {"Shuffle", false},
        {"Shuffle", true},
        {"Volume", 0.25},
        {"Volume", 1.0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Set(c.property, c.value)) << c.property;
        EXPECT_TRUE(Eventually([&] {
            const QVariantList announced = m_recorder.Announced(c.property);
            return Get(Player, c.property) == c.value && !announced.isEmpty() &&
                   announced.last() == c.value;
        })) << c.property
            << " " << c.value.toString().toStdString();
    }
    // The check marks themselves moved: the player saves them on Quit.
    ASSERT_TRUE(Call(Root, "Quit"));
    ASSERT_TRUE(m_korvo->Process().waitForFinished(WaitMs));
    EXPECT_EQ(m_korvo->Process().exitCode(), 0);
    const QByteArray settings = m_korvo->Settings();
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
    EXPECT_TRUE(korvo.WaitForLog("listening for later starts")) << korvo.Log().data();
    QTest::qWait(1000);
    ASSERT_EQ(korvo.Process().state(), QProcess::Running) << korvo.Log().data();
    ASSERT_EQ(::kill(pid_t(korvo.Process().processId()), SIGTERM), 0);
    ASSERT_TRUE(korvo.Process().waitForFinished(WaitMs));
    EXPECT_EQ(korvo.Process().exitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(Addresses, MprisWithoutBusTest,
                         ::testing::Values("", "unix:path=/nonexistent/korvo-bus"));

} // namespace

#include "mpris_test.moc"
