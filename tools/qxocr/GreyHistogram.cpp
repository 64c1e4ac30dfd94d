#include "GreyHistogram.h"

#include "PixPtr.h"

#include <algorithm>
#include <cmath>

GreyHistogram GreyHistogram::of(Pix* grey) {
    GreyHistogram histogram;
    const int width = pixGetWidth(grey), height = pixGetHeight(grey);
    const int wordsPerLine = pixGetWpl(grey);
    const l_uint32* data = pixGetData(grey);
    // Every pixel of a screenshot-sized picture; a sample of larger ones is as good.
    const int step = std::max(1, int(std::sqrt(double(width) * height / 4e6)));
    for (int y = 0; y < height; y += step) {
        const l_uint32* line = data + std::ptrdiff_t(y) * wordsPerLine;
        for (int x = 0; x < width; x += step)
            histogram.counts_[GET_DATA_BYTE(line, x)] += 1;
    }
    return histogram;
}

GreyHistogram GreyHistogram::under(Pix* grey, Pix* mask, int left, int top) {
    GreyHistogram histogram;
    const int greyWords = pixGetWpl(grey), maskWords = pixGetWpl(mask);
    const l_uint32* greyData = pixGetData(grey);
    const l_uint32* maskData = pixGetData(mask);
    for (int y = 0; y < pixGetHeight(mask); ++y) {
        const l_uint32* greyLine = greyData + std::ptrdiff_t(top + y) * greyWords;
        const l_uint32* maskLine = maskData + std::ptrdiff_t(y) * maskWords;
        for (int x = 0; x < pixGetWidth(mask); ++x) {
            if (GET_DATA_BIT(maskLine, x))
                histogram.counts_[GET_DATA_BYTE(greyLine, left + x)] += 1;
        }
    }
    return histogram;
}

int GreyHistogram::median() const {
    return percentile(0, 256, 0.5);
}

int GreyHistogram::otsuThreshold() const {
    double total = 0, sum = 0;
    for (int value = 0; value < 256; ++value) {
        total += counts_[value];
        sum += value * counts_[value];
    }
    double below = 0, sumBelow = 0, best = -1;
    int threshold = 128;
    for (int value = 0; value < 255; ++value) {
        below += counts_[value];
        sumBelow += value * counts_[value];
        const double above = total - below;
        if (below == 0 || above == 0)
            continue;
        const double meanBelow = sumBelow / below;
        const double meanAbove = (sum - sumBelow) / above;
        const double spread = below * above * (meanBelow - meanAbove) * (meanBelow - meanAbove);
        if (spread > best) {
            best = spread;
            threshold = value + 1;
        }
    }
    return threshold;
}

int GreyHistogram::percentile(int from, int to, double fraction) const {
    double total = 0;
    for (int value = from; value < to; ++value)
        total += counts_[value];
    double seen = 0;
    for (int value = from; value < to; ++value) {
        seen += counts_[value];
        if (seen >= fraction * total)
            return value;
    }
    return to - 1;
}

void GreyHistogram::invert() {
    std::reverse(counts_.begin(), counts_.end());
}
