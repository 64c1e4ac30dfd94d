#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

// One Glimber per user: the first start holds a lock file and a local socket in
// the user's runtime folder; a later start hands its request over that socket
// and ends. The lock, not the socket, decides who is first, so two starts at the
// same moment cannot both win, and a lock left by a crashed instance is taken over.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // `runtimeFolder` defaults to $XDG_RUNTIME_DIR (or Qt's fallback for it).
    explicit SingleInstance(QString runtimeFolder = {}, QObject* parent = nullptr);

    // True when this process is the instance; it stays so for its whole life.
    bool claim();

    // From a later start: hands `request` to the instance and waits until it
    // has been received. False when no instance answered within a few seconds.
    bool send(const QStringList& request) const;

    // How long send() keeps trying; 5 seconds unless a test says otherwise.
    void setSendPatience(int milliseconds) { sendPatienceMs_ = milliseconds; }

    // From the instance: starts taking requests; each arrives as requestReceived.
    bool listen();

Q_SIGNALS:
    void requestReceived(const QStringList& request);

private:
    void readRequest(class QLocalSocket* socket);

    QString socketPath_;
    int sendPatienceMs_ = 5000;
    QLockFile lock_;
    QLocalServer server_;
};
