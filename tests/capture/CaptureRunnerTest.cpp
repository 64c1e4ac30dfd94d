#include "CaptureRunner.h"

#include "ConfigStore.h"
#include "SandboxHome.h"
#include "TestFiles.h"
#include "TestImages.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonValue>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QDateTime fixedStart(QDate(2026, 12, 5), QTime(14, 3, 9));

// A stand-in for qxcapture (and qxscroll): it records its arguments, then waits
// until the test lets it go (if asked to), then does what its mode file says:
// copy the prepared picture to the output path, write junk there, or write
// nothing (a cancel).
class CaptureRunnerWithFakeTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestImages::filled(40, 30, Qt::darkGreen).save(home.file("picture.png")));
        for (const char* tool : {"tools/qxcapture", "tools/qxscroll"})
            TestFiles::writeScript(home.file(tool), R"(
dir=$(dirname "$0")
printf '%s\n' "$@" > "$dir/arguments.tmp"
mv "$dir/arguments.tmp" "$dir/arguments"
while [ -e "$dir/hold" ]; do sleep 0.01; done
for out; do :; done
case $(cat "$dir/mode") in
  picture) cp "$dir/../picture.png" "$out" ;;
  junk) echo "not a picture" > "$out" ;;
esac
exit 1
)");
        setMode("picture");
        runner.setClock([] { return fixedStart; });
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }

    void setMode(const QByteArray& mode) { TestFiles::write(home.file("tools/mode"), mode); }
    QStringList toolArguments() const {
        return QString::fromUtf8(TestFiles::read(home.file("tools/arguments")))
            .split('\n', Qt::SkipEmptyParts);
    }
    // Runs one capture to its end; its path and outcome.
    std::pair<QString, CaptureRunner::Outcome> capture(const QStringList& arguments) {
        QSignalSpy finished(&runner, &CaptureRunner::captureFinished);
        runner.runCapture(arguments);
        EXPECT_TRUE(finished.wait(10'000));
        if (finished.isEmpty())
            return {};
        return {finished.first().at(0).toString(),
                finished.first().at(1).value<CaptureRunner::Outcome>()};
    }
    QString saveFolder() const { return home.file(".glimvault/captures"); }
    QStringList savedFiles() const { return QDir(saveFolder()).entryList(QDir::Files); }

    SandboxHome home;
    CaptureRunner runner{home.file("tools")};
};

TEST_F(CaptureRunnerWithFakeTool, EveryCaptureLeavesOneNamedPngAndReplacesTheClipboard) {
    const auto [path, outcome] = capture(CaptureRunner::regionArguments());
    EXPECT_EQ(outcome, CaptureRunner::Outcome::copied);
    EXPECT_EQ(path, saveFolder() + "/Glimber 2026-12-05-14-03-09.png");
    EXPECT_EQ(toolArguments(), (QStringList{"-i", path}));
    EXPECT_EQ(savedFiles(), QStringList{"Glimber 2026-12-05-14-03-09.png"});
    // What a paste gets is checked on the desktop, in the e2e tests.
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty()) << "the old text is gone";
    const auto [windowPath, windowOutcome] = capture(CaptureRunner::windowArguments());
    EXPECT_EQ(windowOutcome, CaptureRunner::Outcome::copied);
    EXPECT_EQ(toolArguments(), (QStringList{"-iw", windowPath}));

    // The save folder is resolved and made anew for every capture.
    ASSERT_TRUE(QDir(saveFolder()).removeRecursively());
    runner.setClock([] { return fixedStart.addSecs(1); });
    EXPECT_EQ(capture(CaptureRunner::regionArguments()).second, CaptureRunner::Outcome::copied);
    EXPECT_EQ(savedFiles(), QStringList{"Glimber 2026-12-05-14-03-10.png"});
    ConfigStore::setShared("captures", QJsonValue("~/Elsewhere/Shots"));
    EXPECT_EQ(capture(CaptureRunner::regionArguments()).first,
              home.file("Elsewhere/Shots/Glimber 2026-12-05-14-03-10.png"));
}

TEST_F(CaptureRunnerWithFakeTool, WithoutAPictureTheClipboardIsUntouched) {
    setMode("cancel");
    EXPECT_EQ(capture(CaptureRunner::regionArguments()).second, CaptureRunner::Outcome::noFile);
    EXPECT_TRUE(savedFiles().isEmpty());
    setMode("junk");
    const auto [path, outcome] = capture(CaptureRunner::regionArguments());
    EXPECT_EQ(outcome, CaptureRunner::Outcome::unreadable);
    EXPECT_TRUE(QFile::exists(path)) << "a file that is no image is kept";
    QFile::remove(home.file("tools/qxcapture"));
    EXPECT_EQ(capture(CaptureRunner::regionArguments()).second,
              CaptureRunner::Outcome::toolNotStarted);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

// Names are never those of existing files, left by another program or by the
// hour that repeats when the clocks go back, nor those handed out but not yet written.
TEST_F(CaptureRunnerWithFakeTool, ReturnsAtOnceAndOverlappingCapturesGetTheirOwnFiles) {
    TestFiles::write(saveFolder() + "/Glimber 2026-12-05-14-03-09.png");
    TestFiles::write(home.file("tools/hold"));
    QSignalSpy finished(&runner, &CaptureRunner::captureFinished);
    runner.runCapture(CaptureRunner::regionArguments());
    runner.runCapture(CaptureRunner::windowArguments());
    // Both tools are still waiting for their users; nothing has finished.
    QTest::qWait(50);
    EXPECT_TRUE(finished.isEmpty());
    QFile::remove(home.file("tools/hold"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished.size() == 2; }, 10'000));
    EXPECT_EQ(savedFiles(),
              (QStringList{"Glimber 2026-12-05-14-03-09.png", "Glimber 2026-12-05-14-03-09_2.png",
                           "Glimber 2026-12-05-14-03-09_3.png"}));
}

TEST_F(CaptureRunnerWithFakeTool, ScrollCaptureGivesItsHelperTheRegionOptionAndAPath) {
    ASSERT_TRUE(runner.startScrollCapture());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !toolArguments().isEmpty(); }, 10'000));
    EXPECT_EQ(toolArguments(),
              (QStringList{"--region", saveFolder() + "/Glimber 2026-12-05-14-03-09 scroll.png"}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    QFile::remove(home.file("tools/qxscroll"));
    EXPECT_FALSE(runner.startScrollCapture());
}

} // namespace
