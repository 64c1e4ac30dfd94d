#include "FakeOcrHelper.h"
#include "QtPrinters.h"
#include "ShotFolders.h"
#include "ShotIndex.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

class OcrBatchTest : public ShotFolders {
protected:
    void SetUp() override { installHelper(FakeOcrHelper::echo); }
    // Adds the shots, indexes them and then removes those named "gone…".
    void scanShots(const QStringList& names) {
        addShots(names);
        index.openDB();
        index.scan();
        for (const QString& name : names) {
            if (name.startsWith("gone"))
                QFile::remove(desktop(name));
        }
    }
    bool helperRan() const { return QFile::exists(helper() + ".ran"); }

    ShotIndexOptions options{database(), helper(), 1000};
    ShotIndex index{options};
};

TEST_F(OcrBatchTest, EachAnswerIsStoredOnItsOwnWithFakeHelper) {
    scanShots({"a.png", "画面 収録 1.png", "number-a.png", "nul-a.png", "bad-a.png", "stray-a.png",
               "gone.png"});
    const OcrBatch batch = index.runOcr(40);
    EXPECT_TRUE(batch.helperFound);
    EXPECT_EQ(batch.offered, 7);
    EXPECT_EQ(batch.recognised, 4);
    const std::pair<const char*, std::optional<QString>> done[] = {
        {"a.png", "Text of " + desktop("a.png")},
        {"画面 収録 1.png", "Text of " + desktop("画面 収録 1.png")},
        {"number-a.png", ""},
        {"nul-a.png", "a"}, // text is bound NUL-terminated
        {"gone.png", std::nullopt},
        {"bad-a.png", std::nullopt}, // unreadable: not offered again until it changes
    };
    for (const auto& [name, text] : done) {
        EXPECT_EQ(row(name)->ocrText, text) << name;
        EXPECT_TRUE(row(name)->ocrDone) << name;
    }
    EXPECT_FALSE(row("stray-a.png")->ocrDone) << "no answer: still pending";
    EXPECT_EQ(index.pendingCount(), 1);
    EXPECT_EQ(index.unreadableCount(), 1);
    EXPECT_EQ(index.unreadableShots().value(0).reason, "unreadable");
    // A file the helper could not read may have been half copied: it is offered
    // again once it changed, and only then.
    index.scan();
    EXPECT_EQ(index.runOcr(40).offered, 1) << "only stray-a.png, which had no answer";
    TestFiles::write(desktop("bad-a.png"), "the whole picture");
    index.scan();
    EXPECT_EQ(index.runOcr(40).unreadable, 1);
}

// Outputs that spoil the whole run, and runs cut short: oldest shot first.
struct RunCase {
    QStringList shots;
    int recognised;
    bool helperRuns = true;
};

void PrintTo(const RunCase& run, std::ostream* out) {
    *out << run.shots.join(' ').toStdString();
}

class OcrBatchRun : public OcrBatchTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(OcrBatchRun, CountsOnlyCompleteLinesWithFakeHelper) {
    scanShots(GetParam().shots);
    EXPECT_EQ(index.runOcr(40).recognised, GetParam().recognised);
    EXPECT_EQ(helperRan(), GetParam().helperRuns);
}

INSTANTIATE_TEST_SUITE_P(Outputs, OcrBatchRun,
                         ::testing::Values(RunCase{{"crlf-1.png", "crlf-2.png"}, 0},
                                           RunCase{{"latin1-a.png", "b.png"}, 0},
                                           RunCase{{"crash-a.png", "b.png"}, 1},
                                           RunCase{{"hang-a.png", "b.png"}, 1},
                                           RunCase{{"gone-1.png", "gone-2.png"}, 0, false}));

TEST_F(OcrBatchTest, HelperReadsTheNewestPathsOnStandardInputWithFakeHelper) {
    scanShots({"old.png", "mid.png", "新しい スクショ.png"});
    installHelper("echo \"$#\" > \"$0.args\"\ncat > \"$0.input\"\n");
    index.runOcr(2);
    QFile input(helper() + ".input");
    QFile args(helper() + ".args");
    ASSERT_TRUE(input.open(QIODevice::ReadOnly) && args.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(input.readAll()),
              desktop("新しい スクショ.png") + "\n" + desktop("mid.png") + "\n");
    EXPECT_EQ(args.readAll(), "0\n");
}

} // namespace
