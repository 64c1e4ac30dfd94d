#include "QxcaptureArguments.h"

#include <gtest/gtest.h>

TEST(QxcaptureArguments, TakesARegionOrAWindowAndOnePath) {
    const auto region = QxcaptureArguments::parse({"-i", "/tmp/a b.png"});
    ASSERT_TRUE(region);
    EXPECT_FALSE(region->window);
    EXPECT_EQ(region->outputPath, "/tmp/a b.png");
    const auto window = QxcaptureArguments::parse({"-iw", "out.png"});
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->window);
}

TEST(QxcaptureArguments, RejectsEverythingElse) {
    EXPECT_FALSE(QxcaptureArguments::parse({}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-i"}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-i", ""}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-x", "out.png"}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-i", "a.png", "b.png"}));
}
