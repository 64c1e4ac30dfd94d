#include "X11ScrollDisplay.h"

#include "ScrollControls.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <array>

namespace {

// Caps Lock and Num Lock must not stop Return and Escape from arriving.
constexpr std::array<unsigned int, 4> lockCombinations{0, LockMask, Mod2Mask, LockMask | Mod2Mask};

bool grabFailed = false;

int noteGrabFailure(Display*, XErrorEvent* error) {
    grabFailed = grabFailed || error->error_code == BadAccess;
    return 0;
}

} // namespace

X11ScrollDisplay::X11ScrollDisplay()
    : display_(XOpenDisplay(nullptr)) {
    if (!display_)
        return;
    root_ = DefaultRootWindow(display_);
    events_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
    connect(events_.get(), &QSocketNotifier::activated, this, &X11ScrollDisplay::readEvents);
}

X11ScrollDisplay::~X11ScrollDisplay() {
    events_.reset();
    if (display_)
        XCloseDisplay(display_);
}

QImage X11ScrollDisplay::grab(const QRect& native) {
    XImage* image = XGetImage(display_, root_, native.x(), native.y(), unsigned(native.width()),
                              unsigned(native.height()), AllPlanes, ZPixmap);
    if (!image) {
        Q_EMIT failed(QStringLiteral("the screen could not be read"));
        return {};
    }
    QImage frame;
    // 24-bit true colour in 32-bit words, the layout of every X server in use.
    if (image->bits_per_pixel == 32 && image->red_mask == 0xff0000 && image->green_mask == 0xff00 &&
        image->blue_mask == 0xff) {
        frame = QImage(native.size(), QImage::Format_RGB32);
        for (int y = 0; y < native.height(); ++y) {
            const auto* from = reinterpret_cast<const quint32*>(
                image->data + qsizetype(y) * image->bytes_per_line);
            auto* to = reinterpret_cast<quint32*>(frame.scanLine(y));
            for (int x = 0; x < native.width(); ++x)
                to[x] = from[x] | 0xff000000u;
        }
    }
    XDestroyImage(image);
    if (frame.isNull())
        Q_EMIT failed(
            QStringLiteral("the screen's pixels are in a layout this program cannot read"));
    return frame;
}

void X11ScrollDisplay::wheel(int steps) {
    const unsigned int button = steps > 0 ? 5 : 4;
    for (int i = 0; i < std::abs(steps); ++i) {
        XTestFakeButtonEvent(display_, button, True, CurrentTime);
        XTestFakeButtonEvent(display_, button, False, CurrentTime);
    }
    XFlush(display_);
}

void X11ScrollDisplay::movePointer(QPoint native) {
    XTestFakeMotionEvent(display_, -1, native.x(), native.y(), CurrentTime);
    XFlush(display_);
}

unsigned int X11ScrollDisplay::queryPointer(QPoint* at) {
    Window root = 0;
    Window child = 0;
    int x = 0;
    int y = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, root_, &root, &child, &x, &y, &windowX, &windowY, &mask);
    if (at)
        *at = {x, y};
    return mask;
}

std::optional<QPoint> X11ScrollDisplay::pointer() {
    QPoint at;
    queryPointer(&at);
    return at;
}

bool X11ScrollDisplay::anythingPressed() {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    return std::any_of(std::begin(keys), std::end(keys), [](char k) { return k != 0; }) ||
           (queryPointer(nullptr) & (Button1Mask | Button2Mask | Button3Mask)) != 0;
}

bool X11ScrollDisplay::grabDoneAndCancelKeys() {
    grabFailed = false;
    XErrorHandler previous = XSetErrorHandler(noteGrabFailure);
    for (const KeySym key : {XK_Return, XK_KP_Enter, XK_Escape}) {
        const KeyCode code = XKeysymToKeycode(display_, key);
        if (code == 0)
            continue;
        for (const unsigned int locks : lockCombinations)
            XGrabKey(display_, code, locks, root_, False, GrabModeAsync, GrabModeAsync);
    }
    XSync(display_, False);
    XSetErrorHandler(previous);
    return !grabFailed;
}

void X11ScrollDisplay::readEvents() {
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type != KeyPress)
            continue;
        const KeySym key = XkbKeycodeToKeysym(display_, KeyCode(event.xkey.keycode), 0, 0);
        if (key == XK_Escape)
            Q_EMIT cancelPressed();
        else if (key == XK_Return || key == XK_KP_Enter)
            Q_EMIT donePressed();
    }
}

void X11ScrollDisplay::present(const QRect& frame, const QRect& bar, ScrollControls& controls) {
    if (!frame_) {
        frame_ = std::make_unique<RegionFrame>(frame);
        frame_->show();
    }
    controls_ = &controls;
    controls.move(bar.topLeft());
    controls.show();
}

void X11ScrollDisplay::hidePresentation() {
    if (frame_)
        frame_->hide();
    if (controls_)
        controls_->hide();
}
