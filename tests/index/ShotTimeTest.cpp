#include "ShotTime.h"

#include <gtest/gtest.h>

TEST(ShotTime, MillisecondsAreTruncatedTowardZero) {
    EXPECT_EQ(ShotTime::millisecondsSinceEpoch({1710408413, 999'999'999}), 1710408413999);
    EXPECT_EQ(ShotTime::millisecondsSinceEpoch({0, 0}), 0);
    EXPECT_EQ(ShotTime::millisecondsSinceEpoch({-2, 999'500'000}), -1000); // -1.0005 s
    EXPECT_EQ(ShotTime::millisecondsSinceEpoch({-1, 0}), -1000);
}

TEST(ShotTime, UtcStampsHaveWholeSecondsAndAZone) {
    EXPECT_EQ(ShotTime::utcStamp({1741944413, 900'000'000}), "2025-03-14T09:26:53Z");
}
