#pragma once
// What the tests that run real programs share: ending a process they started (by its id only), a
// private X display of their own, and xdotool on it.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <gtest/gtest.h>

// Ends a process this test started: SIGTERM, then SIGKILL when it does not end in time.
inline void StopProcess(QProcess& process, int waitMs) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(waitMs)) {
        process.kill();
        process.waitForFinished(waitMs);
    }
}

// An Xvfb server on a free display, which it picks itself and names on the descriptor given.
class TXDisplay {
public:
    // Starts the server; Name() stays empty when it could not (a test asserts on it).
    TXDisplay(const QString& geometry, int waitMs) : FWaitMs(waitMs) {
        FServer.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), geometry, QStringLiteral("-nolisten"),
                       QStringLiteral("tcp")});
        if (!FServer.waitForStarted(waitMs))
            return;
        QByteArray number;
        while (!number.contains('\n') && FServer.waitForReadyRead(waitMs))
            number += FServer.readAllStandardOutput();
        if (number.contains('\n'))
            FName = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    }
    ~TXDisplay() { StopProcess(FServer, FWaitMs); }
    TXDisplay(const TXDisplay&) = delete;
    TXDisplay& operator=(const TXDisplay&) = delete;

    const QString& Name() const { return FName; }
    // The system's environment with this display for the xcb platform.
    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), FName);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return env;
    }

private:
    QProcess FServer;
    QString FName;
    int FWaitMs;
};

// Runs xdotool with `arguments` in `env` and returns what it printed.
inline QByteArray RunXdotool(const QProcessEnvironment& env, const QStringList& arguments,
                             int waitMs) {
    QProcess run;
    run.setProcessEnvironment(env);
    run.start(QStringLiteral("xdotool"), arguments);
    EXPECT_TRUE(run.waitForFinished(waitMs)) << "xdotool is not installed";
    return run.readAllStandardOutput().trimmed();
}
