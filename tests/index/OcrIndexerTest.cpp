#include "OcrIndexer.h"

#include "FakeOcrHelper.h"
#include "SandboxHome.h"
#include "ShotRows.h"
#include "TestFiles.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Short delays stand in for the real 1.5 s and 60 s; the indexer runs in its
// own thread and reports each pass through passFinished.
class OcrIndexerTest : public ::testing::Test {
protected:
    QString database() const { return home.file(".glimvault/db.sqlite"); }
    QString captures(const QString& name) const { return home.file(".glimvault/captures/" + name); }

    OcrIndexerOptions options(IndexerTiming timing) const {
        return {ShotIndexOptions{database(), home.file("bin/qxocr"), 120'000}, timing};
    }
    void installHelper(const QByteArray& body) {
        TestFiles::writeScript(home.file("bin/qxocr"), body);
    }
    // Waits for the next pass; fails the test when none comes.
    static PassReport nextPass(QSignalSpy& spy, int timeoutMs = 10'000) {
        if (spy.isEmpty() && !spy.wait(timeoutMs)) {
            ADD_FAILURE() << "no indexer pass within " << timeoutMs << " ms";
            return {};
        }
        return spy.takeFirst().at(0).value<PassReport>();
    }

    SandboxHome home;
};

TEST_F(OcrIndexerTest, FirstPassScansAndRecognisesWithFakeHelper) {
    TestFiles::write(captures("a.png"));
    installHelper(FakeOcrHelper::echo);
    OcrIndexer indexer(options({60'000, 50, 3'600'000}));
    QSignalSpy passes(&indexer, &OcrIndexer::passFinished);
    indexer.start();
    const PassReport first = nextPass(passes);
    EXPECT_TRUE(first.scanned);
    EXPECT_EQ(first.recognised, 1);
    EXPECT_EQ(ShotRows::byFilename(database(), "a.png")->ocrText, "Text of " + captures("a.png"));
}

TEST_F(OcrIndexerTest, ABurstOfChangesLeadsToOnePassWithFakeHelper) {
    installHelper(FakeOcrHelper::echo);
    OcrIndexer indexer(options({400, 50, 3'600'000}));
    QSignalSpy passes(&indexer, &OcrIndexer::passFinished);
    indexer.start();
    nextPass(passes);

    for (const char* name : {"a.png", "b.png", "c.png"})
        TestFiles::write(captures(name));
    const PassReport afterBurst = nextPass(passes);
    EXPECT_TRUE(afterBurst.scanned);
    EXPECT_EQ(afterBurst.recognised, 3);
    EXPECT_FALSE(passes.wait(1000)) << "a second pass followed the burst";
}

TEST_F(OcrIndexerTest, PendingRowsDrainInChainedBatchesWithFakeHelper) {
    for (int i = 0; i < 100; ++i)
        TestFiles::write(captures(QStringLiteral("shot-%1.png").arg(i)));
    installHelper(FakeOcrHelper::echo);
    OcrIndexer indexer(options({60'000, 50, 3'600'000}));
    QSignalSpy passes(&indexer, &OcrIndexer::passFinished);
    indexer.start();

    const PassReport first = nextPass(passes);
    const PassReport second = nextPass(passes);
    const PassReport third = nextPass(passes);
    EXPECT_TRUE(first.scanned);
    EXPECT_FALSE(second.scanned);
    EXPECT_FALSE(third.scanned);
    EXPECT_EQ(first.recognised, 40);
    EXPECT_EQ(second.recognised, 40);
    EXPECT_EQ(third.recognised, 20);
    EXPECT_FALSE(passes.wait(500)) << "a batch followed although nothing was pending";
}

TEST_F(OcrIndexerTest, ABatchWithoutTextChainsNothingWithFakeHelper) {
    for (int i = 0; i < 50; ++i)
        TestFiles::write(captures(QStringLiteral("shot-%1.png").arg(i)));
    installHelper("cat > /dev/null\n");
    OcrIndexer indexer(options({60'000, 50, 3'600'000}));
    QSignalSpy passes(&indexer, &OcrIndexer::passFinished);
    indexer.start();
    EXPECT_EQ(nextPass(passes).recognised, 0);
    EXPECT_FALSE(passes.wait(500));
}

TEST_F(OcrIndexerTest, AutoOcrOffKeepsTheHelperIdleUntilSwitchedOnWithFakeHelper) {
    TestFiles::write(home.file(".glimvault/config.json"), R"({"autoOcr": false})");
    TestFiles::write(captures("a.png"));
    const QString marker = home.file("helper-ran");
    installHelper("touch '" + marker.toUtf8() + "'\n" + FakeOcrHelper::echo);
    OcrIndexer indexer(options({300, 50, 3'600'000}));
    QSignalSpy passes(&indexer, &OcrIndexer::passFinished);
    indexer.start();

    const PassReport off = nextPass(passes);
    EXPECT_FALSE(off.ocrAllowed);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_FALSE(ShotRows::byFilename(database(), "a.png")->ocrDone);

    TestFiles::write(home.file(".glimvault/config.json"), R"({"autoOcr": true})");
    TestFiles::write(captures("b.png"));
    const PassReport on = nextPass(passes);
    EXPECT_TRUE(on.ocrAllowed);
    EXPECT_EQ(on.recognised, 2);
}

TEST_F(OcrIndexerTest, TheSafetyTimerFindsFilesInTheUnwatchedSourceFolderWithFakeHelper) {
    installHelper(FakeOcrHelper::echo);
    OcrIndexer indexer(options({60'000, 50, 700}));
    QSignalSpy passes(&indexer, &OcrIndexer::passFinished);
    indexer.start();
    nextPass(passes);
    TestFiles::write(home.file("Desktop/elsewhere.png"));
    const PassReport timed = nextPass(passes);
    EXPECT_TRUE(timed.scanned);
    EXPECT_EQ(timed.recognised, 1);
}

TEST_F(OcrIndexerTest, WithoutADatabaseEveryPassFails) {
    TestFiles::write(home.file("blocker"), "a file where a folder should be");
    OcrIndexerOptions blocked = options({100, 50, 200});
    blocked.index.databasePath = home.file("blocker/db.sqlite");
    OcrIndexer indexer(blocked);
    QSignalSpy passes(&indexer, &OcrIndexer::passFinished);
    indexer.start();
    TestFiles::write(captures("a.png"));
    EXPECT_TRUE(nextPass(passes).failure.has_value());
    EXPECT_FALSE(nextPass(passes).scanned);
}

TEST_F(OcrIndexerTest, StopsCleanlyWhileABatchIsRunningWithFakeHelper) {
    TestFiles::write(captures("a.png"));
    installHelper("sleep 1\n" + FakeOcrHelper::echo);
    {
        OcrIndexer indexer(options({60'000, 50, 3'600'000}));
        indexer.start();
        QTest::qWait(200);
    }
    EXPECT_TRUE(ShotRows::byFilename(database(), "a.png")->ocrDone);
}

} // namespace
