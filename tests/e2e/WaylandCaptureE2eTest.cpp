// qxcapture under a real Wayland compositor, headless sway: two outputs at
// scales 1 and 2 side by side, each showing a picture whose every pixel has a
// colour of its own. Each journey compares what qxcapture wrote with grim's
// picture of the same desktop, under Qt's wayland platform and under xcb
// through Xwayland.
#include "FakeKWinScreenShot.h"
#include "FakeScreenshotPortal.h"
#include "RunningProgram.h"
#include "SandboxHome.h"
#include "ShownPicture.h"
#include "SwayDesktop.h"
#include "SwayWindows.h"
#include "TestImages.h"
#include "WaylandInput.h"
#include "XSession.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <linux/input-event-codes.h>
#include <memory>

namespace {

// Where the pointer waits while a test looks at the screens: headless outputs
// draw its arrow into every picture, and no comparison looks there.
constexpr QPointF parked(20, 780);

QString geometryOf(const QRect& area) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(area.x())
        .arg(area.y())
        .arg(area.width())
        .arg(area.height());
}

// The largest difference of a colour channel between two pictures in `area`;
// 256 when they differ in size.
int largestDifference(const QImage& a, const QImage& b, const QRect& area) {
    if (a.size() != b.size())
        return 256;
    const QImage left = a.convertToFormat(QImage::Format_ARGB32);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32);
    int largest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = left.pixel(x, y);
            const QRgb q = right.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

QImage opaque(const QImage& picture) {
    return picture.convertToFormat(QImage::Format_RGB32);
}

// How many windows of `appId` sway shows, anywhere in its tree.
int shownWindowsOf(const QJsonObject& node, const QString& appId) {
    int count = node["app_id"].toString() == appId && node["visible"].toBool() ? 1 : 0;
    for (const char* children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node[children].toArray())
            count += shownWindowsOf(child.toObject(), appId);
    }
    return count;
}

class SwayCapture : public ::testing::Test {
protected:
    explicit SwayCapture(std::vector<SwayDesktop::Output> outputs = SwayDesktop::twoOutputs())
        : desktop(std::move(outputs)) {}

    void SetUp() override {
        ASSERT_TRUE(desktop.ready());
        desktop.input().moveTo(parked);
    }

