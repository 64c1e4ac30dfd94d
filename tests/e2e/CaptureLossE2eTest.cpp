// Captures and an index that cannot be written where Glimber would put them:
// nothing half-written is left behind, and the person is told.
#include "FileSizeLimit.h"
#include "GlimberDesktopTest.h"
#include "TestFiles.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

// Stands in for the desktop's notification service on the test's session bus.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    FakeNotificationService() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        registered = bus.registerService("org.freedesktop.Notifications") &&
                     bus.registerObject("/org/freedesktop/Notifications", this,
                                        QDBusConnection::ExportAllSlots);
    }
    ~FakeNotificationService() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject("/org/freedesktop/Notifications");
        bus.unregisterService("org.freedesktop.Notifications");
    }

    bool registered = false;
    QList<std::pair<QString, QString>> shown; // summary, body

public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        shown.append({summary, body});
        return uint(shown.size());
    }
};

TEST(QxcaptureOnAFullDisk, ExitsWithTwoAndTheReasonAndLeavesNoFile) {
    SandboxHome home;
    XSession x;
    QDir().mkpath(home.file("shots"));
    const QString out = home.file("shots/region.png");
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

class CaptureLossE2e : public GlimberDesktopTest {
protected:
    void SetUp() override { ASSERT_TRUE(notifications.registered); }
    FakeNotificationService notifications;
};

TEST_F(CaptureLossE2e, ACaptureThatCannotBeWrittenIsToldInANotification) {
    TestFiles::write(home.file("not-a-folder"), "a file where the save folder should be");
    TestFiles::write(home.file(".glimvault/config.json"), R"({"captures": "~/not-a-folder/in"})");
    const auto glimber = startGlimber({"--capture-region"});
    ASSERT_TRUE(waitForOverlay(*glimber));
    x.drag({100, 100}, {300, 250});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifications.shown.isEmpty(); }, 10'000));
    EXPECT_EQ(notifications.shown.first().first, "Screenshot not saved");
    EXPECT_TRUE(notifications.shown.first().second.contains(home.file("not-a-folder/in")))
        << notifications.shown.first().second.toStdString();
}

TEST_F(CaptureLossE2e, AnIndexFileOfAnotherProgramIsLeftAloneAndToldOnce) {
    TestFiles::write(home.file(".glimvault/db.sqlite"), QByteArray(8192, '\x17'));
    const auto glimber = startGlimber();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifications.shown.isEmpty(); }, 10'000));
    TestFiles::write(saveFolder() + "/new.png", "another pass follows this");
    QTest::qWait(3000);
    ASSERT_EQ(notifications.shown.size(), 1);
    EXPECT_EQ(notifications.shown.first().first, "Screenshots are not being indexed");
}

} // namespace

#include "CaptureLossE2eTest.moc"
