#include "FolderScan.h"

#include <gtest/gtest.h>

using FolderScan::parseTakenAt;

namespace {
// 2024-03-14T09:26:53.999Z
const timespec mtime{1710408413, 999'000'000};
} // namespace

TEST(ParseTakenAt, ReadsTheMacStyleName) {
    EXPECT_EQ(parseTakenAt("Screenshot 2025-03-14 at 09.26.53.png", mtime), "2025-03-14T09:26:53");
    EXPECT_EQ(parseTakenAt("Screenshot 2025-03-14 AT 09.26.53.png", mtime), "2025-03-14T09:26:53");
    EXPECT_EQ(parseTakenAt("Screenshot 2025-03-14 at 09:26:53.png", mtime), "2025-03-14T09:26:53");
    EXPECT_EQ(parseTakenAt("Screenshot 2025-03-14at09.26.53.png", mtime), "2025-03-14T09:26:53");
}

TEST(ParseTakenAt, ReadsADateAndTimeWithAnySeparatorBetween) {
    EXPECT_EQ(parseTakenAt("shot 2025-03-14_09.26.53.jpg", mtime), "2025-03-14T09:26:53");
    EXPECT_EQ(parseTakenAt("Screenshot from 2025-03-14 09-26-53.png", mtime),
              "2024-03-14T09:26:53Z");
    EXPECT_EQ(parseTakenAt("x2025-03-14 — 09:26:53y.webp", mtime), "2025-03-14T09:26:53");
}

TEST(ParseTakenAt, KeepsTheDigitsAsWrittenWithoutChecks) {
    EXPECT_EQ(parseTakenAt("Screenshot 2025-13-40 at 99.99.99.png", mtime), "2025-13-40T99:99:99");
    // A 12-hour clock stays as it is: the PM marker is ignored.
    EXPECT_EQ(parseTakenAt("Screenshot 2025-03-14 at 01.02.03 PM.png", mtime),
              "2025-03-14T01:02:03");
    // Any Unicode decimal digits count, and are copied unchanged.
    EXPECT_EQ(
        parseTakenAt(QString::fromUtf8("スクショ ２０２５-０３-１４ at ０９.２６.５３.png"), mtime),
        QString::fromUtf8("２０２５-０３-１４T０９:２６:５３"));
}

TEST(ParseTakenAt, FallsBackToTheModificationTimeInUtc) {
    EXPECT_EQ(parseTakenAt("Screenshot 2025-03-14 at 1.02.03 PM.png", mtime),
              "2024-03-14T09:26:53Z");
    EXPECT_EQ(parseTakenAt("Glimber 2026-12-05-14-03-09.png", mtime), "2024-03-14T09:26:53Z");
    EXPECT_EQ(parseTakenAt("holiday.png", timespec{0, 0}), "1970-01-01T00:00:00Z");
    EXPECT_EQ(parseTakenAt("old.png", timespec{-1, 500'000'000}), "1969-12-31T23:59:59Z");
}
