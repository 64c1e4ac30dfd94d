// The real glimber on a headless desktop, driven like a person would: keys and
// clicks through XTest, results read from the save folder, the clipboard
// (through xclip) and qxc.
#include "GlimberDesktopTest.h"
#include "HeadlessDesktop.h"
#include "TestFiles.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTest>
#include <QThread>
#include <QUrl>

namespace {

QImage opaque(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

class TrayE2e : public GlimberDesktopTest {
protected:
    void SetUp() override { ASSERT_TRUE(HeadlessDesktop::current().startTray()); }
    void TearDown() override {
        HeadlessDesktop::current().stopTray();
        GlimberDesktopTest::TearDown();
    }

    // Clicks glimber's icon in the tray and returns the menu that opens.
    std::optional<QRect> openTrayMenu() {
        std::optional<QRect> icon;
        std::optional<QRect> menu;
        (void)QTest::qWaitFor(
            [&] {
                for (const QRect& window : x.windowsOf("glimber")) {
                    if (window.width() <= 64 && window.height() <= 64)
                        icon = window;
                }
                return icon.has_value();
            },
            10'000);
        if (!icon)
            return std::nullopt;
        const std::size_t before = x.windowsOf("glimber").size();
        x.click(icon->center());
        (void)QTest::qWaitFor(
            [&] {
                const std::vector<QRect> windows = x.windowsOf("glimber");
                if (windows.size() > before)
                    menu = windows.back();
                return menu.has_value();
            },
            10'000);
        QTest::qWait(200);
        return menu;
    }
};

TEST_F(TrayE2e, TapOfRightShiftAndADragCaptureTheRegionWhichIsFoundByItsTextMomentsLater) {
    showTextWindow("Glimber finds zebras");
    const auto glimber = startGlimber();
    const QRect region(120, 130, 540, 150);
    const QImage seen = screenPixels(region);
    x.tap(rightShift);
    ASSERT_TRUE(waitForOverlay(*glimber));
    x.drag(region.topLeft(), region.bottomRight());
    ASSERT_TRUE(QTest::qWaitFor([&] { return savedShots().size() == 1; }, 10'000));
    const QString shot = saveFolder() + "/" + savedShots().first();
    QImage saved;
    ASSERT_TRUE(QTest::qWaitFor([&] { return saved.load(shot); }, 5000));
    EXPECT_EQ(opaque(saved), seen) << "the file holds exactly the pixels that were dragged over";
    QImage pasted;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !(pasted = clipboardImage()).isNull(); }, 10'000));
    EXPECT_EQ(opaque(pasted), seen);
    QByteArray found;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            found = runToEnd(RunningProgram::path("qxc"), {"search", "zebras"});
            return found.contains(QFile::encodeName(shot));
        },
        30'000))
        << "qxc search found: " << found.toStdString();
}

TEST_F(TrayE2e, HoldOfRightShiftAndAClickCaptureTheWindow) {
    showTextWindow("A window of its own");
    const auto glimber = startGlimber();
    const QImage seen = screenPixels(textWindowRect());

    x.key(rightShift, true);
    QThread::msleep(700); // past the hold threshold of 0.4 s
    ASSERT_TRUE(QTest::qWaitFor([&] { return glimber->child("qxcapture").has_value(); }, 5000))
        << "the hold starts the capture while the key is still down";
    x.key(rightShift, false);
    ASSERT_TRUE(waitForOverlay(*glimber));
    x.moveTo(textWindowRect().center() + QPoint(5, 5)); // the window lights up
    QTest::qWait(100);
    x.click(textWindowRect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return savedShots().size() == 1; }, 10'000));
    QImage saved;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return saved.load(saveFolder() + "/" + savedShots().first()); }, 5000));
    EXPECT_EQ(saved.size(), textWindowRect().size());
    EXPECT_EQ(opaque(saved), seen);
}

TEST_F(TrayE2e, RightShiftUsedForTypingCapturesNothing) {
    const auto glimber = startGlimber();
    x.key(rightShift, true);
    x.tap(letterA);
    QThread::msleep(600); // neither a hold
    x.key(rightShift, false);
    QTest::qWait(800); // nor a tap at the release
    EXPECT_FALSE(glimber->child("qxcapture"));
    EXPECT_TRUE(savedShots().isEmpty());
}

TEST_F(TrayE2e, TrayMenuStartsACaptureThatEscapeEndsAndQuitsGlimber) {
    QGuiApplication::clipboard()->setText("kept on the clipboard");
    const auto glimber = startGlimber();
    std::optional<QRect> menu = openTrayMenu();
    ASSERT_TRUE(menu) << "a click on the tray icon opens the menu";
    x.click({menu->x() + 60, menu->top() + 11}); // "Capture Region  (tap)"
    ASSERT_TRUE(waitForOverlay(*glimber));
    x.tap(escape);
    ASSERT_TRUE(waitUntilToolEnded(*glimber));
    QTest::qWait(300);
    EXPECT_TRUE(savedShots().isEmpty());
    EXPECT_EQ(clipboardText(), "kept on the clipboard");

    menu = openTrayMenu();
    ASSERT_TRUE(menu);
    x.click({menu->x() + 60, menu->bottom() - 11}); // "Quit Glimber"
    EXPECT_TRUE(glimber->waitForExit(10'000));
}

class NoTrayE2e : public GlimberDesktopTest {};

TEST_F(NoTrayE2e, WithoutATrayGlimberShowsItsMenuAndTakesCommandsAtAndAfterItsStart) {
    // A stand-in for the desktop's opener, to see what "Open Save Folder" opens.
    TestFiles::writeScript(home.file("bin/xdg-open"), "printf '%s\\n' \"$1\" > \"$HOME/opened\"\n");
    qputenv("PATH", home.file("bin").toUtf8() + ":" + qgetenv("PATH"));
    const auto glimber = startGlimber({"--capture-window"});
    ASSERT_TRUE(waitForOverlay(*glimber)) << "a first start performs its command once launched";
    x.tap(escape);
    ASSERT_TRUE(waitUntilToolEnded(*glimber));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !x.windowsOf("glimber").empty(); }, 10'000))
        << "the menu shows as a window when no tray turns up";

    int exitCode = -1;
    runToEnd(RunningProgram::path("glimber"), {"--capture-region"}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    ASSERT_TRUE(waitForOverlay(*glimber)) << "the running glimber took the command";
    x.tap(escape);
    ASSERT_TRUE(waitUntilToolEnded(*glimber));

    runToEnd(RunningProgram::path("glimber"), {"--open-save-folder"}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    QFile opened(home.file("opened"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.exists() && opened.size() > 0; }, 10'000));
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll().trimmed(), QUrl::fromLocalFile(saveFolder()).toEncoded());

    runToEnd(RunningProgram::path("glimber"), {"--quit"}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(glimber->waitForExit(10'000));
}

TEST_F(NoTrayE2e, AnnotateOpensAnEditorOnTheImageInTheRunningGlimber) {
    const auto glimber = startGlimber();
    ASSERT_TRUE(QTest::qWaitFor([&] { return x.windowsOf("glimber").size() == 1; }, 10'000));
    QImage image(320, 200, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(home.file("a shot.png")));
    TestFiles::write(home.file("broken.png"), "not an image");

    int exitCode = -1;
    runToEnd(RunningProgram::path("glimber"), {"--annotate", home.file("broken.png")}, &exitCode);
    EXPECT_EQ(exitCode, 1) << "the starting command says it cannot open the file";
    runToEnd(RunningProgram::path("glimber"), {"--annotate", home.file("a shot.png")}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return x.windowsOf("glimber").size() == 2; }, 10'000))
        << "one editor window, for the readable image only";
    QTest::qWait(300);
    EXPECT_EQ(x.windowsOf("glimber").size(), 2u);
}

} // namespace
