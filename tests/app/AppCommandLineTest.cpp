#include "AppCommandLine.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(AppCommandLine, PlainStartIsAnEmptyRequest) {
    const AppCommandLine line = AppCommandLine::parse({});
    EXPECT_EQ(line.kind, AppCommandLine::Kind::request);
    EXPECT_TRUE(line.request.isEmpty());
}

TEST(AppCommandLine, EveryActionOfTheMenuHasItsOption) {
    for (const char* name :
         {"capture-region", "capture-window", "capture-scroll", "open-save-folder", "quit"}) {
        const AppCommandLine line = AppCommandLine::parse({QStringLiteral("--") + name});
        EXPECT_EQ(line.kind, AppCommandLine::Kind::request) << name;
        EXPECT_EQ(line.request, QStringList{name});
        EXPECT_TRUE(AppCommandLine::usage().contains(QStringLiteral("--") + name)) << name;
    }
}

TEST(AppCommandLine, AnnotateTakesOnePathMadeAbsolute) {
    const AppCommandLine line = AppCommandLine::parse({"--annotate", "shots/a shot.png"});
    EXPECT_EQ(line.kind, AppCommandLine::Kind::request);
    EXPECT_EQ(line.request,
              (QStringList{"annotate", QDir::current().absoluteFilePath("shots/a shot.png")}));
    EXPECT_EQ(AppCommandLine::parse({"--annotate"}).kind, AppCommandLine::Kind::usageError);
    EXPECT_EQ(AppCommandLine::parse({"--annotate", "a.png", "b.png"}).kind,
              AppCommandLine::Kind::usageError);
}

TEST(AppCommandLine, HelpAndMistakesAreTold) {
    EXPECT_EQ(AppCommandLine::parse({"--help"}).kind, AppCommandLine::Kind::help);
    EXPECT_EQ(AppCommandLine::parse({"-h"}).kind, AppCommandLine::Kind::help);
    const AppCommandLine unknown = AppCommandLine::parse({"--capture-everything"});
    EXPECT_EQ(unknown.kind, AppCommandLine::Kind::usageError);
    EXPECT_TRUE(unknown.error.contains("--capture-everything"));
    EXPECT_EQ(AppCommandLine::parse({"capture-region"}).kind, AppCommandLine::Kind::usageError);
    EXPECT_EQ(AppCommandLine::parse({"--quit", "now"}).kind, AppCommandLine::Kind::usageError);
}

} // namespace
