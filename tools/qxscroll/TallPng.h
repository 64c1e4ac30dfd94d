#pragma once

#include <QString>

class StripStore;

// Writes the rows of a scrolling capture as a PNG, row by row, so that memory
// stays flat however tall it is. Opaque RGB at the pixels captured.
namespace TallPng {

// Empty on success; otherwise what went wrong, and no file is left at `path`.
QString write(StripStore& rows, const QString& path);

} // namespace TallPng
