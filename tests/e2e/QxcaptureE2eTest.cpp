// qxcapture itself on the headless desktop: the pixels it writes at other
// scales than 1, and its desktop-portal path with a stand-in portal.
#include "RunningProgram.h"
#include "SandboxHome.h"
#include "XSession.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

QColor colourAt(int x, int y) {
    return QColor(x % 256, y % 256, (x / 256) * 40 + (y / 256) * 7);
}

// Empty when both are the same picture; else where they first differ.
std::string difference(const QImage& actual, const QImage& expected) {
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage b = expected.convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(a.width())
            .arg(a.height())
            .arg(b.width())
            .arg(b.height())
            .toStdString();
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("pixel %1,%2 is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixelColor(x, y).name(), b.pixelColor(x, y).name())
                    .toStdString();
    return {};
}

QImage pattern(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, colourAt(x, y));
    return image;
}

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

QProcessEnvironment scaledBy(const QString& factor) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_SCALE_FACTOR", factor);
    return environment;
}

class QxcaptureAtScale : public ::testing::TestWithParam<const char*> {
protected:
    SandboxHome home;
    XSession x;
};

TEST_P(QxcaptureAtScale, RegionHoldsExactlyTheScreenPixelsDraggedOver) {
    const QImage desktop = pattern({1280, 800});
    const auto background = showPicture(desktop, {0, 0});
    const QString out = home.file("region.png");
    RunningProgram tool("qxcapture", {"-i", out}, scaledBy(GetParam()));
    ASSERT_TRUE(x.waitForCaptureOverlay());
    // Odd pixels, which fall between two logical units at these scales.
    const QRect dragged(QPoint(201, 101), QPoint(402, 301));
    x.drag(dragged.topLeft(), dragged.bottomRight());
    ASSERT_TRUE(tool.waitForExit(10'000));
    EXPECT_EQ(tool.exitCode(), 0);
    const QImage written(out);
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(difference(written, desktop.copy(dragged)), "");
}

TEST_P(QxcaptureAtScale, WindowModeTakesTheTopmostWindowUnderTheClick) {
    const auto background = showPicture(pattern({1280, 800}), {0, 0});
    const QImage picture = pattern({301, 157}).mirrored(true, false);
    const auto window = showPicture(picture, {333, 222});
    const QString out = home.file("window.png");
    RunningProgram tool("qxcapture", {"-iw", out}, scaledBy(GetParam()));
    ASSERT_TRUE(x.waitForCaptureOverlay());
    x.click({400, 300});
    ASSERT_TRUE(tool.waitForExit(10'000));
    EXPECT_EQ(difference(QImage(out), picture), "");
}

TEST_P(QxcaptureAtScale, ClickWithoutADragWritesNothing) {
    const QString out = home.file("nothing.png");
    RunningProgram tool("qxcapture", {"-i", out}, scaledBy(GetParam()));
    ASSERT_TRUE(x.waitForCaptureOverlay());
    x.click({500, 500});
    ASSERT_TRUE(tool.waitForExit(10'000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_FALSE(QFile::exists(out));
}

INSTANTIATE_TEST_SUITE_P(Scales, QxcaptureAtScale, ::testing::Values("2", "1.5"));

// Stands in for the desktop portal on the test's session bus: answers the
// Screenshot call like a real portal, with a file or a cancel.
class FakeScreenshotPortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")

public:
    FakeScreenshotPortal(uint response, QString file)
        : response_(response)
        , file_(std::move(file)) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        registered_ = bus.registerService("org.freedesktop.portal.Desktop") &&
                      bus.registerObject("/org/freedesktop/portal/desktop", this,
                                         QDBusConnection::ExportAllSlots);
    }
    ~FakeScreenshotPortal() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject("/org/freedesktop/portal/desktop");
        bus.unregisterService("org.freedesktop.portal.Desktop");
    }

    bool registered_ = false;
    QVariantMap options;

public Q_SLOTS:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& requestOptions) {
        options = requestOptions;
        QString sender = message().service().mid(1);
        sender.replace('.', '_');
        const QString request = "/org/freedesktop/portal/desktop/request/" + sender + "/" +
                                requestOptions.value("handle_token").toString();
        // The answer comes later, as a signal of the request object.
        QTimer::singleShot(100, this, [this, request] {
            QDBusMessage signal =
                QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
            signal << response_ << QVariantMap{{"uri", QUrl::fromLocalFile(file_).toString()}};
            QDBusConnection::sessionBus().send(signal);
        });
        return QDBusObjectPath(request);
    }

private:
    uint response_;
    QString file_;
};

QProcessEnvironment withoutX11() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    return environment;
}

TEST(QxcaptureWithFakePortal, MovesTheFileThePortalWroteToTheOutputPath) {
    SandboxHome home;
    const QImage picture = pattern({64, 48});
    ASSERT_TRUE(picture.save(home.file("Pictures/Screenshot.png")));
    FakeScreenshotPortal portal(0, home.file("Pictures/Screenshot.png"));
    ASSERT_TRUE(portal.registered_);
    RunningProgram tool("qxcapture", {"-i", home.file("out.png")}, withoutX11());
    ASSERT_TRUE(tool.waitForExit(10'000));
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_EQ(portal.options.value("interactive").toBool(), true);
    EXPECT_EQ(difference(QImage(home.file("out.png")), picture), "");
    EXPECT_FALSE(QFile::exists(home.file("Pictures/Screenshot.png")));
}

TEST(QxcaptureWithFakePortal, PictureInAnotherFormatIsWrittenAsPng) {
    SandboxHome home;
    QImage flat(32, 32, QImage::Format_RGB32);
    flat.fill(Qt::darkCyan);
    ASSERT_TRUE(flat.save(home.file("Pictures/Screenshot.jpg"), "JPG", 100));
    FakeScreenshotPortal portal(0, home.file("Pictures/Screenshot.jpg"));
    RunningProgram tool("qxcapture", {"-i", home.file("out.png")}, withoutX11());
    ASSERT_TRUE(tool.waitForExit(10'000));
    QFile out(home.file("out.png"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(8).startsWith("\x89PNG"));
}

TEST(QxcaptureWithFakePortal, CancelledPortalDialogWritesNothing) {
    SandboxHome home;
    FakeScreenshotPortal portal(1, QString());
    RunningProgram tool("qxcapture", {"-i", home.file("out.png")}, withoutX11());
    ASSERT_TRUE(tool.waitForExit(10'000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_FALSE(QFile::exists(home.file("out.png")));
}

} // namespace

#include "QxcaptureE2eTest.moc"
