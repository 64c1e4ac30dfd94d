#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int connectRetryMs = 50;
const QByteArray acknowledgement = "ok\n";

QString folderOr(const QString& folder) {
    return folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                            : folder;
}

} // namespace

SingleInstance::SingleInstance(QString runtimeFolder, QObject* parent)
    : QObject(parent)
    , socketPath_(QDir(folderOr(runtimeFolder)).filePath(QStringLiteral("glimber.socket")))
    , lock_(QDir(folderOr(runtimeFolder)).filePath(QStringLiteral("glimber.lock"))) {
    // Only a dead owner makes the lock stale; the instance holds it for days.
    lock_.setStaleLockTime(0);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { readRequest(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool SingleInstance::claim() {
    return lock_.isLocked() || lock_.tryLock(0);
}

bool SingleInstance::listen() {
    // A socket file left by a crashed instance would make listen() fail; the
    // lock proves nobody else is using it.
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    return server_.listen(socketPath_);
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    if (!socket->canReadLine())
        return;
    const QJsonDocument document = QJsonDocument::fromJson(socket->readLine());
    QStringList request;
    for (const QJsonValue& part : document.array())
        request.append(part.toString());
    socket->write(acknowledgement);
    socket->flush();
    Q_EMIT requestReceived(request);
}

bool SingleInstance::send(const QStringList& request) const {
    // The instance may still be launching, with its lock taken and its socket
    // not yet open: keep trying for a while.
    const QDeadlineTimer deadline(sendPatienceMs_);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(connectRetryMs);
    }
    const QByteArray line =
        QJsonDocument(QJsonArray::fromStringList(request)).toJson(QJsonDocument::Compact) + '\n';
    socket.write(line);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine() == acknowledgement;
}
