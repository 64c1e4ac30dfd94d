// The shared region overlay on the headless desktop: one overlay per display,
// and a drag that reaches the screen's last row and column.
#include "HeadlessDesktop.h"
#include "RunningProgram.h"
#include "SandboxHome.h"
#include "XSession.h"

#include <QFile>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QColor backdrop(0x40, 0xa0, 0x60);

// A flat window over the whole screen: a dimmed or stale overlay in a capture
// shows as any other colour.
std::unique_ptr<QWidget> showBackdrop() {
    auto window = std::make_unique<QWidget>();
    window->setWindowFlags(Qt::FramelessWindowHint);
    window->setStyleSheet(QStringLiteral("background: %1").arg(backdrop.name()));
    window->setGeometry(0, 0, HeadlessDesktop::width, HeadlessDesktop::height);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(200);
    return window;
}

int pixelsOtherThan(const QImage& image, const QColor& colour) {
    int other = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            other += image.pixelColor(x, y) != colour;
    return other;
}

TEST(CaptureOverlay, SecondCaptureStartedWhileTheFirstIsOpenLeavesAtOnce) {
    SandboxHome home;
    XSession x;
    const auto window = showBackdrop();
    RunningProgram first("qxcapture", {"-i", home.file("first.png")});
    QTest::qWait(800);
    RunningProgram second("qxcapture", {"-i", home.file("second.png")});
    ASSERT_TRUE(second.waitForExit(5'000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(first.running());
    ASSERT_TRUE(x.waitForCaptureOverlay());
    x.drag({100, 100}, {299, 199});
    ASSERT_TRUE(first.waitForExit(10'000));
    EXPECT_EQ(first.exitCode(), 0);
    const QImage written(home.file("first.png"));
    EXPECT_EQ(written.size(), QSize(200, 100));
    EXPECT_EQ(pixelsOtherThan(written, backdrop), 0) << "an overlay was captured";
    EXPECT_FALSE(QFile::exists(home.file("second.png")));
}

class CaptureOverlayAtScale : public ::testing::TestWithParam<const char*> {};

TEST_P(CaptureOverlayAtScale, DragFromCornerToCornerTakesTheWholeScreen) {
    SandboxHome home;
    XSession x;
    const auto window = showBackdrop();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_SCALE_FACTOR", GetParam());
    RunningProgram tool("qxcapture", {"-i", home.file("all.png")}, environment);
    ASSERT_TRUE(x.waitForCaptureOverlay());
    x.drag({0, 0}, {HeadlessDesktop::width - 1, HeadlessDesktop::height - 1});
    ASSERT_TRUE(tool.waitForExit(10'000));
    const QImage written(home.file("all.png"));
    EXPECT_EQ(written.size(), QSize(HeadlessDesktop::width, HeadlessDesktop::height));
    EXPECT_EQ(pixelsOtherThan(written, backdrop), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, CaptureOverlayAtScale, ::testing::Values("1", "1.5", "2"));

} // namespace
