#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// HEIC and other HEIF pictures, which Qt's image plugins do not read on Linux,
// through libheif as the OCR helper reads them.
namespace HeifImage {

// Whether the first bytes of a file announce a HEIF picture libheif can decode.
bool recognises(const QByteArray& head);

// The primary picture in colour; null when it cannot be decoded.
QImage read(const QString& path);

} // namespace HeifImage
