#include "NotificationCenter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QUrl>
#include <QVariantMap>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

// A service that is not running may be started by the bus first; longer than
// this and it is taken as absent.
constexpr int callTimeoutMs = 5000;

} // namespace

NotificationCenter::NotificationCenter(QObject* parent)
    : QObject(parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                SLOT(takeAction(uint, QString)));
    auto* asked = new QDBusPendingCallWatcher(
        bus.asyncCall(QDBusMessage::createMethodCall(service, path, interface,
                                                     QStringLiteral("GetCapabilities")),
                      callTimeoutMs),
        this);
    connect(asked, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QStringList> reply = *call;
        hasButtons_ = !reply.isError() && reply.value().contains(QStringLiteral("actions"));
    });
}

void NotificationCenter::show(const Message& message, uint replaces,
                              std::function<void(uint id)> shown) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        shown(0);
        return;
    }
    QStringList actions;
    for (const Action& action : message.actions)
        actions << action.key << action.label;
    QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("glimber")}};
    if (!message.imagePath.isEmpty())
        hints.insert(QStringLiteral("image-path"),
                     QUrl::fromLocalFile(message.imagePath).toString(QUrl::FullyEncoded));
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    // Servers may read the body as markup: a file name holding "<" or "&" must
    // come through as it is.
    call << QStringLiteral("Glimber") << replaces << QStringLiteral("glimber") << message.title
         << message.body.toHtmlEscaped() << actions << hints << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [shown = std::move(shown)](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<uint> reply = *call;
                shown(reply.isError() ? 0 : reply.value());
            });
}

void NotificationCenter::takeAction(uint id, const QString& key) {
    Q_EMIT actionInvoked(id, key);
}
