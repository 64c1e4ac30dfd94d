#include "SandboxHome.h"
#include "ShotIndex.h"
#include "ShotRows.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

class FolderScanTest : public ::testing::Test {
protected:
    QString database() const { return home.file(".glimvault/db.sqlite"); }
    QString desktop(const QString& name = {}) const { return home.file("Desktop/" + name); }
    QString captures(const QString& name = {}) const {
        return home.file(".glimvault/captures/" + name);
    }
    QStringList filenames() const {
        QStringList names;
        for (const ShotRow& row : ShotRows::all(database()))
            names.append(row.filename);
        names.sort();
        return names;
    }

    SandboxHome home;
    ShotIndex index{ShotIndexOptions{home.file(".glimvault/db.sqlite"), home.file("no-helper")}};
};

TEST_F(FolderScanTest, IndexesRegularImageFilesOnly) {
    for (const char* name :
         {"Screenshot 2025-03-14 at 09.26.53.png", "shot 2025-03-14_09.26.53.jpg",
          "Glimber 2026-12-05-14-03-09.png", "x.PNG", "notes.txt", "a.tif", ".h.png", "b.heic",
          "c.webp", "d.gif", "e.jpeg", "f.tiff", "g.bmp"})
        TestFiles::write(desktop(name), "12345");
    QFile::link(desktop("x.PNG"), desktop("link.png"));
    QDir().mkpath(desktop("dir.png"));
    index.openDB();

    EXPECT_EQ(index.scan().inserted, 10);
    EXPECT_EQ(filenames(),
              QStringList({".h.png", "Glimber 2026-12-05-14-03-09.png",
                           "Screenshot 2025-03-14 at 09.26.53.png", "b.heic", "c.webp", "d.gif",
                           "e.jpeg", "f.tiff", "shot 2025-03-14_09.26.53.jpg", "x.PNG"}));
}

TEST_F(FolderScanTest, StoresSizeTimesAndTheCaptureTimeFromTheName) {
    TestFiles::write(desktop("Screenshot 2025-03-14 at 09.26.53.png"), "12345");
    TestFiles::write(desktop("Glimber 2026-12-05-14-03-09.png"), "1234567");
    TestFiles::setModificationTime(desktop("Screenshot 2025-03-14 at 09.26.53.png"), 1741944413,
                                   987'654'321);
    TestFiles::setModificationTime(desktop("Glimber 2026-12-05-14-03-09.png"), 1796479389);
    index.openDB();
    const QString before = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    index.scan();
    const QString after = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);

    const auto mac = ShotRows::byFilename(database(), "Screenshot 2025-03-14 at 09.26.53.png");
    ASSERT_TRUE(mac);
    EXPECT_EQ(mac->path, desktop("Screenshot 2025-03-14 at 09.26.53.png"));
    EXPECT_EQ(mac->bytes, 5);
    EXPECT_EQ(mac->mtimeMs, 1741944413987);
    EXPECT_EQ(mac->takenAt, "2025-03-14T09:26:53");
    EXPECT_FALSE(mac->ocrDone);
    EXPECT_EQ(mac->ocrText, std::nullopt);
    EXPECT_GE(mac->indexedAt, before);
    EXPECT_LE(mac->indexedAt, after);
    EXPECT_TRUE(QRegularExpression(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$)")
                    .match(mac->indexedAt)
                    .hasMatch());

    const auto own = ShotRows::byFilename(database(), "Glimber 2026-12-05-14-03-09.png");
    ASSERT_TRUE(own);
    EXPECT_EQ(own->bytes, 7);
    EXPECT_EQ(own->mtimeMs, 1796479389000);
    // Hyphens between the time digits match neither name pattern: the file's own time, in UTC.
    EXPECT_EQ(own->takenAt, "2026-12-05T14:03:09Z");
    EXPECT_EQ(own->indexedAt, mac->indexedAt);
}

