// qxscroll under a real Wayland compositor, headless sway with PipeWire: a
// GTK list of 300 numbered rows on the doubled output, scrolled by the wheel
// of the desktop's pointer while qxscroll watches it through a screen cast.
// The cast's portal is the test's (Debian's wlroots portal has none to give
// under a software renderer); its stream is a real one of the output's pixels.
#include "FakeScreenCastPortal.h"
#include "HeadlessDesktop.h"
#include "RunningProgram.h"
#include "SandboxHome.h"
#include "SwayDesktop.h"
#include "WaylandInput.h"
#include "WaylandScreens.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr int rows = 300;
const QColor frameColour(0x2f, 0x8c, 0xff);

// The rectangle of the first window of `appId` in sway's tree, in the layout.
std::optional<QRect> windowOf(const QJsonObject& node, const QString& appId) {
    if (node["app_id"].toString() == appId && node["visible"].toBool()) {
        const QJsonObject rect = node["rect"].toObject();
        return QRect(rect["x"].toInt(), rect["y"].toInt(), rect["width"].toInt(),
                     rect["height"].toInt());
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node[children].toArray()) {
            if (const auto found = windowOf(child.toObject(), appId))
                return found;
        }
    }
    return std::nullopt;
}

// The row numbers the recogniser reads in `png`, top to bottom.
std::vector<int> rowNumbersIn(const QString& png) {
    QProcess ocr;
    ocr.start(RunningProgram::path("qxocr"), {});
    ocr.write(png.toUtf8() + '\n');
    ocr.closeWriteChannel();
    ocr.waitForFinished(60'000);
    const QString text = QString::fromUtf8(ocr.readAllStandardOutput());
    std::vector<int> numbers;
    static const QRegularExpression row(QStringLiteral("Row (\\d{3})"));
    for (auto match = row.globalMatch(text); match.hasNext();)
        numbers.push_back(match.next().captured(1).toInt());
    return numbers;
}

class SwayScrollWithFakeScreenCastPortal : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(desktop.ready());
        ASSERT_TRUE(desktop.startPipeWire());
        QString problem;
        screens = WaylandScreens::connect(QDeadlineTimer(5000), &problem);
        ASSERT_TRUE(screens) << problem.toStdString();
        portal = std::make_unique<FakeScreenCastPortal>(
            FakeScreenCastPortal::Output{cast.geometry(), cast.mode,
                                         [this] { return outputPicture(); }},
            desktop.pipeWireSocket());
        ASSERT_TRUE(portal->registered());
        desktop.swaymsg({"focus", "output", cast.name});
        QStringList arguments{"--list", "--column=Row", "--width=700", "--height=500"};
        for (int i = 1; i <= rows; ++i)
            arguments.append(QStringLiteral("Row %1").arg(i, 3, 10, QLatin1Char('0')));
        HeadlessDesktop::tieToThisProcess(list);
        list.setStandardOutputFile(QProcess::nullDevice());
        list.setStandardErrorFile(QProcess::nullDevice());
        list.start("zenity", arguments);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                listWindow = windowOf(tree(), "zenity").value_or(QRect());
                return !listWindow.isEmpty();
            },
            20'000));
    }
    QImage outputPicture() const {
        const ScreenGrab grab = screens->copyOutputs(QDeadlineTimer(2000));
        for (const ScreenPicture& screen : grab.screens) {
            if (screen.name == cast.name)
                return screen.image;
        }
        return {};
    }
    QJsonObject tree() const {
        return QJsonDocument::fromJson(desktop.swaymsg({"-t", "get_tree"})).object();
    }
    static void expectConsecutive(const std::vector<int>& numbers) {
        for (std::size_t i = 1; i < numbers.size(); ++i)
            EXPECT_EQ(numbers[i], numbers[i - 1] + 1) << "after row " << numbers[i - 1];
    }
    // Starts qxscroll and drags `region` once its overlays cover both outputs.
    std::unique_ptr<RunningProgram> startOver(const QRect& region) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "wayland");
        auto tool =
            std::make_unique<RunningProgram>("qxscroll", QStringList{"--region", out}, environment);
        EXPECT_TRUE(QTest::qWaitFor([&] { return overlaysShown() == 2; }, 20'000));
        // Shown is not yet listening: the compositor hands it the pointer a
        // moment later, and no client can tell when. A drag it missed leaves
        // the overlays up, and is made again.
        for (int attempt = 0; attempt < 5; ++attempt) {
            desktop.input().drag(region.topLeft(), region.bottomRight());
            if (QTest::qWaitFor([&] { return overlaysShown() == 0; }, 2000))
                break;
        }
        return tool;
    }
    int overlaysShown() const {
        return int(desktop.swaymsg({"-t", "get_tree"}).count("\"app_id\": \"qxscroll\""));
    }
    // Inside the list's rows, below its column header.
    QRect region() const { return listWindow.adjusted(10, 66, -80, -47); }
    // What `part` of the desktop shows now; the region unless given.
    QImage shown(std::optional<QRect> part = std::nullopt) const {
        const QRect area = part.value_or(region());
        return desktop.grim(QStringLiteral("%1,%2 %3x%4")
                                .arg(area.x())
                                .arg(area.y())
                                .arg(area.width())
                                .arg(area.height()));
    }
    // The bar's buttons, just below the region: "Done", "Auto-scroll", "Cancel".
    enum Button { done = 40, autoScroll = 130, cancel = 220 };
    void click(Button button) {
        desktop.input().click(region().bottomLeft() + QPoint(int(button), 20));
    }
    // The frame is drawn just outside the region once the screen cast runs.
    bool waitForFrame() {
        const QRect above(region().left() + 10, region().top() - 2, 1, 1);
        return QTest::qWaitFor(
            [&] {
                const QImage shown =
                    desktop.grim(QStringLiteral("%1,%2 1x1").arg(above.left()).arg(above.top()));
                return !shown.isNull() && shown.pixelColor(0, 0).rgb() == frameColour.rgb();
            },
            20'000);
    }

    SandboxHome home;
    SwayDesktop desktop;
    const SwayDesktop::Output cast = desktop.outputs()[1];
    std::unique_ptr<WaylandScreens> screens;
    std::unique_ptr<FakeScreenCastPortal> portal;
    QProcess list;
    QRect listWindow;
    const QString out = home.file("tall.png");
};

TEST_F(SwayScrollWithFakeScreenCastPortal, WheelStepsThenDoneWriteEveryRowOnceInOrder) {
    const auto tool = startOver(region());
    ASSERT_TRUE(waitForFrame()) << tool->errors().toStdString();
    desktop.input().moveTo(region().center());
    for (int notch = 0; notch < 12; ++notch) {
        const QImage before = shown();
        desktop.input().wheel(1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown() != before; }, 5000));
    }
    click(done);
    ASSERT_TRUE(tool->waitForExit(20'000));
    ASSERT_EQ(tool->exitCode(), 0) << tool->errors().toStdString();
    const std::vector<int> numbers = rowNumbersIn(out);
    ASSERT_GT(numbers.size(), 30u) << "twelve notches scroll well past the first screenful";
    expectConsecutive(numbers);
}

TEST_F(SwayScrollWithFakeScreenCastPortal, AutoScrollStepsThroughTheVirtualPointerToTheLastRow) {
    const auto tool = startOver(region());
    ASSERT_TRUE(waitForFrame()) << tool->errors().toStdString();
    // The button shows whether Auto-scroll runs; it ends by itself at the last row.
    const QRect button(region().bottomLeft() + QPoint(110, 14), QSize(50, 10));
    const QImage off = shown(button);
    click(autoScroll);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown(button) != off; }, 10'000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown(button) == off; }, 120'000));
    click(done);
    ASSERT_TRUE(tool->waitForExit(20'000));
    ASSERT_EQ(tool->exitCode(), 0) << tool->errors().toStdString();
    const std::vector<int> numbers = rowNumbersIn(out);
    ASSERT_FALSE(numbers.empty());
    EXPECT_LE(numbers.front(), 2);
    EXPECT_EQ(numbers.back(), rows);
    expectConsecutive(numbers);
}

// The desktop is asked once: the second cast brings the first one's token.
// A stream that ends while scrolling is a failure, and nothing is written.
TEST_F(SwayScrollWithFakeScreenCastPortal, TheSecondCastBringsTheTokenAndAnEndedStreamFails) {
    const auto first = startOver(region());
    ASSERT_TRUE(waitForFrame()) << first->errors().toStdString();
    click(cancel);
    ASSERT_TRUE(first->waitForExit(20'000));
    EXPECT_EQ(first->exitCode(), 1);

    const auto second = startOver(region());
    ASSERT_TRUE(waitForFrame()) << second->errors().toStdString();
    portal->endStream();
    ASSERT_TRUE(second->waitForExit(20'000));
    EXPECT_EQ(second->exitCode(), 2);
    EXPECT_TRUE(second->errors().contains("the screen cast ended"));
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(portal->restoreTokensAsked(), (QStringList{"", "restore-1"}));
}

// The person shared the other screen in the desktop's dialog: told which
// one to share, and nothing written.
TEST_F(SwayScrollWithFakeScreenCastPortal, AnotherScreenSharedIsRefusedByName) {
    const SwayDesktop::Output other = desktop.outputs()[0];
    portal.reset();
    portal = std::make_unique<FakeScreenCastPortal>(
        FakeScreenCastPortal::Output{other.geometry(), other.mode,
                                     [this] { return outputPicture(); }},
        desktop.pipeWireSocket());
    ASSERT_TRUE(portal->registered());
    const auto tool = startOver(region());
    ASSERT_TRUE(tool->waitForExit(20'000));
    EXPECT_EQ(tool->exitCode(), 2);
    EXPECT_TRUE(tool->errors().contains("share HEADLESS-2")) << tool->errors().toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
