#include "ScreenshotPortal.h"

#include "PortalRequestPath.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QUrl>

namespace {

const QString portalService = QLatin1String(PortalRequestPath::service);
const QString portalPath = QLatin1String(PortalRequestPath::path);
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

} // namespace

void ScreenshotPortal::request(bool interactive) {
    interactive_ = interactive;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return finish(ScreenGrab::Outcome::failed,
                      QStringLiteral("there is no session bus to reach the desktop portal"));
    const QString token = PortalRequestPath::newToken();
    if (!listenForResponse(PortalRequestPath::forToken(token)))
        return finish(ScreenGrab::Outcome::failed,
                      QStringLiteral("cannot listen for the desktop portal's answer"));
    QDBusMessage call = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    const QVariantMap options{{QStringLiteral("handle_token"), token},
                              {QStringLiteral("interactive"), interactive},
                              {QStringLiteral("modal"), true}};
    call << QString() << options;
    // The user may take minutes in the portal's dialog; only the call itself is
    // bounded, the answer comes as a signal.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 30'000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError())
            return finish(
                ScreenGrab::Outcome::failed,
                QStringLiteral("no desktop portal answered: %1").arg(reply.error().message()));
        // Portals older than the handle_token convention choose their own path.
        const QString actual = reply.value().path();
        if (actual != requestPath_ && !listenForResponse(actual))
            finish(ScreenGrab::Outcome::failed,
                   QStringLiteral("cannot listen for the desktop portal's answer"));
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
    // 0 is success; 1 the person cancelled; 2 anything else, which for a
    // request without a dialog is mostly a desktop that does not allow it.
    if (response == 1)
        return finish(ScreenGrab::Outcome::cancelled,
                      QStringLiteral("the screenshot was cancelled in the desktop's dialog"));
    if (response != 0 && !interactive_)
        return finish(ScreenGrab::Outcome::refused,
                      QStringLiteral("the desktop portal did not take the screenshot: allow "
                                     "screenshots for Glimber when the desktop asks, or in its "
                                     "privacy or app permission settings"));
    if (response != 0)
        return finish(ScreenGrab::Outcome::failed,
                      QStringLiteral("the desktop portal could not take the screenshot"));
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile())
        return finish(ScreenGrab::Outcome::failed,
                      QStringLiteral("the desktop portal named no local file"));
    finish(ScreenGrab::Outcome::taken, uri.toLocalFile());
}

void ScreenshotPortal::finish(ScreenGrab::Outcome outcome, const QString& fileOrProblem) {
    if (finished_)
        return;
    finished_ = true;
    const bool taken = outcome == ScreenGrab::Outcome::taken;
    Q_EMIT finished(
        {outcome, taken ? fileOrProblem : QString(), taken ? QString() : fileOrProblem});
}
