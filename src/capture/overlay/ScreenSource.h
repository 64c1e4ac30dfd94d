#pragma once

#include "DesktopSession.h"

#include <QString>

#include <optional>

// Where the frozen picture of the desktop comes from.
enum class ScreenSource {
    x11,          // the X server's own pixels: an X11 session
    screencopy,   // wlroots' screencopy, one picture per output at its own pixels
    kwin,         // KWin's ScreenShot2, one call per output
    portal,       // the desktop portal without a dialog: the whole desktop in one picture
    portalDialog, // the desktop portal's own dialog, where no overlay of ours can be shown
};

// What the desktop offers, as far as the choice goes.
struct ScreenSourceOffers {
    bool screencopy = false; // the compositor announced zwlr_screencopy_manager_v1
    bool kwin = false;       // org.kde.KWin is on the session bus
    bool ownOverlay = false; // Qt runs on a platform that shows our windows
};

// The best source this session offers, or the one a person named in
// QXCAPTURE_SOURCE (screencopy, kwin, portal, dialog, x11). The portal's
// dialog only when the person is to choose (`interactive`) and cannot do so
// on an overlay of ours.
ScreenSource chooseScreenSource(const DesktopSession& session, const ScreenSourceOffers& offers,
                                bool interactive, const QString& named = {});

// The source a name in QXCAPTURE_SOURCE stands for.
std::optional<ScreenSource> screenSourceNamed(const QString& name);
