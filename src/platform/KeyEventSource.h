#pragma once

#include "KeyEvent.h"

#include <QObject>

#include <memory>

// A system-wide, listen-only stream of key events, delivered on the thread that
// started it. It never delays, swallows or changes a key event of any program.
class KeyEventSource : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Opens the stream; false when it cannot be opened now (no display, no
    // permission to read the keyboards). Never blocks.
    virtual bool start() = 0;
    virtual void stop() = 0;

    // X11 raw key events when the program runs on an X display outside a
    // Wayland session; otherwise the keyboards under /dev/input, which a Wayland
    // compositor does not hide.
    static std::unique_ptr<KeyEventSource> forThisSession();

Q_SIGNALS:
    void keyEvent(const KeyEvent& event);
};
