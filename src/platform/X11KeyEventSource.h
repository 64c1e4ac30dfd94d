#pragma once

#include "KeyEventSource.h"
#include "LinuxKeyboardState.h"

#include <QByteArray>

class QSocketNotifier;
struct _XDisplay;

// XInput2 raw key events of every keyboard, selected on the root window. Raw
// events reach a listener whichever window has the focus and even while another
// client holds a grab, and selecting them takes nothing away from anyone.
class X11KeyEventSource : public KeyEventSource {
    Q_OBJECT

public:
    // An empty display name means $DISPLAY.
    explicit X11KeyEventSource(QByteArray displayName = {});
    ~X11KeyEventSource() override;

    bool start() override;
    void stop() override;

private:
    bool selectRawKeyEvents();
    void readEvents();

    QByteArray displayName_;
    _XDisplay* display_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    int xinputOpcode_ = 0;
    LinuxKeyboardState keyboard_;
};
