#pragma once

#include "AnnotationDoc.h"

#include <QImage>
#include <QString>

#include <optional>

// Flattens a document into an image: the visible part of the source with every
// item drawn over it. The canvas asks for a reduced size, the exports for the full one.
namespace AnnotationRenderer {

// One pixel per point of the visible rectangle, scaled down (never up) so that
// the longer side fits `maxDimension` when one is given; each side at least 1.
QImage render(const AnnotationDoc& doc, std::optional<double> maxDimension = std::nullopt);

// The scale render() uses for a visible rectangle.
double renderScale(const QRectF& visible, std::optional<double> maxDimension);

// Width of `text` set in the semibold system font of size max(fontSize, 1), at least 20.
double measureTextWidth(const QString& text, double fontSize);

} // namespace AnnotationRenderer
