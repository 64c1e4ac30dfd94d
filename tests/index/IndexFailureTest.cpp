#include "FakeOcrHelper.h"
#include "OcrIndexer.h"
#include "SandboxHome.h"
#include "ShotIndex.h"
#include "ShotReader.h"
#include "ShotRows.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class IndexFailureTest : public ::testing::Test {
protected:
    QString database() const { return home.file(".glimvault/db.sqlite"); }
    QString captures(const QString& name) const { return home.file(".glimvault/captures/" + name); }
    // A fake helper that notes every path it is given, then answers like `body`.
    void installLoggingHelper(const QByteArray& body) {
        TestFiles::writeScript(home.file("bin/qxocr"), "tee -a '" + home.file("offered").toUtf8() +
                                                           "' | {\n" + body + "}\n");
    }
    QStringList offered() const {
        QFile log(home.file("offered"));
        return log.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
                   : QStringList();
    }

    SandboxHome home;
};

TEST_F(IndexFailureTest, AnUnreadableImageIsOfferedOnceThenOnlyWhenItChangedWithFakeHelper) {
    TestFiles::write(captures("bad-slow-copy.png"), "half");
    installLoggingHelper(FakeOcrHelper::failsBad);
    ShotIndex index(ShotIndexOptions{database(), home.file("bin/qxocr")});
    ASSERT_FALSE(index.openDB());
    index.scan();
    const OcrBatch first = index.runOcr(40);
    EXPECT_EQ(first.unreadable, 1);
    EXPECT_EQ(index.unreadableShots().value(0).reason, "unreadable");

    index.scan();
    EXPECT_EQ(index.runOcr(40).offered, 0);
    EXPECT_EQ(offered().size(), 1);
    // Listed like any shot without text; no search finds it.
    ShotReader reader(database());
    EXPECT_EQ(reader.recent(10).value(0).ocrText, std::nullopt);
    EXPECT_TRUE(reader.search("", 10).isEmpty());

    TestFiles::write(captures("bad-slow-copy.png"), "the whole picture");
    index.scan();
    EXPECT_EQ(index.runOcr(40).offered, 1);
    EXPECT_EQ(offered().size(), 2);
}

TEST_F(IndexFailureTest, TheIndexerLeavesAForeignDatabaseAloneAndNeverLoopsWithFakeHelper) {
    QDir().mkpath(home.file(".glimvault"));
    ShotRows::exec(database(),
                   "CREATE TABLE shots (id INTEGER PRIMARY KEY, path TEXT UNIQUE NOT NULL, "
                   "filename TEXT, bytes INTEGER, mtime_ms INTEGER, taken_at TEXT, "
                   "ocr_done INTEGER NOT NULL DEFAULT 0, indexed_at TEXT)");
    TestFiles::write(captures("a.png"));
    QFile file(database());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    installLoggingHelper(FakeOcrHelper::echo);

    OcrIndexer indexer({ShotIndexOptions{database(), home.file("bin/qxocr")}, {60'000, 50, 300}});
    QSignalSpy passes(&indexer, &OcrIndexer::passFinished);
    indexer.start();
    ASSERT_TRUE(passes.wait(10'000));
    const PassReport report = passes.takeFirst().at(0).value<PassReport>();
    ASSERT_TRUE(report.failure.has_value());
    EXPECT_EQ(report.failure->kind, IndexFailure::Kind::notOurs);
    EXPECT_EQ(report.failure->detail, "its table shots has no column ocr_text");
    // Only the safety timer comes back (every 300 ms here), never a chain of batches.
    QTest::qWait(1000);
    EXPECT_LE(passes.size(), 4);
    EXPECT_TRUE(offered().isEmpty()) << "the helper never ran";
    file.seek(0);
    EXPECT_EQ(file.readAll(), before);
}

} // namespace
