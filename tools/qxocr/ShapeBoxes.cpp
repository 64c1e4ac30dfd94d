#include "ShapeBoxes.h"

#include "PixPtr.h"

namespace ShapeBoxes {

namespace {

constexpr int maxWidthInHeights = 3;

} // namespace

QList<QRect> of(Pix* binary) {
    const BoxaPtr boxes(binary ? pixConnCompBB(binary, 8) : nullptr);
    QList<QRect> result;
    for (int i = 0; boxes && i < boxaGetCount(boxes.get()); ++i) {
        l_int32 x = 0, y = 0, width = 0, height = 0;
        boxaGetBoxGeometry(boxes.get(), i, &x, &y, &width, &height);
        result.append(QRect(x, y, width, height));
    }
    return result;
}

QList<QRect> glyphLike(Pix* grey, int threshold, int minHeight) {
    const PixPtr dark(pixThresholdToBinary(grey, threshold));
    QList<QRect> glyphs = of(dark.get());
    glyphs.removeIf([minHeight](const QRect& box) {
        return box.height() < minHeight || box.width() > maxWidthInHeights * box.height();
    });
    return glyphs;
}

} // namespace ShapeBoxes
