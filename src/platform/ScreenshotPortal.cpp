#include "ScreenshotPortal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QRandomGenerator>
#include <QUrl>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

// The request object's path is known before the call: subscribing to it first
// means a fast portal cannot answer before anyone listens.
QString expectedRequestPath(const QString& token) {
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

} // namespace

void ScreenshotPortal::request() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return finish(std::nullopt);
    const QString token = QStringLiteral("glimber%1")
                              .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    if (!listenForResponse(expectedRequestPath(token)))
        return finish(std::nullopt);
    QDBusMessage call = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    const QVariantMap options{{QStringLiteral("handle_token"), token},
                              {QStringLiteral("interactive"), true},
                              {QStringLiteral("modal"), true}};
    call << QString() << options;
    // The user may take minutes in the portal's dialog; only the call itself is
    // bounded, the answer comes as a signal.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 30'000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError())
            return finish(std::nullopt);
        // Portals older than the handle_token convention choose their own path.
        const QString actual = reply.value().path();
        if (actual != requestPath_ && !listenForResponse(actual))
            finish(std::nullopt);
    });
}

bool ScreenshotPortal::listenForResponse(const QString& requestPath) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!requestPath_.isEmpty())
        bus.disconnect(portalService, requestPath_, requestInterface, QStringLiteral("Response"),
                       this, SLOT(onResponse(uint, QVariantMap)));
    requestPath_ = requestPath;
    return bus.connect(portalService, requestPath_, requestInterface, QStringLiteral("Response"),
                       this, SLOT(onResponse(uint, QVariantMap)));
}

void ScreenshotPortal::onResponse(uint response, const QVariantMap& results) {
    // 0 is success; 1 the user cancelled; 2 anything else.
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    if (response != 0 || !uri.isLocalFile())
        return finish(std::nullopt);
    finish(uri.toLocalFile());
}

void ScreenshotPortal::finish(const std::optional<QString>& file) {
    if (finished_)
        return;
    finished_ = true;
    Q_EMIT finished(file);
}
