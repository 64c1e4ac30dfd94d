// Under Wayland, the capture keys through the desktop's own shortcuts, against
// a GlobalShortcuts portal of the test's own: no headless compositor in Debian
// offers that portal.
#include "FakeDBusService.h"
#include "FakeGlobalShortcutsPortal.h"
#include "GlimberDesktopTest.h"

namespace {

class DesktopShortcutsE2eWithFakePortal : public GlimberTrayTest {
protected:
    void SetUp() override {
        GlimberTrayTest::SetUp();
        ASSERT_TRUE(portal.registered());
        // A Wayland session to glimber, while Qt still draws on the headless X server.
        qputenv("XDG_SESSION_TYPE", "wayland");
    }
    void TearDown() override {
        qunsetenv("XDG_SESSION_TYPE");
        GlimberTrayTest::TearDown();
    }
    int count(const QString& method) const { return int(portal.methods().count(method)); }

    FakeGlobalShortcutsPortal portal;
};

TEST_F(DesktopShortcutsE2eWithFakePortal,
       CommandsAreBoundOnceRunWhenPressedAndALostSessionIsNotChased) {
    auto glimber = startGlimber();
    ASSERT_TRUE(QTest::qWaitFor([&] { return count("BindShortcuts") == 1; }, 10'000))
        << portal.methods().join(' ').toStdString();
    EXPECT_EQ(portal.boundShortcuts(),
              (QList<QStringList>{{"capture-region", "Capture Region", "Print"},
                                  {"capture-window", "Capture Window", "SHIFT+Print"},
                                  {"capture-scroll", "Scrolling Capture", "CTRL+Print"},
                                  {"capture-text", "Capture Text", "CTRL+SHIFT+Print"},
                                  {"library", "Library", ""}}));
    const QString token = portal.sessionToken();
    EXPECT_FALSE(token.isEmpty());

    ASSERT_EQ(glimberWindows(1).size(), 1u) << "the tray icon";
    portal.press("library");
    EXPECT_EQ(glimberWindows(2).size(), 2u) << "the library opened";

    portal.closeSession();
    EXPECT_EQ(tellGlimber({"--quit"}), 0);
    ASSERT_TRUE(glimber->waitForExit(10'000));
    glimber = startGlimber();
    ASSERT_TRUE(QTest::qWaitFor([&] { return count("BindShortcuts") == 2; }, 10'000));
    EXPECT_EQ(count("CreateSession"), 2) << "a closed session is asked for at the next start only";
    EXPECT_EQ(portal.sessionToken(), token) << "the same session, so the keys stay bound";
}

// Where neither the portal nor the keyboards can be used (no /dev/input on
// the test's machine), the person hears once what to bind instead.
class NoDesktopShortcutsE2eWithFakeNotifications : public GlimberDesktopTest {
protected:
    void SetUp() override {
        if (QDir("/dev/input").exists())
            GTEST_SKIP() << "this machine has keyboards Glimber may read";
        ASSERT_TRUE(notifications.registered());
        qputenv("XDG_SESSION_TYPE", "wayland");
    }
    void TearDown() override { qunsetenv("XDG_SESSION_TYPE"); }

    // Notify's calls (eight arguments; GetCapabilities has none).
    QList<QVariantList> shown() const { return notifications.callsWith(8); }

    FakeDBusService notifications{"org.freedesktop.Notifications",
                                  "/org/freedesktop/Notifications"};
};

TEST_F(NoDesktopShortcutsE2eWithFakeNotifications, TheCommandsToBindAreToldOnce) {
    const auto glimber = startGlimber();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown().isEmpty(); }, 10'000));
    // Over the program's whole life, to its end.
    EXPECT_EQ(tellGlimber({"--quit"}), 0);
    ASSERT_TRUE(glimber->waitForExit(10'000));
    ASSERT_EQ(shown().size(), 1);
    EXPECT_EQ(shown()[0].value(3).toString(), "No keys start a capture");
    EXPECT_TRUE(shown()[0].value(4).toString().contains("glimber --capture-region"));
}

} // namespace
