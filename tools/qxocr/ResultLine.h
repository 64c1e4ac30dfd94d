#pragma once

#include "RecognizedPage.h"

#include <QByteArray>
#include <QString>

// One line of the helper's output: a compact JSON object and a bare line feed.
namespace ResultLine {

// {"path": ..., "text": ..., "words": [[x, y, width, height, "text"], ...]}:
// the page's text and where each of its words stands in the picture's pixels.
QByteArray success(const QString& path, const RecognizedPage& page);
// {"path": ..., "error": ...}
QByteArray failure(const QString& path, const QString& reason);

} // namespace ResultLine
