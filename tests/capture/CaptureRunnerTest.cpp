#include "CaptureRunner.h"

#include "ConfigStore.h"
#include "SandboxHome.h"
#include "TestFiles.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonValue>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QDateTime fixedStart(QDate(2026, 12, 5), QTime(14, 3, 9));

// A stand-in for qxcapture: it records its arguments, then waits until the test
// lets it go (if asked to), then does what its mode file says: copy the prepared
// picture to the output path, write junk there, or write nothing (a cancel).
class CaptureRunnerWithFakeTool : public ::testing::Test {
protected:
    void SetUp() override {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(QColor(10, 200, 30));
        picture.setPixelColor(3, 4, Qt::red);
        ASSERT_TRUE(picture.save(home.file("picture.png")));
        expected = picture;
        TestFiles::writeScript(home.file("tools/qxcapture"), R"(
dir=$(dirname "$0")
printf '%s\n' "$@" > "$dir/arguments"
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
        QFile file(home.file("tools/arguments"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
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
    QImage expected;
    CaptureRunner runner{home.file("tools")};
};

TEST_F(CaptureRunnerWithFakeTool, RegionCaptureLeavesOneNamedPngAndPutsItsImageOnTheClipboard) {
    const auto [path, outcome] = capture(CaptureRunner::regionArguments());
    EXPECT_EQ(outcome, CaptureRunner::Outcome::copied);
    EXPECT_EQ(path, saveFolder() + "/Glimber 2026-12-05-14-03-09.png");
    EXPECT_EQ(toolArguments(), (QStringList{"-i", path}));
    EXPECT_EQ(savedFiles(), QStringList{"Glimber 2026-12-05-14-03-09.png"});
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), expected);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty()) << "the old text is gone";
}

TEST_F(CaptureRunnerWithFakeTool, WindowCaptureAsksTheToolForAWindow) {
    const auto [path, outcome] = capture(CaptureRunner::windowArguments());
    EXPECT_EQ(outcome, CaptureRunner::Outcome::copied);
    EXPECT_EQ(toolArguments(), (QStringList{"-iw", path}));
}

TEST_F(CaptureRunnerWithFakeTool, CancelLeavesNoFileAndTheClipboardUntouched) {
    setMode("cancel");
    EXPECT_EQ(capture(CaptureRunner::regionArguments()).second, CaptureRunner::Outcome::noFile);
    EXPECT_TRUE(savedFiles().isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST_F(CaptureRunnerWithFakeTool, FileThatIsNoImageIsKeptAndTheClipboardUntouched) {
    setMode("junk");
    const auto [path, outcome] = capture(CaptureRunner::regionArguments());
    EXPECT_EQ(outcome, CaptureRunner::Outcome::unreadable);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST_F(CaptureRunnerWithFakeTool, SaveFolderIsResolvedAndCreatedForEveryCapture) {
    capture(CaptureRunner::regionArguments());
    ASSERT_TRUE(QDir(saveFolder()).removeRecursively());
    runner.setClock([] { return fixedStart.addSecs(1); });
    EXPECT_EQ(capture(CaptureRunner::regionArguments()).second, CaptureRunner::Outcome::copied);
    EXPECT_EQ(savedFiles(), QStringList{"Glimber 2026-12-05-14-03-10.png"});

    ConfigStore::setShared("captures", QJsonValue("~/Elsewhere/Shots"));
    const auto [path, outcome] = capture(CaptureRunner::regionArguments());
    EXPECT_EQ(outcome, CaptureRunner::Outcome::copied);
    EXPECT_EQ(path, home.file("Elsewhere/Shots/Glimber 2026-12-05-14-03-10.png"));
}

TEST_F(CaptureRunnerWithFakeTool, ReturnsAtOnceAndOverlappingCapturesGetTheirOwnFiles) {
    TestFiles::write(home.file("tools/hold"));
    QSignalSpy finished(&runner, &CaptureRunner::captureFinished);
    runner.runCapture(CaptureRunner::regionArguments());
    runner.runCapture(CaptureRunner::windowArguments());
    // Both tools are still waiting for their users; nothing has finished.
    QTest::qWait(50);
    EXPECT_TRUE(finished.isEmpty());
    QFile::remove(home.file("tools/hold"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished.size() == 2; }, 10'000));
    EXPECT_EQ(savedFiles(), (QStringList{"Glimber 2026-12-05-14-03-09.png",
                                         "Glimber 2026-12-05-14-03-09_2.png"}));
}

TEST_F(CaptureRunnerWithFakeTool, MissingToolChangesNothing) {
    QFile::remove(home.file("tools/qxcapture"));
    EXPECT_EQ(capture(CaptureRunner::regionArguments()).second,
              CaptureRunner::Outcome::toolNotStarted);
    EXPECT_TRUE(savedFiles().isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST(ScrollCaptureWithFakeHelper, WithoutAHelperNothingHappens) {
    SandboxHome home;
    CaptureRunner runner(home.file("tools"));
    QDir().mkpath(home.file("tools"));
    EXPECT_FALSE(runner.startScrollCapture());
}

TEST(ScrollCaptureWithFakeHelper, HelperGetsTheRegionOptionAndAPathInTheSaveFolder) {
    SandboxHome home;
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    TestFiles::writeScript(home.file("tools/qxscroll"),
                           R"(printf '%s\n' "$@" > "$(dirname "$0")/arguments.tmp"
mv "$(dirname "$0")/arguments.tmp" "$(dirname "$0")/arguments"
)");
    CaptureRunner runner(home.file("tools"));
    runner.setClock([] { return fixedStart; });
    ASSERT_TRUE(runner.startScrollCapture());
    QFile arguments(home.file("tools/arguments"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return arguments.exists(); }, 10'000));
    ASSERT_TRUE(arguments.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        QString::fromUtf8(arguments.readAll()).split('\n', Qt::SkipEmptyParts),
        (QStringList{"--region",
                     home.file(".glimvault/captures/Glimber 2026-12-05-14-03-09 scroll.png")}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
}

} // namespace
