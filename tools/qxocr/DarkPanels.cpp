#include "DarkPanels.h"

#include "GreyHistogram.h"
#include "PixPtr.h"

#include <algorithm>
#include <array>

namespace DarkPanels {

namespace {

// Saturated accent colours (selection blue, button blue, purple sidebars) are
// darker than this; the light greys of toolbars and plain buttons are not.
constexpr int panelThreshold = 150;
// A panel is solid (its holes filled, it covers most of its box), mostly dark
// itself, holds light shapes (text) clearly brighter than itself, and is
// shaped like a bar, a button or a large area rather than like one bold glyph.
constexpr double minPanelFill = 0.85;
constexpr int minPanelContrast = 48;
constexpr int minPanelLightArea = 16;
constexpr double maxPanelLight = 0.5;
constexpr int minPanelHeight = 8;
constexpr int minPanelWidth = 24;
constexpr int largePanelSide = 100;
// A light box in a panel (a window, an input field) is at least this large and solid.
constexpr int minLightBoxSide = 20;
constexpr double minLightBoxFill = 0.7;
// The lines between a list's columns are at most this wide; a row they cross
// is at least this many times as long as it is tall.
constexpr int maxColumnLine = 2;
constexpr int minRowLength = 8;
// A band is dark along this share of each of its sides at least, and a
// rounded corner takes at most this share of its shorter side.
constexpr double minSideInk = 0.6;
constexpr int maxCornerShare = 4;

enum class Shapes { Panels, Rows };

bool panelShaped(int width, int height, Shapes shapes) {
    if (shapes == Shapes::Rows)
        return height >= minPanelHeight && width >= minRowLength * height;
    if (height < minPanelHeight || width < minPanelWidth)
        return false;
    return width >= 2 * height || (width >= largePanelSide && height >= largePanelSide);
}

bool solid(Pix* part, int width, int height, double minFill) {
    l_int32 area = 0;
    pixCountPixels(part, &area, nullptr);
    return area >= minFill * width * height;
}

// Turns the panel's colour white and its light text black. A plain inversion
// would leave the panel mid-grey, right where Tesseract's own threshold falls.
bool whitenUnderMask(Pix* grey, Pix* mask, int left, int top) {
    const GreyHistogram counts = GreyHistogram::under(grey, mask, left, top);
    const int ground = counts.percentile(0, panelThreshold, 0.5);
    const int ink = counts.percentile(panelThreshold, 256, 0.9);
    if (ink - ground < minPanelContrast)
        return false;
    std::array<l_uint32, 256> mapped{};
    for (int value = 0; value < 256; ++value)
        mapped[value] = l_uint32(std::clamp(255 * (ink - value) / (ink - ground), 0, 255));
    const int greyWords = pixGetWpl(grey), maskWords = pixGetWpl(mask);
    l_uint32* greyData = pixGetData(grey);
    const l_uint32* maskData = pixGetData(mask);
    for (int y = 0; y < pixGetHeight(mask); ++y) {
        l_uint32* greyLine = greyData + std::ptrdiff_t(top + y) * greyWords;
        const l_uint32* maskLine = maskData + std::ptrdiff_t(y) * maskWords;
        for (int x = 0; x < pixGetWidth(mask); ++x) {
            if (GET_DATA_BIT(maskLine, x))
                SET_DATA_BYTE(greyLine, left + x, mapped[GET_DATA_BYTE(greyLine, left + x)]);
        }
    }
    return true;
}

// Light boxes inside a dark area (windows on a dark desktop, input fields in a
// dark sidebar) hold dark text of their own and must keep their colours.
void keepLightBoxes(Pix* mask, Pix* light) {
    Pixa* rawParts = nullptr;
    BoxaPtr boxes(pixConnComp(light, &rawParts, 4));
    PixaPtr parts(rawParts);
    if (!boxes || !parts)
        return;
    for (int i = 0; i < boxaGetCount(boxes.get()); ++i) {
        l_int32 x = 0, y = 0, width = 0, height = 0;
        boxaGetBoxGeometry(boxes.get(), i, &x, &y, &width, &height);
        if (width < minLightBoxSide || height < minLightBoxSide)
            continue;
        PixPtr part(pixaGetPix(parts.get(), i, L_CLONE));
        if (solid(part.get(), width, height, minLightBoxFill))
            pixRasterop(mask, x, y, width, height, PIX_CLR, nullptr, 0, 0);
    }
}

// The share of the pixels of `part`'s row or column `line` that are set.
double inkShare(Pix* part, int line, bool row) {
    const int length = row ? pixGetWidth(part) : pixGetHeight(part);
    int ink = 0;
    for (int i = 0; i < length; ++i) {
        l_uint32 value = 0;
        pixGetPixel(part, row ? i : line, row ? line : i, &value);
        ink += int(value);
    }
    return double(ink) / std::max(1, length);
}

bool darkOnEverySide(Pix* part) {
    const int width = pixGetWidth(part), height = pixGetHeight(part);
    return inkShare(part, 0, true) >= minSideInk &&
           inkShare(part, height - 1, true) >= minSideInk &&
           inkShare(part, 0, false) >= minSideInk && inkShare(part, width - 1, false) >= minSideInk;
}

// The ground outside a rounded corner: small, and against two adjacent sides.
bool atCorner(int x, int y, int width, int height, int boxWidth, int boxHeight) {
    const bool side = x <= 1 || x + width >= boxWidth - 1;
    const bool end = y <= 1 || y + height >= boxHeight - 1;
    const int largest = std::max(2, std::min(boxWidth, boxHeight) / maxCornerShare);
    return side && end && width <= largest && height <= largest;
}

// A dark component with its holes (the light text) filled. A band as tall as
// its letters (text selected in a field) has letters on its very edge, which
// are no holes; when every side of it is mostly dark it is a band, and its
// edge is drawn in before filling, so those letters count too. (An L, a
// frame open on one side or a panel with a window in its corner is not.) What that
// encloses at a corner is the ground outside a rounded corner, and stays out.
PixPtr filled(Pix* part) {
    if (!darkOnEverySide(part))
        return PixPtr(pixFillClosedBorders(part, 4));
    PixPtr framed(pixCopy(nullptr, part));
    if (!framed || pixSetOrClearBorder(framed.get(), 1, 1, 1, 1, PIX_SET) != 0)
        return nullptr;
    PixPtr result(pixFillClosedBorders(framed.get(), 4));
    PixPtr holes(result ? pixSubtract(nullptr, result.get(), framed.get()) : nullptr);
    Pixa* rawHoles = nullptr;
    BoxaPtr boxes(holes ? pixConnComp(holes.get(), &rawHoles, 4) : nullptr);
    PixaPtr holeParts(rawHoles);
    if (!boxes || !holeParts)
        return nullptr;
    for (int i = 0; i < boxaGetCount(boxes.get()); ++i) {
        l_int32 x = 0, y = 0, width = 0, height = 0;
        boxaGetBoxGeometry(boxes.get(), i, &x, &y, &width, &height);
        if (!atCorner(x, y, width, height, pixGetWidth(part), pixGetHeight(part)))
            continue;
        PixPtr hole(pixaGetPix(holeParts.get(), i, L_CLONE));
        pixRasterop(result.get(), x, y, width, height, PIX_DST & PIX_NOT(PIX_SRC), hole.get(), 0,
                    0);
    }
    // The drawn edge belongs to the band only where the band was.
    pixXor(framed.get(), framed.get(), part);
    pixSubtract(result.get(), result.get(), framed.get());
    return result;
}

// The part of a dark component to turn: the component with its holes (the
// light text), less any light boxes; null when it is no panel with text.
PixPtr panelMask(Pix* dark, Pixa* parts, Boxa* boxes, int index, Shapes shapes) {
    l_int32 x = 0, y = 0, width = 0, height = 0;
    boxaGetBoxGeometry(boxes, index, &x, &y, &width, &height);
    if (!panelShaped(width, height, shapes))
        return nullptr;
    PixPtr part(pixaGetPix(parts, index, L_CLONE));
    PixPtr mask(part ? filled(part.get()) : nullptr);
    if (!mask || !solid(mask.get(), width, height, minPanelFill))
        return nullptr;
    Box* box = boxaGetBox(boxes, index, L_CLONE);
    PixPtr darkPart(pixClipRectangle(dark, box, nullptr));
    boxDestroy(&box);
    PixPtr light(darkPart ? pixSubtract(nullptr, mask.get(), darkPart.get()) : nullptr);
    if (!light)
        return nullptr;
    keepLightBoxes(mask.get(), light.get());
    pixAnd(light.get(), light.get(), mask.get());
    l_int32 maskArea = 0, lightArea = 0;
    pixCountPixels(mask.get(), &maskArea, nullptr);
    pixCountPixels(light.get(), &lightArea, nullptr);
    // A frame drawn around light content encloses mostly light: no panel.
    const bool mostlyDark = lightArea <= maxPanelLight * maskArea;
    return mostlyDark && lightArea >= minPanelLightArea ? std::move(mask) : nullptr;
}

// Turns the panels of `shapes` among the components of `dark`.
int invertPanels(Pix* grey, Pix* dark, Shapes shapes) {
    Pixa* rawParts = nullptr;
    BoxaPtr boxes(pixConnComp(dark, &rawParts, 8));
    PixaPtr parts(rawParts);
    if (!boxes || !parts)
        return 0;
    int turned = 0;
    for (int i = 0; i < boxaGetCount(boxes.get()); ++i) {
        PixPtr mask = panelMask(dark, parts.get(), boxes.get(), i, shapes);
        if (!mask)
            continue;
        l_int32 x = 0, y = 0, width = 0, height = 0;
        boxaGetBoxGeometry(boxes.get(), i, &x, &y, &width, &height);
        if (whitenUnderMask(grey, mask.get(), x, y))
            ++turned;
    }
    return turned;
}

} // namespace

int invert(Pix* grey) {
    PixPtr dark(pixThresholdToBinary(grey, panelThreshold));
    if (!dark)
        return 0;
    int turned = invertPanels(grey, dark.get(), Shapes::Panels);
    // A selected row crossed by the thin lines between a list's columns is
    // one component with the whole list. Without lines narrower than
    // `maxColumnLine` it stands alone; rows are looked for only now, as
    // cutting the lines first would open the text of narrow bands to their
    // edge, and only rows, as the cut turns icons into panels too.
    dark.reset(pixThresholdToBinary(grey, panelThreshold));
    PixPtr withoutLines(dark ? pixOpenBrick(nullptr, dark.get(), maxColumnLine + 1, 1) : nullptr);
    if (withoutLines)
        turned += invertPanels(grey, withoutLines.get(), Shapes::Rows);
    return turned;
}

} // namespace DarkPanels
