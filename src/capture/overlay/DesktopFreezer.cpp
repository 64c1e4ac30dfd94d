#include "DesktopFreezer.h"

#include "KWinScreenShot.h"
#include "ScreenshotPortal.h"
#include "SwayWindows.h"
#include "WaylandScreens.h"
#include "X11Display.h"
#include "X11TopLevelWindows.h"

#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace {

bool showsOurWindows() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

} // namespace

DesktopFreezer::DesktopFreezer(DesktopSession session)
    : session_(std::move(session)) {}

DesktopFreezer::~DesktopFreezer() = default;

bool DesktopFreezer::connect(QDeadlineTimer deadline, QString* problem) {
    if (session_.wayland) {
        wayland_ = WaylandScreens::connect(deadline, problem);
        return wayland_ != nullptr;
    }
    if (!session_.hasX11) {
        *problem = QStringLiteral("there is no desktop session: neither WAYLAND_DISPLAY nor "
                                  "DISPLAY is set");
        return false;
    }
    if (!X11Display::answers()) {
        *problem = QStringLiteral("cannot open the X display %1").arg(session_.display);
        return false;
    }
    return true;
}

ScreenSource DesktopFreezer::choose(bool interactive) const {
    ScreenSourceOffers offers;
    offers.screencopy = wayland_ && wayland_->offersScreencopy();
    offers.kwin = session_.wayland && KWinScreenShot::isAvailable();
    offers.ownOverlay = showsOurWindows();
    return chooseScreenSource(session_, offers, interactive,
                              qEnvironmentVariable("QXCAPTURE_SOURCE"));
}

std::vector<ScreenPicture> DesktopFreezer::layout() const {
    std::vector<ScreenPicture> screens;
    if (wayland_) {
        for (const WaylandScreens::Output& output : wayland_->outputs())
            screens.push_back({output.name, output.geometry, {}});
        return screens;
    }
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back({screen->name(), screen->geometry(), {}});
    return screens;
}

ScreenGrab DesktopFreezer::grab(ScreenSource source, QDeadlineTimer deadline) const {
    switch (source) {
    case ScreenSource::x11:
        return grabX11();
    case ScreenSource::screencopy:
        if (!wayland_)
            break;
        return wayland_->copyOutputs(deadline);
    case ScreenSource::kwin: {
        std::vector<KWinScreenShot::Screen> screens;
        for (const ScreenPicture& screen : layout())
            screens.push_back({screen.name, screen.geometry});
        return KWinScreenShot::captureScreens(screens, deadline);
    }
    case ScreenSource::portal:
        return grabThroughPortal(deadline);
    case ScreenSource::portalDialog:
        break;
    }
    return ScreenGrab::failure(ScreenGrab::Outcome::failed,
                               QStringLiteral("this source cannot be used in this session"));
}

ScreenGrab DesktopFreezer::grabX11() const {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return ScreenGrab::failure(ScreenGrab::Outcome::failed,
                                   QStringLiteral("the X server's pixels need Qt's xcb platform"));
    std::vector<ScreenPicture> pictures;
    for (QScreen* screen : QGuiApplication::screens()) {
        QImage grab = screen->grabWindow(0).toImage();
        if (grab.isNull())
            return ScreenGrab::failure(
                ScreenGrab::Outcome::failed,
                QStringLiteral("the X server gave no picture of %1").arg(screen->name()));
        grab.setDevicePixelRatio(1);
        // Qt keeps a screen's top-left corner in root-window pixels and scales
        // only its size, so the corner and the grab's size give its pixels.
        pictures.push_back({screen->name(), QRect(screen->geometry().topLeft(), grab.size()),
                            grab.convertToFormat(QImage::Format_RGB32)});
    }
    return ScreenGrab::taken(std::move(pictures));
}

ScreenGrab DesktopFreezer::grabThroughPortal(QDeadlineTimer deadline) const {
    ScreenshotPortal portal;
    ScreenshotPortal::Answer answer{ScreenGrab::Outcome::failed,
                                    {},
                                    QStringLiteral("the desktop portal gave no answer in time")};
    QEventLoop loop;
    QObject::connect(&portal, &ScreenshotPortal::finished, &loop,
                     [&](const ScreenshotPortal::Answer& given) {
                         answer = given;
                         loop.quit();
                     });
    QTimer::singleShot(int(std::max<qint64>(0, deadline.remainingTime())), &loop,
                       &QEventLoop::quit);
    portal.request(false);
    loop.exec();
    if (answer.outcome != ScreenGrab::Outcome::taken)
        return ScreenGrab::failure(answer.outcome, answer.problem);
    const QImage whole(answer.file);
    // The file is ours to dispose of, like any picture the portal hands over.
    QFile::remove(answer.file);
    if (whole.isNull())
        return ScreenGrab::failure(ScreenGrab::Outcome::failed,
                                   QStringLiteral("the desktop portal's picture cannot be read"));
    std::optional<std::vector<ScreenPicture>> pictures = splitDesktopPicture(whole, layout());
    if (!pictures)
        return ScreenGrab::failure(ScreenGrab::Outcome::failed,
                                   QStringLiteral("the desktop portal's picture (%1 x %2) does not "
                                                  "fit the screens' layout")
                                       .arg(whole.width())
                                       .arg(whole.height()));
    return ScreenGrab::taken(std::move(*pictures));
}

std::optional<std::vector<QRect>> DesktopFreezer::windows(ScreenSource source) const {
    if (source == ScreenSource::x11)
        return X11TopLevelWindows::topmostFirst();
    if (session_.sway)
        return SwayWindows::topmostFirst();
    return std::nullopt;
}

std::optional<std::vector<ScreenPicture>> splitDesktopPicture(const QImage& whole,
                                                              std::vector<ScreenPicture> layout) {
    QRect bounds;
    for (const ScreenPicture& screen : layout)
        bounds = bounds.united(screen.geometry);
    if (bounds.isEmpty() || whole.isNull())
        return std::nullopt;
    const qreal scale = qreal(whole.width()) / bounds.width();
    // One scale across and down, give or take the rounding of a pixel.
    if (std::abs(bounds.height() * scale - whole.height()) > 1)
        return std::nullopt;
    for (ScreenPicture& screen : layout) {
        const QRectF part(QPointF(screen.geometry.topLeft() - bounds.topLeft()) * scale,
                          QSizeF(screen.geometry.size()) * scale);
        screen.image = whole.copy(part.toRect()).convertToFormat(QImage::Format_RGB32);
    }
    return layout;
}
