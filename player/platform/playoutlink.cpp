#include "platform/playoutlink.h"

#include "platform/socketname.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcPlayOut, "korvo.playout")

namespace {

const QByteArray kPlaying = "playing";
// A play-out starts a sound output and reads a disc before it answers.
constexpr int kStartTimeoutMs = 8000;
constexpr int kPollMs = 50;
constexpr int kAnswerMs = 500;

std::optional<quint32> ParseMs(const QString& text) {
    bool ok = false;
    const quint32 value = text.toUInt(&ok);
    return ok ? std::optional<quint32>(value) : std::nullopt;
}

// Runs this process's events for a while: its own playback keeps feeding the sound output.
void RunEventsFor(int ms) {
    const QDeadlineTimer until(ms);
    QTimer wake;
    wake.start(ms);
    while (!until.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
}

// A detached process is not our child: once ended it may linger as a zombie until reaped.
bool Alive(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return ::kill(pid_t(pid), 0) == 0;
    const QByteArray line = stat.readAll();
    const qsizetype name = line.lastIndexOf(')');
    return name >= 0 && line.mid(name + 2, 1) != "Z";
}

} // namespace

QString PlayOut::ServerName(const QString& dataDirectory) {
    return PerFolderName(QStringLiteral("korvo-playout"), dataDirectory);
}

QStringList PlayOut::Arguments(const TPlayOutRequest& request) {
    return {kOption, request.source, QString::number(request.fromMs),
            QString::number(request.heardAt), request.dataDirectory};
}

std::optional<TPlayOutRequest> PlayOut::ParseArguments(const QStringList& arguments,
                                                       QString* error) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why + QStringLiteral(
                               "; usage: korvo32 --play-out SOURCE FROM-MS HEARD-AT DATA-FOLDER");
        return std::nullopt;
    };
    if (arguments.size() != 5 || arguments[0] != kOption)
        return fail(QStringLiteral("expected 4 arguments after %1").arg(kOption));
    TPlayOutRequest request;
    request.source = arguments[1];
    request.dataDirectory = arguments[4];
    if (request.source.isEmpty() || request.dataDirectory.isEmpty())
        return fail(QStringLiteral("the source and the data folder must not be empty"));
    const std::optional<quint32> from = ParseMs(arguments[2]);
    if (!from)
        return fail(QStringLiteral("\"%1\" is not a position in ms").arg(arguments[2]));
    request.fromMs = *from;
    bool ok = false;
    request.heardAt = arguments[3].toLongLong(&ok);
    if (!ok || request.heardAt < 0)
        return fail(QStringLiteral("\"%1\" is not a time in ms").arg(arguments[3]));
    return request;
}

QByteArray PlayOut::FormatState(const TPlayOutState& state) {
    return kPlaying + ' ' + QByteArray::number(state.positionMs) + ' ' +
           QByteArray::number(state.pid) + ' ' + state.source.toUtf8() + '\n';
}

std::optional<TPlayOutState> PlayOut::ParseState(const QByteArray& line) {
    QString text = QString::fromUtf8(line);
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    // The source is the rest of the line: paths may hold spaces.
    const QStringList fields = text.split(QLatin1Char(' '));
    if (fields.size() < 4 || fields[0] != QLatin1String(kPlaying))
        return std::nullopt;
    const std::optional<quint32> position = ParseMs(fields[1]);
    bool ok = false;
    const qint64 pid = fields[2].toLongLong(&ok);
    const QString source = fields.mid(3).join(QLatin1Char(' '));
    if (!position || !ok || pid <= 0 || source.isEmpty())
        return std::nullopt;
    return TPlayOutState{*position, pid, source};
}

std::optional<TPlayOutState> PlayOut::Ask(const QString& dataDirectory, const QByteArray& request,
                                          int timeoutMs) {
    if (dataDirectory.isEmpty())
        return std::nullopt;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(ServerName(dataDirectory));
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return std::nullopt;
    socket.write(request + '\n');
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return std::nullopt;
    }
    return ParseState(socket.readLine());
}

bool PlayOut::Start(const TPlayOutRequest& request) {
    qint64 pid = 0;
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), Arguments(request),
                                 QString(), &pid))
        return false;
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!deadline.hasExpired() && Alive(pid)) {
        const std::optional<TPlayOutState> state = Ask(request.dataDirectory, kWhere, kAnswerMs);
        if (state && state->pid == pid)
            return true;
        RunEventsFor(kPollMs);
    }
    if (Alive(pid))
        ::kill(pid_t(pid), SIGTERM);
    return false;
}
