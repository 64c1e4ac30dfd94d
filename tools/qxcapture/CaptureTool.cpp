#include "CaptureTool.h"

#include "AppLocale.h"
#include "FrozenDesktop.h"
#include "KWinScreenShot.h"
#include "OverlayLock.h"
#include "OverlaySelection.h"
#include "PngFile.h"
#include "ScreenshotPortal.h"

#include <QEventLoop>
#include <QGuiApplication>

#include <cstdio>

namespace {

enum ExitStatus { written = 0, cancelled = 1, failed = 2 };

// Sources that take no part of the person's time answer within this, or
// something is wrong with them.
constexpr int sourceTimeoutMs = 10'000;

int complain(const QString& problem) {
    std::fprintf(stderr, "qxcapture: %s\n", qUtf8Printable(problem));
    return failed;
}

int statusOf(const ScreenGrab& grab) {
    if (grab.outcome == ScreenGrab::Outcome::cancelled)
        return cancelled;
    return complain(grab.problem);
}

QString windowPickingHint() {
    return AppLocale::text(
        "Picking a window needs X11, sway or KDE Plasma: drag over the window instead.",
        "ウィンドウを選ぶには X11・sway・KDE Plasma "
        "が必要です。ウィンドウの範囲をドラッグしてください。");
}

} // namespace

CaptureTool::CaptureTool(QxcaptureArguments arguments, const DesktopFreezer& freezer)
    : arguments_(std::move(arguments))
    , freezer_(freezer) {}

int CaptureTool::run() {
    if (arguments_.mode == QxcaptureArguments::Mode::screens)
        return takeScreens();
    OverlayLock lock;
    if (!lock.claim()) {
        std::fputs("qxcapture: another capture is already choosing on this display\n", stderr);
        return cancelled;
    }
    return choose(freezer_.choose(true));
}

int CaptureTool::save(const QImage& image) {
    return PngFile::write(image, arguments_.outputPath) ? written : failed;
}

int CaptureTool::takeScreens() {
    const ScreenGrab grab = freezer_.grab(freezer_.choose(false), QDeadlineTimer(sourceTimeoutMs));
    if (grab.outcome != ScreenGrab::Outcome::taken)
        return statusOf(grab);
    const FrozenDesktop desktop = FrozenDesktop::fromPictures(grab.screens);
    return save(desktop.crop(desktop.whole()));
}

int CaptureTool::choose(ScreenSource source) {
    if (source == ScreenSource::portalDialog)
        return throughPortalDialog();
    // KWin tells no program where windows are, but picks one itself.
    if (arguments_.mode == QxcaptureArguments::Mode::window && source == ScreenSource::kwin)
        return windowThroughKWin();
    const ScreenGrab grab = freezer_.grab(source, QDeadlineTimer(sourceTimeoutMs));
    if (grab.outcome != ScreenGrab::Outcome::taken)
        return statusOf(grab);
    return chooseOnOverlay(grab, source);
}

int CaptureTool::chooseOnOverlay(const ScreenGrab& grab, ScreenSource source) {
    std::optional<std::vector<QRect>> windows;
    if (arguments_.mode == QxcaptureArguments::Mode::window)
        windows = freezer_.windows(source);
    const FrozenDesktop desktop =
        FrozenDesktop::fromPictures(grab.screens, windows.value_or(std::vector<QRect>()));
    const bool pickWindow = windows.has_value();
    const bool wantedWindow = arguments_.mode == QxcaptureArguments::Mode::window;
    const bool xwayland =
        freezer_.session().wayland && QGuiApplication::platformName() == QLatin1String("xcb");
    OverlaySelection selection(desktop, pickWindow ? OverlayMode::window : OverlayMode::region,
                               wantedWindow && !pickWindow ? windowPickingHint() : QString(),
                               xwayland ? OverlaySelection::Coverage::wholeDesktop
                                        : OverlaySelection::Coverage::eachScreen);
    QEventLoop loop;
    QObject::connect(&selection, &OverlaySelection::chosen, &loop,
                     [&](const CaptureArea& area) { loop.exit(save(desktop.crop(area))); });
    QObject::connect(&selection, &OverlaySelection::cancelled, &loop,
                     [&] { loop.exit(cancelled); });
    QObject::connect(&selection, &OverlaySelection::abandoned, &loop, [&](const QString& reason) {
        std::fprintf(stderr, "qxcapture: %s\n", qUtf8Printable(reason));
        loop.exit(cancelled);
    });
    QString problem;
    if (!selection.start(&problem))
        return complain(problem);
    return loop.exec();
}

int CaptureTool::windowThroughKWin() {
    const ScreenGrab grab = KWinScreenShot::captureWindowInteractively();
    if (grab.outcome != ScreenGrab::Outcome::taken)
        return statusOf(grab);
    return save(grab.screens.front().image);
}

int CaptureTool::throughPortalDialog() {
    ScreenshotPortal portal;
    QEventLoop loop;
    QObject::connect(
        &portal, &ScreenshotPortal::finished, &loop, [&](const ScreenshotPortal::Answer& answer) {
            if (answer.outcome == ScreenGrab::Outcome::taken)
                return loop.exit(PngFile::adopt(answer.file, arguments_.outputPath) ? written
                                                                                    : failed);
            loop.exit(statusOf(ScreenGrab::failure(answer.outcome, answer.problem)));
        });
    portal.request(true);
    return loop.exec();
}
