#pragma once

#include <QString>

#include <optional>

namespace ScreenshotFolder {

// Where the desktop's own screenshot tool saves its pictures, if that folder exists:
// "Screenshots" inside the XDG pictures folder (GNOME and KDE both use it).
std::optional<QString> systemLocation();

} // namespace ScreenshotFolder
