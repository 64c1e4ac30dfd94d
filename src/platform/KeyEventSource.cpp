#include "KeyEventSource.h"

#include "DesktopSession.h"
#include "EvdevKeyEventSource.h"
#include "X11KeyEventSource.h"

std::unique_ptr<KeyEventSource> KeyEventSource::forThisSession() {
    // Under XWayland an X client sees keys only while one of its own windows has
    // the focus, so a Wayland session goes to the devices even when DISPLAY is set.
    const DesktopSession session = DesktopSession::fromEnvironment();
    if (!session.wayland && session.hasX11)
        return std::make_unique<X11KeyEventSource>();
    return std::make_unique<EvdevKeyEventSource>();
}
