#include "SearchIndex.h"

#include "OcrIndexer.h"
#include "SandboxHome.h"
#include "SearchQuery.h"
#include "SearchSql.h"
#include "ShotIndex.h"
#include "ShotReader.h"
#include "ShotSql.h"
#include "TestFiles.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Texts and searches come from one small alphabet, so they meet often: ASCII in
// both cases, accented Latin, kana, kanji, an emoji, digits, the LIKE wildcards,
// spaces, line feeds; and, rarely, what SQLite's LIKE must cope with in a
// foreign file: stray continuation bytes, a cut sequence, an overlong encoding,
// a surrogate, U+FFFE.
const QStringList alphabet =
    QString::fromUtf8("a b c A B C x X é É ü 日 本 語 ア イ 鬱 😀 1 2 % _ - .").split(u' ') +
    QStringList{" ", "\n"};
const QByteArrayList malformed = {"\x80",     "\xC3",         "\xE6\x97",
                                  "\xC0\xAF", "\xED\xA0\x80", "\xEF\xBF\xBE"};

class SearchIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = SqliteConnection::openReadWrite(database(), ShotSql::writerBusyTimeoutMs);
        ASSERT_TRUE(db && db->exec(ShotSql::schema));
    }
    QString database() const { return home.file("db.sqlite"); }
    int pick(int count) { return int(random() % unsigned(count)); }

    // SQL for a random text: NULL (not recognised yet), empty, a few characters,
    // or a very long one.
    QByteArray randomText() {
        const int roll = pick(200);
        if (roll < 10)
            return roll < 7 ? "NULL" : "''";
        QByteArray text;
        for (int i = roll < 11 ? 2000 + pick(2000) : pick(40); i > 0; --i)
            text += pick(200) == 0 ? malformed[pick(int(malformed.size()))]
                                   : alphabet[pick(int(alphabet.size()))].toUtf8();
        return "CAST(X'" + text.toHex() + "' AS TEXT)";
    }
    void write(const QByteArray& sql) { ASSERT_TRUE(db->exec(sql.constData())) << sql.constData(); }
    // Rows as an older build wrote them. Times repeat (and some are NULL), so
    // the order of equal times is checked too.
    void insertRows(int count) {
        write(ShotSql::begin);
        for (int i = 0; i < count; ++i) {
            write("INSERT INTO shots(path, filename, mtime_ms, taken_at, ocr_text, ocr_done, "
                  "indexed_at) VALUES('" +
                  home.file("s/").toUtf8() + QByteArray::number(++files) + "', 'f', " +
                  (pick(30) ? QByteArray::number(pick(50)) : "NULL") + ", 't', " + randomText() +
                  ", 1, 'now')");
        }
        write(ShotSql::commit);
    }
    // A piece of some text as the library shows it, or made up; in any ASCII
    // case, with wildcards, spaces or (rarely) a NUL typed into it.
    QString randomSearch(const QStringList& texts) {
        const int length = 1 + pick(20);
        QString search;
        if (pick(3) != 0) {
            const QString& text = texts[pick(int(texts.size()))];
            search = text.mid(pick(int(text.size()) + 1), length);
        }
        while (search.isEmpty() || (search.size() < length && pick(4) != 0))
            search += alphabet[pick(int(alphabet.size()))];
        for (QChar& c : search)
            c = pick(3) != 0 ? c : c.isUpper() ? c.toLower() : c.toUpper();
        if (pick(4) == 0)
            search.insert(pick(int(search.size()) + 1), pick(2) ? u'%' : u'_');
        if (pick(10) == 0)
            search = u' ' + search + u' ';
        if (pick(100) == 0)
            search.insert(pick(int(search.size()) + 1), QChar(0));
        return search;
    }
    // Every way the index answers gives the plain query's rows, in its order;
    // small thresholds make a small database take every way. Returns how many
    // searches the index answered.
    int expectSameAsPlain(int searches) {
        QStringList texts{""};
        for (auto select = db->prepare("SELECT ocr_text FROM shots"); select->step();)
            texts.append(select->columnText(0).value_or(QString()));
        ShotReader reader(database());
        auto readOnly = SqliteConnection::openReadOnly(database(), ShotSql::readerBusyTimeoutMs);
        int narrowed = 0;
        for (int i = 0; i < searches && !HasFailure(); ++i) {
            const QString search = randomSearch(texts);
            const int limit = std::array{1, 3, 200}[pick(3)];
            const QString pattern = u'%' + search + u'%';
            SCOPED_TRACE(("search '" + search + "' limit " + QString::number(limit)).toStdString());
            QList<qint64> expected;
            auto plain = db->prepare(ShotSql::search);
            plain->bindText(1, pattern);
            plain->bindInt(2, limit);
            while (plain->step())
                expected.append(plain->columnInt64(0));
            const SearchIndex::SearchLimits small{pick(100), 1 + pick(300)};
            std::optional<bool> narrows;
            using enum SearchIndex::Route;
            for (SearchIndex::Route route : {candidates, walk, window, automatic}) {
                QList<qint64> found;
                const auto collect = [&found](const SqliteStatement& row) {
                    found.append(row.columnInt64(0));
                };
                const bool answered = SearchIndex::search(*readOnly, likePatterns({search}), limit,
                                                          collect, route, small);
                // Whether the index answers depends on the search alone, not the way.
                EXPECT_EQ(answered, narrows.value_or(answered)) << "route " << int(route);
                EXPECT_EQ(found, answered ? expected : QList<qint64>()) << "route " << int(route);
                narrows = answered;
            }
            narrowed += *narrows;
            // A space or a quote makes words of a search; one word is the plain query.
            if (std::any_of(search.begin(), search.end(),
                            [](QChar c) { return c.isSpace() || c == u'"'; }))
                continue;
            QList<qint64> fromReader;
            for (const Shot& shot : reader.search(search, limit)) {
                if (shot.match != ShotMatch::near)
                    fromReader.append(shot.id);
            }
            EXPECT_EQ(fromReader, expected);
        }
        return narrowed;
    }
    void expectIntact() {
        auto check = db->prepare("PRAGMA integrity_check");
        ASSERT_TRUE(check->step());
        EXPECT_EQ(check->columnText(0), "ok");
        // With rank 1, FTS5 also checks the index against every row of `shots`.
        EXPECT_TRUE(
            db->exec("INSERT INTO shots_fts(shots_fts, rank) VALUES('integrity-check', 1)"));
    }
    std::optional<SearchIndex::Progress> progress() { return SearchIndex::progress(*db); }

    SandboxHome home;
    std::optional<SqliteConnection> db;
    std::mt19937 random{20250314};
    int files = 0;
};

