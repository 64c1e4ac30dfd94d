#include "AppLocale.h"

#include <gtest/gtest.h>

TEST(AppLocale, JapaneseWhenTheFirstPreferredLanguageIsJapanese) {
    EXPECT_TRUE(AppLocale::prefersJapanese({"ja-JP", "en-US"}));
    EXPECT_TRUE(AppLocale::prefersJapanese({"JA"}));
    EXPECT_TRUE(AppLocale::prefersJapanese({"ja"}));
}

TEST(AppLocale, EnglishOtherwise) {
    EXPECT_FALSE(AppLocale::prefersJapanese({"en-JP"}));
    EXPECT_FALSE(AppLocale::prefersJapanese({"zh-Hans"}));
    EXPECT_FALSE(AppLocale::prefersJapanese({}));
    EXPECT_FALSE(AppLocale::prefersJapanese({"en-US", "ja-JP"}));
}
