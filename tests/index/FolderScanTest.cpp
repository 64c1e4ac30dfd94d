#include "ShotFolders.h"
#include "ShotIndex.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class FolderScanTest : public ShotFolders {
protected:
    QStringList filenames() const {
        QStringList names;
        for (const ShotRow& row : ShotRows::all(database()))
            names.append(row.filename);
        names.sort();
        return names;
    }
    void configure(const QByteArray& json) const {
        TestFiles::write(home.file(".glimvault/config.json"), json);
    }

    ShotIndex index{ShotIndexOptions{database(), home.file("no-helper")}};
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
    TestFiles::setModificationTime(desktop("Screenshot 2025-03-14 at 09.26.53.png"), 1741944413,
                                   987'654'321);
    index.openDB();
    const QString before = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    index.scan();

    const auto shot = row("Screenshot 2025-03-14 at 09.26.53.png");
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->bytes, 5);
    EXPECT_EQ(shot->mtimeMs, 1741944413987);
    EXPECT_EQ(shot->takenAt, "2025-03-14T09:26:53");
    EXPECT_FALSE(shot->ocrDone);
    EXPECT_EQ(shot->ocrText, std::nullopt);
    EXPECT_GE(shot->indexedAt, before) << "a UTC time stamp, as ShotTimeTest checks";
}

TEST_F(FolderScanTest, ARescanKeepsKnownRowsDropsVanishedOnesAndNeverReusesAnId) {
    TestFiles::write(desktop("a.png"), "1");
    TestFiles::write(captures("b.png"), "2");
    index.openDB();
    EXPECT_EQ(index.scan().inserted, 2);
    const ShotRow first = *row("a.png");
    // A known file that changed keeps its row as it was.
    TestFiles::write(desktop("a.png"), "longer now");
    TestFiles::write(desktop("c.png"));
    EXPECT_EQ(index.scan().inserted, 1);
    EXPECT_EQ(row("a.png")->bytes, first.bytes);
    EXPECT_EQ(row("a.png")->mtimeMs, first.mtimeMs);
    const qint64 newest = row("c.png")->id;
    QFile::remove(desktop("c.png"));
    EXPECT_EQ(index.scan().deleted, 1);
    EXPECT_FALSE(row("c.png"));
    TestFiles::write(desktop("c.png"));
    index.scan();
    EXPECT_GT(row("c.png")->id, newest) << "not even the highest id comes back";
}

TEST_F(FolderScanTest, EachFolderIsScannedOnceAndAMissingOneStopsNothingNorLosesRows) {
    TestFiles::write(desktop("old.png"));
    index.openDB();
    index.scan();
    configure(R"({"source": "~/Nowhere"})");
    TestFiles::write(captures("a.png"));
    EXPECT_EQ(index.scan().inserted, 1);
    EXPECT_EQ(filenames(), QStringList({"a.png", "old.png"}));
    configure(R"({"source": "~/Shots", "captures": "~/Shots/"})");
    TestFiles::write(home.file("Shots/b.png"));
    EXPECT_EQ(FolderScan::orderedSourceDirs(), QStringList{home.file("Shots")});
    EXPECT_EQ(index.scan().inserted, 1);
}

} // namespace
