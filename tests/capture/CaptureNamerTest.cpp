#include "CaptureNamer.h"

#include "SandboxHome.h"
#include "TestFiles.h"

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

TEST(CaptureNamer, NamesInOneSecondAreDistinctInOrderAndNeverThoseOfExistingFiles) {
    SandboxHome home;
    // Left by another program, or by the hour that repeats when the clocks go back.
    TestFiles::write(home.file("Glimber 2026-12-05-14-03-09.png"));
    CaptureNamer namer;
    // None of these files exists yet: the users are still selecting.
    QStringList names;
    for (int ms : {0, 400, 800, 1000})
        names.append(
            QFileInfo(namer.reserve(home.path(), fiveDecember.addMSecs(ms), ".png")).fileName());
    EXPECT_EQ(names, (QStringList{
                         "Glimber 2026-12-05-14-03-09_2.png", "Glimber 2026-12-05-14-03-09_3.png",
                         "Glimber 2026-12-05-14-03-09_4.png", "Glimber 2026-12-05-14-03-10.png"}));
    EXPECT_EQ(namer.reserve(home.path(), fiveDecember, " scroll.png"),
              home.file("Glimber 2026-12-05-14-03-09 scroll.png"));
}

} // namespace
