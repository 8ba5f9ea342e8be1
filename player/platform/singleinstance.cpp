#include "platform/singleinstance.h"

#include "platform/socketname.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QThread>

Q_LOGGING_CATEGORY(lcInstance, "korvo.instance")

namespace {

const QByteArray Activate = "activate\n";
const QByteArray Done = "ok\n";
// How long a later start waits for the running player, which may itself be starting up.
constexpr int ConnectTimeoutMs = 5000;

} // namespace

TSingleInstance::TSingleInstance(const QString& settingsFolder, QObject* parent) : QObject(parent) {
    FName = PerFolderName(QStringLiteral("korvo"), settingsFolder);
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::Claim() {
    FLock = std::make_unique<QLockFile>(QDir::temp().filePath(FName + QStringLiteral(".lock")));
    // The lock is held for the whole run, however long; only a dead holder makes it stale.
    FLock->setStaleLockTime(0);
    if (FLock->tryLock(0)) {
        FServer = new QLocalServer(this);
        FServer->setSocketOptions(QLocalServer::UserAccessOption);
        QLocalServer::removeServer(FName); // left behind by a player that crashed
        if (FServer->listen(FName))
            qCInfo(lcInstance) << "listening for later starts as" << FName;
        else
            qCWarning(lcInstance) << "cannot listen for later starts:" << FServer->errorString();
        connect(FServer, &QLocalServer::newConnection, this, &TSingleInstance::Answer);
        return true;
    }
    if (FLock->error() != QLockFile::LockFailedError) {
        // No place for the lock (no temporary folder): run rather than refuse to start.
        qCWarning(lcInstance) << "cannot take the instance lock; running without it";
        return true;
    }
    QDeadlineTimer deadline(ConnectTimeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(FName);
        if (socket.waitForConnected(int(qMin<qint64>(500, deadline.remainingTime())))) {
            socket.write(Activate);
            socket.waitForBytesWritten(1000);
            socket.waitForReadyRead(1000);
            return false;
        }
        QThread::msleep(50);
    }
    qCWarning(lcInstance) << "another player holds" << FName << "but does not answer";
    return false;
}

void TSingleInstance::Answer() {
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == Activate) {
                socket->write(Done);
                emit activationRequested();
            }
            socket->disconnectFromServer();
        });
    }
}