    QProcessEnvironment environment(const QString& platform) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", platform);
        return environment;
    }

    // qxcapture with `arguments`; for a choice, once its overlays cover every output.
    std::unique_ptr<RunningProgram> capture(const QStringList& arguments,
                                            const QString& platform = "wayland") {
        auto tool = std::make_unique<RunningProgram>("qxcapture", arguments, environment(platform));
        if (arguments.first() != "--screens") {
            EXPECT_TRUE(waitForOverlays(platform)) << tool->errors().toStdString();
        }
        return tool;
    }
    bool waitForOverlays(const QString& platform) {
        const int outputs = int(desktop.outputs().size());
        const bool covered = QTest::qWaitFor(
            [&] {
                // As an X client qxcapture covers the whole desktop with one window.
                if (platform == "xcb")
                    return XSession().windowsOf("qxcapture") == std::vector{desktop.layout()};
                const QJsonObject tree =
                    QJsonDocument::fromJson(desktop.swaymsg({"-t", "get_tree"})).object();
                return shownWindowsOf(tree, "qxcapture") == outputs;
            },
            20'000);
        // Shown is not yet listening: the compositor still hands it the keyboard.
        QTest::qWait(300);
        return covered;
    }
    // Runs qxcapture to its end: its exit status.
    int finish(RunningProgram& tool) {
        EXPECT_TRUE(tool.waitForExit(20'000));
        return tool.exitCode();
    }
    QImage written(const QString& name) const { return QImage(home.file(name)); }

    SandboxHome home;
    SwayDesktop desktop;
};

TEST_F(SwayCapture, ScreensEqualGrimsPictureTheDoubledOutputPixelForPixelThePlainOneEnlarged) {
    const QImage grim = desktop.grim();
    auto tool = capture({"--screens", home.file("screens.png")});
    ASSERT_EQ(finish(*tool), 0) << tool->errors().toStdString();
    const QImage screens = written("screens.png");
    ASSERT_EQ(screens.size(), QSize(4480, 1600)) << "2240 x 800 units at the larger scale";
    const QRect doubled(2560, 0, 1920, 1080);
    EXPECT_EQ(opaque(screens.copy(doubled)), opaque(grim.copy(doubled)));
    EXPECT_EQ(opaque(screens.copy(doubled)), opaque(desktop.outputs()[1].background));
    // Both smooth the enlarged output; at its edges grim blends in the
    // transparent outside, so only the inside is compared.
    EXPECT_LE(largestDifference(screens, grim, QRect(1, 1, 2558, 1598)), 1);
    EXPECT_EQ(screens.pixelColor(2600, 1200).alpha(), 0) << "no output shows (1300, 600)";
    EXPECT_EQ(grim.pixelColor(2600, 1200).alpha(), 0);
}

TEST_F(SwayCapture, TurnedOutputsAreTakenTheWayTheyShow) {
    desktop.swaymsg({"output", "HEADLESS-1", "transform", "90"});
    desktop.swaymsg({"output", "HEADLESS-2", "transform", "flipped-180"});
    // The first output turns to 800 x 1280 units; the second stays beside it.
    // Until the backgrounds are drawn anew for the turned outputs.
    QImage grim;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage before = grim;
            grim = desktop.grim();
            return grim.height() == 2560 && grim == before;
        },
        10'000));
    auto tool = capture({"--screens", home.file("turned.png")});
    ASSERT_EQ(finish(*tool), 0) << tool->errors().toStdString();
    const QImage turned = written("turned.png");
    const QRect doubled(2560, 0, 1920, 1080);
    EXPECT_EQ(opaque(turned.copy(doubled)), opaque(grim.copy(doubled)));
    EXPECT_LE(largestDifference(turned, grim, QRect(1, 1, 1598, 2558)), 1);
}

// The person's journeys through the overlay, under Qt's wayland platform and
// under xcb, where Xwayland shows Wayland windows to X clients as black.
class SwayChoice : public SwayCapture, public ::testing::WithParamInterface<const char*> {
protected:
    QString platform() const { return GetParam(); }
    // X clients learn the pointer in whole units only, each of which covers
    // two pixels of the doubled output; Wayland clients get every pixel.
    QPointF lastPixel(QPointF unit) const {
        return platform() == "xcb" ? unit - QPointF(1, 1) : unit - QPointF(0.5, 0.5);
    }
};

TEST_P(SwayChoice, ARegionInsideTheDoubledOutputKeepsItsOwnPixels) {
    const QRect region(1400, 100, 300, 200);
    const QImage grim = desktop.grim(geometryOf(region));
    auto tool = capture({"-i", home.file("region.png")}, platform());
    desktop.input().drag(region.topLeft(), lastPixel(region.bottomRight() + QPoint(1, 1)));
    ASSERT_EQ(finish(*tool), 0) << tool->errors().toStdString();
    const QImage picture = written("region.png");
    ASSERT_EQ(picture.size(), QSize(600, 400));
    EXPECT_EQ(opaque(picture), opaque(grim));
}

TEST_P(SwayChoice, ARegionAcrossBothOutputsIsTakenAtTheLargerScale) {
    const QRect region(1000, 100, 500, 300);
    const QImage grim = desktop.grim(geometryOf(region));
    auto tool = capture({"-i", home.file("across.png")}, platform());
    desktop.input().drag(region.topLeft(), lastPixel(region.bottomRight() + QPoint(1, 1)));
    ASSERT_EQ(finish(*tool), 0) << tool->errors().toStdString();
    const QImage picture = written("across.png");
    ASSERT_EQ(picture.size(), QSize(1000, 600));
    // Right of x = 1280 the doubled output's own pixels, left of it the
    // plain one's enlarged, as grim enlarges them but for its blended edges.
    EXPECT_EQ(opaque(picture.copy(560, 0, 440, 600)), opaque(grim.copy(560, 0, 440, 600)));
    EXPECT_LE(largestDifference(picture, grim, QRect(1, 1, 557, 598)), 1);
}

TEST_P(SwayChoice, EscapeAClickAndASecondCaptureTakeNothing) {
    auto escaped = capture({"-i", home.file("escaped.png")}, platform());
    RunningProgram second("qxcapture", {"-i", home.file("second.png")}, environment(platform()));
    EXPECT_EQ(finish(second), 1) << "one overlay per session";
    desktop.input().tap(KEY_ESC);
    EXPECT_EQ(finish(*escaped), 1);
    auto clicked = capture({"-i", home.file("clicked.png")}, platform());
    // A busy compositor gives the shown overlay the pointer a moment later,
    // and no client can tell when; a click it missed leaves it up, and is
    // made again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        desktop.input().click({1500, 300});
        if (QTest::qWaitFor([&] { return !clicked->running(); }, 2000))
            break;
    }
    EXPECT_EQ(finish(*clicked), 1);
    for (const char* name : {"escaped.png", "second.png", "clicked.png"})
        EXPECT_FALSE(QFile::exists(home.file(name))) << name;
}

INSTANTIATE_TEST_SUITE_P(Platforms, SwayChoice, ::testing::Values("wayland", "xcb"));

