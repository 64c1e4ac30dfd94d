#include "XSession.h"

#include "HeadlessDesktop.h"

#include <QProcess>
#include <QTest>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

XSession::XSession()
    : display_(XOpenDisplay(nullptr)) {}

XSession::~XSession() {
    if (display_)
        XCloseDisplay(display_);
}

void XSession::flush() {
    XSync(display_, False);
}

void XSession::key(int keycode, bool down) {
    XTestFakeKeyEvent(display_, unsigned(keycode), down, CurrentTime);
    flush();
}

void XSession::tap(int keycode) {
    key(keycode, true);
    QThread::msleep(30);
    key(keycode, false);
}

void XSession::moveTo(QPoint point) {
    XTestFakeMotionEvent(display_, -1, point.x(), point.y(), CurrentTime);
    flush();
}

void XSession::button(bool down) {
    XTestFakeButtonEvent(display_, 1, down, CurrentTime);
    flush();
}

void XSession::click(QPoint point) {
    moveTo(point);
    QThread::msleep(50);
    button(true);
    QThread::msleep(30);
    button(false);
}

void XSession::drag(QPoint from, QPoint to) {
    moveTo(from);
    QThread::msleep(50);
    button(true);
    constexpr int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        QThread::msleep(15);
        moveTo(from + (to - from) * i / steps);
    }
    QThread::msleep(50);
    button(false);
}

bool XSession::hasSelectionOwner(const char* selection) {
    return XGetSelectionOwner(display_, XInternAtom(display_, selection, False)) != None;
}

std::vector<QRect> XSession::windowsOf(const QByteArray& instance) {
    // xdotool walks the whole window tree, icons docked in the tray included.
    QProcess xdotool;
    xdotool.start("xdotool", {"search", "--onlyvisible", "--classname", "^" + instance + "$",
                              "getwindowgeometry", "--shell", "%@"});
    xdotool.waitForFinished();
    std::vector<QRect> found;
    for (const QByteArray& line : xdotool.readAllStandardOutput().split('\n')) {
        const int value = line.mid(line.indexOf('=') + 1).toInt();
        if (line.startsWith("WINDOW="))
            found.emplace_back();
        else if (line.startsWith("X="))
            found.back().moveLeft(value);
        else if (line.startsWith("Y="))
            found.back().moveTop(value);
        else if (line.startsWith("WIDTH="))
            found.back().setWidth(value);
        else if (line.startsWith("HEIGHT="))
            found.back().setHeight(value);
    }
    return found;
}

bool XSession::waitForCaptureOverlay(const QByteArray& program) {
    const QSize screen(HeadlessDesktop::width, HeadlessDesktop::height);
    const bool covered = QTest::qWaitFor(
        [&] {
            for (const QRect& window : windowsOf(program)) {
                if (window.size() == screen)
                    return true;
            }
            return false;
        },
        20'000);
    QTest::qWait(300);
    return covered;
}
