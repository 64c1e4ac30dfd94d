#include "FrameMatch.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {

// The overlap a match must keep, in rows: fewer cannot tell content apart.
constexpr int minimumOverlap = 6;
// Different rows that must match for an offset to count: most of a line of
// text, so that a sliver of a repeated line cannot pass for another copy of it.
constexpr int minimumEvidence = 8;
// A blinking caret changes a few columns; a word moved by a row changes more.
constexpr int caretColumns = 4;

using Hashes = std::vector<std::uint64_t>;

bool samePixels(const QImage& a, int rowA, const QImage& b, int rowB) {
    return std::memcmp(a.constScanLine(rowA), b.constScanLine(rowB), std::size_t(a.width()) * 4) ==
           0;
}

// How many columns lie between the first and the last pixel that differ.
int differingColumns(const QImage& a, int rowA, const QImage& b, int rowB) {
    const auto* pa = reinterpret_cast<const quint32*>(a.constScanLine(rowA));
    const auto* pb = reinterpret_cast<const quint32*>(b.constScanLine(rowB));
    int first = 0;
    int last = a.width() - 1;
    while (first <= last && pa[first] == pb[first])
        ++first;
    while (last >= first && pa[last] == pb[last])
        --last;
    return last - first + 1;
}

// Equal, or different only in a narrow run of columns, as where a caret blinks.
bool sameRow(const QImage& a, const Hashes& ha, int rowA, const QImage& b, const Hashes& hb,
             int rowB) {
    if (ha[std::size_t(rowA)] == hb[std::size_t(rowB)] && samePixels(a, rowA, b, rowB))
        return true;
    return differingColumns(a, rowA, b, rowB) <= caretColumns;
}

// A row of one colour.
bool isPlain(const QImage& image, int row) {
    const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(row));
    return std::all_of(line, line + image.width(), [line](quint32 p) { return p == line[0]; });
}

// The `length` rows from `at` appear somewhere else between `top` and `end` too.
bool repeatsElsewhere(const Hashes& h, int top, int end, int at, int length) {
    for (int p = top; p + length <= end; ++p) {
        if (p != at && std::equal(h.begin() + p, h.begin() + p + length, h.begin() + at))
            return true;
    }
    return false;
}

struct Candidate {
    int offset;
    int evidence; // different rows of the previous grab that match
};

} // namespace

std::vector<std::uint64_t> FrameMatch::rowHashes(const QImage& frame) {
    Hashes hashes(std::size_t(frame.height()));
    const int words = frame.width() / 2;
    for (int y = 0; y < frame.height(); ++y) {
        const uchar* line = frame.constScanLine(y);
        std::uint64_t h = 0x9e3779b97f4a7c15ULL ^ std::uint64_t(frame.width());
        for (int i = 0; i < words; ++i) {
            std::uint64_t w;
            std::memcpy(&w, line + std::size_t(i) * 8, 8);
            h = (h ^ w) * 0xff51afd7ed558ccdULL;
            h ^= h >> 32;
        }
        if (frame.width() % 2 != 0) {
            std::uint32_t last;
            std::memcpy(&last, line + std::size_t(words) * 8, 4);
            h = (h ^ last) * 0xc4ceb9fe1a85ec53ULL;
        }
        hashes[std::size_t(y)] = h ^ (h >> 29);
    }
    return hashes;
}

