#include "CaptureNamer.h"

#include "SandboxHome.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

const QDateTime fiveDecember(QDate(2026, 12, 5), QTime(14, 3, 9));

TEST(CaptureNamer, NamesTheFileAfterTheLocalStartTime) {
    SandboxHome home;
    CaptureNamer namer;
    EXPECT_EQ(namer.reserve(home.path(), fiveDecember, ".png"),
              home.file("Glimber 2026-12-05-14-03-09.png"));
    EXPECT_EQ(namer.reserve(home.path(), QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5)), ".png"),
              home.file("Glimber 2027-01-02-03-04-05.png"))
        << "zero-padded, 24-hour, no colons";
    EXPECT_EQ(namer.reserve(home.path(), fiveDecember.addSecs(3600), " scroll.png"),
              home.file("Glimber 2026-12-05-15-03-09 scroll.png"));
}

TEST(CaptureNamer, CapturesStartedInTheSameSecondGetDistinctNamesInOrder) {
    SandboxHome home;
    CaptureNamer namer;
    // None of these files exists yet: the users are still selecting.
    const QString first = namer.reserve(home.path(), fiveDecember, ".png");
    const QString second = namer.reserve(home.path(), fiveDecember.addMSecs(400), ".png");
    const QString third = namer.reserve(home.path(), fiveDecember.addMSecs(800), ".png");
    EXPECT_EQ(QFileInfo(second).fileName(), "Glimber 2026-12-05-14-03-09_2.png");
    EXPECT_EQ(QFileInfo(third).fileName(), "Glimber 2026-12-05-14-03-09_3.png");
    const QString next = namer.reserve(home.path(), fiveDecember.addSecs(1), ".png");
    EXPECT_EQ(QFileInfo(next).fileName(), "Glimber 2026-12-05-14-03-10.png");
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_LT(third, next);
}

TEST(CaptureNamer, NeverHandsOutANameThatAFileAlreadyHas) {
    SandboxHome home;
    // Left by another program, or by the hour that repeats when the clocks go back.
    TestFiles::write(home.file("Glimber 2026-12-05-14-03-09.png"));
    CaptureNamer namer;
    EXPECT_EQ(namer.reserve(home.path(), fiveDecember, ".png"),
              home.file("Glimber 2026-12-05-14-03-09_2.png"));
    EXPECT_EQ(namer.reserve(home.path(), fiveDecember, " scroll.png"),
              home.file("Glimber 2026-12-05-14-03-09 scroll.png"));
}

} // namespace
