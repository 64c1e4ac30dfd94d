#pragma once

#include <array>

struct Pix;

// How many pixels of an 8-bit grey picture have each grey value.
class GreyHistogram {
public:
    // The whole picture (a sample of every few pixels when it is large).
    static GreyHistogram of(Pix* grey);
    // The pixels of `grey` under the set bits of `mask` (1 bit), whose top left
    // corner lies at (`left`, `top`) in `grey`.
    static GreyHistogram under(Pix* grey, Pix* mask, int left, int top);

    int median() const;
    // Otsu's threshold: the split that best separates the two classes of grey.
    int otsuThreshold() const;
    // The grey value below which `fraction` of the pixels in [from, to) lie.
    int percentile(int from, int to, double fraction) const;
    // As if the picture had been inverted.
    void invert();

private:
    std::array<double, 256> counts_{};
};
