#include "PortalRequest.h"

#include "PortalRequestPath.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString service = QLatin1String(PortalRequestPath::service);
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
// Only the call is bounded: its answer may wait for the person in a dialog.
constexpr int callTimeoutMs = 30'000;

} // namespace

PortalRequest* PortalRequest::send(const QString& interface, const QString& method,
                                   QVariantList arguments, QVariantMap options, QObject* parent) {
    auto* request = new PortalRequest(parent);
    request->call(interface, method, std::move(arguments), std::move(options));
    return request;
}

void PortalRequest::call(const QString& interface, const QString& method, QVariantList arguments,
                         QVariantMap options) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return fail(QStringLiteral("there is no session bus to reach the desktop portal"));
    const QString token = PortalRequestPath::newToken();
    if (!listen(PortalRequestPath::forToken(token)))
        return fail(QStringLiteral("cannot listen for the desktop portal's answer"));
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);
    QDBusMessage message = QDBusMessage::createMethodCall(
        service, QLatin1String(PortalRequestPath::path), interface, method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, method](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *finished;
                if (reply.isError())
                    return fail(QStringLiteral("the desktop portal's %1 failed: %2")
                                    .arg(method, reply.error().message()));
                // Portals older than the handle_token convention choose their own path.
                const QString actual = reply.value().path();
                if (actual != path_ && !listen(actual))
                    fail(QStringLiteral("cannot listen for the desktop portal's answer"));
            });
}

bool PortalRequest::listen(const QString& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!path_.isEmpty())
        bus.disconnect(service, path_, requestInterface, QStringLiteral("Response"), this,
                       SLOT(onResponse(uint, QVariantMap)));
    path_ = path;
    return bus.connect(service, path_, requestInterface, QStringLiteral("Response"), this,
                       SLOT(onResponse(uint, QVariantMap)));
}

void PortalRequest::onResponse(uint response, const QVariantMap& results) {
    if (done_)
        return;
    done_ = true;
    Q_EMIT answered(response, results);
    deleteLater();
}

void PortalRequest::fail(const QString& reason) {
    if (done_)
        return;
    done_ = true;
    Q_EMIT failed(reason);
    deleteLater();
}
