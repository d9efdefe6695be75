#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QLocalServer;

// What a second start sends the running instance: its activation token and
// the absolute paths of the message files named on its command line. On the
// wire the token is the first line and each path a line of its own, holding
// the percent-encoded bytes of its local file name, so that no byte a file
// name may hold (a line break, one that is not UTF-8) breaks the framing.
// The token line alone, as earlier versions send it, is a request without
// files.
struct TActivationRequest
{
    quint64 Token = 0;
    QStringList Files;

    bool operator==(const TActivationRequest&) const = default;
};

[[nodiscard]] QByteArray EncodeActivationRequest(const TActivationRequest& request);
// Nothing when the first line holds no token.
[[nodiscard]] std::optional<TActivationRequest> DecodeActivationRequest(const QByteArray& bytes);

// The single-instance guard and the activation channel between two starts.
// The first instance holds a per-user lock file named after the mutex and
// listens on a local socket beside it; a second start finds the lock taken
// and sends its activation token over the socket. Both derive the same
// token from the user and the mutex name, so a request from anything else
// carries a foreign token and is ignored by the receiver.
class TSingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit TSingleInstance(QString mutexName, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True when this process is the first instance; it then also starts
    // listening for activation requests.
    bool IsFirstInstance();
    // From a second instance: sends this process's token and the files to
    // the first one, each file made absolute against the working directory
    // of this process. True when the request was delivered.
    bool RequestActivation(const QStringList& files = {}, int timeoutMs = 3000);

    [[nodiscard]] quint64 Token() const { return FToken; }
    [[nodiscard]] QString ServerName() const;

    // Called on the first instance from its event loop for every request
    // received whole.
    std::function<void(const TActivationRequest& request)> OnActivationRequest;

private:
    void ReadRequests();
    void Deliver(const QByteArray& bytes);

    QString FMutexName;
    quint64 FToken;
    std::unique_ptr<QLockFile> FLock;
    QLocalServer* FServer = nullptr;
};
