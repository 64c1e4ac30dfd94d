#include "AppDelegate.h"

#include "AutostartEntry.h"
#include "ConfigStore.h"
#include "QtPrinters.h"
#include "SandboxHome.h"
#include "StatusWindow.h"

#include <QDir>
#include <QJsonObject>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A key stream under the test's control: it opens only after a given number of
// attempts, and delivers whatever the test sends.
class FakeKeySource : public KeyEventSource {
public:
    bool start() override {
        ++starts;
        open = starts > failingStarts;
        return open;
    }
    void stop() override { open = false; }
    void send(KeyEvent event) { Q_EMIT keyEvent(event); }

    int failingStarts = 0;
    int starts = 0;
    bool open = false;
};

class AppDelegateWithFakeKeySource : public ::testing::Test {
protected:
    void SetUp() override {
        QCoreApplication::setOrganizationName("glimvault");
        QCoreApplication::setApplicationName("Glimber");
        QSettings().remove("loginItemConfigured");
    }

    std::unique_ptr<AppDelegate> makeDelegate() {
        AppDelegateOptions options;
        options.helperFolder = home.file("tools");
        options.makeKeySource = [this] {
            auto source = std::make_unique<FakeKeySource>();
            source->failingStarts = failingStarts;
            keys = source.get();
            return source;
        };
        options.keySourceRetryMs = 10;
        options.trayGraceMs = 0;
        return std::make_unique<AppDelegate>(options);
    }
    std::unique_ptr<AppDelegate> launch() {
        auto delegate = makeDelegate();
        delegate->applicationDidFinishLaunching();
        return delegate;
    }

    SandboxHome home;
    FakeKeySource* keys = nullptr;
    int failingStarts = 0;
};

TEST_F(AppDelegateWithFakeKeySource, FirstLaunchCreatesTheSaveFolderAndEnrolsAtLoginOnce) {
    const auto first = launch();
    EXPECT_TRUE(QDir(home.file(".glimvault/captures")).exists());
    EXPECT_TRUE(AutostartEntry::isEnabled());
    QFile::remove(AutostartEntry::path());
    const auto later = launch();
    EXPECT_FALSE(QFile::exists(AutostartEntry::path())) << "later launches leave it to the user";
}

TEST_F(AppDelegateWithFakeKeySource, TriggerKeyIsReadFromTheConfigurationAtConstruction) {
    ConfigStore::setShared("hotkey",
                           QJsonObject{{"modifier", "rightOption"}, {"holdThreshold", 0.3}});
    EXPECT_EQ(makeDelegate()->currentHotkey(), (Hotkey{HotkeyModifier::rightOption, 0.3}));
}

TEST_F(AppDelegateWithFakeKeySource, WithoutATrayTheMenuBecomesAWindow) {
    // The offscreen platform has no tray, like stock GNOME.
    const auto delegate = launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->statusWindow() != nullptr; }, 5000));
    StatusWindow* window = delegate->statusWindow();
    EXPECT_TRUE(window->isVisible());
    window->close();
    delegate->presentStatusWindow(); // a second start of the program
    EXPECT_TRUE(window->isVisible());
}

TEST_F(AppDelegateWithFakeKeySource, KeyStreamIsTriedAgainUntilItOpensAndAfterAnInterruption) {
    failingStarts = 3;
    const auto delegate = launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return keys->open; }, 5000));
    EXPECT_EQ(keys->starts, 4);
    keys->send({KeyEvent::Type::interrupted, 0, 0});
    EXPECT_FALSE(keys->open);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keys->open; }, 5000));
    EXPECT_EQ(keys->starts, 5);
}

} // namespace
