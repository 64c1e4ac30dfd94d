// The see-through window that frames the region where the desktop has no
// overlay layer: the frame shows round the region and nowhere in it, the bar
// stands where it was put, and only the bar takes the pointer.
#include "FullScreenRegionOverlay.h"

#include "ScrollControls.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

TEST(FullScreenRegionOverlay, FramesTheRegionShowsTheBarAndTakesInputOnTheBarAlone) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint corner = screen->geometry().topLeft();
    FullScreenRegionOverlay overlay(screen);
    ScrollControls controls;
    const QRect region(corner + QPoint(100, 80), QSize(300, 200));
    controls.adjustSize();
    const QRect bar(region.bottomLeft() + QPoint(0, 8), controls.size());
    overlay.present(region, bar, controls);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&overlay));
    EXPECT_EQ(overlay.geometry(), screen->geometry());
    EXPECT_EQ(controls.geometry(), bar.translated(-corner));
    EXPECT_EQ(overlay.windowHandle()->mask(), QRegion(bar.translated(-corner)));

    const QImage shown = overlay.grab().toImage();
    const QPoint inside = region.center() - corner;
    const QPoint onTheFrame = region.topLeft() - corner - QPoint(1, 1);
    EXPECT_EQ(qAlpha(shown.pixel(inside)), 0) << "the region itself stays clear";
    EXPECT_EQ(shown.pixelColor(onTheFrame), QColor(0x2f, 0x8c, 0xff));

    // A longer message makes the bar wider: the input region follows it.
    controls.showMessage(QStringLiteral("Scrolled too far at once: scroll back up a little"));
    const QRect wider(bar.topLeft(), controls.size());
    overlay.present(region, wider, controls);
    EXPECT_EQ(overlay.windowHandle()->mask(), QRegion(wider.translated(-corner)));
}

} // namespace
