#include "PageBands.h"

#include "PixPtr.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace PageBands {

namespace {

std::vector<int> inkPerRow(Pix* binary) {
    // With the bits beyond each row's end cleared, whole words can be counted.
    pixSetPadBits(binary, 0);
    const int height = pixGetHeight(binary);
    const int wordsPerLine = pixGetWpl(binary);
    const l_uint32* data = pixGetData(binary);
    std::vector<int> ink(std::size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const l_uint32* line = data + std::ptrdiff_t(y) * wordsPerLine;
        for (int word = 0; word < wordsPerLine; ++word)
            ink[std::size_t(y)] += std::popcount(line[word]);
    }
    return ink;
}

} // namespace

QList<int> cuts(Pix* binary, int count) {
    const int height = pixGetHeight(binary);
    QList<int> edges{0};
    if (count > 1 && height > count) {
        const std::vector<int> ink = inkPerRow(binary);
        const int band = height / count;
        for (int i = 1; i < count; ++i) {
            const int from = std::max(edges.last() + 1, i * band - band / 4);
            const int to = std::min(height - 1, i * band + band / 4);
            if (from >= to)
                continue;
            const auto cleanest = std::min_element(ink.begin() + from, ink.begin() + to);
            edges.append(int(cleanest - ink.begin()));
        }
    }
    edges.append(height);
    return edges;
}

} // namespace PageBands
