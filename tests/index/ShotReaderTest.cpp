#include "ShotReader.h"

#include "SandboxHome.h"
#include "ShotRows.h"
#include "ShotStore.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <thread>

namespace {

class ShotReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(home.file(".glimvault"));
        ShotRows::exec(database(),
                       "CREATE TABLE shots (id INTEGER PRIMARY KEY AUTOINCREMENT, path "
                       "TEXT UNIQUE NOT NULL, filename TEXT NOT NULL, bytes INTEGER, "
                       "mtime_ms INTEGER, taken_at TEXT, ocr_text TEXT, ocr_done INTEGER "
                       "NOT NULL DEFAULT 0, indexed_at TEXT NOT NULL)");
    }
    QString database() const { return home.file(".glimvault/db.sqlite"); }
    void add(const char* name, qint64 mtime, const char* text) {
        const QByteArray sql = QByteArray("INSERT INTO shots(path, filename, mtime_ms, taken_at, "
                                          "ocr_text, indexed_at) VALUES('/s/") +
                               name + "', '" + name + "', " + QByteArray::number(mtime) + ", " +
                               "'2025-03-14T09:26:53', " +
                               (text ? "'" + QByteArray(text) + "'" : QByteArray("NULL")) +
                               ", 'now')";
        ShotRows::exec(database(), sql.constData());
    }
    static QStringList names(const QList<Shot>& shots) {
        QStringList result;
        for (const Shot& shot : shots)
            result.append(shot.filename);
        return result;
    }

    SandboxHome home;
};

TEST_F(ShotReaderTest, RecentListsNewestFirstUpToTheLimit) {
    add("old", 1, "x");
    add("new", 3, nullptr);
    add("mid", 2, "y");
    ShotReader reader(database());
    EXPECT_EQ(names(reader.recent(200)), QStringList({"new", "mid", "old"}));
    EXPECT_EQ(names(reader.recent(2)), QStringList({"new", "mid"}));
    const Shot newest = reader.recent(1).first();
    EXPECT_EQ(newest.path, "/s/new");
    EXPECT_EQ(newest.takenAt, "2025-03-14T09:26:53");
    EXPECT_EQ(newest.ocrText, std::nullopt);
}

TEST_F(ShotReaderTest, SearchIgnoresAsciiCaseOnly) {
    add("upper", 1, "AB");
    add("inside", 2, "xAby");
    add("none", 3, nullptr);
    add("kana", 4, "ファイルを保存");
    add("fullwidth", 5, "ＡＢ");
    ShotReader reader(database());
    EXPECT_EQ(names(reader.search("ab", 200)), QStringList({"inside", "upper"}));
    EXPECT_EQ(names(reader.search("保存", 200)), QStringList({"kana"}));
    EXPECT_EQ(names(reader.search("ａｂ", 200)), QStringList());
}

TEST_F(ShotReaderTest, PercentAndUnderscoreAreWildcards) {
    add("empty", 1, "");
    add("one", 2, "a");
    add("two", 3, "a-c");
    add("unread", 4, nullptr);
    ShotReader reader(database());
    EXPECT_EQ(names(reader.search("_", 200)), QStringList({"two", "one"}));
    EXPECT_EQ(names(reader.search("a%c", 200)), QStringList({"two"}));
    EXPECT_EQ(names(reader.search("", 200)), QStringList({"two", "one", "empty"}));
}

TEST_F(ShotReaderTest, SearchKeepsTheLimitNewestFirst) {
    for (int i = 0; i < 30; ++i)
        add(QByteArray::number(i).constData(), i, "match");
    ShotReader reader(database());
    EXPECT_EQ(names(reader.search("match", 3)), QStringList({"29", "28", "27"}));
}

TEST_F(ShotReaderTest, ServesSeveralThreadsOneAfterTheOther) {
    add("a", 1, "text");
    ShotReader reader(database());
    std::vector<std::thread> threads;
    std::atomic<int> found = 0;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i)
                found += int(reader.search("text", 200).size());
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(found, 200);
}

TEST(ShotReaderWithoutDatabase, GivesNothingAndCreatesNothingUntilTheFileExists) {
    SandboxHome home;
    const QString path = home.file(".glimvault/db.sqlite");
    ShotReader reader(path);
    EXPECT_TRUE(reader.recent(200).isEmpty());
    EXPECT_TRUE(reader.search("x", 200).isEmpty());
    EXPECT_FALSE(QFile::exists(path));

    QDir().mkpath(home.file(".glimvault"));
    ShotRows::exec(path, "CREATE TABLE shots (id INTEGER PRIMARY KEY, path TEXT, filename TEXT, "
                         "taken_at TEXT, ocr_text TEXT, mtime_ms INTEGER)");
    ShotRows::exec(path, "INSERT INTO shots(path, filename, mtime_ms) VALUES('/a', 'a', 1)");
    EXPECT_EQ(reader.recent(200).size(), 1);
}

TEST(ShotStoreQueries, ReadTheDatabaseInTheHomeFolder) {
    // The store fixes its path at first use: this test owns the process's home.
    EXPECT_EQ(ShotStore::dbPath(), QDir::homePath() + "/.glimvault/db.sqlite");
    EXPECT_TRUE(ShotStore::recent(200).isEmpty());
    EXPECT_FALSE(QFile::exists(ShotStore::dbPath()));
}

} // namespace
