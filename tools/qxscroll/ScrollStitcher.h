#pragma once

#include "FrameMatch.h"
#include "StripStore.h"

#include <QImage>

#include <cstdint>
#include <optional>
#include <vector>

// Builds one tall picture from successive grabs of a region whose content
// scrolls. Each grab is matched against the last one that was placed (the
// reference), so a grab that cannot be placed loses nothing: the next one is
// matched against the same reference. Rows go into the result only once it is
// certain where they belong; the reference's rows below that point wait, so a
// sticky footer ends up once, at the bottom, and a sticky header once, at the top.
class ScrollStitcher {
public:
    enum class Outcome {
        started,   // the first grab
        appended,  // the content moved and the result grew (or would, had it moved down)
        unchanged, // nothing moved
        ambiguous, // blank or repeating content: the move could not be measured yet
        lost,      // moved too far to overlap the reference: nothing was added
        full,      // the result would grow past the height limit: nothing was added
        failed,    // the rows could not be stored: see error()
    };

    ScrollStitcher(QSize region, int maxHeight);

    // `frame` is a grab of the region. `sent` is the offset that the scroll
    // this program sent should produce, when it sent one.
    Outcome add(const QImage& frame, std::optional<int> sent = std::nullopt);

    // Height of the result if it were finished now.
    int height() const;
    int lastOffset() const { return lastOffset_; }
    QString error() const { return rows_.error(); }

    // Puts the reference's waiting rows into the result, which then holds all.
    bool finish();
    StripStore& rows() { return rows_; }

private:
    bool commit(int from, int to);

    QSize region_;
    int maxHeight_;
    StripStore rows_;
    QImage reference_;
    std::vector<std::uint64_t> referenceHashes_;
    // How many rows of the reference, from its top, the result already holds.
    // Negative or past its height after moves the other way.
    int referenceRowsHeld_ = 0;
    int lastOffset_ = 0;
};
