// Captures and an index that cannot be written where Glimber would put them:
// nothing half-written is left behind, and the person is told.
#include "FakeDBusService.h"
#include "FileSizeLimit.h"
#include "GlimberDesktopTest.h"
#include "TestFiles.h"

#include <QFile>

namespace {

TEST(QxcaptureOnAFullDisk, ExitsWithTwoAndTheReasonAndLeavesNoFile) {
    SandboxHome home;
    XSession x;
    const QString out = home.file("shots/region.png");
    QDir().mkpath(home.file("shots"));
    QProcess tool;
    limitFileSize(tool, 0);
    tool.start(RunningProgram::path("qxcapture"), {"-i", out});
    ASSERT_TRUE(x.waitForCaptureOverlay());
    x.drag({100, 100}, {300, 250});
    ASSERT_TRUE(tool.waitForFinished(10'000));
    EXPECT_EQ(tool.exitCode(), 2);
    EXPECT_TRUE(tool.readAllStandardError().contains("qxcapture: cannot write " +
                                                     QFile::encodeName(out) + ": "));
    EXPECT_EQ(QDir(home.file("shots")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

class CaptureLossE2eWithFakeNotifications : public GlimberDesktopTest {
protected:
    void SetUp() override { ASSERT_TRUE(notifications.registered()); }
    // Summary and body of the notification shown `index`th.
    QString shown(int index, int field) const {
        return notifications.callsWith(8).value(index).value(3 + field).toString();
    }

    FakeDBusService notifications{"org.freedesktop.Notifications",
                                  "/org/freedesktop/Notifications"};
};

TEST_F(CaptureLossE2eWithFakeNotifications, ACaptureThatCannotBeWrittenIsTold) {
    TestFiles::write(home.file("not-a-folder"), "a file where the save folder should be");
    TestFiles::write(home.file(".glimvault/config.json"), R"({"captures": "~/not-a-folder/in"})");
    const auto glimber = startGlimber({"--capture-region"});
    ASSERT_TRUE(waitForOverlay(*glimber));
    x.drag({100, 100}, {300, 250});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifications.callsWith(8).isEmpty(); }, 10'000));
    EXPECT_EQ(shown(0, 0), "Screenshot not saved");
    EXPECT_TRUE(shown(0, 1).contains(home.file("not-a-folder/in"))) << shown(0, 1).toStdString();
}

TEST_F(CaptureLossE2eWithFakeNotifications, AnIndexFileOfAnotherProgramIsLeftAloneAndToldOnce) {
    TestFiles::write(home.file(".glimvault/db.sqlite"), QByteArray(8192, '\x17'));
    const auto glimber = startGlimber();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifications.callsWith(8).isEmpty(); }, 10'000));
    TestFiles::write(saveFolder() + "/new.png", "another pass follows this");
    QTest::qWait(3000);
    ASSERT_EQ(notifications.callsWith(8).size(), 1);
    EXPECT_EQ(shown(0, 0), "Screenshots are not being indexed");
}

} // namespace
