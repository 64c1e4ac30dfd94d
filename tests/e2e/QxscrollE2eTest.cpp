// qxscroll on the headless desktop, scrolling a window of this test that
// shows a known page: cancelled, by the wheel and by Auto-scroll.
#include "RunningProgram.h"
#include "SandboxHome.h"
#include "ScrollingPage.h"
#include "XSession.h"

#include <QFile>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr int rowsPerNotch = 40;

// Shows the page in a fixed window and scrolls it by the wheel, without any
// smooth scrolling, like a plain list.
struct PageWindow : QWidget {
    PageWindow(const ScrollingPage& page, QRect geometry)
        : page(page) {
        setWindowFlags(Qt::FramelessWindowHint);
        setGeometry(geometry);
        show();
    }
    void paintEvent(QPaintEvent*) override {
        QPainter(this).drawImage(0, 0, page.frame(position, false));
    }
    void wheelEvent(QWheelEvent* event) override {
        position = std::clamp(position - event->angleDelta().y() / 120 * rowsPerNotch, 0,
                              page.lastPosition());
        update();
    }

    const ScrollingPage& page;
    int position = 0;
};

class Qxscroll : public ::testing::Test {
protected:
    // Starts qxscroll and drags its region exactly over the page window.
    std::unique_ptr<RunningProgram> startOverWindow() {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        auto tool = std::make_unique<RunningProgram>("qxscroll", QStringList{"--region", out});
        EXPECT_TRUE(x.waitForCaptureOverlay("qxscroll"));
        x.drag(area.topLeft(), area.bottomRight());
        QTest::qWait(600);
        return tool;
    }
    QRect bar() {
        for (const QRect& window : x.windowsOf("qxscroll")) {
            if (!window.contains(area))
                return window;
        }
        return {};
    }

    SandboxHome home;
    XSession x;
    const QString out = home.file("tall.png");
    const QRect area{100, 60, 420, 300};
    const ScrollingPage page{420, 1500, 300, 7};
    PageWindow window{page, area};
};

TEST_F(Qxscroll, EscapeWritesNothingWheelStepsThenReturnWriteTheScrolledPage) {
    const auto cancelled = startOverWindow();
    x.tap(9); // Escape
    ASSERT_TRUE(cancelled->waitForExit(10'000));
    EXPECT_EQ(cancelled->exitCode(), 1);
    EXPECT_FALSE(QFile::exists(out));

    const auto tool = startOverWindow();
    x.moveTo(area.center());
    // Nine notches down; the events flow meanwhile, to the window of this program.
    runToEnd("xdotool", {"click", "--repeat", "9", "--delay", "120", "5"});
    QTest::qWait(400);
    x.tap(36); // Return
    ASSERT_TRUE(tool->waitForExit(20'000));
    EXPECT_EQ(tool->exitCode(), 0);
    EXPECT_EQ(window.position, 9 * rowsPerNotch);
    EXPECT_EQ(firstDifferentRow(QImage(out), page.captured(window.position, false)), "");
}

TEST_F(Qxscroll, AutoScrollReachesTheEndOfThePageByItself) {
    const auto tool = startOverWindow();
    const QRect controls = bar();
    ASSERT_FALSE(controls.isEmpty());
    // The bar reads "Done", "Auto-scroll", "Cancel", then the height.
    x.click({controls.left() + controls.width() * 4 / 10, controls.center().y()});
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.position == page.lastPosition(); }, 60'000));
    QTest::qWait(2'000);
    x.tap(36);
    ASSERT_TRUE(tool->waitForExit(20'000));
    EXPECT_EQ(tool->exitCode(), 0);
    EXPECT_EQ(firstDifferentRow(QImage(out), page.captured(page.lastPosition(), false)), "");
}

} // namespace
