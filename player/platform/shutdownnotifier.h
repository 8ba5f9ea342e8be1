#pragma once
// SIGTERM and SIGINT are how the desktop's session and scripts end the player; it treats them as
// the system shutting down. The signal handler only writes a byte to a pipe; the notification
// arrives on the event loop like any other event.

#include <QObject>

class QSocketNotifier;

class TShutdownNotifier : public QObject {
    Q_OBJECT

public:
    // One per process: the handlers are process-wide.
    explicit TShutdownNotifier(QObject* parent = nullptr);
    ~TShutdownNotifier() override;

signals:
    void shutdownRequested(int signal);

private:
    void Drain();

    QSocketNotifier* FNotifier = nullptr;
};
