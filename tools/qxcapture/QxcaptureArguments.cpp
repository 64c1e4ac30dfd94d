#include "QxcaptureArguments.h"

std::optional<QxcaptureArguments> QxcaptureArguments::parse(const QStringList& arguments) {
    if (arguments.size() != 2 || arguments[1].isEmpty())
        return std::nullopt;
    if (arguments[0] == QLatin1String("-i"))
        return QxcaptureArguments{Mode::region, arguments[1]};
    if (arguments[0] == QLatin1String("-iw"))
        return QxcaptureArguments{Mode::window, arguments[1]};
    if (arguments[0] == QLatin1String("--screens"))
        return QxcaptureArguments{Mode::screens, arguments[1]};
    return std::nullopt;
}

QString QxcaptureArguments::usage() {
    return QStringLiteral(
        "usage: qxcapture -i PATH         select a region, write it to PATH as PNG\n"
        "       qxcapture -iw PATH        click a window, write it to PATH as PNG\n"
        "       qxcapture --screens PATH  write every screen, in its place, to PATH as PNG\n"
        "\n"
        "Escape or a click without a drag cancels and writes nothing. A selection may\n"
        "span screens. Inside one screen it keeps that screen's own pixels; across\n"
        "screens of different scales (a panel at 200 % beside one at 100 %) it is\n"
        "taken at the larger scale, the other screen's part enlarged, as the\n"
        "compositor's own tools do. --screens does the same for the whole desktop;\n"
        "places that no screen shows are transparent.\n"
        "\n"
        "Pixels come from the X server under X11; under Wayland from wlroots'\n"
        "screencopy (sway, Hyprland, river, labwc), KWin's ScreenShot2 (KDE Plasma) or\n"
        "the desktop portal (GNOME and others), its own dialog where no overlay can\n"
        "show. QXCAPTURE_SOURCE=screencopy, kwin, portal, dialog or x11 chooses one.\n"
        "\n"
        "Exit status: 0 written, 1 cancelled, 2 failed (the reason on standard error).\n");
}
