#pragma once

#include "Annotation.h"
#include "CanvasViewport.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>

// Images, items and pixel reads for the editor's tests. Points are y-up image
// points, as the editor uses them.
namespace AnnotateTestImages {

QImage filled(int width, int height, const QColor& colour);
// Every pixel a different-looking colour, so that any averaging shows.
QImage noise(int width, int height, unsigned seed = 7);

// The colour of the pixel holding the y-up point (x, y).
QColor at(const QImage& image, double x, double y);
bool isColour(const QImage& image, double x, double y, const QColor& colour, int tolerance = 40);

Annotation item(Annotation::Kind kind, const QRectF& rect, double lineWidth = 2,
                const QColor& colour = Qt::black);
Annotation textItem(const QString& text, const QRectF& rect, double lineWidth = 2,
                    const QColor& colour = Qt::black);

// The visible rectangle fitted into a view of the given size, not zoomed or panned.
CanvasViewport fittedViewport(QSizeF bounds, QRectF visible);

} // namespace AnnotateTestImages
