// The real glimber on a headless desktop, driven like a person would: keys and
// clicks through XTest, results read from the save folder, the clipboard
// (through xclip) and qxc.
#include "GlimberDesktopTest.h"
#include "TestFiles.h"
#include "TestImages.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QUrl>

namespace {

class TrayE2e : public GlimberTrayTest {
protected:
    // Clicks glimber's icon in the tray and returns the menu that opens.
    std::optional<QRect> openTrayMenu() {
        const std::vector<QRect> icon = glimberWindows(1);
        if (icon.empty())
            return std::nullopt;
        x.click(icon[0].center());
        const std::vector<QRect> open = glimberWindows(2);
        QTest::qWait(200);
        if (open.empty())
            return std::nullopt;
        return open[0] == icon[0] ? open[1] : open[0];
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
    EXPECT_EQ(savedShot(), seen) << "the file holds exactly the pixels that were dragged over";
    EXPECT_EQ(clipboardImage(), seen);
    EXPECT_TRUE(qxcFinds("zebras", shotPath()));
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
    EXPECT_EQ(savedShot(), seen);
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
    EXPECT_EQ(runToEnd("xclip", {"-selection", "clipboard", "-o"}), "kept on the clipboard");

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
    EXPECT_EQ(glimberWindows(1).size(), 1u) << "the menu shows as a window when no tray turns up";

    EXPECT_EQ(tellGlimber({"--capture-region"}), 0);
    ASSERT_TRUE(waitForOverlay(*glimber)) << "the running glimber took the command";
    x.tap(escape);
    ASSERT_TRUE(waitUntilToolEnded(*glimber));

    EXPECT_EQ(tellGlimber({"--open-save-folder"}), 0);
    QFile opened(home.file("opened"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.size() > 0; }, 10'000));
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll().trimmed(), QUrl::fromLocalFile(saveFolder()).toEncoded());

    const QImage seen = screenPixels({0, 0, HeadlessDesktop::width, HeadlessDesktop::height});
    EXPECT_EQ(tellGlimber({"--capture-screen"}), 0);
    EXPECT_EQ(savedShot(), seen) << "every screen, saved without a choice";
    EXPECT_EQ(clipboardImage(), seen) << "and copied like any capture";

    EXPECT_EQ(tellGlimber({"--quit"}), 0);
    EXPECT_TRUE(glimber->waitForExit(10'000));
}

TEST_F(NoTrayE2e, CaptureTextPutsBothLinesOfTheDraggedRegionOnTheClipboardAndSavesNoFile) {
    showTextWindow("Glimber copies text\n日本語の文字も読む");
    const auto glimber = startGlimber({"--capture-text"});
    ASSERT_TRUE(waitForOverlay(*glimber));
    const QRect window = textWindowRect();
    x.drag(window.topLeft() + QPoint(10, 10), window.bottomRight() - QPoint(10, 10));
    QByteArray pasted;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            pasted = runToEnd("xclip", {"-selection", "clipboard", "-t", "text/plain", "-o"});
            return !pasted.isEmpty();
        },
        30'000));
    EXPECT_EQ(QString::fromUtf8(pasted), "Glimber copies text\n日本語の文字も読む");
    EXPECT_TRUE(QDir(saveFolder()).entryList(QDir::Files).isEmpty()) << "no file is saved";
}

TEST_F(NoTrayE2e, AnnotateOpensAnEditorOnTheImageInTheRunningGlimber) {
    const auto glimber = startGlimber();
    ASSERT_EQ(glimberWindows(1).size(), 1u);
    ASSERT_TRUE(TestImages::filled(320, 200, Qt::darkCyan).save(home.file("a shot.png")));
    TestFiles::write(home.file("broken.png"), "not an image");
    EXPECT_EQ(tellGlimber({"--annotate", home.file("broken.png")}), 1)
        << "the starting command says it cannot open the file";
    EXPECT_EQ(tellGlimber({"--annotate", home.file("a shot.png")}), 0);
    EXPECT_EQ(glimberWindows(2).size(), 2u) << "one editor window, for the readable image only";
    QTest::qWait(300);
    EXPECT_EQ(x.windowsOf("glimber").size(), 2u);
}

} // namespace
