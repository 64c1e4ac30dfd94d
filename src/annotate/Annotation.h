#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <optional>

// One drawn item. Geometry is in image points, y up, absolute to the whole
// source image. Lines and arrows keep `rect` unstandardized: its origin is the
// start point and origin + size the end point. Box kinds (rect, ellipse, text,
// blur) are read through their standardized rect; a text item's height is its
// font size.
struct Annotation {
    enum class Kind { line, arrow, rect, ellipse, text, blur };
    enum class BlurShape { rect, ellipse };

    Kind kind = Kind::rect;
    QRectF rect;
    QColor color;
    double lineWidth = 1;
    std::optional<QString> text;
    BlurShape blurShape = BlurShape::rect;
    // Counter-clockwise radians about the centre of the standardized rect; box kinds only.
    double rotation = 0;

    bool isSegment() const { return kind == Kind::line || kind == Kind::arrow; }
    bool isBox() const { return !isSegment(); }

    QPointF start() const { return rect.topLeft(); }
    QPointF end() const { return rect.topLeft() + QPointF(rect.width(), rect.height()); }

    // Text items with a height of 1 or less fall back to a size derived from the width.
    static double defaultTextSize(double lineWidth) { return std::max(lineWidth * 6, 14.0); }
    double textSize() const {
        return std::max(rect.height() > 1 ? rect.height() : defaultTextSize(lineWidth), 1.0);
    }

    friend bool operator==(const Annotation&, const Annotation&) = default;
};
