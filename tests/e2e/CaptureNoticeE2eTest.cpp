// The notification after each capture, against a notification server of the
// test's own that has buttons: it shows the shot, gains "Copy Text" once the
// text is read, and its buttons act.
#include "FakeDBusService.h"
#include "GlimberDesktopTest.h"
#include "TestFiles.h"

#include <QClipboard>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>

namespace {

class CaptureNoticeE2eWithFakeNotifications : public GlimberDesktopTest {
protected:
    void SetUp() override { ASSERT_TRUE(notifications.registered()); }
    // The Notify calls so far: app, replaces, icon, title, body, actions, hints, timeout.
    QList<QVariantList> notes() const { return notifications.callsWith(8); }
    static void press(uint id, const QString& key) {
        QDBusMessage signal = QDBusMessage::createSignal(
            "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
        signal << id << key;
        QDBusConnection::sessionBus().send(signal);
    }
    void captureRegion(const QRect& region) {
        glimber = startGlimber({"--capture-region"});
        ASSERT_TRUE(waitForOverlay(*glimber));
        x.drag(region.topLeft(), region.bottomRight());
    }

    FakeDBusService notifications{"org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                  [](const QDBusMessage& call) -> QVariantList {
                                      if (call.member() == "GetCapabilities")
                                          return {QStringList{"actions", "body"}};
                                      return {uint(41)};
                                  }};
    std::unique_ptr<RunningProgram> glimber;
};

TEST_F(CaptureNoticeE2eWithFakeNotifications, TheShotIsShownThenCopyTextIsOfferedAndDoesSo) {
    showTextWindow("Notified zebras");
    captureRegion({120, 130, 540, 150});
    ASSERT_TRUE(QTest::qWaitFor([&] { return notes().size() >= 2; }, 30'000))
        << notes().size() << " notifications";
    const QVariantList first = notes()[0];
    EXPECT_EQ(first[3].toString(), "Screenshot saved");
    EXPECT_EQ(first[4].toString(), savedShots().value(0));
    EXPECT_EQ(first[5].toStringList(),
              (QStringList{"annotate", "Annotate…", "show-in-folder", "Show in Folder"}));
    const QDBusArgument hints = first[6].value<QDBusArgument>();
    QVariantMap hintMap;
    hints >> hintMap;
    EXPECT_EQ(hintMap.value("image-path").toString(),
              QUrl::fromLocalFile(shotPath()).toString(QUrl::FullyEncoded));
    const QVariantList withText = notes()[1];
    EXPECT_EQ(withText[1].toUInt(), 41u) << "it takes the place of the first";
    EXPECT_TRUE(withText[5].toStringList().contains("copy-text"));

    QGuiApplication::clipboard()->setText("before");
    press(41, "copy-text");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QGuiApplication::clipboard()->text().contains("zebras"); }, 10'000))
        << QGuiApplication::clipboard()->text().toStdString();
    ASSERT_EQ(glimberWindows(1).size(), 1u) << "the menu as a window, there being no tray";
    press(41, "annotate");
    EXPECT_EQ(glimberWindows(2).size(), 2u) << "and an editor on the shot";
}

TEST_F(CaptureNoticeE2eWithFakeNotifications, SwitchedOffOnlyFailuresAreTold) {
    TestFiles::write(home.file(".glimvault/config.json"), R"({"notifyAfterCapture": false})");
    showTextWindow("Quiet zebras");
    captureRegion({120, 130, 540, 150});
    EXPECT_TRUE(qxcFinds("zebras", shotPath()));
    EXPECT_TRUE(notes().isEmpty());
}

} // namespace
