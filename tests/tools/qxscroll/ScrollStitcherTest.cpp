#include "ScrollStitcher.h"

#include "ScrollingPage.h"
#include "TallPng.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Scrolls a page from its top to its end in random steps: single rows, pauses,
// long moves, and once a move too far to overlap. Odd seeds scroll as
// Auto-scroll does, telling the stitcher each step; even ones as a person does,
// who scrolls back up a little whenever the bar says the move was lost or
// could not be measured.
TEST(ScrollStitcher, RandomScrollOfATallPageGivesThePageItself) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const ScrollingPage page(320, 3000, 240, seed);
        ScrollStitcher stitcher({320, 240}, 100'000);
        std::mt19937 random(seed);
        int position = 0;
        int held = 0; // the furthest position the stitcher placed
        bool caret = false;
        bool caretHeld = false;
        bool jumped = false;
        ASSERT_EQ(stitcher.add(page.frame(0, caret)), ScrollStitcher::Outcome::started);
        for (int frames = 0; position < page.lastPosition(); ++frames) {
            ASSERT_LT(frames, 2000) << "stuck at " << position << ", placed up to " << held;
            const unsigned kind = random() % 8u;
            int step = kind == 0 ? 1 : kind == 1 ? 0 : 1 + int(random() % 150u);
            const bool jump = !jumped && position > 1000;
            if (jump) {
                step = 400; // more than the region shows
                jumped = true;
            }
            position = std::min(position + step, page.lastPosition());
            caret = !caret;
            const ScrollStitcher::Outcome outcome =
                stitcher.add(page.frame(position, caret),
                             seed % 2 ? std::optional(position - held) : std::nullopt);
            if (outcome == ScrollStitcher::Outcome::appended) {
                held = position;
                caretHeld = caret;
            }
            if (jump) {
                EXPECT_NE(outcome, ScrollStitcher::Outcome::appended) << "the jump went unreported";
            }
            if (outcome == ScrollStitcher::Outcome::lost ||
                outcome == ScrollStitcher::Outcome::ambiguous)
                position = held + 1 + int(random() % 20u);
            ASSERT_NE(outcome, ScrollStitcher::Outcome::full);
        }
        ASSERT_TRUE(stitcher.finish());
        EXPECT_EQ(stitcher.height(), page.captured(held, caretHeld).height());
        QTemporaryDir dir;
        const QString out = dir.filePath("tall.png");
        ASSERT_EQ(TallPng::write(stitcher.rows(), out), "");
        EXPECT_EQ(firstDifferentRow(QImage(out), page.captured(held, caretHeld)), "");
    }
}

TEST(ScrollStitcher, RefusesToGrowPastItsHeightAndKeepsWhatItHas) {
    const ScrollingPage page(320, 3000, 240, 3);
    ScrollStitcher stitcher({320, 240}, 1000);
    ScrollStitcher::Outcome outcome = stitcher.add(page.frame(0, false));
    for (int position = 100; outcome != ScrollStitcher::Outcome::full; position += 100)
        outcome = stitcher.add(page.frame(position, false), 100);
    EXPECT_LE(stitcher.height(), 1000);
    EXPECT_GT(stitcher.height(), 900);
}

} // namespace
