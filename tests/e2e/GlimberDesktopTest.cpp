#include "GlimberDesktopTest.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QThread>

void GlimberDesktopTest::TearDown() {
    textWindow.reset();
}

std::unique_ptr<RunningProgram> GlimberDesktopTest::startGlimber(const QStringList& arguments) {
    auto glimber = std::make_unique<RunningProgram>("glimber", arguments);
    const QString socket = home.file(".run/glimber.socket");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(socket); }, 20'000))
        << "glimber did not start";
    return glimber;
}

void GlimberDesktopTest::showTextWindow(const QString& text) {
    textWindow = std::make_unique<QLabel>(text);
    textWindow->setWindowFlags(Qt::FramelessWindowHint);
    textWindow->setAlignment(Qt::AlignCenter);
    textWindow->setStyleSheet("background: white; color: black; font-size: 44px;");
    textWindow->setGeometry(textWindowRect());
    textWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(textWindow.get()));
    QTest::qWait(200);
}

bool GlimberDesktopTest::waitForOverlay(const RunningProgram& glimber) {
    return QTest::qWaitFor([&] { return glimber.child("qxcapture").has_value(); }, 20'000) &&
           x.waitForCaptureOverlay();
}

bool GlimberDesktopTest::waitUntilToolEnded(const RunningProgram& glimber) {
    return QTest::qWaitFor([&] { return !glimber.child("qxcapture"); }, 20'000);
}

QStringList GlimberDesktopTest::savedShots() const {
    return QDir(saveFolder()).entryList({"Glimber *.png"}, QDir::Files);
}

QImage GlimberDesktopTest::screenPixels(const QRect& rect) const {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage GlimberDesktopTest::clipboardImage() const {
    return QImage::fromData(runToEnd("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"}),
                            "PNG");
}

QString GlimberDesktopTest::clipboardText() const {
    return QString::fromUtf8(runToEnd("xclip", {"-selection", "clipboard", "-o"}));
}
