// The real korvo32 under a real window manager (openbox on its own Xvfb display): the window the
// settings file places is where the next start finds it, however the manager frames it, and the
// first start's window is whole on the screen.

#include "testprocesses.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

constexpr int StartMs = 15000;
// How long the manager may take to frame and place a new window after it appears.
constexpr int FramingMs = 1500;

void Stop(QProcess& process) {
    StopProcess(process, StartMs);
}

class WindowManager : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(x11.Name().isEmpty()) << "Xvfb did not start (is it installed?)";
        env = x11.Environment();
        env.insert(QStringLiteral("KORVO_HOME"), home.path());
        env.insert(QStringLiteral("KORVO_CDROM"), QStringLiteral("/nonexistent/korvo-drive"));
        manager.setProcessEnvironment(env);
        manager.start(QStringLiteral("openbox"), {});
        ASSERT_TRUE(manager.waitForStarted(StartMs)) << "openbox is not installed";
        ASSERT_TRUE(WaitForManager());
    }
    void TearDown() override { Stop(manager); }

    // openbox announces itself on the root window once it manages the display.
    bool WaitForManager() {
        for (int waited = 0; waited < StartMs; waited += 100) {
            QProcess query;
            query.setProcessEnvironment(env);
            query.start(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
            if (query.waitForFinished(StartMs) && query.exitCode() == 0 &&
                query.readAllStandardOutput().contains("window id"))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    // Starts the player and waits until it is up.
    void Start(QProcess& player) {
        player.setProcessEnvironment(env);
        player.start(QStringLiteral(KORVO32_PATH), {});
        EXPECT_TRUE(player.waitForStarted(StartMs));
        QByteArray log;
        for (int waited = 0; waited < StartMs && !log.contains("listening for later starts");
             waited += 100) {
            player.waitForReadyRead(100);
            log += player.readAllStandardError();
        }
        EXPECT_TRUE(log.contains("listening for later starts")) << log.toStdString();
    }

    // One run of the player: up, framed by the manager, then ended as a shutdown ends it, which
    // saves the settings. Returns the saved "WindowPosition".
    QString RunOnce() {
        QProcess player;
        Start(player);
        QThread::msleep(FramingMs);
        Stop(player);
        QFile file(home.filePath(QStringLiteral("Korvo.ini")));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("WindowPosition=([^\\r\\n]*)"))
                .match(QString::fromUtf8(file.readAll()));
        return match.captured(1);
    }

    QTemporaryDir home;
    TXDisplay x11{QStringLiteral("1280x1024x24"), StartMs};
    QProcess manager;
    QProcessEnvironment env;
};

TEST_F(WindowManager, RestartsLeaveTheWindowWhereItWas) {
    QFile file(home.filePath(QStringLiteral("Korvo.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nWindowPosition=200 300 702\n");
    file.close();
    const std::string first = RunOnce().toStdString();
    EXPECT_EQ(first.rfind("200 300 702 ", 0), 0u) << first;
    const std::string second = RunOnce().toStdString();
    EXPECT_EQ(second, first);
    EXPECT_EQ(RunOnce().toStdString(), second);
}

// The outer rectangle of the player's window once the manager has framed it: the window's own
// place and size (xwininfo) grown by the frame the manager announces; null if it never is.
QRect FramedWindow(const QProcessEnvironment& env, qint64 pid) {
    const auto run = [&](const QString& program, const QStringList& arguments) {
        QProcess tool;
        tool.setProcessEnvironment(env);
        tool.start(program, arguments);
        tool.waitForFinished(StartMs);
        return QString::fromUtf8(tool.readAllStandardOutput());
    };
    const auto number = [](const QString& text, const QString& label) {
        return QRegularExpression(label + QStringLiteral(":\\s*(-?\\d+)"))
            .match(text)
            .captured(1)
            .toInt();
    };
    for (int waited = 0; waited < StartMs; waited += 100) {
        const QString window = run(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--pid"), QString::number(pid)})
                                   .section(QLatin1Char('\n'), 0, 0)
                                   .trimmed();
        const QRegularExpressionMatch frame =
            window.isEmpty()
                ? QRegularExpressionMatch()
                : QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"))
                      .match(run(QStringLiteral("xprop"), {QStringLiteral("-id"), window,
                                                           QStringLiteral("_NET_FRAME_EXTENTS")}));
        if (frame.hasMatch()) {
            const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
            const QRect client(number(info, QStringLiteral("Absolute upper-left X")),
                               number(info, QStringLiteral("Absolute upper-left Y")),
                               number(info, QStringLiteral("Width")),
                               number(info, QStringLiteral("Height")));
            return client.marginsAdded(
                QMargins(frame.captured(1).toInt(), frame.captured(3).toInt(),
                         frame.captured(2).toInt(), frame.captured(4).toInt()));
        }
        QThread::msleep(100);
    }
    return QRect();
}

// Without a stored place the first window comes up whole on the screen, its title bar too,
// rather than in the corner with its title bar above the screen's edge.
TEST_F(WindowManager, FirstStartShowsTheWholeWindowOnTheScreen) {
    QProcess player;
    Start(player);
    const QRect framed = FramedWindow(env, player.processId());
    Stop(player);
    ASSERT_FALSE(framed.isNull()) << "the window was not framed";
    EXPECT_TRUE(QRect(0, 0, 1280, 1024).contains(framed))
        << framed.x() << "," << framed.y() << " " << framed.width() << "x" << framed.height();
}

// Where there is a system tray (trayer here), the tray icon carries the window menu and the
// right-click gestures of the minimised window's icon.
TEST_F(WindowManager, TrayIconTakesTheGesturesAndOffersTheWindowMenu) {
    QProcess tray;
    tray.setProcessEnvironment(env);
    // One icon in a panel at the bottom right corner of the 1280 x 1024 screen.
    tray.start(QStringLiteral("trayer"),
               {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"),
                QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                QStringLiteral("--width"), QStringLiteral("32"), QStringLiteral("--heighttype"),
                QStringLiteral("pixel"), QStringLiteral("--height"), QStringLiteral("32")});
    ASSERT_TRUE(tray.waitForStarted(StartMs)) << "trayer is not installed";
    QThread::msleep(FramingMs);
    QProcess player;
    QProcessEnvironment playerEnv = env;
    playerEnv.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("korvo.frame.debug=true"));
    player.setProcessEnvironment(playerEnv);
    player.start(QStringLiteral(KORVO32_PATH), {});
    ASSERT_TRUE(player.waitForStarted(StartMs));
    QByteArray log;
    const auto waitFor = [&](const QByteArray& text) {
        for (int waited = 0; waited < StartMs && !log.contains(text); waited += 100) {
            player.waitForReadyRead(100);
            log += player.readAllStandardError();
        }
        return log.contains(text);
    };
    ASSERT_TRUE(waitFor("listening for later starts")) << log.toStdString();
    QThread::msleep(FramingMs);
    const auto click = [&](const QStringList& keys, const QString& button) {
        QStringList args{QStringLiteral("mousemove"), QStringLiteral("1264"),
                         QStringLiteral("1008")};
        for (const QString& key : keys)
            args << QStringLiteral("keydown") << key;
        args << QStringLiteral("click") << button;
        for (const QString& key : keys)
            args << QStringLiteral("keyup") << key;
        RunXdotool(env, args, StartMs);
    };
    struct Gesture {
        QStringList keys;
        const char* button;
        const char* command;
    };
    for (const Gesture& gesture : {Gesture{{QStringLiteral("shift")}, "3", "command 7709"},
                                   Gesture{{QStringLiteral("ctrl")}, "3", "command 7888"},
                                   Gesture{{}, "2", "command 7724"}}) {
        // Apart by more than a double click's time, or the icon sees a double click.
        QThread::msleep(FramingMs);
        log.clear();
        click(gesture.keys, QString::fromLatin1(gesture.button));
        EXPECT_TRUE(waitFor(gesture.command)) << gesture.command << log.toStdString();
    }
    // A plain right click opens the window menu; its Mute item answers to its mnemonic.
    QThread::msleep(FramingMs);
    log.clear();
    click({}, QStringLiteral("3"));
    QThread::msleep(FramingMs);
    RunXdotool(env, {QStringLiteral("key"), QStringLiteral("m")}, StartMs);
    EXPECT_TRUE(waitFor("command 7888")) << log.toStdString();
    Stop(player);
    Stop(tray);
}

} // namespace
