#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {

QString RuntimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    return folder;
}

quint64 TokenFor(const QString& mutexName)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::number(static_cast<qulonglong>(getuid())));
    hash.addData(mutexName.toUtf8());
    const QByteArray digest = hash.result();
    quint64 token = 0;
    for (int i = 0; i < 8; ++i)
        token = (token << 8) | static_cast<quint8>(digest[i]);
    return token;
}

} // namespace

TSingleInstance::TSingleInstance(QString mutexName, QObject* parent)
    : QObject(parent)
    , FMutexName(std::move(mutexName))
    , FToken(TokenFor(FMutexName))
{
}

TSingleInstance::~TSingleInstance() = default;

QString TSingleInstance::ServerName() const
{
    return RuntimeFolder() + QLatin1Char('/') + FMutexName + QStringLiteral(".socket");
}

bool TSingleInstance::IsFirstInstance()
{
    FLock = std::make_unique<QLockFile>(RuntimeFolder() + QLatin1Char('/') + FMutexName + QStringLiteral(".lock"));
    FLock->setStaleLockTime(0);
    if (!FLock->tryLock(0)) {
        FLock.reset();
        return false;
    }
    // Holding the lock, any socket left behind by a crashed run is ours to remove.
    QLocalServer::removeServer(ServerName());
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(FServer, &QLocalServer::newConnection, this, &TSingleInstance::ReadRequest);
    FServer->listen(ServerName());
    return true;
}

bool TSingleInstance::RequestActivation(int timeoutMs)
{
    // The first instance may still be starting: retry until it listens.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(ServerName());
        if (socket.waitForConnected(500)) {
            socket.write(QByteArray::number(FToken) + '\n');
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50);
    }
    return false;
}

void TSingleInstance::ReadRequest()
{
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            bool ok = false;
            const quint64 token = socket->readLine(32).trimmed().toULongLong(&ok);
            socket->disconnectFromServer();
            if (ok && OnActivationRequest)
                OnActivationRequest(token);
        });
    }
}
