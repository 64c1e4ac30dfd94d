#include "XSession.h"

#include "HeadlessDesktop.h"

#include <QTest>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

QByteArray instanceName(Display* display, Window window) {
    XClassHint hint{};
    if (!XGetClassHint(display, window, &hint))
        return {};
    const QByteArray name(hint.res_name ? hint.res_name : "");
    XFree(hint.res_name);
    XFree(hint.res_class);
    return name;
}

void collect(Display* display, Window window, const QByteArray& instance,
             std::vector<QRect>& found) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
        instanceName(display, window) == instance) {
        int x = 0;
        int y = 0;
        Window child = None;
        XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
        found.emplace_back(x, y, attributes.width, attributes.height);
    }
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return;
    for (unsigned int i = 0; i < count; ++i)
        collect(display, children[i], instance, found);
    if (children)
        XFree(children);
}

} // namespace

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

void XSession::wheel(int notches) {
    for (int i = 0; i < std::abs(notches); ++i) {
        XTestFakeButtonEvent(display_, notches > 0 ? 5 : 4, True, CurrentTime);
        XTestFakeButtonEvent(display_, notches > 0 ? 5 : 4, False, CurrentTime);
        flush();
        // Events flow meanwhile: the window scrolled may be this program's own.
        QTest::qWait(120);
    }
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
    std::vector<QRect> found;
    collect(display_, DefaultRootWindow(display_), instance, found);
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
