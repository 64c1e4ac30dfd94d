// qxscroll: the scrolling capture. The person chooses a region on the same
// frozen overlay as qxcapture's, then scrolls its content (or lets Auto-scroll
// do it); the grabs are stitched into one tall PNG. Grabs come from the X
// server, or under Wayland from the desktop's screen cast over PipeWire.
#include "AppLocale.h"
#include "DesktopFreezer.h"
#include "OverlayLock.h"
#include "OverlaySelection.h"
#include "ScrollSession.h"
#include "WaylandScrollStart.h"
#include "X11ScrollDisplay.h"

#include <QApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// How long the display server may take to answer before the capture gives up.
constexpr int connectTimeoutMs = 5000;

// The screen that holds most of a region, in the desktop's units: Qt keeps
// the corner of a screen in root pixels under X11 and scales only the size.
QScreen* screenFor(const QRectF& region, bool logicalDesktop) {
    QScreen* best = nullptr;
    qreal bestArea = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        const QRect desktop =
            logicalDesktop ? logical
                           : QRect(logical.topLeft(), logical.size() * screen->devicePixelRatio());
        const QRectF shared = region.intersected(QRectF(desktop));
        const qreal area = shared.width() * shared.height();
        if (area > bestArea) {
            bestArea = area;
            best = screen;
        }
    }
    return best;
}

QRect layoutOfScreens() {
    QRect layout;
    for (const QScreen* screen : QGuiApplication::screens())
        layout = layout.united(screen->geometry());
    return layout;
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
    DesktopFreezer freezer(DesktopSession::fromEnvironment());
    QString problem;
    if (!freezer.connect(QDeadlineTimer(connectTimeoutMs), &problem)) {
        std::fprintf(stderr, "qxscroll: %s\n", qUtf8Printable(problem));
        return 2;
    }
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // Under Xwayland the X server shows other programs' Wayland windows as
    // black: a Wayland session is read through the compositor, whatever Qt's platform.
    const bool wayland = freezer.session().wayland;
    OverlayLock lock;
    if (!lock.claim()) {
        std::fputs("qxscroll: another capture is already choosing on this display\n", stderr);
        return 1;
    }
    std::unique_ptr<X11ScrollDisplay> x11;
    if (!wayland) {
        x11 = std::make_unique<X11ScrollDisplay>();
        if (!x11->isOpen()) {
            std::fputs("qxscroll: cannot open the X display\n", stderr);
            return 2;
        }
    }
    const ScreenGrab grab = freezer.grab(wayland ? freezer.choose(false) : ScreenSource::x11,
                                         QDeadlineTimer(connectTimeoutMs));
    if (grab.outcome != ScreenGrab::Outcome::taken) {
        std::fprintf(stderr, "qxscroll: %s\n", qUtf8Printable(grab.problem));
        return grab.outcome == ScreenGrab::Outcome::cancelled ? 1 : 2;
    }
    const FrozenDesktop desktop = FrozenDesktop::fromPictures(grab.screens);
    OverlaySelection selection(desktop, OverlayMode::region);
    std::unique_ptr<ScrollSession> session;
    std::unique_ptr<WaylandScrollStart> waylandStart;
    QObject::connect(&selection, &OverlaySelection::cancelled, [] { QCoreApplication::exit(1); });
    QObject::connect(&selection, &OverlaySelection::abandoned, [](const QString& reason) {
        std::fprintf(stderr, "qxscroll: %s\n", qUtf8Printable(reason));
        QCoreApplication::exit(1);
    });
    QObject::connect(&selection, &OverlaySelection::chosen, [&](const CaptureArea& chosen) {
        // The content scrolls on one screen: the one that holds most of the region.
        const QScreen* screen = screenFor(chosen.area, wayland);
        if (wayland) {
            waylandStart = std::make_unique<WaylandScrollStart>(
                WaylandScrollDisplay::Output{screen->name(), screen->geometry(), 1}, chosen.area,
                layoutOfScreens(), output);
            return waylandStart->start();
        }
        const QRect logical = screen->geometry();
        const ScreenPlacement placement{
            QRect(logical.topLeft(), logical.size() * screen->devicePixelRatio()),
            screen->devicePixelRatio()};
        const QRect region = chosen.area.toRect().intersected(placement.geometry);
        session = std::make_unique<ScrollSession>(*x11, placement, region, output);
        if (!session->start())
            QCoreApplication::exit(2);
    });
    if (!selection.start(&problem)) {
        std::fprintf(stderr, "qxscroll: %s\n", qUtf8Printable(problem));
        return 2;
    }
    return app.exec();
}
