#include "ScreenshotPortal.h"

#include "PortalRequest.h"

#include <QUrl>

void ScreenshotPortal::request(bool interactive) {
    interactive_ = interactive;
    const QVariantMap options{{QStringLiteral("interactive"), interactive},
                              {QStringLiteral("modal"), true}};
    PortalRequest* request =
        PortalRequest::send(QStringLiteral("org.freedesktop.portal.Screenshot"),
                            QStringLiteral("Screenshot"), {QString()}, options, this);
    connect(request, &PortalRequest::answered, this, &ScreenshotPortal::onResponse);
    connect(request, &PortalRequest::failed, this,
            [this](const QString& reason) { finish(ScreenGrab::Outcome::failed, reason); });
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
