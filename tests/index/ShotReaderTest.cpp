#include "ShotReader.h"

#include "ShotFolders.h"
#include "ShotIndex.h"
#include "ShotRows.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class ShotReaderTest : public ShotFolders {};

QStringList names(const QList<Shot>& shots) {
    QStringList result;
    for (const Shot& shot : shots)
        result.append(shot.filename);
    return result;
}

TEST_F(ShotReaderTest, ListsAndSearchesNewestFirst) {
    const std::pair<const char*, std::optional<QString>> rows[] = {
        {"upper", "AB"},  {"inside", "xAby"}, {"none", std::nullopt}, {"kana", "ファイルを保存"},
        {"wide", "ＡＢ"}, {"empty", ""},      {"one", "a"},           {"two", "a-c"}};
    for (qsizetype i = 0; i < std::ssize(rows); ++i)
        ShotRows::add(database(), rows[i].first, i, rows[i].second);
    ShotReader reader(database());
    EXPECT_EQ(names(reader.recent(200)),
              QStringList({"two", "one", "empty", "wide", "kana", "none", "inside", "upper"}));
    EXPECT_EQ(names(reader.recent(2)), QStringList({"two", "one"}));
    const Shot newest = reader.recent(1).first();
    EXPECT_EQ(newest.path, "/s/two");
    EXPECT_EQ(newest.takenAt, "2025-03-14T09:26:53");
    EXPECT_EQ(reader.recent(200)[5].ocrText, std::nullopt);

    // ASCII case is ignored, no other; "%" and "_" are wildcards.
    const std::pair<const char*, QStringList> searches[] = {
        {"ab", {"inside", "upper"}},
        {"保存", {"kana"}},
        {"ａｂ", {}},
        {"a%c", {"two"}},
        {"_", {"two", "one", "wide", "kana", "inside", "upper"}},
        {"", {}},
        {"\"\"", {}},
    };
    for (const auto& [text, expected] : searches)
        EXPECT_EQ(names(reader.search(QString::fromUtf8(text), 200)), expected) << text;
    EXPECT_EQ(names(reader.search("_", 3)), QStringList({"two", "one", "wide"}));
}

// The texts of a dialog as recognition read them, older to newer; each search
// is made with the search index built and without it.
TEST_F(ShotReaderTest, AsTypedFirstThenEveryWordThenMisreadWordsEachNewestFirst) {
    const std::pair<const char*, const char*> rows[] = {
        {"exact-old", "Paint smooth strokes using a brush"},
        {"reversed", "strokes smooth, then Paint"},
        {"one-word", "smooth surfaces"},
        {"misread", "Paint sm0oth strokes"},
        {"exact-new", "Brush: paint smooth strokes"},
        {"lost-letters", "Brush lter settings"},
        {"kana", "リセット(P) 保存"},
        {"two-kana-lost", "セット(P)"},
    };
    for (qsizetype i = 0; i < std::ssize(rows); ++i)
        ShotRows::add(database(), rows[i].first, i, QString::fromUtf8(rows[i].second));
    const auto found = [this](const char* text, int limit = 200) {
        QStringList shots;
        for (const Shot& shot : ShotReader(database()).search(QString::fromUtf8(text), limit))
            shots.append(shot.filename + (shot.match == ShotMatch::exact   ? ""
                                          : shot.match == ShotMatch::words ? " (words)"
                                                                           : " (near)"));
        return shots;
    };
    for (const bool indexed : {false, true}) {
        SCOPED_TRACE(indexed ? "through the search index" : "reading every text");
        if (indexed) {
            ShotIndex index(ShotIndexOptions{database(), QStringLiteral("/nonexistent")});
            ASSERT_FALSE(index.openDB());
            while (index.buildSearchIndex() != true) {
            }
        }
        EXPECT_EQ(found("paint smooth"),
                  QStringList({"exact-new", "exact-old", "reversed (words)", "misread (near)"}));
        EXPECT_EQ(found("paint smooth", 3),
                  QStringList({"exact-new", "exact-old", "reversed (words)"}));
        EXPECT_EQ(found("\"smooth strokes\""),
                  QStringList({"exact-new", "exact-old", "misread (near)"}));
        EXPECT_EQ(found("smoo"), QStringList({"exact-new", "one-word", "reversed", "exact-old"}))
            << "one short word finds what it always found, in the same order";
        EXPECT_EQ(found("filter"), QStringList({"lost-letters (near)"}));
        EXPECT_EQ(found("プリセット"), QStringList({"kana (near)"}));
    }
}

TEST_F(ShotReaderTest, AMisreadWordIsFoundBehindThousandsOfNewerRowsHoldingAnotherWord) {
    ShotRows::add(database(), "old", 0, "General settings of zanzibat");
    ShotRows::exec(database(), "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < 1500) INSERT INTO shots(path, filename, mtime_ms, "
                               "ocr_text, ocr_done, indexed_at) SELECT '/s/new' || i, 'new' || i, "
                               "i, 'Display settings', 1, 'now' FROM n");
    ShotIndex index(ShotIndexOptions{database(), QStringLiteral("/nonexistent")});
    ASSERT_FALSE(index.openDB());
    while (index.buildSearchIndex() != true) {
    }
    ASSERT_TRUE(index.foldSearchIndex());
    const QList<Shot> found = ShotReader(database()).search("settings zanzibar", 200);
    ASSERT_EQ(names(found), QStringList({"old"}));
    EXPECT_EQ(found.at(0).match, ShotMatch::near);
}

TEST_F(ShotReaderTest, ServesSeveralThreadsOneAfterTheOther) {
    ShotRows::add(database(), "a", 1, "text");
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

} // namespace
