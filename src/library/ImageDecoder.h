#pragma once

#include <QImage>
#include <QString>

// Reads a picture file into memory: every format Qt's image plugins read, and
// HEIF through libheif, told apart by the content rather than the name. GIF and
// TIFF give their first frame; orientation stored in the file is applied.
namespace ImageDecoder {

// The whole picture at full size; null when the path is no readable picture.
QImage read(const QString& path);

// The picture shrunk to fit `maxEdge` pixels (ImageScaling::fittedSize). Where
// the format can, it is decoded straight at the small size, so a 60-megapixel
// file never sits in memory whole.
QImage readFitted(const QString& path, int maxEdge);

} // namespace ImageDecoder