FrameMatch FrameMatch::find(const QImage& a, const Hashes& ha, const QImage& b, const Hashes& hb,
                            std::optional<int> sent) {
    const int height = a.height();
    // Bands that stay where they were: sticky parts, or everything when nothing moved.
    int top = 0;
    while (top < height && sameRow(a, ha, top, b, hb, top))
        ++top;
    if (top == height)
        return {Kind::unchanged, 0, 0};
    int bottom = 0;
    while (bottom < height - top && sameRow(a, ha, height - 1 - bottom, b, hb, height - 1 - bottom))
        ++bottom;
    const int end = height - bottom;
    const int band = end - top;

    // The evidence for an offset is the number of different rows it matches:
    // blank rows, or a line said five times, say little about where content
    // is. A row counts when no row further down the overlap repeats it.
    std::unordered_map<std::uint64_t, int> below;
    std::vector<int> nextAlike(std::size_t(height), height);
    for (int r = end - 1; r >= top; --r) {
        const auto [at, fresh] = below.try_emplace(ha[std::size_t(r)], r);
        if (!fresh) {
            nextAlike[std::size_t(r)] = at->second;
            at->second = r;
        }
        if (isPlain(a, r))
            nextAlike[std::size_t(r)] = -1; // never counts
    }
    // Offsets whose overlap matches by hash but for a few rows, where an
    // animation may play. Offset 0 is one of them: something changed, but
    // perhaps nothing moved.
    std::vector<Candidate> candidates;
    for (int offset = -(band - minimumOverlap); offset <= band - minimumOverlap; ++offset) {
        const int from = std::max(top, top - offset);
        const int to = std::min(end, end - offset);
        const int allowedMisses = std::max(4, (to - from) / 8);
        int misses = 0;
        for (int r = from; r < to && misses <= allowedMisses; ++r)
            misses += ha[std::size_t(r + offset)] != hb[std::size_t(r)];
        if (misses > allowedMisses)
            continue;
        int evidence = 0;
        for (int r = from; r < to; ++r) {
            const int alike = nextAlike[std::size_t(r + offset)];
            evidence += ha[std::size_t(r + offset)] == hb[std::size_t(r)] && alike >= to + offset;
        }
        candidates.push_back({offset, evidence});
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& x, const Candidate& y) { return x.evidence > y.evidence; });

    // A strict fit: every row the same, give or take a caret. A loose one:
    // rows equal by hash are equal on pixels, and the few others differ only
    // in part of their width, as where an animation plays.
    const auto fits = [&](int offset, bool strict) {
        for (int r = std::max(top, top - offset); r < std::min(end, end - offset); ++r) {
            if (ha[std::size_t(r + offset)] == hb[std::size_t(r)] ? !samePixels(a, r + offset, b, r)
                : strict ? !sameRow(a, ha, r + offset, b, hb, r)
                         : differingColumns(a, r + offset, b, r) > a.width() / 4)
                return false;
        }
        return true;
    };
    if (sent &&
        std::any_of(candidates.begin(), candidates.end(),
                    [&](const Candidate& c) { return c.offset == *sent; }) &&
        fits(*sent, true))
        return {*sent == 0 ? Kind::unchanged : Kind::moved, *sent, bottom};
    // Offsets with far less evidence than the best one fit only because their
    // overlap is blank or repeats: any choice among them would be a guess.
    // Unless a sent scroll says so, a match needs a fair share of the band to
    // overlap: a sliver of a few lines may be a copy of lines further on.
    const int trustedOffset = band - std::max(minimumOverlap, band / 8);
    for (const bool strict : {true, false}) {
        std::vector<Candidate> fitting;
        for (const Candidate& c : candidates) {
            if (c.evidence >= minimumEvidence && std::abs(c.offset) <= trustedOffset &&
                fits(c.offset, strict))
                fitting.push_back(c);
        }
        if (fitting.empty())
            continue;
        const int best = fitting.front().evidence;
        const auto strong = [best](const Candidate& c) { return c.evidence * 4 >= best; };
        if (std::count_if(fitting.begin(), fitting.end(), strong) > 1)
            return {Kind::ambiguous, 0, 0};
        // An overlap that also appears elsewhere in either grab may be another
        // copy of itself: the content may as well have moved past the overlap.
        const int offset = fitting.front().offset;
        const int from = std::max(top, top - offset);
        const int length = std::min(end, end - offset) - from;
        if (repeatsElsewhere(ha, top, end, from + offset, length) ||
            repeatsElsewhere(hb, top, end, from, length))
            return {Kind::ambiguous, 0, 0};
        return {offset == 0 ? Kind::unchanged : Kind::moved, offset, bottom};
    }
    const bool weakOnes = std::any_of(candidates.begin(), candidates.end(), [](const Candidate& c) {
        return c.evidence < minimumEvidence;
    });
    return {weakOnes ? Kind::ambiguous : Kind::lost, 0, 0};
}
