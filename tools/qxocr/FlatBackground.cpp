#include "FlatBackground.h"

#include <algorithm>
#include <array>

namespace FlatBackground {

namespace {

// Backgrounds darker than this are dark panels or pictures, not paper.
constexpr int minLightBackground = 96;
// Text whose darkest grey is at most this is dark enough as it is; dimmer
// text is stretched to black, but ink lighter than `faintInk` (grid lines,
// frames, and the dimmest of texts) is only darkened by `faintGain`, which
// keeps grid lines faint enough to stay out of the text beside them.
constexpr int darkInk = 96;
constexpr int faintInk = 176;
constexpr int faintGain = 2;
// Dim ink is darkened by up to this factor, towards this contrast: disabled
// menu items come out dark, while faint grid lines, darkened as much, stay
// lighter than any threshold between black text and white.
constexpr int maxGain = 8;
constexpr int wantedContrast = 200;

} // namespace

PixPtr flatten(Pix* grey, int strokeWidth, int minInkContrast) {
    // A grey closing (the lightest grey nearby, then the darkest of those)
    // wider than any stroke wipes out the text and keeps the edges of panels;
    // the darkest grey nearby is the ink of the text there.
    const int size = 2 * std::max(2, strokeWidth) + 1;
    const PixPtr background(pixCloseGray(grey, size, size));
    const PixPtr ink(background ? pixErodeGray(grey, size, size) : nullptr);
    PixPtr flat(ink ? pixCopy(nullptr, grey) : nullptr);
    if (!flat)
        return nullptr;
    const int width = pixGetWidth(flat.get()), height = pixGetHeight(flat.get());
    const int flatWords = pixGetWpl(flat.get()), backgroundWords = pixGetWpl(background.get()),
              inkWords = pixGetWpl(ink.get());
    for (int y = 0; y < height; ++y) {
        l_uint32* line = pixGetData(flat.get()) + std::ptrdiff_t(y) * flatWords;
        const l_uint32* groundLine =
            pixGetData(background.get()) + std::ptrdiff_t(y) * backgroundWords;
        const l_uint32* inkLine = pixGetData(ink.get()) + std::ptrdiff_t(y) * inkWords;
        for (int x = 0; x < width; ++x) {
            const int ground = GET_DATA_BYTE(groundLine, x);
            if (ground < minLightBackground)
                continue;
            // Stretched between its own ink and its own background, dim text
            // (disabled menu items, captions) comes out as black as the rest;
            // dark text keeps its strokes as thin as they are.
            const int darkest = GET_DATA_BYTE(inkLine, x);
            const int contrast = ground - darkest;
            const int value = GET_DATA_BYTE(line, x);
            int flattened = 255 * value / ground;
            if (contrast < minInkContrast)
                flattened = 255;
            else if (darkest > faintInk)
                flattened = 255 - faintGain * (255 - flattened);
            else if (darkest > darkInk)
                flattened = 255 * (value - darkest) / contrast;
            SET_DATA_BYTE(line, x, l_uint32(std::clamp(flattened, 0, 255)));
        }
    }
    return flat;
}

int borderGrey(Pix* grey) {
    std::array<int, 256> counts{};
    const int width = pixGetWidth(grey), height = pixGetHeight(grey);
    const int words = pixGetWpl(grey);
    const l_uint32* data = pixGetData(grey);
    for (int x = 0; x < width; ++x) {
        ++counts[GET_DATA_BYTE(data, x)];
        ++counts[GET_DATA_BYTE(data + std::ptrdiff_t(height - 1) * words, x)];
    }
    for (int y = 0; y < height; ++y) {
        const l_uint32* line = data + std::ptrdiff_t(y) * words;
        ++counts[GET_DATA_BYTE(line, 0)];
        ++counts[GET_DATA_BYTE(line, width - 1)];
    }
    return int(std::max_element(counts.begin(), counts.end()) - counts.begin());
}

PixPtr pad(Pix* grey, int width, int value) {
    return PixPtr(pixAddBorder(grey, width, l_uint32(value)));
}

} // namespace FlatBackground
