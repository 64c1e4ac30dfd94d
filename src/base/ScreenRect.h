#pragma once

#include <QPointF>

// A rectangle in desktop coordinates with y growing upward: (x, y) is the
// bottom-left corner, so maxY() is the top edge. Window placement is worked out
// in these coordinates and translated to Qt's downward y once, at the window.
struct ScreenRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double maxX() const { return x + width; }
    double midX() const { return x + width * 0.5; }
    double minY() const { return y; }
    double maxY() const { return y + height; }

    // Half-open the way a pointer is tested against a screen: the left and top
    // edges belong to the rectangle, the right and bottom edges do not, so a
    // pointer on the edge between two touching screens belongs to exactly one.
    bool containsPointer(QPointF p) const {
        return p.x() >= minX() && p.x() < maxX() && p.y() > minY() && p.y() <= maxY();
    }

    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};
