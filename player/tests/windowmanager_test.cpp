// The real korvo32 under a real window manager (openbox on its own Xvfb display): the window the
// settings file places is where the next start finds it, however the manager frames it.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

constexpr int StartMs = 15000;
// How long the manager may take to frame and place a new window after it appears.
constexpr int FramingMs = 1500;

// Stops a process this test started, by its id only.
void Stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(StartMs)) {
        process.kill();
        process.waitForFinished(StartMs);
    }
}

class WindowManager : public ::testing::Test {
protected:
    void SetUp() override {
        // Xvfb picks a free display itself and names it on the descriptor given.
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        ASSERT_TRUE(server.waitForStarted(StartMs)) << "Xvfb is not installed";
        QByteArray number;
        while (!number.contains('\n') && server.waitForReadyRead(StartMs))
            number += server.readAllStandardOutput();
        ASSERT_TRUE(number.contains('\n')) << "Xvfb did not start";
        display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());

        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("KORVO_HOME"), home.path());
        env.insert(QStringLiteral("KORVO_CDROM"), QStringLiteral("/nonexistent/korvo-drive"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        manager.setProcessEnvironment(env);
        manager.start(QStringLiteral("openbox"), {});
        ASSERT_TRUE(manager.waitForStarted(StartMs)) << "openbox is not installed";
        ASSERT_TRUE(WaitForManager());
    }
    void TearDown() override {
        Stop(manager);
        Stop(server);
    }

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

    // One run of the player: up, framed by the manager, then ended as a shutdown ends it, which
    // saves the settings. Returns the saved "WindowPosition".
    QString RunOnce() {
        QProcess player;
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
    QProcess server;
    QProcess manager;
    QString display;
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

} // namespace
