#include "platform/playout.h"

#include "platform/cdaudiofactory.h"
#include "platform/playoutlink.h"
#include "platform/shutdownnotifier.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocalServer>
#include <QLocalSocket>

#include <cstdio>

namespace {

// An earlier play-out of the same folder is told to end before this one makes a sound.
constexpr int kEarlierAnswerMs = 1000;
constexpr int kFlushMs = 1000;

int Fail(const QString& message) {
    std::fprintf(stderr, "korvo32 --play-out: %s\n", qPrintable(message));
    return 1;
}

QString PlayFailure(const QString& source, TCDError error) {
    return QStringLiteral("cannot play %1: %2")
        .arg(source, TCDAudioService::ErrorText(static_cast<quint32>(error)));
}

int PlayOutMain(const TPlayOutRequest& request) {
    PlayOut::Ask(request.dataDirectory, PlayOut::kEnd, kEarlierAnswerMs);
    std::unique_ptr<TCDAudioService> drive = ServiceFor(request.source);
    TCDError error = drive->Open();
    if (error == TCDError::None && drive->Ready().value == 0)
        error = TCDError::NotReady;
    if (error != TCDError::None)
        return Fail(PlayFailure(request.source, error));
    // Start as much further on as the start took, so the music goes on where the player left it.
    const qint64 late = qMax<qint64>(0, QDateTime::currentMSecsSinceEpoch() - request.heardAt);
    const quint32 length = drive->DiscLength().value;
    const quint32 from = quint32(qMin<qint64>(qint64(request.fromMs) + late, length));
    error = drive->Play(from, std::nullopt, true);
    if (error != TCDError::None)
        return Fail(PlayFailure(request.source, error));

    int status = 0;
    QObject::connect(
        drive.get(), &TCDAudioService::completed, drive.get(),
        [&status, &request](TCDCompletion kind) {
            // Aborted is this process's own stop when the next player takes over.
            if (kind == TCDCompletion::Aborted)
                return;
            if (kind != TCDCompletion::Successful)
                status =
                    Fail(QStringLiteral("%1 could not be played to its end").arg(request.source));
            QCoreApplication::quit();
        });
    TShutdownNotifier shutdown;
    QObject::connect(&shutdown, &TShutdownNotifier::shutdownRequested, drive.get(),
                     [] { QCoreApplication::quit(); });

    const auto state = [&] {
        return TPlayOutState{drive->Position().value, QCoreApplication::applicationPid(),
                             request.source};
    };
    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = PlayOut::ServerName(request.dataDirectory);
    QLocalServer::removeServer(name); // left behind by a play-out that was killed
    if (!server.listen(name))
        return Fail(QStringLiteral("cannot listen as %1: %2").arg(name, server.errorString()));
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&] {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [&, socket] {
                if (!socket->canReadLine())
                    return;
                const QByteArray line = socket->readLine().trimmed();
                if (line == PlayOut::kEnd) {
                    // The next player takes over from exactly here: stop first, then answer.
                    drive->Stop();
                    socket->write(PlayOut::FormatState(state()));
                    socket->waitForBytesWritten(kFlushMs);
                    QCoreApplication::quit();
                } else if (line == PlayOut::kWhere) {
                    socket->write(PlayOut::FormatState(state()));
                }
                socket->disconnectFromServer();
            });
        }
    });
    QCoreApplication::exec();
    return status;
}

} // namespace

std::optional<int> RunPlayOutIfAsked(int& argc, char** argv) {
    if (argc < 2 || QString::fromLocal8Bit(argv[1]) != PlayOut::kOption)
        return std::nullopt;
    QCoreApplication application(argc, argv);
    QString error;
    const std::optional<TPlayOutRequest> request =
        PlayOut::ParseArguments(QCoreApplication::arguments().mid(1), &error);
    if (!request)
        return Fail(error);
    return PlayOutMain(*request);
}