TEST_F(SearchIndexTest, IndexedSearchesGiveThePlainQuerysRowsAfterEveryKindOfWrite) {
    insertRows(1500);
    ShotIndex index(ShotIndexOptions{database(), QStringLiteral("/nonexistent")});
    index.openDB();
    while (index.buildSearchIndex() != true) {
    }
    // Most searches must go through the index, or this proves little.
    EXPECT_GT(expectSameAsPlain(1500), 1000);
    expectIntact();

    // The writes of scans and OCR runs, which now go through the change log:
    // new files, recognised texts, changed texts, vanished files, files that
    // come back under the same path with a new id. Searches are right before
    // the log is folded into the index and after.
    const QString writes[] = {
        "INSERT OR IGNORE INTO shots(path, filename, bytes, mtime_ms, taken_at, indexed_at) "
        "VALUES(%1, 'f', 0, %4, 't', 'now')",
        "UPDATE shots SET ocr_text = %3, ocr_done = 1 WHERE id = %2",
        "DELETE FROM shots WHERE path = %1",
        "DELETE FROM shots WHERE path = %1; INSERT INTO shots(path, filename, mtime_ms, "
        "ocr_text, indexed_at) VALUES(%1, 'f', %4, %3, 'now')"};
    write(ShotSql::begin);
    for (int i = 0; i < 400; ++i) {
        write(writes[pick(4)]
                  .arg(QStringLiteral("'/s/%1'").arg(pick(files + 100)),
                       QString::number(1 + pick(files)), randomText(), QString::number(pick(50)))
                  .toUtf8());
    }
    write(ShotSql::commit);
    EXPECT_GT(expectSameAsPlain(600), 400);
    ASSERT_TRUE(index.foldSearchIndex());
    EXPECT_GT(expectSameAsPlain(300), 200);
    expectIntact();
}

