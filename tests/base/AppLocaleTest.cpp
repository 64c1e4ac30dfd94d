#include "AppLocale.h"

#include <gtest/gtest.h>

TEST(AppLocale, JapaneseOnlyWhenTheFirstPreferredLanguageIsJapanese) {
    const std::pair<QStringList, bool> cases[] = {
        {{"ja-JP", "en-US"}, true},  {{"JA"}, true},       {{"ja"}, true},
        {{"en-JP"}, false},          {{"zh-Hans"}, false}, {{}, false},
        {{"en-US", "ja-JP"}, false},
    };
    for (const auto& [languages, japanese] : cases)
        EXPECT_EQ(AppLocale::prefersJapanese(languages), japanese)
            << languages.join(',').toStdString();
}
