#pragma once

#include "ScreenGrab.h"

#include <QDeadlineTimer>
#include <QString>

#include <vector>

// KDE Plasma's own screenshot service, KWin's org.kde.KWin.ScreenShot2 on the
// session bus. KWin answers only programs whose desktop entry names that
// interface in X-KDE-DBUS-Restricted-Interfaces.
namespace KWinScreenShot {

// Whether KWin is on the session bus.
bool isAvailable();

struct Screen {
    QString name;   // KWin's name of the output
    QRect geometry; // in the compositor's logical layout
};

// Each screen's own pixels, one call per screen.
ScreenGrab captureScreens(const std::vector<Screen>& screens, QDeadlineTimer deadline);

// KWin lets the person click a window and gives that window's picture, with
// its decoration; cancelled when they press Escape there.
ScreenGrab captureWindowInteractively();

} // namespace KWinScreenShot