TEST_F(SwayCapture, AWindowPickedOnSwayIsTakenAtItsOutputsScale) {
    desktop.swaymsg({"focus", "output", "HEADLESS-2"});
    const ShownPicture window(TestImages::noise(300, 200), home.file("window.png"),
                              environment("wayland"));
    const std::optional<std::vector<QRect>> windows = SwayWindows::topmostFirst();
    ASSERT_TRUE(windows && windows->size() == 1);
    const QRect rect = windows->front();
    ASSERT_TRUE(QRect(1280, 0, 960, 540).contains(rect)) << "floating on the doubled output";
    desktop.input().moveTo(parked);
    const QImage grim = desktop.grim(geometryOf(rect));
    auto tool = capture({"-iw", home.file("picked.png")});
    desktop.input().moveTo(rect.center());
    desktop.input().click(rect.center());
    ASSERT_EQ(finish(*tool), 0) << tool->errors().toStdString();
    const QImage picked = written("picked.png");
    EXPECT_EQ(picked.size(), rect.size() * 2);
    EXPECT_EQ(opaque(picked), opaque(grim));
}

TEST_F(SwayCapture, WhereTheDesktopTellsNoWindowsAWindowCaptureTakesARegionAndSaysWhy) {
    const QRect region(300, 200, 400, 300);
    const QImage grim = desktop.grim(geometryOf(region));
    QProcessEnvironment elsewhere = environment("wayland");
    elsewhere.remove("SWAYSOCK");
    RunningProgram tool("qxcapture", {"-iw", home.file("instead.png")}, elsewhere);
    ASSERT_TRUE(waitForOverlays("wayland"));
    const QImage hint = desktop.grim(geometryOf({320, 0, 640, 80}));
    desktop.input().drag(region.topLeft(), region.bottomRight());
    ASSERT_EQ(finish(tool), 0) << tool.errors().toStdString();
    EXPECT_EQ(opaque(written("instead.png")), opaque(grim));
    // The line of advice stands out from the dimmed picture: white on black.
    int whitePixels = 0;
    for (int y = 0; y < hint.height(); ++y)
        for (int x = 0; x < hint.width(); ++x)
            whitePixels += hint.pixelColor(x, y) == Qt::white;
    EXPECT_GT(whitePixels, 50) << "the overlay says why no window lights up";
}

// Sway 1.7 tells its clients nothing when it turns off a headless output,
// so what can be shown is an output that moves and one that is added.
TEST_F(SwayCapture, AnOutputMovedOrAddedWhileChoosingEndsTheCaptureAndSaysWhy) {
    for (const QStringList& change : {QStringList{"output", "HEADLESS-2", "position", "1400", "0"},
                                      QStringList{"create_output"}}) {
        SCOPED_TRACE(change.join(' ').toStdString());
        RunningProgram tool("qxcapture", {"-i", home.file("changed.png")}, environment("wayland"));
        ASSERT_TRUE(waitForOverlays("wayland"));
        desktop.swaymsg(change);
        EXPECT_EQ(finish(tool), 1);
        EXPECT_TRUE(tool.errors().contains("the screens changed while choosing"));
        EXPECT_FALSE(QFile::exists(home.file("changed.png")));
    }
}

TEST_F(SwayCapture, ThePortalWithoutADialogGivesTheDesktopAsGrimSeesIt) {
    ASSERT_TRUE(desktop.startPortals());
    QProcessEnvironment portal = environment("wayland");
    portal.insert("QXCAPTURE_SOURCE", "portal");
    const QImage grim = desktop.grim();
    RunningProgram tool("qxcapture", {"--screens", home.file("portal.png")}, portal);
    ASSERT_EQ(finish(tool), 0) << tool.errors().toStdString();
    EXPECT_LE(largestDifference(written("portal.png"), grim, QRect(1, 1, 4478, 1078)), 0);
}

TEST_F(SwayCapture, APortalThatRefusesEndsWithTwoAndTellsHowToAllowItWithFakePortal) {
    FakeScreenshotPortal portal(2);
    ASSERT_TRUE(portal.registered());
    QProcessEnvironment refused = environment("wayland");
    refused.insert("QXCAPTURE_SOURCE", "portal");
    RunningProgram tool("qxcapture", {"-i", home.file("refused.png")}, refused);
    EXPECT_EQ(finish(tool), 2);
    EXPECT_TRUE(tool.errors().contains("allow screenshots for Glimber"));
    EXPECT_FALSE(QFile::exists(home.file("refused.png")));
}

