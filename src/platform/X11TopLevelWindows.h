#pragma once

#include <QRect>

#include <vector>

// The visible top-level windows of the X display, topmost first, as rectangles
// in the root window's pixels, decorations included and client-side shadows
// left out. Empty when there is no X display.
namespace X11TopLevelWindows {

std::vector<QRect> topmostFirst();

} // namespace X11TopLevelWindows
