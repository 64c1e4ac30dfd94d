// The desktop's own screenshot services as qxcapture asks them, against fakes
// of their D-Bus interfaces: answers, refusals and silence.
#include "DesktopFreezer.h"
#include "FakeKWinScreenShot.h"
#include "FakeScreenshotPortal.h"
#include "HeadlessDesktop.h"
#include "KWinScreenShot.h"
#include "SandboxHome.h"
#include "TestImages.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const DesktopSession x11Session = DesktopSession::fromEnvironment();

TEST(DesktopFreezerWithFakePortal, TakesTheWholeDesktopWithoutADialogAndSaysWhyNot) {
    SandboxHome home;
    const QString file = home.file("Pictures/Screenshot.png");
    const QImage desktop = TestImages::positions({HeadlessDesktop::width, HeadlessDesktop::height});
    ASSERT_TRUE(desktop.save(file));
    {
        FakeScreenshotPortal portal(0, file);
        ASSERT_TRUE(portal.registered());
        const ScreenGrab grab =
            DesktopFreezer(x11Session).grab(ScreenSource::portal, QDeadlineTimer(5000));
        ASSERT_EQ(grab.outcome, ScreenGrab::Outcome::taken) << grab.problem.toStdString();
        EXPECT_EQ(portal.firstOptions().value("interactive"), false);
        ASSERT_EQ(grab.screens.size(), 1u);
        EXPECT_EQ(grab.screens[0].image, desktop);
        EXPECT_FALSE(QFile::exists(file)) << "the portal's file is ours to remove";
    }
    {
        FakeScreenshotPortal portal(2);
        const ScreenGrab grab =
            DesktopFreezer(x11Session).grab(ScreenSource::portal, QDeadlineTimer(5000));
        EXPECT_EQ(grab.outcome, ScreenGrab::Outcome::refused);
        EXPECT_TRUE(grab.problem.contains("allow screenshots for Glimber"))
            << grab.problem.toStdString();
    }
    {
        FakeScreenshotPortal silent(std::nullopt);
        QElapsedTimer waited;
        waited.start();
        const ScreenGrab grab =
            DesktopFreezer(x11Session).grab(ScreenSource::portal, QDeadlineTimer(300));
        EXPECT_EQ(grab.outcome, ScreenGrab::Outcome::failed);
        EXPECT_TRUE(grab.problem.contains("no answer in time")) << grab.problem.toStdString();
        EXPECT_LT(waited.elapsed(), 3000);
    }
}

TEST(KWinScreenShotWithFakeKWin, EachScreenByItsNameAndKWinsRefusalsSaidAsSuch) {
    // Small enough for the pipe: a call to a service of this very process is
    // answered inside the call, before anyone reads the pipe.
    const QImage panel = TestImages::positions({120, 100});
    struct Case {
        const char* name;
        QString errorName;
        ScreenGrab::Outcome expected;
        const char* problem;
    };
    const Case cases[] = {
        {"taken", {}, ScreenGrab::Outcome::taken, ""},
        {"not authorised", "org.kde.KWin.ScreenShot2.Error.NoAuthorized",
         ScreenGrab::Outcome::refused, "X-KDE-DBUS-Restricted-Interfaces"},
        {"cancelled", "org.kde.KWin.ScreenShot2.Error.Cancelled", ScreenGrab::Outcome::cancelled,
         ""},
        {"failed", "org.kde.KWin.ScreenShot2.Error.InvalidScreen", ScreenGrab::Outcome::failed,
         "KWin's screenshot failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKWinScreenShot kwin([&](const QString& method, const QVariant& output) {
            EXPECT_EQ(method, "CaptureScreen");
            EXPECT_EQ(output, "eDP-1");
            return FakeKWinScreenShot::Answer{panel, c.errorName};
        });
        ASSERT_TRUE(kwin.registered());
        EXPECT_TRUE(KWinScreenShot::isAvailable());
        const ScreenGrab grab =
            KWinScreenShot::captureScreens({{"eDP-1", {0, 0, 60, 50}}}, QDeadlineTimer(5000));
        EXPECT_EQ(grab.outcome, c.expected);
        EXPECT_TRUE(grab.problem.contains(c.problem)) << grab.problem.toStdString();
        if (c.expected == ScreenGrab::Outcome::taken) {
            ASSERT_EQ(grab.screens.size(), 1u);
            EXPECT_EQ(grab.screens[0].geometry, QRect(0, 0, 60, 50));
            EXPECT_EQ(grab.screens[0].image, panel);
        }
    }
}

} // namespace
