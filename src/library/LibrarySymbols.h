#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The library's small pictures, drawn as lines in one colour so they look the
// same on every desktop, with or without an icon theme.
namespace LibrarySymbols {

// A picture frame with a hill and a sun: a row whose thumbnail is missing.
void paintPhoto(QPainter& painter, const QRectF& box, const QColor& ink);
// The same frame in front of a tilted second one: the empty list.
void paintPhotoStack(QPainter& painter, const QRectF& box, const QColor& ink);
// A magnifying glass: the search field.
void paintMagnifier(QPainter& painter, const QRectF& box, const QColor& ink);
// A triangle with an exclamation mark: a picture that cannot be read.
void paintWarning(QPainter& painter, const QRectF& box, const QColor& ink);

} // namespace LibrarySymbols
