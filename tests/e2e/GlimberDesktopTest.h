#pragma once

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

    QString saveFolder() const { return home.file(".glimvault/captures"); }
    QStringList savedShots() const {
        return QDir(saveFolder()).entryList({"Glimber *.png"}, QDir::Files);
    }
    // The screen's pixels, straight from the X server.
    QImage screenPixels(const QRect& rect) const {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // What a paste would get: the clipboard as PNG, or as text.
    QImage clipboardImage() const {
        return QImage::fromData(
            runToEnd("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"}), "PNG");
    }
    QString clipboardText() const {
        return QString::fromUtf8(runToEnd("xclip", {"-selection", "clipboard", "-o"}));
    }

    SandboxHome home;
    XSession x;
    std::unique_ptr<QLabel> textWindow;
};
