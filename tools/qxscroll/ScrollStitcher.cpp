#include "ScrollStitcher.h"

#include <algorithm>

ScrollStitcher::ScrollStitcher(QSize region, int maxHeight)
    : region_(region)
    , maxHeight_(maxHeight)
    , rows_(region.width()) {}

int ScrollStitcher::height() const {
    if (reference_.isNull())
        return 0;
    return rows_.rows() + std::max(0, region_.height() - referenceRowsHeld_);
}

bool ScrollStitcher::commit(int from, int to) {
    for (int r = from; r < to; ++r) {
        if (!rows_.append(reference_.constScanLine(r)))
            return false;
    }
    return true;
}

ScrollStitcher::Outcome ScrollStitcher::add(const QImage& grab, std::optional<int> sent) {
    const QImage frame =
        grab.format() == QImage::Format_RGB32 ? grab : grab.convertToFormat(QImage::Format_RGB32);
    if (frame.size() != region_)
        return Outcome::lost;
    std::vector<std::uint64_t> hashes = FrameMatch::rowHashes(frame);
    if (reference_.isNull()) {
        reference_ = frame;
        referenceHashes_ = std::move(hashes);
        return height() > maxHeight_ ? Outcome::full : Outcome::started;
    }
    const FrameMatch match = FrameMatch::find(reference_, referenceHashes_, frame, hashes, sent);
    switch (match.kind) {
    case FrameMatch::Kind::unchanged:
        return Outcome::unchanged;
    case FrameMatch::Kind::ambiguous:
        return Outcome::ambiguous;
    case FrameMatch::Kind::lost:
        return Outcome::lost;
    case FrameMatch::Kind::moved:
        break;
    }
    // The reference's rows above its footer are certain now; below them the
    // new grab goes on, and its own footer waits for the next one.
    const int above = region_.height() - match.footerRows;
    const int held = std::max(referenceRowsHeld_, above);
    const int nextHeld = held - match.offset;
    const int grownTo =
        rows_.rows() + (held - referenceRowsHeld_) + std::max(0, region_.height() - nextHeld);
    if (grownTo > maxHeight_)
        return Outcome::full;
    if (!commit(std::max(referenceRowsHeld_, 0), above))
        return Outcome::failed;
    reference_ = frame;
    referenceHashes_ = std::move(hashes);
    referenceRowsHeld_ = nextHeld;
    lastOffset_ = match.offset;
    return Outcome::appended;
}

bool ScrollStitcher::finish() {
    if (reference_.isNull())
        return true;
    const bool done = commit(std::max(referenceRowsHeld_, 0), region_.height());
    referenceRowsHeld_ = region_.height();
    return done;
}
