#include "FakePortalRequest.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QTimer>

namespace FakePortalRequest {

QString pathOf(const QDBusMessage& call) {
    const QString sender = call.service().mid(1).replace('.', '_');
    const QString token =
        qdbus_cast<QVariantMap>(call.arguments().last()).value("handle_token").toString();
    return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

void respond(const QString& request, uint response, const QVariantMap& results) {
    QTimer::singleShot(50, [request, response, results] {
        QDBusMessage signal =
            QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        signal << response << results;
        QDBusConnection::sessionBus().send(signal);
    });
}

} // namespace FakePortalRequest
