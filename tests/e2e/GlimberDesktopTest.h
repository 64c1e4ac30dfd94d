#pragma once

#include "HeadlessDesktop.h"
#include "RunningProgram.h"
#include "SandboxHome.h"
#include "XSession.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// A person's view of a running Glimber: a throw-away home, a window with known
// text on the headless screen, and the keyboard and pointer to work with.
class GlimberDesktopTest : public ::testing::Test {
protected:
    static constexpr int rightShift = 62;
    static constexpr int letterA = 38;
    static constexpr int escape = 9;

    void TearDown() override { textWindow.reset(); }

    // Starts glimber and waits until it takes commands.
    std::unique_ptr<RunningProgram> startGlimber(const QStringList& arguments = {}) {
        auto glimber = std::make_unique<RunningProgram>("glimber", arguments);
        const QString socket = home.file(".run/glimber.socket");
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(socket); }, 20'000))
            << "glimber did not start";
        return glimber;
    }
    // A second start of glimber with `arguments`, run to its end: its exit code.
    static int tellGlimber(const QStringList& arguments) {
        int exitCode = -1;
        runToEnd(RunningProgram::path("glimber"), arguments, &exitCode);
        return exitCode;
    }
    // Shows `text` in large letters in a window at textWindowRect().
    void showTextWindow(const QString& text) {
        textWindow = std::make_unique<QLabel>(text);
        textWindow->setWindowFlags(Qt::FramelessWindowHint);
        textWindow->setAlignment(Qt::AlignCenter);
        textWindow->setStyleSheet("background: white; color: black; font-size: 44px;");
        textWindow->setGeometry(textWindowRect());
        textWindow->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(textWindow.get()));
        QTest::qWait(200);
    }
    static QRect textWindowRect() { return {100, 100, 600, 200}; }

    // Waits until glimber's capture tool covers the screen and listens.
    bool waitForOverlay(const RunningProgram& glimber) {
        return QTest::qWaitFor([&] { return glimber.child("qxcapture").has_value(); }, 20'000) &&
               x.waitForCaptureOverlay();
    }
    bool waitUntilToolEnded(const RunningProgram& glimber) {
        return QTest::qWaitFor([&] { return !glimber.child("qxcapture"); }, 20'000);
    }
    // Waits until glimber shows exactly `count` windows: them, or none after 10 s.
    std::vector<QRect> glimberWindows(std::size_t count) {
        std::vector<QRect> windows;
        const bool shown = QTest::qWaitFor(
            [&] { return (windows = x.windowsOf("glimber")).size() == count; }, 10'000);
        return shown ? windows : std::vector<QRect>();
    }

    QString saveFolder() const { return home.file(".glimvault/captures"); }
    QStringList savedShots() const {
        return QDir(saveFolder()).entryList({"Glimber *.png"}, QDir::Files);
    }
    // The one shot saved, once it is there and whole.
    QImage savedShot() const {
        QImage shot;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return savedShots().size() == 1 && shot.load(shotPath()); }, 10'000));
        return shot.convertToFormat(QImage::Format_RGB32);
    }
    QString shotPath() const { return saveFolder() + "/" + savedShots().value(0); }
    // Waits until `qxc search word` lists `path`: the index has read the shot.
    static bool qxcFinds(const QString& word, const QString& path) {
        return QTest::qWaitFor(
            [&] {
                return runToEnd(RunningProgram::path("qxc"), {"search", word})
                    .contains(QFile::encodeName(path));
            },
            30'000);
    }
    // The screen's pixels, straight from the X server.
    QImage screenPixels(const QRect& rect) const {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // What a paste would get: the clipboard as PNG.
    QImage clipboardImage() const {
        QImage pasted;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                pasted = QImage::fromData(
                    runToEnd("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"}), "PNG");
                return !pasted.isNull();
            },
            10'000));
        return pasted.convertToFormat(QImage::Format_RGB32);
    }

    SandboxHome home;
    XSession x;
    std::unique_ptr<QLabel> textWindow;
};

// The same with a tray on the desktop, where glimber's menu hides until asked for.
class GlimberTrayTest : public GlimberDesktopTest {
protected:
    void SetUp() override { ASSERT_TRUE(HeadlessDesktop::current().startTray()); }
    void TearDown() override {
        HeadlessDesktop::current().stopTray();
        GlimberDesktopTest::TearDown();
    }
};