// An older database whose index build was killed part-way: rows on both sides
// of the build's mark change and go, new ones come, and searches read every row
// until the indexer has finished the build in its own thread.
TEST_F(SearchIndexTest, OlderDatabaseIsUpgradedInPlaceThoughTheBuildWasKilledPartWay) {
    insertRows(2000);
    const pid_t child = fork();
    if (child == 0) {
        // One row per transaction: thousands of commits, killed early among them.
        // A pause after each keeps the build going for seconds, so that a
        // busy machine cannot let it finish before the parent looks.
        auto writer = SqliteConnection::openReadWrite(database(), ShotSql::writerBusyTimeoutMs);
        SearchIndex::install(*writer);
        while (SearchIndex::buildBatch(*writer, 1) != true)
            usleep(2000);
        _exit(0);
    }
    QTRY_VERIFY_WITH_TIMEOUT(progress() && progress()->indexedUpTo >= 20, 30'000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const qint64 mark = progress().value().indexedUpTo;
    ASSERT_LT(mark, 1990) << "the child had nearly finished before it was killed";
    // Fewer rows from here on, as each needs a file for the indexer's scans.
    const qint64 last = std::min(mark + 500, qint64(2000));
    write("DELETE FROM shots WHERE id > " + QByteArray::number(last));
    for (qint64 id : {qint64(1), mark, mark + 1, last}) {
        write("UPDATE shots SET ocr_text = 'changed' WHERE id = " + QByteArray::number(id) +
              "; DELETE FROM shots WHERE id = " + QByteArray::number(id + 2));
    }
    insertRows(50);
    EXPECT_EQ(expectSameAsPlain(100), 0) << "an index still being built was used";
    EXPECT_EQ(ShotReader(database()).search("changed", 200).size(), 4);

    // The indexer's scans keep the rows whose files exist.
    for (auto paths = db->prepare("SELECT path FROM shots"); paths->step();)
        TestFiles::write(*paths->columnText(0));
    IndexerTiming timing;
    timing.searchBuildPauseMs = 1;
    OcrIndexer indexer({ShotIndexOptions{database(), home.file("bin/qxocr"), 120'000}, timing});
    indexer.start();
    QTRY_VERIFY_WITH_TIMEOUT(progress() && progress()->percent() == 100, 30'000);
    expectIntact();
    EXPECT_GT(expectSameAsPlain(300), 200);
}

// What a query means, spelt out with plain SQL: the rows that hold it as typed,
// newest first, then those that hold every word, each with one LIKE.
QList<qint64> queryByPlainSql(SqliteConnection& db, const QString& typed, int limit) {
    const SearchQuery query = SearchQuery::parse(typed);
    QList<qint64> ids;
    if (query.terms.isEmpty())
        return ids;
    const auto select = [&](const QStringList& terms) {
        QByteArray sql = "SELECT id FROM shots WHERE 1";
        for (qsizetype i = 0; i < terms.size(); ++i)
            sql += " AND ocr_text LIKE ?" + QByteArray::number(i + 1);
        auto statement = db.prepare(sql + " ORDER BY mtime_ms DESC LIMIT -1");
        for (qsizetype i = 0; i < terms.size(); ++i)
            statement->bindText(int(i + 1), u'%' + terms[i] + u'%');
        while (statement->step() && ids.size() < limit) {
            if (!ids.contains(statement->columnInt64(0)))
                ids.append(statement->columnInt64(0));
        }
    };
    select({query.whole});
    select(query.terms);
    return ids;
}

TEST(SearchQuery, WordsAndPhrasesEachOnceTheLongestFirstAndTheWholeWithoutItsQuotes) {
    struct Case {
        const char* typed;
        const char* whole;
        QStringList terms;
    };
    const Case cases[] = {
        {"smooth paint", "smooth paint", {"smooth", "paint"}},
        {"  strokes   smooth  ", "strokes   smooth", {"strokes", "smooth"}},
        {"\"smooth paint\" brush", "smooth paint brush", {"smooth paint", "brush"}},
        {"brush \"using a", "brush using a", {"using a", "brush"}},
        {"Paint paint PAINT", "Paint paint PAINT", {"Paint"}},
        {"50% a_c", "50% a_c", {"50%", "a_c"}},
        {"設定 を保存", "設定 を保存", {"を保存", "設定"}},
        {"\"\"", "", {}},
        {"   ", "", {}},
        {"a\tb\nc", "a\tb\nc", {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const SearchQuery query = SearchQuery::parse(QString::fromUtf8(c.typed));
        EXPECT_EQ(query.whole, QString::fromUtf8(c.whole));
        EXPECT_EQ(query.terms, c.terms);
    }
    EXPECT_EQ(SearchQuery::parse(QString(10'000, u'x')).terms.size(), 1);
    EXPECT_EQ(SearchQuery::parse(QStringList(200, "w").join(u' ')).terms, QStringList{"w"});
}

// Seeded: queries of words and phrases over random rows give what plain SQL
// gives, in its order, while a connection of another program, without our
// tokenizer or functions, changes rows between them and the log is sometimes
// folded, sometimes not.
TEST_F(SearchIndexTest, QueriesOfWordsAndPhrasesGiveWhatPlainSqlGivesWhateverWritesTheRows) {
    insertRows(800);
    ShotIndex index(ShotIndexOptions{database(), QStringLiteral("/nonexistent")});
    ASSERT_FALSE(index.openDB());
    while (index.buildSearchIndex() != true) {
    }
    sqlite3* foreign = nullptr;
    ASSERT_EQ(sqlite3_open(database().toUtf8().constData(), &foreign), SQLITE_OK);
    ShotReader reader(database());
    QStringList texts{""};
    for (auto select = db->prepare("SELECT ocr_text FROM shots"); select->step();)
        texts.append(select->columnText(0).value_or(QString()));
    for (int i = 0; i < 400 && !HasFailure(); ++i) {
        const QByteArray change = std::array<QByteArray, 3>{
            "UPDATE shots SET ocr_text = " + randomText() +
                " WHERE id = " + QByteArray::number(1 + pick(files)),
            "DELETE FROM shots WHERE id = " + QByteArray::number(1 + pick(files)),
            "INSERT INTO shots(path, filename, mtime_ms, ocr_text, indexed_at) VALUES('/n/" +
                QByteArray::number(++files) + "', 'f', " + QByteArray::number(pick(50)) + ", " +
                randomText() + ", 'now')"}[std::size_t(pick(3))];
        ASSERT_EQ(sqlite3_exec(foreign, change.constData(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(foreign);
        if (pick(20) == 0) {
            ASSERT_TRUE(index.foldSearchIndex());
        }
        QStringList words;
        for (int w = 1 + pick(3); w > 0; --w) {
            QString word = randomSearch(texts).simplified();
            words.append(pick(4) == 0 ? u'"' + word + (pick(3) ? "\"" : "") : word);
        }
        const QString typed = words.join(u' ');
        const int limit = std::array{1, 5, 200}[pick(3)];
        SCOPED_TRACE(("query '" + typed + "' limit " + QString::number(limit)).toStdString());
        // Near matches come after all the others; they are checked on their own.
        QList<qint64> found;
        for (const Shot& shot : reader.search(typed, limit)) {
            if (shot.match != ShotMatch::near)
                found.append(shot.id);
        }
        EXPECT_EQ(found, queryByPlainSql(*db, typed, limit));
    }
    sqlite3_close(foreign);
}

// What an older build made: triggers that wrote the index and so needed our
// tokenizer in every program that changed a shot.
const char olderTriggers[] =
    "CREATE TRIGGER shots_fts_insert AFTER INSERT ON shots\n"
    "WHEN new.ocr_text IS NOT NULL AND new.id <= (SELECT indexed_upto FROM shots_fts_state)\n"
    "BEGIN INSERT INTO shots_fts(rowid, ocr_text) VALUES(new.id, new.ocr_text); END;\n"
    "CREATE TRIGGER shots_fts_delete AFTER DELETE ON shots\n"
    "WHEN old.ocr_text IS NOT NULL AND old.id <= (SELECT indexed_upto FROM shots_fts_state)\n"
    "BEGIN INSERT INTO shots_fts(shots_fts, rowid, ocr_text) "
    "VALUES('delete', old.id, old.ocr_text); END;\n"
    "CREATE TRIGGER shots_fts_update AFTER UPDATE OF id, ocr_text ON shots BEGIN\n"
    "  INSERT INTO shots_fts(shots_fts, rowid, ocr_text) SELECT 'delete', old.id, old.ocr_text\n"
    "    WHERE old.ocr_text IS NOT NULL AND old.id <= (SELECT indexed_upto FROM shots_fts_state);\n"
    "  INSERT INTO shots_fts(rowid, ocr_text) SELECT new.id, new.ocr_text\n"
    "    WHERE new.ocr_text IS NOT NULL AND new.id <= (SELECT indexed_upto FROM shots_fts_state);\n"
    "END;";

// The sqlite3 shell, which knows nothing of our tokenizer: its exit status.
int sqlite3Shell(const QString& database, const QString& sql) {
    QProcess shell;
    shell.start("sqlite3", {database, sql});
    return shell.waitForFinished(30'000) ? shell.exitCode() : -1;
}

TEST_F(SearchIndexTest, AnySqliteClientWritesShotsAndTheNextSearchShowsItOlderFilesMendedInPlace) {
    // A file of the older build, with its index complete.
    insertRows(300);
    write(SearchSql::schema);
    write(olderTriggers);
    write("INSERT INTO shots_fts(rowid, ocr_text) SELECT id, ocr_text FROM shots "
          "WHERE ocr_text IS NOT NULL; UPDATE shots_fts_state SET indexed_upto = "
          "9223372036854775807");
    write("INSERT INTO shots(path, filename, mtime_ms, ocr_text, indexed_at) "
          "VALUES('/s/old', 'f', 60, 'an invoice from 2019', 'now')");
    EXPECT_NE(sqlite3Shell(database(), "DELETE FROM shots WHERE path = '/s/old'"), 0)
        << "the older build's triggers need the tokenizer";

    ShotIndex index(ShotIndexOptions{database(), QStringLiteral("/nonexistent")});
    ASSERT_FALSE(index.openDB()) << "opening mends the file in place";
    expectIntact();
    ShotReader reader(database());
    EXPECT_EQ(reader.search("invoice from 2019", 10).size(), 1) << "what it held is kept";
    const QString changes = "DELETE FROM shots WHERE path = '/s/old';"
                            "INSERT INTO shots(path, filename, mtime_ms, ocr_text, indexed_at) "
                            "VALUES('/s/new', 'f', 70, 'a receipt from 2024', 'now');"
                            "UPDATE shots SET ocr_text = 'the quarterly report' WHERE id = 7;";
    ASSERT_EQ(sqlite3Shell(database(), changes), 0);
    const auto found = [&reader](const char* text) {
        QStringList paths;
        for (const Shot& shot : reader.search(text, 10)) {
            if (shot.match != ShotMatch::near)
                paths.append(shot.path);
        }
        return paths;
    };
    for (bool folded : {false, true}) {
        SCOPED_TRACE(folded ? "after the fold" : "before the fold");
        EXPECT_EQ(found("invoice from 2019"), QStringList());
        EXPECT_EQ(found("receipt from 2024"), QStringList{"/s/new"});
        EXPECT_EQ(found("quarterly report").size(), 1);
        EXPECT_EQ(expectSameAsPlain(100) > 50, true);
        ASSERT_TRUE(index.foldSearchIndex());
    }
    expectIntact();
}

} // namespace
