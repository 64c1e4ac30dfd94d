#pragma once

#include <QImage>

#include <cstdint>
#include <optional>
#include <vector>

// How the content of a region moved between two grabs of it, found from the
// rows alone. Content that scrolled shifts vertically between the two; bands
// at the top and bottom that stay put (a page header, a toolbar, a chat's
// input box) are told apart from it because they do not move.
struct FrameMatch {
    enum class Kind {
        unchanged, // nothing moved, at most a caret blinked or something played
        moved,     // the content moved up by `offset` rows (down when negative)
        ambiguous, // several offsets fit equally well (blank or repeating content)
        lost,      // no offset leaves an overlap that fits: scrolled too far at once
    };

    Kind kind = Kind::lost;
    int offset = 0;
    int footerRows = 0; // rows at the bottom that stayed where they were

    // One 64-bit hash per row of an RGB32 image.
    static std::vector<std::uint64_t> rowHashes(const QImage& frame);

    // Compares `next` with `previous`, both of one size, their hashes given.
    // Where several offsets fit, `sent` (the offset the scroll this program
    // sent should give) wins if it is one of them; nothing else decides.
    static FrameMatch find(const QImage& previous, const std::vector<std::uint64_t>& previousHashes,
                           const QImage& next, const std::vector<std::uint64_t>& nextHashes,
                           std::optional<int> sent);
};
