#include "X11KeyEventSource.h"

#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace {

// X11 key codes are the kernel's plus this offset.
constexpr int x11KeycodeOffset = 8;

} // namespace

X11KeyEventSource::X11KeyEventSource(QByteArray displayName)
    : displayName_(std::move(displayName)) {}

X11KeyEventSource::~X11KeyEventSource() {
    stop();
}

bool X11KeyEventSource::start() {
    if (display_)
        return true;
    display_ = XOpenDisplay(displayName_.isEmpty() ? nullptr : displayName_.constData());
    if (!display_)
        return false;
    if (!selectRawKeyEvents()) {
        stop();
        return false;
    }
    keyboard_.reset();
    notifier_ = new QSocketNotifier(ConnectionNumber(display_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &X11KeyEventSource::readEvents);
    // Replies read while selecting may have queued events already.
    readEvents();
    return true;
}

bool X11KeyEventSource::selectRawKeyEvents() {
    int event = 0;
    int error = 0;
    if (!XQueryExtension(display_, "XInputExtension", &xinputOpcode_, &event, &error))
        return false;
    // 2.1 is the first version that delivers raw events to a client that holds no grab.
    int major = 2;
    int minor = 1;
    if (XIQueryVersion(display_, &major, &minor) != Success || (major == 2 && minor < 1))
        return false;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    // Master devices only: every keyboard, XTest's included, reports through
    // one of them, and the slaves would report each key a second time.
    XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
    XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
    XSync(display_, False);
    return true;
}

void X11KeyEventSource::stop() {
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    if (display_) {
        XCloseDisplay(display_);
        display_ = nullptr;
    }
}

void X11KeyEventSource::readEvents() {
    while (display_ && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != xinputOpcode_ ||
            !XGetEventData(display_, cookie))
            continue;
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        const int code = raw->detail - x11KeycodeOffset;
        std::optional<KeyEvent> translated;
        if (cookie->evtype == XI_RawKeyPress)
            translated = keyboard_.press(code);
        else if (cookie->evtype == XI_RawKeyRelease)
            translated = keyboard_.release(code);
        XFreeEventData(display_, cookie);
        if (translated)
            Q_EMIT keyEvent(*translated);
    }
}
