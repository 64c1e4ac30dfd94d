#include "OcrIndexer.h"

#include "ConfigStore.h"
#include "FakeOcrHelper.h"
#include "ShotFolders.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Short delays stand in for the real 1.5 s and 60 s; the indexer runs in its
// own thread and reports each pass through passFinished.
class OcrIndexerTest : public ShotFolders {
protected:
    void SetUp() override { installHelper(FakeOcrHelper::echo); }
    // Starts an indexer with the given debounce and safety-timer delays.
    OcrIndexer& start(int debounceMs, int safetyMs = 3'600'000, QString file = {}) {
        indexer = std::make_unique<OcrIndexer>(OcrIndexerOptions{
            ShotIndexOptions{file.isEmpty() ? database() : file, helper(), 120'000},
            {debounceMs, 50, safetyMs}});
        passes = std::make_unique<QSignalSpy>(indexer.get(), &OcrIndexer::passFinished);
        indexer->start();
        return *indexer;
    }
    // Waits for the next pass; fails the test when none comes.
    PassReport nextPass() {
        if (passes->isEmpty() && !passes->wait(10'000)) {
            ADD_FAILURE() << "no indexer pass within 10 s";
            return {};
        }
        return passes->takeFirst().at(0).value<PassReport>();
    }
    void addCaptures(int count) const {
        for (int i = 0; i < count; ++i)
            TestFiles::write(captures(QStringLiteral("shot-%1.png").arg(i)));
    }

    std::unique_ptr<OcrIndexer> indexer;
    std::unique_ptr<QSignalSpy> passes;
};

TEST_F(OcrIndexerTest, PendingRowsDrainInChainedBatchesWithFakeHelper) {
    addCaptures(100);
    start(60'000);
    const PassReport first = nextPass();
    const PassReport second = nextPass();
    const PassReport third = nextPass();
    EXPECT_TRUE(first.scanned);
    EXPECT_FALSE(second.scanned);
    EXPECT_EQ(first.recognised, 40);
    EXPECT_EQ(second.recognised, 40);
    EXPECT_EQ(third.recognised, 20);
    EXPECT_FALSE(passes->wait(500)) << "a batch followed although nothing was pending";
    EXPECT_EQ(row("shot-7.png")->ocrText, "Text of " + captures("shot-7.png"));
}

TEST_F(OcrIndexerTest, ABatchWithoutTextChainsNothingWithFakeHelper) {
    addCaptures(50);
    installHelper("cat > /dev/null\n");
    start(60'000);
    EXPECT_EQ(nextPass().recognised, 0);
    EXPECT_FALSE(passes->wait(500));
}

TEST_F(OcrIndexerTest, ABurstOfChangesLeadsToOnePassWithFakeHelper) {
    start(400);
    nextPass();
    addCaptures(3);
    const PassReport afterBurst = nextPass();
    EXPECT_TRUE(afterBurst.scanned);
    EXPECT_EQ(afterBurst.recognised, 3);
    EXPECT_FALSE(passes->wait(1000)) << "a second pass followed the burst";
}

TEST_F(OcrIndexerTest, AutoOcrOffKeepsTheHelperIdleUntilSwitchedOnWithFakeHelper) {
    TestFiles::write(home.file(".glimvault/config.json"), R"({"autoOcr": false})");
    addCaptures(1);
    start(300);
    EXPECT_FALSE(nextPass().ocrAllowed);
    EXPECT_FALSE(QFile::exists(helper() + ".ran"));

    TestFiles::write(home.file(".glimvault/config.json"), R"({"autoOcr": true})");
    TestFiles::write(captures("b.png"));
    const PassReport on = nextPass();
    EXPECT_TRUE(on.ocrAllowed);
    EXPECT_EQ(on.recognised, 2);
}

TEST_F(OcrIndexerTest, TheSafetyTimerFindsFilesInTheUnwatchedSourceFolderWithFakeHelper) {
    start(60'000, 700);
    nextPass();
    TestFiles::write(desktop("elsewhere.png"));
    const PassReport timed = nextPass();
    EXPECT_TRUE(timed.scanned);
    EXPECT_EQ(timed.recognised, 1);
}

TEST_F(OcrIndexerTest, WithoutADatabaseEveryPassFails) {
    TestFiles::write(home.file("blocker"), "a file where a folder should be");
    start(100, 200, home.file("blocker/db.sqlite"));
    addCaptures(1);
    EXPECT_TRUE(nextPass().failure.has_value());
    EXPECT_FALSE(nextPass().scanned);
}

TEST_F(OcrIndexerTest, AForeignDatabaseIsLeftAloneAndNoBatchesChainWithFakeHelper) {
    QDir().mkpath(home.file(".glimvault"));
    ShotRows::exec(database(),
                   "CREATE TABLE shots (id INTEGER PRIMARY KEY, path TEXT UNIQUE NOT NULL, "
                   "filename TEXT, bytes INTEGER, mtime_ms INTEGER, taken_at TEXT, "
                   "ocr_done INTEGER NOT NULL DEFAULT 0, indexed_at TEXT)");
    const QByteArray before = TestFiles::read(database());
    addCaptures(1);
    start(60'000, 300);
    const PassReport report = nextPass();
    ASSERT_TRUE(report.failure.has_value());
    EXPECT_EQ(report.failure->kind, IndexFailure::Kind::notOurs);
    EXPECT_EQ(report.failure->detail, "its table shots has no column ocr_text");
    // Only the safety timer comes back (every 300 ms here), never a chain of batches.
    QTest::qWait(1000);
    EXPECT_LE(passes->size(), 4);
    EXPECT_FALSE(QFile::exists(helper() + ".ran"));
    EXPECT_EQ(TestFiles::read(database()), before);
}

// No safety timer within the test's time: only the watcher can start a pass.
TEST_F(OcrIndexerTest, CaptureInANewlyChosenSaveFolderIsIndexedWithFakeHelper) {
    start(200);
    nextPass();
    ConfigStore::setShared("captures", QJsonValue(home.file("Elsewhere")));
    indexer->settingsChanged();
    EXPECT_FALSE(nextPass().failure) << "saving the settings runs a pass";
    TestFiles::write(home.file("Elsewhere/Glimber 2026-01-02-03-04-05.png"));
    EXPECT_EQ(nextPass().recognised, 1) << "the new save folder is watched";
}

// The watcher's quiet time is a minute here: only readNow can be this quick.
TEST_F(OcrIndexerTest, AnOwnCaptureIsReadAtOnceAheadOfWaitingRowsAndOnlyOnceWithFakeHelper) {
    TestFiles::write(home.file(".glimvault/config.json"), R"({"autoOcr": false})");
    addCaptures(45);
    start(60'000);
    nextPass();
    TestFiles::write(home.file(".glimvault/config.json"), R"({"autoOcr": true})");
    const QString own = captures("Glimber 2026-12-09-10-00-00.png");
    TestFiles::write(own);
    indexer->readNow(own);
    const PassReport read = nextPass();
    EXPECT_EQ(read.inserted, 1);
    EXPECT_EQ(read.recognised, 1);
    EXPECT_EQ(read.pending, 45);
    EXPECT_EQ(row("Glimber 2026-12-09-10-00-00.png")->ocrText, "Text of " + own);
    EXPECT_EQ(ShotRows::all(database()).size(), 46);

    indexer->readNow(own);
    EXPECT_EQ(nextPass().recognised, 0) << "a file read already is not read again";
    indexer->settingsChanged();
    EXPECT_EQ(nextPass().inserted, 0) << "the scan finds the file under the same path";
}

TEST_F(OcrIndexerTest, TextReadAlreadyIsStoredAndOnlyAFailedHelperIsStandInForWithFakeHelper) {
    start(60'000);
    nextPass();
    const QString warm = captures("warm.png");
    TestFiles::write(warm);
    indexer->expect(warm);
    EXPECT_EQ(nextPass().inserted, 1) << "listed at once";
    indexer->settingsChanged();
    EXPECT_EQ(nextPass().recognised, 0) << "a pass leaves it to the reader that expects it";
    indexer->readNow(warm, OcrAnswer{"Read while choosing", {}, "[[1,2,3,4,\"Read\"]]"});
    EXPECT_EQ(nextPass().recognised, 1);
    EXPECT_FALSE(QFile::exists(helper() + ".ran")) << "the helper was not asked again";
    EXPECT_EQ(row("warm.png")->ocrText, "Read while choosing");
    const QString unreadable = captures("unreadable.png");
    const QString crashed = captures("crashed.png");
    for (const QString& path : {unreadable, crashed})
        TestFiles::write(path);
    indexer->readNow(unreadable, OcrAnswer{std::nullopt, "not an image", {}});
    EXPECT_EQ(nextPass().recognised, 0);
    EXPECT_FALSE(row("unreadable.png")->ocrText);
    indexer->readNow(crashed, OcrAnswer{std::nullopt, "the text recogniser crashed", {}, true});
    EXPECT_EQ(nextPass().recognised, 1);
    EXPECT_EQ(row("crashed.png")->ocrText, "Text of " + crashed);
}

TEST_F(OcrIndexerTest, ReadNowLeavesFilesOutsideTheFoldersAndNonImagesAloneWithFakeHelper) {
    start(60'000);
    nextPass();
    for (const QString& path : {home.file("Pictures/elsewhere.png"), captures("notes.txt"),
                                captures("sub/deeper.png"), captures("missing.png")}) {
        if (!path.endsWith(u"missing.png"))
            TestFiles::write(path);
        indexer->readNow(path);
        const PassReport report = nextPass();
        EXPECT_EQ(report.inserted, 0) << path.toStdString();
        EXPECT_FALSE(report.failure) << path.toStdString();
    }
    EXPECT_TRUE(ShotRows::all(database()).isEmpty());
}

TEST_F(OcrIndexerTest, StopsCleanlyWhileABatchIsRunningWithFakeHelper) {
    addCaptures(1);
    installHelper("sleep 1\n" + FakeOcrHelper::echo);
    start(60'000);
    QTest::qWait(200);
    indexer.reset();
    EXPECT_TRUE(row("shot-0.png")->ocrDone);
}

} // namespace
