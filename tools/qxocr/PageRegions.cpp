#include "PageRegions.h"

#include "PixPtr.h"
#include "ShapeBoxes.h"

#include <algorithm>

namespace PageRegions {

namespace {

// Only pictures of a whole screen and more are split.
constexpr qint64 minSplitPixels = 2'000'000;
// Regions are found on a copy this many times smaller on each side.
constexpr int reduction = 4;
// Greys this close to the background's count as background (wallpaper noise,
// a gradient's first steps).
constexpr int backgroundTolerance = 12;
// Content this close together (in the reduced copy) is one region: the lines
// and paragraphs of one window, its title and its body.
constexpr int joinDistance = 15;
// A region smaller than this (in the reduced copy) holds no readable text.
constexpr int minRegionSide = 4;
// Room around each region, in full-size pixels.
constexpr int margin = 8;
// When the regions cover more than this share of the picture, splitting
// saves nothing.
constexpr double maxCoveredShare = 0.7;

int mostCommonGrey(Pix* grey) {
    Numa* raw = pixGetGrayHistogram(grey, 1);
    if (raw == nullptr)
        return -1;
    l_float32 value = 0;
    l_int32 index = 0;
    numaGetMax(raw, &value, &index);
    numaDestroy(&raw);
    return index;
}

// Set where `grey` is further than the tolerance from `background`.
PixPtr contentMask(Pix* grey, int background) {
    PixPtr mask(pixThresholdToBinary(grey, std::max(0, background - backgroundTolerance)));
    PixPtr light(pixThresholdToBinary(grey, std::min(256, background + backgroundTolerance + 1)));
    if (!mask || !light)
        return nullptr;
    pixInvert(light.get(), light.get());
    pixOr(mask.get(), mask.get(), light.get());
    return mask;
}

QList<QRect> mergedOverlapping(QList<QRect> boxes) {
    for (bool merged = true; merged;) {
        merged = false;
        for (qsizetype i = 0; i < boxes.size() && !merged; ++i) {
            for (qsizetype j = i + 1; j < boxes.size(); ++j) {
                if (boxes[i].intersects(boxes[j])) {
                    boxes[i] |= boxes[j];
                    boxes.removeAt(j);
                    merged = true;
                    break;
                }
            }
        }
    }
    return boxes;
}

} // namespace

QList<QRect> find(Pix* grey) {
    const QRect whole(0, 0, pixGetWidth(grey), pixGetHeight(grey));
    if (qint64(whole.width()) * whole.height() < minSplitPixels)
        return {whole};
    const PixPtr small(pixScaleAreaMap(grey, 1.0f / reduction, 1.0f / reduction));
    const int background = small ? mostCommonGrey(small.get()) : -1;
    const PixPtr mask = background >= 0 ? contentMask(small.get(), background) : nullptr;
    // The safe closing: the plain one erodes shapes that touch the picture's
    // edge, and text there (the foot of a scrolled capture) fell outside its region.
    const PixPtr joined(mask ? pixCloseSafeBrick(nullptr, mask.get(), joinDistance, joinDistance)
                             : nullptr);
    QList<QRect> regions;
    for (const QRect& box : ShapeBoxes::of(joined.get())) {
        if (box.width() < minRegionSide || box.height() < minRegionSide)
            continue;
        const QRect region(box.x() * reduction, box.y() * reduction, box.width() * reduction,
                           box.height() * reduction);
        regions.append(region.adjusted(-margin, -margin, margin, margin) & whole);
    }
    regions = mergedOverlapping(regions);
    qint64 covered = 0;
    for (const QRect& region : regions)
        covered += qint64(region.width()) * region.height();
    if (regions.isEmpty() ||
        double(covered) > maxCoveredShare * double(whole.width()) * whole.height())
        return {whole};
    std::sort(regions.begin(), regions.end(), [](const QRect& a, const QRect& b) {
        return a.top() != b.top() ? a.top() < b.top() : a.left() < b.left();
    });
    return regions;
}

} // namespace PageRegions
