// qxscroll: the scrolling capture. The person chooses a region on the same
// frozen overlay as qxcapture's, then scrolls its content (or lets Auto-scroll
// do it); the grabs are stitched into one tall PNG.
#include "AppLocale.h"
#include "DesktopFreezer.h"
#include "OverlayLock.h"
#include "OverlaySelection.h"
#include "ScrollSession.h"
#include "X11ScrollDisplay.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

int needsX11() {
    // Grabbing a region many times a second needs the desktop's screen-cast
    // portal and PipeWire under Wayland, which this helper does not speak yet.
    const QString text =
        AppLocale::text("Scrolling capture needs an X11 session for now.",
                        "スクロールキャプチャは今のところ X11 セッションでのみ使えます。");
    std::fprintf(stderr, "qxscroll: %s\n", qPrintable(text));
    // Started from the tray, nobody reads standard error; a headless run has nobody to click.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        QMessageBox::warning(nullptr, QStringLiteral("Glimber"), text);
    return 2;
}

// The screen that holds most of a region, where Qt's windows go for it.
ScreenPlacement placementFor(const QRectF& region) {
    ScreenPlacement best;
    qreal bestArea = -1;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        // Qt keeps the corner in root pixels and scales only the size.
        const QRect pixels(logical.topLeft(), logical.size() * screen->devicePixelRatio());
        const QRectF shared = region.intersected(QRectF(pixels));
        const qreal area = shared.width() * shared.height();
        if (area > bestArea) {
            bestArea = area;
            best = {pixels, screen->devicePixelRatio()};
        }
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "--region") != 0 || argv[2][0] == '\0') {
        std::fputs("usage: qxscroll --region PATH   choose a region, scroll it, write one tall "
                   "PNG to PATH\nReturn or Done writes, Escape or Cancel writes nothing. Exit "
                   "status: 0 written, 1 cancelled, 2 failed.\n",
                   stderr);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const DesktopSession desktopSession = DesktopSession::fromEnvironment();
    // Under Xwayland the X server shows other programs' Wayland windows as black.
    if (desktopSession.wayland || QGuiApplication::platformName() != QLatin1String("xcb"))
        return needsX11();
    OverlayLock lock;
    if (!lock.claim()) {
        std::fputs("qxscroll: another capture is already choosing on this display\n", stderr);
        return 1;
    }
    X11ScrollDisplay display;
    if (!display.isOpen()) {
        std::fputs("qxscroll: cannot open the X display\n", stderr);
        return 2;
    }
    const ScreenGrab grab =
        DesktopFreezer(desktopSession).grab(ScreenSource::x11, QDeadlineTimer());
    if (grab.outcome != ScreenGrab::Outcome::taken) {
        std::fprintf(stderr, "qxscroll: %s\n", qUtf8Printable(grab.problem));
        return 2;
    }
    const FrozenDesktop desktop = FrozenDesktop::fromPictures(grab.screens);
    OverlaySelection selection(desktop, OverlayMode::region);
    std::unique_ptr<ScrollSession> session;
    QObject::connect(&selection, &OverlaySelection::cancelled, [] { QCoreApplication::exit(1); });
    QObject::connect(&selection, &OverlaySelection::abandoned, [](const QString& reason) {
        std::fprintf(stderr, "qxscroll: %s\n", qUtf8Printable(reason));
        QCoreApplication::exit(1);
    });
    QObject::connect(&selection, &OverlaySelection::chosen, [&](const CaptureArea& chosen) {
        // The content scrolls on one screen: the one that holds most of the region.
        const ScreenPlacement placement = placementFor(chosen.area);
        const QRect region = chosen.area.toRect().intersected(placement.geometry);
        session = std::make_unique<ScrollSession>(display, placement, region, output);
        if (!session->start())
            QCoreApplication::exit(2);
    });
    QString problem;
    if (!selection.start(&problem)) {
        std::fprintf(stderr, "qxscroll: %s\n", qUtf8Printable(problem));
        return 2;
    }
    return app.exec();
}
