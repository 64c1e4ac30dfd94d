#pragma once

#include <QImage>
#include <QString>

// The capture's output file: a PNG at the given path, written whole or not at
// all. A failure leaves no file and is said on standard error, as
// "qxcapture: cannot write PATH: REASON".
namespace PngFile {

bool write(const QImage& image, const QString& path);

// Moves a picture another program wrote to `path`, re-encoding it as PNG if it
// is something else. The source file is gone afterwards either way.
bool adopt(const QString& source, const QString& path);

} // namespace PngFile
