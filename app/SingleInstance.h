#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

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
    // From a second instance: sends this process's token to the first one.
    // True when the request was delivered.
    bool RequestActivation(int timeoutMs = 3000);

    [[nodiscard]] quint64 Token() const { return FToken; }
    [[nodiscard]] QString ServerName() const;

    // Called on the first instance for every request, with the token it carried.
    std::function<void(quint64 token)> OnActivationRequest;

private:
    void ReadRequest();

    QString FMutexName;
    quint64 FToken;
    std::unique_ptr<QLockFile> FLock;
    QLocalServer* FServer = nullptr;
};
