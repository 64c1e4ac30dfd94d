#include "PixArea.h"

namespace PixArea {

QSize size(Pix* pix) {
    return QSize(pixGetWidth(pix), pixGetHeight(pix));
}

PixPtr clip(Pix* pix, QRect area) {
    Box* box = boxCreate(area.x(), area.y(), area.width(), area.height());
    PixPtr part(pixClipRectangle(pix, box, nullptr));
    boxDestroy(&box);
    return part;
}

} // namespace PixArea
