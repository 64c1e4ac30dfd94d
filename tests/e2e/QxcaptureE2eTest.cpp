// qxcapture itself: the pixels it writes on the headless desktop at other scales
// than 1, and its desktop-portal path with a stand-in portal.
#include "RunningProgram.h"
#include "SandboxHome.h"
#include "TestImages.h"
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

QImage opaque(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
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

    SandboxHome home;
    XSession x;
    const QImage desktop = TestImages::positions({1280, 800});
    const std::unique_ptr<QLabel> background = showPicture(desktop, {0, 0});
};

TEST_P(QxcaptureAtScale, RegionHoldsExactlyTheScreenPixelsDraggedOver) {
    const auto tool = start("-i", home.file("region.png"));
    // Odd pixels, which fall between two logical units at these scales.
    const QRect dragged(QPoint(201, 101), QPoint(402, 301));
    x.drag(dragged.topLeft(), dragged.bottomRight());
    ASSERT_TRUE(tool->waitForExit(10'000));
    EXPECT_EQ(tool->exitCode(), 0);
    EXPECT_EQ(opaque(QImage(home.file("region.png"))), desktop.copy(dragged));
}

TEST_P(QxcaptureAtScale, WindowModeTakesTheTopmostWindowUnderTheClick) {
    const QImage picture = TestImages::positions({301, 157}).mirrored(true, false);
    const auto window = showPicture(picture, {333, 222});
    const auto tool = start("-iw", home.file("window.png"));
    x.click({400, 300});
    ASSERT_TRUE(tool->waitForExit(10'000));
    EXPECT_EQ(opaque(QImage(home.file("window.png"))), picture);
}

TEST_P(QxcaptureAtScale, ClickWithoutADragWritesNothing) {
    const auto tool = start("-i", home.file("nothing.png"));
    x.click({500, 500});
    ASSERT_TRUE(tool->waitForExit(10'000));
    EXPECT_EQ(tool->exitCode(), 1);
    EXPECT_FALSE(QFile::exists(home.file("nothing.png")));
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
        registered = bus.registerService("org.freedesktop.portal.Desktop") &&
                     bus.registerObject("/org/freedesktop/portal/desktop", this,
                                        QDBusConnection::ExportAllSlots);
    }
    ~FakeScreenshotPortal() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject("/org/freedesktop/portal/desktop");
        bus.unregisterService("org.freedesktop.portal.Desktop");
    }

    bool registered = false;
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

// Without an X11 display qxcapture asks the portal.
int captureThroughThePortal(const QString& out) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    RunningProgram tool("qxcapture", {"-i", out}, environment);
    EXPECT_TRUE(tool.waitForExit(10'000));
    return tool.exitCode();
}

TEST(QxcaptureWithFakePortal, MovesThePortalsPictureToTheOutputPathAsPng) {
    SandboxHome home;
    for (const char* name : {"Shot.png", "Shot.jpg"}) {
        SCOPED_TRACE(name);
        const QString shot = home.file(QStringLiteral("Pictures/") + name);
        ASSERT_TRUE(TestImages::filled(32, 32, Qt::darkCyan).save(shot));
        FakeScreenshotPortal portal(0, shot);
        ASSERT_TRUE(portal.registered);
        EXPECT_EQ(captureThroughThePortal(home.file("out.png")), 0);
        EXPECT_EQ(portal.options.value("interactive").toBool(), true);
        QFile out(home.file("out.png"));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        EXPECT_TRUE(out.read(8).startsWith("\x89PNG"));
        EXPECT_EQ(QImage(out.fileName()).size(), QSize(32, 32));
        EXPECT_FALSE(QFile::exists(shot));
        out.remove();
    }
}

TEST(QxcaptureWithFakePortal, CancelledPortalDialogWritesNothing) {
    SandboxHome home;
    FakeScreenshotPortal portal(1, QString());
    EXPECT_EQ(captureThroughThePortal(home.file("out.png")), 1);
    EXPECT_FALSE(QFile::exists(home.file("out.png")));
}

} // namespace

#include "QxcaptureE2eTest.moc"
