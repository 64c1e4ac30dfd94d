#pragma once

#include <QDBusMessage>
#include <QString>
#include <QVariantMap>

// How a fake portal answers a request: the Request object's path for the
// call's handle_token, and its Response signal a moment after the reply.
namespace FakePortalRequest {

QString pathOf(const QDBusMessage& call);
void respond(const QString& request, uint response, const QVariantMap& results);

} // namespace FakePortalRequest
