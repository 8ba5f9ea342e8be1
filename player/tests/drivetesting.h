#pragma once
// Helpers for tests of the drive backends: waiting on the event loop for a condition, and a log
// of the completions a service delivers.

#include "core/cdaudioservice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QThread>

#include <functional>

// Runs the event loop until the condition holds or the time is up; returns the condition.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

// Lets the event loop run for a while (to see that nothing more arrives).
inline void Idle(int ms) {
    WaitFor([] { return false; }, ms);
}

class TCompletionLog {
public:
    explicit TCompletionLog(TCDAudioService& service) {
        QObject::connect(&service, &TCDAudioService::completed, &FContext,
                         [this](TCDCompletion kind) { kinds.append(kind); });
    }
    int Count(TCDCompletion kind) const { return kinds.count(kind); }
    int Others() const { return kinds.size() - Count(TCDCompletion::Successful); }

    QList<TCDCompletion> kinds;

private:
    QObject FContext;
};
