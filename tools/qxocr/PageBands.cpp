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

std::vector<int> inkPerColumn(Pix* binary) {
    const int width = pixGetWidth(binary), height = pixGetHeight(binary);
    const int wordsPerLine = pixGetWpl(binary);
    const l_uint32* data = pixGetData(binary);
    std::vector<int> ink(std::size_t(width), 0);
    for (int y = 0; y < height; ++y) {
        const l_uint32* line = data + std::ptrdiff_t(y) * wordsPerLine;
        for (int x = 0; x < width; ++x)
            ink[std::size_t(x)] += int(GET_DATA_BIT(line, x));
    }
    return ink;
}

// `count` stretches of about equal length, each edge at the least ink within
// a quarter stretch of where it would fall.
QList<int> cutsAlong(const std::vector<int>& ink, int count) {
    const int length = int(ink.size());
    QList<int> edges{0};
    if (count > 1 && length > count) {
        const int stretch = length / count;
        for (int i = 1; i < count; ++i) {
            const int from = std::max(edges.last() + 1, i * stretch - stretch / 4);
            const int to = std::min(length - 1, i * stretch + stretch / 4);
            if (from >= to)
                continue;
            const auto cleanest = std::min_element(ink.begin() + from, ink.begin() + to);
            edges.append(int(cleanest - ink.begin()));
        }
    }
    edges.append(length);
    return edges;
}

// Stretches of at most `maxLength`: edges move by up to a quarter stretch, so
// the nominal stretch is two thirds of that.
int countFor(int length, int maxLength) {
    return length <= maxLength ? 1 : (3 * length + 2 * maxLength - 1) / (2 * maxLength);
}

} // namespace

QList<int> cuts(Pix* binary, int count) {
    return cutsAlong(inkPerRow(binary), count);
}

QList<QRect> pieces(Pix* grey, int maxSide) {
    const int width = pixGetWidth(grey), height = pixGetHeight(grey);
    if (width <= maxSide && height <= maxSide)
        return {QRect(0, 0, width, height)};
    const PixPtr binary(pixThresholdToBinary(grey, 128));
    if (!binary)
        return {};
    const QList<int> rows = cutsAlong(inkPerRow(binary.get()), countFor(height, maxSide));
    const QList<int> columns = cutsAlong(inkPerColumn(binary.get()), countFor(width, maxSide));
    QList<QRect> result;
    for (qsizetype r = 0; r + 1 < rows.size(); ++r) {
        for (qsizetype c = 0; c + 1 < columns.size(); ++c)
            result.append(
                QRect(QPoint(columns[c], rows[r]), QPoint(columns[c + 1] - 1, rows[r + 1] - 1)));
    }
    return result;
}

} // namespace PageBands