TEST_F(FolderScanTest, ASecondScanChangesNothing) {
    TestFiles::write(desktop("a.png"), "1");
    TestFiles::write(captures("b.png"), "2");
    index.openDB();
    EXPECT_EQ(index.scan().inserted, 2);
    const QList<ShotRow> first = ShotRows::all(database());
    // A known file that changed keeps its row as it was.
    TestFiles::write(desktop("a.png"), "longer now");
    const ScanReport again = index.scan();
    EXPECT_EQ(again.inserted, 0);
    EXPECT_EQ(again.deleted, 0);
    const QList<ShotRow> second = ShotRows::all(database());
    ASSERT_EQ(second.size(), 2);
    EXPECT_EQ(second[0].bytes, first[0].bytes);
    EXPECT_EQ(second[0].mtimeMs, first[0].mtimeMs);
}

TEST_F(FolderScanTest, VanishedFilesLoseTheirRowsAndComeBackWithNewIds) {
    TestFiles::write(desktop("a.png"));
    TestFiles::write(desktop("b.png"));
    index.openDB();
    index.scan();
    const qint64 oldId = ShotRows::byFilename(database(), "a.png")->id;
    QFile::remove(desktop("a.png"));
    EXPECT_EQ(index.scan().deleted, 1);
    EXPECT_FALSE(ShotRows::byFilename(database(), "a.png"));

    TestFiles::write(desktop("a.png"));
    index.scan();
    EXPECT_GT(ShotRows::byFilename(database(), "a.png")->id, oldId);
    // Ids are never reused, even for the highest row.
    const qint64 newest = ShotRows::byFilename(database(), "a.png")->id;
    QFile::remove(desktop("a.png"));
    index.scan();
    TestFiles::write(desktop("c.png"));
    index.scan();
    EXPECT_GT(ShotRows::byFilename(database(), "c.png")->id, newest);
}

TEST_F(FolderScanTest, TheSameFolderTwiceIsListedOnce) {
    TestFiles::write(home.file(".glimvault/config.json"),
                     R"({"source": "~/Shots", "captures": "~/Shots/"})");
    TestFiles::write(home.file("Shots/a.png"));
    EXPECT_EQ(FolderScan::orderedSourceDirs(), QStringList{home.file("Shots")});
    index.openDB();
    EXPECT_EQ(index.scan().inserted, 1);
}

TEST_F(FolderScanTest, AMissingFolderDoesNotStopTheOther) {
    TestFiles::write(home.file(".glimvault/config.json"), R"({"source": "~/Nowhere"})");
    TestFiles::write(captures("a.png"));
    index.openDB();
    EXPECT_EQ(index.scan().inserted, 1);
    EXPECT_EQ(filenames(), QStringList{"a.png"});
}

TEST_F(FolderScanTest, RowsOfAFormerFolderStayWhileTheirFilesExist) {
    TestFiles::write(desktop("old.png"));
    index.openDB();
    index.scan();
    TestFiles::write(home.file(".glimvault/config.json"), R"({"source": "~/Other"})");
    TestFiles::write(home.file("Other/new.png"));
    index.scan();
    EXPECT_EQ(filenames(), QStringList({"new.png", "old.png"}));
}

TEST_F(FolderScanTest, AForeignTableIsUsedAsItIsAndNeverRepaired) {
    QDir().mkpath(home.file(".glimvault"));
    ShotRows::exec(database(), "CREATE TABLE shots (id INTEGER PRIMARY KEY, path TEXT UNIQUE)");
    TestFiles::write(desktop("a.png"));
    index.openDB();
    EXPECT_EQ(index.scan().inserted, 0);
    EXPECT_EQ(index.pendingCount(), 0);
    EXPECT_EQ(index.runOcr(40).recognised, 0);
}

TEST_F(FolderScanTest, AnUnopenableDatabaseMakesTheIndexDoNothing) {
    TestFiles::write(home.file("blocker"), "a file where a folder should be");
    ShotIndex blocked(ShotIndexOptions{home.file("blocker/db.sqlite"), home.file("no-helper")});
    blocked.openDB();
    TestFiles::write(desktop("a.png"));
    EXPECT_FALSE(blocked.isOpen());
    EXPECT_EQ(blocked.scan().inserted, 0);
}

} // namespace
