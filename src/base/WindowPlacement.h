#pragma once

#include "ScreenRect.h"

#include <QPointF>
#include <QSizeF>

#include <optional>
#include <vector>

// Every window opens on the screen under the mouse pointer, centred, a fixed
// distance below the top of the screen's usable area. Pure arithmetic in
// y-up coordinates (see ScreenRect).
namespace WindowPlacement {

inline constexpr double defaultTopMargin = 48;

struct Screen {
    ScreenRect frame;
    ScreenRect visibleFrame; // without panels and docks
};

// The visible frame of the screen under the pointer; else of the main screen;
// else of the first screen; else 1200 x 800 at the origin.
ScreenRect activeScreenVisibleFrame(const std::vector<Screen>& screens, QPointF pointer,
                                    std::optional<std::size_t> mainScreen);

// Origin (bottom-left corner) of a window of the given size: centred horizontally
// (left-aligned when wider than the frame), its top topMargin below the frame's
// top, moved up as needed to keep its bottom inside, bottom on the frame's
// bottom when taller than the frame.
QPointF placedOrigin(const ScreenRect& visibleFrame, QSizeF windowSize, double topMargin);

} // namespace WindowPlacement

class QWidget;

namespace WindowPlacement {

// The rule above applied to Qt's screens and the mouse pointer, in y-up
// coordinates with the primary screen's bottom edge at y = 0.
ScreenRect activeScreenVisibleFrame();

// Moves a top-level window onto the active screen; its size is unchanged.
void placeOnActiveScreen(QWidget& window, double topMargin = defaultTopMargin);

} // namespace WindowPlacement
