#include "DesktopSession.h"

DesktopSession DesktopSession::fromEnvironment(const QProcessEnvironment& environment) {
    DesktopSession session;
    const QString waylandDisplay = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    const QString x11Display = environment.value(QStringLiteral("DISPLAY"));
    // A Wayland session may leave WAYLAND_DISPLAY unset, meaning "wayland-0".
    session.wayland =
        !waylandDisplay.isEmpty() ||
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland");
    session.hasX11 = !x11Display.isEmpty();
    session.sway = session.wayland && !environment.value(QStringLiteral("SWAYSOCK")).isEmpty();
    const QStringList desktops =
        environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(QLatin1Char(':'));
    session.kde = session.wayland && desktops.contains(QLatin1String("KDE"), Qt::CaseInsensitive);
    if (session.wayland)
        session.display = waylandDisplay.isEmpty() ? QStringLiteral("wayland-0") : waylandDisplay;
    else
        session.display = x11Display;
    return session;
}
