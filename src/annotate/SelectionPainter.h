#pragma once

#include "Annotation.h"
#include "CanvasViewport.h"

#include <QColor>
#include <QPainter>

// The selected item's outline and handles, in view points with y up.
namespace SelectionPainter {

inline constexpr double handleSize = 10;

void draw(QPainter& painter, const Annotation& item, const CanvasViewport& viewport,
          const QColor& accent);

} // namespace SelectionPainter
