// qxcapture on an X server with two monitors side by side: one overlay for
// each, a selection across both, and every monitor's pixels in their place.
#include "RunningProgram.h"
#include "SandboxHome.h"
#include "ShownPicture.h"
#include "TestImages.h"
#include "X11MonitorsDesktop.h"
#include "XSession.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(X11Monitors, OneOverlayForEachASelectionAcrossThemAndEveryScreenInItsPlace) {
    SandboxHome home;
    const QRect first(0, 0, 1280, 800);
    const QRect second(1280, 0, 1920, 1080);
    X11MonitorsDesktop desktop({first, second});
    ASSERT_TRUE(desktop.ready()) << "Xorg with its dummy driver, as root";
    QProcessEnvironment x11 = QProcessEnvironment::systemEnvironment();
    x11.insert("QT_QPA_PLATFORM", "xcb");
    x11.insert("XDG_SESSION_TYPE", "x11");
    x11.remove("WAYLAND_DISPLAY");
    const QImage left = TestImages::positions({280, 200}, {3000, 0});
    const QImage right = TestImages::positions({300, 200}, {0, 3000});
    const ShownPicture onFirst(left, home.file("left.png"), x11, {"1000", "200"});
    const ShownPicture onSecond(right, home.file("right.png"), x11, {"1280", "200"});
    ASSERT_TRUE(onFirst.shown() && onSecond.shown());

    RunningProgram tool("qxcapture", {"-i", home.file("across.png")}, x11);
    XSession x;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<QRect> overlays = x.windowsOf("qxcapture");
            return overlays.size() == 2 &&
                   std::find(overlays.begin(), overlays.end(), second) != overlays.end();
        },
        20'000));
    QTest::qWait(300);
    x.drag({1100, 250}, {1399, 349});
    ASSERT_TRUE(tool.waitForExit(20'000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.errors().toStdString();
    QImage expected(300, 100, QImage::Format_RGB32);
    QPainter painter(&expected);
    painter.drawImage(0, 0, left, 100, 50, 180, 100);
    painter.drawImage(180, 0, right, 0, 50, 120, 100);
    painter.end();
    EXPECT_EQ(QImage(home.file("across.png")).convertToFormat(QImage::Format_RGB32), expected);

    RunningProgram screens("qxcapture", {"--screens", home.file("screens.png")}, x11);
    ASSERT_TRUE(screens.waitForExit(20'000));
    ASSERT_EQ(screens.exitCode(), 0) << screens.errors().toStdString();
    const QImage whole(home.file("screens.png"));
    ASSERT_EQ(whole.size(), QSize(3200, 1080));
    EXPECT_EQ(whole.copy(1280, 200, 300, 200).convertToFormat(QImage::Format_RGB32), right);
    EXPECT_EQ(whole.pixelColor(100, 900).alpha(), 0) << "below the first monitor is no screen";
}

} // namespace
