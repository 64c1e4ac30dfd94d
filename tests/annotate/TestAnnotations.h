#pragma once

#include "AnnotationDoc.h"
#include "CanvasViewport.h"
#include "TestImages.h"

#include <cstdlib>

// Items, documents and pixel reads for the editor's tests. Points are y-up
// image points, as the editor uses them.
namespace TestAnnotations {

inline Annotation item(Annotation::Kind kind, const QRectF& rect, double lineWidth = 2,
                       const QColor& colour = Qt::black) {
    Annotation a;
    a.kind = kind;
    a.rect = rect;
    a.lineWidth = lineWidth;
    a.color = colour;
    return a;
}

inline Annotation textItem(const QString& text, const QRectF& rect, double lineWidth = 2) {
    Annotation a = item(Annotation::Kind::text, rect, lineWidth);
    a.text = text;
    return a;
}

inline AnnotationDoc onWhite(int width, int height, QList<Annotation> items = {}) {
    return {TestImages::filled(width, height, Qt::white), std::nullopt, std::move(items)};
}

inline AnnotationDoc onNoise(int width, int height, QList<Annotation> items = {}) {
    return {TestImages::noise(width, height), std::nullopt, std::move(items)};
}

// The colour of the pixel holding the y-up point (x, y).
inline QColor at(const QImage& image, double x, double y) {
    return image.pixelColor(int(x), image.height() - 1 - int(y));
}

inline bool isColour(const QImage& image, double x, double y, const QColor& colour,
                     int tolerance = 40) {
    const QColor c = at(image, x, y);
    return std::abs(c.red() - colour.red()) <= tolerance &&
           std::abs(c.green() - colour.green()) <= tolerance &&
           std::abs(c.blue() - colour.blue()) <= tolerance;
}

// The visible rectangle fitted into a view of the given size, not zoomed or panned.
inline CanvasViewport fittedViewport(QSizeF bounds, QRectF visible) {
    CanvasViewport view;
    view.bounds = bounds;
    view.visible = visible;
    return view;
}

} // namespace TestAnnotations
