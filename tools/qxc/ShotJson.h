#pragma once

#include "Shot.h"

#include <QByteArray>
#include <QList>
#include <QRect>

namespace ShotJson {

// One compact JSON object: id, path, filename, takenAt, ocrText (null when
// absent), and for a search's results how it matched and where in the picture
// the words it found stand (`boxes`, in its pixels).
QByteArray line(const Shot& shot, bool searched = false, const QList<QRect>& boxes = {});

} // namespace ShotJson
