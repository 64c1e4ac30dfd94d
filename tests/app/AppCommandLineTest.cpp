#include "AppCommandLine.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(AppCommandLine, EveryActionOfTheMenuHasItsOptionHelpAndMistakesAreTold) {
    EXPECT_EQ(AppCommandLine::parse({}).kind, AppCommandLine::Kind::request);
    EXPECT_TRUE(AppCommandLine::parse({}).request.isEmpty());
    for (const char* name : {"capture-region", "capture-window", "capture-text", "capture-screen",
                             "capture-scroll", "open-save-folder", "quit"}) {
        const AppCommandLine line = AppCommandLine::parse({QStringLiteral("--") + name});
        EXPECT_EQ(line.kind, AppCommandLine::Kind::request) << name;
        EXPECT_EQ(line.request, QStringList{name});
        EXPECT_TRUE(AppCommandLine::usage().contains(QStringLiteral("--") + name)) << name;
    }
    const AppCommandLine annotate = AppCommandLine::parse({"--annotate", "shots/a shot.png"});
    EXPECT_EQ(annotate.request,
              (QStringList{"annotate", QDir::current().absoluteFilePath("shots/a shot.png")}));
    EXPECT_EQ(AppCommandLine::parse({"--help"}).kind, AppCommandLine::Kind::help);
    EXPECT_EQ(AppCommandLine::parse({"-h"}).kind, AppCommandLine::Kind::help);
    EXPECT_TRUE(
        AppCommandLine::parse({"--capture-everything"}).error.contains("--capture-everything"));
    for (const QStringList& wrong : {QStringList{"--capture-everything"},
                                     {"capture-region"},
                                     {"--quit", "now"},
                                     {"--annotate"},
                                     {"--annotate", "a.png", "b.png"}})
        EXPECT_EQ(AppCommandLine::parse(wrong).kind, AppCommandLine::Kind::usageError)
            << wrong.join(' ').toStdString();
}
