#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
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

QByteArray EncodeActivationRequest(const TActivationRequest& request)
{
    QByteArray bytes = QByteArray::number(request.Token) + '\n';
    for (const QString& file : request.Files)
        bytes += QFile::encodeName(file).toPercentEncoding() + '\n';
    return bytes;
}

std::optional<TActivationRequest> DecodeActivationRequest(const QByteArray& bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    TActivationRequest request;
    bool ok = false;
    request.Token = lines.front().trimmed().toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    // Every path is at least one byte, so an empty line is only the end.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines[i].isEmpty())
            request.Files << QFile::decodeName(QByteArray::fromPercentEncoding(lines[i]));
    }
    return request;
}

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
    connect(FServer, &QLocalServer::newConnection, this, &TSingleInstance::ReadRequests);
    FServer->listen(ServerName());
    return true;
}

bool TSingleInstance::RequestActivation(const QStringList& files, int timeoutMs)
{
    TActivationRequest request{FToken, {}};
    for (const QString& file : files)
        request.Files << QFileInfo(file).absoluteFilePath();
    const QByteArray bytes = EncodeActivationRequest(request);
    // The first instance may still be starting: retry until it listens.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(ServerName());
        if (socket.waitForConnected(500)) {
            const bool sent = socket.write(bytes) == bytes.size() && socket.waitForBytesWritten(1000);
            // Closing our end tells the first instance the request is whole.
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(1000);
            return sent;
        }
        QThread::msleep(50);
    }
    return false;
}

void TSingleInstance::ReadRequests()
{
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket, [socket, received] { *received += socket->readAll(); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, received] {
            *received += socket->readAll();
            socket->deleteLater();
            Deliver(*received);
        });
    }
}

void TSingleInstance::Deliver(const QByteArray& bytes)
{
    std::optional<TActivationRequest> request = DecodeActivationRequest(bytes);
    if (!request || !OnActivationRequest)
        return;
    // Acting on a request may open windows and a modal box: not inside the
    // socket's own signal, but from the event loop.
    QMetaObject::invokeMethod(
        this, [this, request = std::move(*request)] { OnActivationRequest(request); }, Qt::QueuedConnection);
}