// KWin's screenshot service, faked on the desktop's bus: each output by its
// name, and a window KWin lets the person pick.
TEST_F(SwayCapture, KWinGivesEachOutputByNameAndPicksAWindowItselfWithFakeKWin) {
    const QImage window = TestImages::noise(120, 80);
    // Read on the bus's own thread, where the fake answers.
    std::atomic<bool> cancel = false;
    FakeKWinScreenShot kwin([&](const QString& method, const QVariant& first) {
        if (method == "CaptureInteractive")
            return FakeKWinScreenShot::Answer{
                window, cancel ? "org.kde.KWin.ScreenShot2.Error.Cancelled" : ""};
        for (const SwayDesktop::Output& output : desktop.outputs()) {
            if (output.name == first.toString())
                return FakeKWinScreenShot::Answer{output.background, {}};
        }
        return FakeKWinScreenShot::Answer{{}, "org.kde.KWin.ScreenShot2.Error.InvalidScreen"};
    });
    ASSERT_TRUE(kwin.registered());
    QProcessEnvironment plasma = environment("wayland");
    plasma.insert("QXCAPTURE_SOURCE", "kwin");
    RunningProgram screens("qxcapture", {"--screens", home.file("kwin.png")}, plasma);
    ASSERT_EQ(finish(screens), 0) << screens.errors().toStdString();
    EXPECT_EQ(opaque(written("kwin.png").copy(2560, 0, 1920, 1080)),
              opaque(desktop.outputs()[1].background));
    RunningProgram picked("qxcapture", {"-iw", home.file("kwin-window.png")}, plasma);
    ASSERT_EQ(finish(picked), 0) << picked.errors().toStdString();
    EXPECT_EQ(opaque(written("kwin-window.png")), opaque(window));
    cancel = true;
    RunningProgram cancelled("qxcapture", {"-iw", home.file("kwin-cancelled.png")}, plasma);
    EXPECT_EQ(finish(cancelled), 1);
    EXPECT_FALSE(QFile::exists(home.file("kwin-cancelled.png")));
}

// Negative positions, four outputs, scales of 1, 1.5 and 2.
std::vector<SwayDesktop::Output> fourOutputs() {
    return {
        {"HEADLESS-1", {800, 600}, {0, 0}, 1, TestImages::positions({800, 600})},
        {"HEADLESS-2", {1280, 720}, {800, 0}, 2, TestImages::positions({1280, 720}, {0, 600})},
        {"HEADLESS-3", {960, 540}, {-640, -360}, 1.5, TestImages::positions({960, 540}, {1280, 0})},
        {"HEADLESS-4", {640, 480}, {0, 600}, 1, TestImages::positions({640, 480}, {1280, 600})},
    };
}

class FourOutputsCapture : public SwayCapture {
protected:
    FourOutputsCapture()
        : SwayCapture(fourOutputs()) {}
};

TEST_F(FourOutputsCapture, NegativePositionsAndThreeScalesLandOnTheRightPixels) {
    const QImage grim = desktop.grim();
    auto screens = capture({"--screens", home.file("four.png")});
    ASSERT_EQ(finish(*screens), 0) << screens->errors().toStdString();
    const QImage four = written("four.png");
    ASSERT_EQ(four.size(), QSize(4160, 2880)) << "2080 x 1440 units at scale 2";
    const QRect doubled(2880, 720, 1280, 720);
    EXPECT_EQ(opaque(four.copy(doubled)), opaque(grim.copy(doubled)));
    EXPECT_LE(largestDifference(four, grim, QRect(1281, 721, 1598, 1198)), 1) << "HEADLESS-1";
    // Inside the output at 150 %: its own pixels, three to two units.
    const QRect region(-600, -300, 200, 100);
    const QImage regionByGrim = desktop.grim(geometryOf(region));
    auto tool = capture({"-i", home.file("fractional.png")});
    desktop.input().drag(region.topLeft(), QPointF(-400.5, -200.5));
    ASSERT_EQ(finish(*tool), 0) << tool->errors().toStdString();
    const QImage fractional = written("fractional.png");
    EXPECT_EQ(fractional.size(), QSize(300, 150));
    EXPECT_EQ(opaque(fractional), opaque(regionByGrim));
}

TEST(QxcaptureWithoutACompositor, ExitsWithTwoAndSaysSoInsteadOfAbortingInQt) {
    SandboxHome home;
    QProcessEnvironment nowhere = QProcessEnvironment::systemEnvironment();
    nowhere.insert("WAYLAND_DISPLAY", home.file("no-such-compositor"));
    nowhere.insert("QT_QPA_PLATFORM", "wayland");
    for (const char* mode : {"-i", "--screens"}) {
        RunningProgram tool("qxcapture", {mode, home.file("out.png")}, nowhere);
        ASSERT_TRUE(tool.waitForExit(10'000));
        EXPECT_EQ(tool.exitCode(), 2) << mode;
        EXPECT_TRUE(tool.errors().contains("cannot reach the Wayland compositor")) << mode;
    }
}

} // namespace
