#include "DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QTimer>
#include <QVariantMap>

namespace DesktopNotification {

namespace {

// A service that is not running may be started by the bus first; longer than
// this and the message is better shown some other way.
constexpr int callTimeoutMs = 5000;

} // namespace

void show(const QString& title, const QString& body, std::function<void()> fallback) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QTimer::singleShot(0, std::move(fallback));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // Servers may read the body as markup: a file name holding "<" or "&" must
    // come through as it is.
    call << QStringLiteral("Glimber") << uint(0) << QStringLiteral("glimber") << title
         << body.toHtmlEscaped() << QStringList()
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("glimber")}} << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, callTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                     [fallback = std::move(fallback)](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         if (finished->isError())
                             fallback();
                     });
}

} // namespace DesktopNotification
