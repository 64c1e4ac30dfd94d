#pragma once

#include <QProcessEnvironment>
#include <QString>

// The graphical session this program runs in, as the session's own variables
// tell it. Qt's platform does not: under Xwayland (QT_QPA_PLATFORM=xcb, or
// without Qt's Wayland plugin) the screens still belong to the Wayland
// compositor, and the X server there shows Wayland windows as black.
struct DesktopSession {
    bool wayland = false;
    bool hasX11 = false; // an X display is named, Xwayland's too
    bool sway = false;   // sway's IPC socket is named
    bool kde = false;    // KDE Plasma, whose KWin has its own screenshot service
    // What tells this session apart from another one of the same user.
    QString display;

    static DesktopSession fromEnvironment(
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
};
