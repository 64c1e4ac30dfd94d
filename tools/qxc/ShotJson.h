#pragma once

#include "Shot.h"

#include <QByteArray>

namespace ShotJson {

// One compact JSON object: id, path, filename, takenAt, ocrText (null when
// absent), and for a search's results how it matched.
QByteArray line(const Shot& shot, bool searched = false);

} // namespace ShotJson
