#pragma once

#include <QSize>
#include <QString>

// How the library sizes the pictures it shows: shrink to fit a longest edge,
// never enlarge, and name each size of each file apart in the cache.
namespace ImageScaling {

// The size of `source` shrunk so that its longer edge is at most `maxEdge`,
// keeping the aspect ratio; a source already small enough keeps its size. Each
// side is rounded to whole pixels and is at least one pixel; an empty source
// gives an empty size.
QSize fittedSize(QSize source, double maxEdge);

// The longest edge in device pixels of a picture shown `points` large on a
// screen with the given device pixel ratio: 160 points are 320 pixels at 2.
int pixelEdge(double points, double devicePixelRatio);

// "160:/p/a.png": the edge truncated to an integer, a colon, the path as given.
QString cacheKey(double maxEdge, const QString& path);

} // namespace ImageScaling
