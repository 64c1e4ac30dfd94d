#pragma once

#include "Shot.h"

#include <QByteArray>

namespace ShotJson {

// One compact JSON object: id, path, filename, takenAt, ocrText (null when absent).
QByteArray line(const Shot& shot);

} // namespace ShotJson
