#include "platform/shutdownnotifier.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = {-1, -1};
constexpr int HandledSignals[] = {SIGTERM, SIGINT};

void OnSignal(int signal) {
    const char byte = char(signal);
    // Nothing else is safe inside a handler; a full pipe only loses a repeated request.
    [[maybe_unused]] ssize_t written = ::write(pipeEnds[1], &byte, 1);
}

} // namespace

TShutdownNotifier::TShutdownNotifier(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0)
        return;
    FNotifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &TShutdownNotifier::Drain);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : HandledSignals)
        ::sigaction(signal, &action, nullptr);
}

TShutdownNotifier::~TShutdownNotifier() {
    for (int signal : HandledSignals)
        ::signal(signal, SIG_DFL);
    for (int& end : pipeEnds) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void TShutdownNotifier::Drain() {
    char byte = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1)
        emit shutdownRequested(int(static_cast<unsigned char>(byte)));
}
