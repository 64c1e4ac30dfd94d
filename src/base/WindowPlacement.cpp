#include "WindowPlacement.h"

#include <algorithm>

namespace WindowPlacement {

ScreenRect activeScreenVisibleFrame(const std::vector<Screen>& screens, QPointF pointer,
                                    std::optional<std::size_t> mainScreen) {
    for (const Screen& screen : screens) {
        if (screen.frame.containsPointer(pointer))
            return screen.visibleFrame;
    }
    if (mainScreen && *mainScreen < screens.size())
        return screens[*mainScreen].visibleFrame;
    if (!screens.empty())
        return screens.front().visibleFrame;
    return ScreenRect{0, 0, 1200, 800};
}

QPointF placedOrigin(const ScreenRect& v, QSizeF windowSize, double topMargin) {
    const double w = windowSize.width();
    const double h = windowSize.height();
    const double x =
        std::min(std::max(v.midX() - w * 0.5, v.minX()), std::max(v.maxX() - w, v.minX()));
    const double y =
        std::min(std::max(v.maxY() - h - topMargin, v.minY()), std::max(v.maxY() - h, v.minY()));
    return {x, y};
}

} // namespace WindowPlacement
