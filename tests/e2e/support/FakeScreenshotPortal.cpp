#include "FakeScreenshotPortal.h"

#include "FakePortalRequest.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QUrl>

FakeScreenshotPortal::FakeScreenshotPortal(std::optional<uint> response, QString file)
    : service_("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
               [response, file](const QDBusMessage& call) {
                   const QString request = FakePortalRequest::pathOf(call);
                   if (response)
                       FakePortalRequest::respond(request, *response,
                                                  {{"uri", QUrl::fromLocalFile(file).toString()}});
                   return QVariantList{QVariant::fromValue(QDBusObjectPath(request))};
               }) {}

QVariantMap FakeScreenshotPortal::firstOptions() const {
    if (service_.calls.isEmpty())
        return {};
    return qdbus_cast<QVariantMap>(service_.calls.first().at(1));
}
