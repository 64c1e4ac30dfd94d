#include "QxcArguments.h"

#include <gtest/gtest.h>

using Command = QxcArguments::Command;

TEST(QxcArguments, SearchTakesItsTextAndOptionsInAnyOrder) {
    const QxcArguments args =
        QxcArguments::parse({"search", "--json", "save", "as", "--limit", "5"});
    EXPECT_EQ(args.command, Command::search);
    EXPECT_EQ(args.text, "save as");
    EXPECT_EQ(args.limit, 5);
    EXPECT_TRUE(args.json);
}

TEST(QxcArguments, DefaultsAndTheEqualsForm) {
    EXPECT_EQ(QxcArguments::parse({"recent"}).limit, 200);
    EXPECT_FALSE(QxcArguments::parse({"recent"}).json);
    EXPECT_EQ(QxcArguments::parse({"recent", "--limit=10"}).limit, 10);
}

TEST(QxcArguments, DoubleDashLetsTheTextBeginWithADash) {
    const QxcArguments args = QxcArguments::parse({"search", "--", "--force"});
    EXPECT_EQ(args.command, Command::search);
    EXPECT_EQ(args.text, "--force");
}

TEST(QxcArguments, HelpInEveryPlace) {
    EXPECT_EQ(QxcArguments::parse({"--help"}).command, Command::help);
    EXPECT_EQ(QxcArguments::parse({"-h"}).command, Command::help);
    EXPECT_EQ(QxcArguments::parse({"search", "--help"}).command, Command::help);
}

TEST(QxcArguments, MistakesAreUsageErrorsWithOneLine) {
    for (const QStringList& bad : {QStringList{},
                                   {"frobnicate"},
                                   {"ocr", "now"},
                                   {"search"},
                                   {"search", "x", "--limit"},
                                   {"search", "x", "--limit", "0"},
                                   {"search", "x", "--limit", "-3"},
                                   {"recent", "--limit", "ten"},
                                   {"recent", "--limit", "99999999999"},
                                   {"recent", "words"},
                                   {"recent", "--verbose"}}) {
        const QxcArguments args = QxcArguments::parse(bad);
        EXPECT_EQ(args.command, Command::usageError) << qPrintable(bad.join(' '));
        EXPECT_FALSE(args.error.isEmpty());
        EXPECT_FALSE(args.error.contains('\n'));
    }
}
