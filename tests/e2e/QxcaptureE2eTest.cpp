// qxcapture itself: the pixels it writes on the headless desktop at every
// scale, one overlay per display, and its desktop-portal path with a fake portal.
#include "FakeScreenshotPortal.h"
#include "HeadlessDesktop.h"
#include "RunningProgram.h"
#include "SandboxHome.h"
#include "TestImages.h"
#include "XSession.h"

#include <QFile>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A window that shows a picture pixel for pixel at a given place.
std::unique_ptr<QLabel> showPicture(const QImage& picture, QPoint at) {
    auto window = std::make_unique<QLabel>();
    window->setWindowFlags(Qt::FramelessWindowHint);
    window->setPixmap(QPixmap::fromImage(picture));
    window->setGeometry(QRect(at, picture.size()));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(200);
    return window;
}

// The whole screen shows a picture whose every pixel tells its place: a dimmed
// or stale overlay, or a pixel taken from elsewhere, shows in a capture.
class QxcaptureAtScale : public ::testing::TestWithParam<const char*> {
protected:
    std::unique_ptr<RunningProgram> start(const QString& mode, const QString& out) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_SCALE_FACTOR", GetParam());
        auto tool =
            std::make_unique<RunningProgram>("qxcapture", QStringList{mode, out}, environment);
        EXPECT_TRUE(x.waitForCaptureOverlay());
        return tool;
    }
    QImage written(const QString& name) const {
        return QImage(home.file(name)).convertToFormat(QImage::Format_RGB32);
    }

    SandboxHome home;
    XSession x;
    const QImage desktop = TestImages::positions({HeadlessDesktop::width, HeadlessDesktop::height});
    const std::unique_ptr<QLabel> background = showPicture(desktop, {0, 0});
};

TEST_P(QxcaptureAtScale, AClickOrASecondCaptureTakeNothingADragTakesItsPixelsToTheLastOne) {
    const auto clicked = start("-i", home.file("clicked.png"));
    RunningProgram second("qxcapture", {"-i", home.file("second.png")});
    ASSERT_TRUE(second.waitForExit(5'000));
    EXPECT_EQ(second.exitCode(), 1) << "one overlay per display";
    x.click({500, 500});
    ASSERT_TRUE(clicked->waitForExit(10'000));
    EXPECT_EQ(clicked->exitCode(), 1);

    const auto tool = start("-i", home.file("region.png"));
    // From odd pixels, which fall between two logical units at some scales, to
    // the screen's last row and column.
    const QRect dragged(QPoint(201, 101),
                        QPoint(HeadlessDesktop::width - 1, HeadlessDesktop::height - 1));
    x.drag(dragged.topLeft(), dragged.bottomRight());
    ASSERT_TRUE(tool->waitForExit(10'000));
    EXPECT_EQ(tool->exitCode(), 0);
    EXPECT_EQ(written("region.png"), desktop.copy(dragged));
    EXPECT_FALSE(QFile::exists(home.file("clicked.png")) || QFile::exists(home.file("second.png")));
}

TEST_P(QxcaptureAtScale, WindowModeTakesTheTopmostWindowUnderTheClick) {
    const QImage picture = TestImages::positions({301, 157}).mirrored(true, false);
    const auto window = showPicture(picture, {333, 222});
    const auto tool = start("-iw", home.file("window.png"));
    x.click({400, 300});
    ASSERT_TRUE(tool->waitForExit(10'000));
    EXPECT_EQ(written("window.png"), picture);
}

INSTANTIATE_TEST_SUITE_P(Scales, QxcaptureAtScale, ::testing::Values("1", "1.5", "2"));

// Where no overlay of its own can show, qxcapture asks for the portal's dialog.
int captureWithFakePortal(const QString& out, uint response, const QString& file,
                          QVariantMap* options = nullptr) {
    FakeScreenshotPortal portal(response, file);
    EXPECT_TRUE(portal.registered());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    RunningProgram tool("qxcapture", {"-i", out}, environment);
    EXPECT_TRUE(tool.waitForExit(10'000));
    if (options)
        *options = portal.firstOptions();
    return tool.exitCode();
}

TEST(QxcaptureWithFakePortal, MovesThePortalsPictureToTheOutputPathAsPngOrTakesNothing) {
    SandboxHome home;
    const QString out = home.file("out.png");
    for (const char* name : {"Shot.png", "Shot.jpg"}) {
        SCOPED_TRACE(name);
        const QString shot = home.file(QStringLiteral("Pictures/") + name);
        ASSERT_TRUE(TestImages::filled(32, 32, Qt::darkCyan).save(shot));
        QVariantMap options;
        EXPECT_EQ(captureWithFakePortal(out, 0, shot, &options), 0);
        EXPECT_EQ(options.value("interactive").toBool(), true);
        QFile written(out);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_TRUE(written.read(8).startsWith("\x89PNG"));
        EXPECT_EQ(QImage(out).size(), QSize(32, 32));
        EXPECT_FALSE(QFile::exists(shot));
        written.remove();
    }
    EXPECT_EQ(captureWithFakePortal(out, 1, QString()), 1) << "the person cancelled";
    EXPECT_EQ(captureWithFakePortal(out, 2, QString()), 2) << "a failure is not a cancel";
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
