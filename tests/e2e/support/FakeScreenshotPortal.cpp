#include "FakeScreenshotPortal.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QTimer>
#include <QUrl>

namespace {

// The request object's path that the caller subscribed to before asking.
QString requestPath(const QDBusMessage& call) {
    const QString sender = call.service().mid(1).replace('.', '_');
    const QString token =
        qdbus_cast<QVariantMap>(call.arguments().at(1)).value("handle_token").toString();
    return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

} // namespace

FakeScreenshotPortal::FakeScreenshotPortal(std::optional<uint> response, QString file)
    : service_("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
               [response, file](const QDBusMessage& call) {
                   const QString request = requestPath(call);
                   if (response)
                       QTimer::singleShot(100, [request, response, file] {
                           QDBusMessage signal = QDBusMessage::createSignal(
                               request, "org.freedesktop.portal.Request", "Response");
                           signal << *response
                                  << QVariantMap{{"uri", QUrl::fromLocalFile(file).toString()}};
                           QDBusConnection::sessionBus().send(signal);
                       });
                   return QVariantList{QVariant::fromValue(QDBusObjectPath(request))};
               }) {}

QVariantMap FakeScreenshotPortal::firstOptions() const {
    if (service_.calls.isEmpty())
        return {};
    return qdbus_cast<QVariantMap>(service_.calls.first().at(1));
}
