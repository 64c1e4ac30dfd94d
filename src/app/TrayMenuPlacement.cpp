#include "TrayMenuPlacement.h"

#include <algorithm>

QPoint trayMenuPosition(const QRect& icon, const QSize& menu, const QRect& screen,
                        const QPoint& pointer) {
    if (!icon.isValid() || icon.isEmpty())
        return pointer;
    // The panel lies along the screen edge nearest to the icon; a corner counts
    // as a top or bottom panel, the common case.
    const int toTop = icon.top() - screen.top();
    const int toBottom = screen.bottom() - icon.bottom();
    const int toLeft = icon.left() - screen.left();
    const int toRight = screen.right() - icon.right();
    QPoint origin;
    if (std::min(toTop, toBottom) <= std::min(toLeft, toRight))
        origin = {icon.left(), toTop <= toBottom ? icon.bottom() + 1 : icon.top() - menu.height()};
    else
        origin = {toLeft <= toRight ? icon.right() + 1 : icon.left() - menu.width(), icon.top()};
    return {std::clamp(origin.x(), screen.left(),
                       std::max(screen.left(), screen.right() + 1 - menu.width())),
            std::clamp(origin.y(), screen.top(),
                       std::max(screen.top(), screen.bottom() + 1 - menu.height()))};
}
