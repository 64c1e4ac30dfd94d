#pragma once

#include <QByteArray>
#include <QString>

// One line of the helper's output: a compact JSON object and a bare line feed.
namespace ResultLine {

// {"path": ..., "text": ...}
QByteArray success(const QString& path, const QString& text);
// {"path": ..., "error": ...}
QByteArray failure(const QString& path, const QString& reason);

} // namespace ResultLine
