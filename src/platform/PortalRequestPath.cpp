#include "PortalRequestPath.h"

#include <QDBusConnection>
#include <QRandomGenerator>

namespace PortalRequestPath {

QString newToken() {
    return QStringLiteral("glimber%1")
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

QString forToken(const QString& token) {
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QLatin1String(path) + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

} // namespace PortalRequestPath
