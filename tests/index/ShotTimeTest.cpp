#include "ShotTime.h"

#include "FolderScan.h"

#include <gtest/gtest.h>

TEST(ShotTime, TakenAtIsReadFromTheNameOrIsTheModificationTimeInUtc) {
    const timespec mtime{1710408413, 999'000'000}; // 2024-03-14T09:26:53.999Z
    const std::pair<const char*, const char*> cases[] = {
        {"Screenshot 2025-03-14 at 09.26.53.png", "2025-03-14T09:26:53"},
        {"Screenshot 2025-03-14 AT 09.26.53.png", "2025-03-14T09:26:53"},
        {"Screenshot 2025-03-14 at 09:26:53.png", "2025-03-14T09:26:53"},
        {"Screenshot 2025-03-14at09.26.53.png", "2025-03-14T09:26:53"},
        {"shot 2025-03-14_09.26.53.jpg", "2025-03-14T09:26:53"},
        {"x2025-03-14 — 09:26:53y.webp", "2025-03-14T09:26:53"},
        // The digits as written, without checks; a PM marker is ignored.
        {"Screenshot 2025-13-40 at 99.99.99.png", "2025-13-40T99:99:99"},
        {"Screenshot 2025-03-14 at 01.02.03 PM.png", "2025-03-14T01:02:03"},
        {"スクショ ２０２５-０３-１４ at ０９.２６.５３.png", "２０２５-０３-１４T０９:２６:５３"},
        // Hyphens between the time digits, or a one-digit hour, match no pattern.
        {"Screenshot from 2025-03-14 09-26-53.png", "2024-03-14T09:26:53Z"},
        {"Glimber 2026-12-05-14-03-09.png", "2024-03-14T09:26:53Z"},
        {"Screenshot 2025-03-14 at 1.02.03 PM.png", "2024-03-14T09:26:53Z"},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(FolderScan::parseTakenAt(QString::fromUtf8(name), mtime),
                  QString::fromUtf8(expected))
            << name;
    EXPECT_EQ(FolderScan::parseTakenAt("holiday.png", {0, 0}), "1970-01-01T00:00:00Z");
    EXPECT_EQ(FolderScan::parseTakenAt("old.png", {-1, 500'000'000}), "1969-12-31T23:59:59Z");
}

TEST(ShotTime, MillisecondsAreTruncatedTowardZero) {
    EXPECT_EQ(ShotTime::millisecondsSinceEpoch({1710408413, 999'999'999}), 1710408413999);
    EXPECT_EQ(ShotTime::millisecondsSinceEpoch({-2, 999'500'000}), -1000); // -1.0005 s
    EXPECT_EQ(ShotTime::millisecondsSinceEpoch({-1, 0}), -1000);
    EXPECT_EQ(ShotTime::utcStamp({1741944413, 900'000'000}), "2025-03-14T09:26:53Z");
}
