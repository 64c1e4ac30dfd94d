#include "AppPaths.h"

#include "AppLocale.h"
#include "SandboxHome.h"

#include <QDir>

#include <gtest/gtest.h>

// Where the files live is checked by the tests that read them: qxc's and the configuration's.
TEST(AppPaths, PathsAreAbsoluteAndClean) {
    SandboxHome home;
    EXPECT_EQ(AppPaths::directoryPath("~/Shots/"), home.path() + "/Shots");
    EXPECT_EQ(AppPaths::directoryPath("/tmp//a/./b"), "/tmp/a/b");
    EXPECT_EQ(AppPaths::directoryPath("rel"), QDir::current().absoluteFilePath("rel"));
    // A tilde expands only at the start.
    EXPECT_EQ(AppPaths::expandTilde("~"), home.path());
    EXPECT_EQ(AppPaths::expandTilde("~/Shots"), home.path() + "/Shots");
    EXPECT_EQ(AppPaths::expandTilde("/a/~/b"), "/a/~/b");
    EXPECT_EQ(AppPaths::expandTilde("~root/x"), "/root/x");
    EXPECT_EQ(AppPaths::expandTilde("~no-such-user-here/x"), "~no-such-user-here/x");
}

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
