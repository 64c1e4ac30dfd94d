// Search speed with and without the search index, on databases of 10,000 and
// 100,000 screens of mixed English and Japanese text (~2,000 characters each).
// Baselines in the same run: the plain LIKE query on the same file, and
// `qxc recent --limit 1`, the cost of starting qxc and opening the database.
// Also: building the index for an older database, its size, and the writes of
// one scan-and-OCR batch of 40 rows with and without it.
//
//   search_bench [--rows N]... [--keep DIR [--reuse]]
//
// --keep DIR keeps the databases in DIR; --reuse then skips making and
// indexing them again (the build figures are left out).
#include "MixedText.h"
#include "NearMatch.h"
#include "SearchIndex.h"
#include "SearchQuery.h"
#include "ShotIndex.h"
#include "ShotReader.h"
#include "ShotSql.h"
#include "SqliteConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {

struct Spread {
    double median = 0;
    double p95 = 0;
};

Spread spread(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[std::min(samples.size() - 1, std::size_t(q * double(samples.size())))];
    };
    return {at(0.5), at(0.95)};
}

double milliseconds(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

// The machine is shared: processor time shows the work apart from the waiting.
double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing timed(const std::function<void()>& work) {
    const double cpuBefore = cpuMilliseconds();
    const double wall = milliseconds(work);
    return {wall, cpuMilliseconds() - cpuBefore};
}

// Words planted in a known number of screens, on top of what the text brings.
struct Planted {
    const char* word;
    int everyNth; // 0: only in the three screens named below
};

const Planted planted[] = {
    {"zanzibar", 0},    // a rare Latin word
    {"鬱", 0},          // a rare kanji
    {"鍵盤", 5000},     // a rare two-character word
    {"ピクセル", 2000}, // a four-character katakana word
    {"qj", 10'000},     // a rare pair of ASCII letters
};

QString plantedWords(int row, int rows) {
    QString words;
    for (const Planted& plant : planted) {
        const bool rare = row == rows / 7 || row == rows / 2 || row == rows * 6 / 7;
        if (plant.everyNth == 0 ? rare : row % plant.everyNth == 7)
            words += (row % 2 ? QString::fromUtf8(plant.word).toUpper()
                              : QString::fromUtf8(plant.word)) +
                     u' ';
    }
    return words;
}

// A database as an older build left it: table `shots` and its index, no search index.
void makeOldDatabase(const QString& path, int rows) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto db = SqliteConnection::openReadWrite(path, 3000);
    db->exec(ShotSql::schema);
    db->exec(ShotSql::begin);
    MixedText text(7);
    std::mt19937_64 random(3);
    const qint64 start = 1'700'000'000'000;
    for (int i = 0; i < rows; ++i) {
        QString screen = text.screen(2000);
        screen.insert(int(random() % std::uint64_t(screen.size())), plantedWords(i, rows));
        // Mostly in the order of capture, some copied in later with older times.
        const qint64 mtime = random() % 10 == 0
                                 ? start + qint64(random() % std::uint64_t(rows)) * 60'000
                                 : start + qint64(i) * 60'000 + qint64(random() % 600'000);
        auto insert = db->prepare(
            "INSERT INTO shots(path, filename, bytes, mtime_ms, taken_at, ocr_text, ocr_done, "
            "indexed_at) VALUES(?, ?, 0, ?, '2025-03-14T09:26:53', ?, 1, '2025-03-14T09:26:53Z')");
        insert->bindText(1, QStringLiteral("/shots/Screenshot %1.png").arg(i));
        insert->bindText(2, QStringLiteral("Screenshot %1.png").arg(i));
        insert->bindInt64(3, mtime);
        insert->bindText(4, screen);
        insert->step();
    }
    db->exec(ShotSql::commit);
}

// The plain query, its rows made into shots as ShotReader makes them.
QList<Shot> plainSearch(SqliteConnection& db, const QString& text, int limit) {
    QList<Shot> shots;
    auto statement = db.prepare(ShotSql::search);
    statement->bindText(1, u'%' + text + u'%');
    statement->bindInt(2, limit);
    while (statement->step()) {
        shots.append(Shot{statement->columnInt64(0), statement->columnText(1).value_or(QString()),
                          statement->columnText(2).value_or(QString()), statement->columnText(3),
                          statement->columnText(4)});
    }
    return shots;
}

// A query of words, spelt out without the index: the text as typed, then
// every word with a LIKE each, then (for a near query) a scan of every row
// with the edit distance. Rows as ShotReader lists them.
QList<qint64> plainComposition(SqliteConnection& db, const QString& typed, int limit) {
    const SearchQuery query = SearchQuery::parse(typed);
    QList<qint64> ids;
    const auto add = [&](const char* sql, const QByteArray& argument) {
        auto statement = db.prepare(sql);
        statement->bindBlob(1, argument);
        statement->bindInt(2, limit);
        while (statement->step() && ids.size() < limit) {
            if (!ids.contains(statement->columnInt64(0)))
                ids.append(statement->columnInt64(0));
        }
    };
    add(ShotSql::searchAll, likePatterns({query.whole}));
    add(ShotSql::searchAll, likePatterns(query.terms));
    if (std::any_of(query.terms.begin(), query.terms.end(), NearMatch::eligible))
        add("SELECT id FROM shots WHERE glimber_near(ocr_text, ?1) ORDER BY mtime_ms DESC "
            "LIMIT ?2",
            NearMatch::termsForSql(query.terms));
    return ids;
}

qint64 matchingRows(SqliteConnection& db, const QString& text) {
    auto count = db.prepare("SELECT COUNT(*) FROM shots WHERE ocr_text LIKE ?");
    count->bindText(1, u'%' + text + u'%');
    count->step();
    return count->columnInt64(0);
}

double childrenCpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// One run of qxc as a person would start it; its processor time is what the
// finished child used.
Timing runQxc(const QString& home, const QStringList& arguments) {
    QProcess qxc;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    qxc.setProcessEnvironment(environment);
    qxc.setStandardOutputFile(QProcess::nullDevice());
    qxc.setStandardErrorFile(QProcess::nullDevice());
    const double cpuBefore = childrenCpuMilliseconds();
    const double wall = milliseconds([&] {
        qxc.start(QCoreApplication::applicationDirPath() + QStringLiteral("/qxc"), arguments);
        qxc.waitForFinished(-1);
    });
    return {wall, childrenCpuMilliseconds() - cpuBefore};
}

// The writes of one indexer pass that finds 40 new screens and recognises them:
// the scan's inserts in one transaction, the OCR texts in another.
Timing scanAndOcrBatch(const QString& database, int batch) {
    auto db = SqliteConnection::openReadWrite(database, 3000);
    MixedText text(1000 + unsigned(batch));
    std::vector<QString> screens;
    for (int i = 0; i < 40; ++i)
        screens.push_back(text.screen(2000));
    return timed([&] {
        db->exec(ShotSql::begin);
        for (int i = 0; i < 40; ++i) {
            auto insert = db->prepare(ShotSql::insertShot);
            insert->bindText(1, QStringLiteral("/new/%1-%2.png").arg(batch).arg(i));
            insert->bindText(2, QStringLiteral("%1-%2.png").arg(batch).arg(i));
            insert->bindInt64(3, 0);
            insert->bindInt64(4, 1'800'000'000'000);
            insert->bindText(5, QStringLiteral("2027-01-01T00:00:00"));
            insert->bindText(6, QStringLiteral("2027-01-01T00:00:00Z"));
            insert->step();
        }
        db->exec(ShotSql::commit);
        db->exec(ShotSql::begin);
        for (int i = 0; i < 40; ++i) {
            auto update = db->prepare("UPDATE shots SET ocr_text = ?, ocr_done = 1 WHERE path = ?");
            update->bindText(1, screens[std::size_t(i)]);
            update->bindText(2, QStringLiteral("/new/%1-%2.png").arg(batch).arg(i));
            update->step();
        }
        db->exec(ShotSql::commit);
    });
}

double megabytes(const QString& path) {
    return double(QFileInfo(path).size()) / 1e6;
}

// Pages the build's merges gave back; SQLite reuses them for later writes.
double freeMegabytes(const QString& database) {
    auto db = SqliteConnection::openReadOnly(database, 2000);
    auto count = db->prepare("SELECT freelist_count * page_size FROM pragma_freelist_count, "
                             "pragma_page_size");
    return count && count->step() ? double(count->columnInt64(0)) / 1e6 : 0;
}

// The upgrade: what the indexer does after opening an older database.
void buildIndex(const QString& withoutIndex, const QString& database) {
    QFile::remove(database);
    QDir().mkpath(QFileInfo(database).absolutePath());
    QFile::copy(withoutIndex, database);
    std::vector<double> batches;
    std::vector<double> batchesCpu;
    const Timing build = timed([&] {
        ShotIndex index(ShotIndexOptions{database, QStringLiteral("/nonexistent")});
        index.openDB();
        for (bool complete = false; !complete;) {
            const Timing batch = timed([&] { complete = index.buildSearchIndex().value_or(true); });
            batches.push_back(batch.wall);
            batchesCpu.push_back(batch.cpu);
        }
    });
    const Spread batch = spread(batches);
    const Spread batchCpu = spread(batchesCpu);
    std::printf("| index build | %.0f s (%.0f s processor time) in %zu batches |\n",
                build.wall / 1000, build.cpu / 1000, batches.size());
    std::printf("| one build batch (write lock held) | median %.0f ms, p95 %.0f ms, max %.0f ms; "
                "processor time median %.0f ms, p95 %.0f ms, max %.0f ms |\n",
                batch.median, batch.p95, *std::max_element(batches.begin(), batches.end()),
                batchCpu.median, batchCpu.p95,
                *std::max_element(batchesCpu.begin(), batchesCpu.end()));
}

void benchmark(const QString& root, int rows, bool reuse) {
    const QString home = root + QStringLiteral("/home-%1").arg(rows);
    const QString database = home + QStringLiteral("/.glimvault/db.sqlite");
    const QString withoutIndex = root + QStringLiteral("/without-index-%1.sqlite").arg(rows);
    if (!QFile::exists(withoutIndex)) {
        std::printf("making %d screens...\n", rows);
        std::fflush(stdout);
        makeOldDatabase(withoutIndex, rows);
    }
    std::printf("\n## %d screens\n\n", rows);
    std::printf("| figure | value |\n|---|---|\n");
    if (!reuse || !QFile::exists(database))
        buildIndex(withoutIndex, database);
    std::printf("| database without the index | %.0f MB |\n", megabytes(withoutIndex));
    std::printf("| database with the index | %.0f MB (+%.0f %%), of which %.0f MB free pages |\n",
                megabytes(database), 100.0 * (megabytes(database) / megabytes(withoutIndex) - 1),
                freeMegabytes(database));

    struct Kind {
        const char* what;
        const char* text;
    };
    const Kind kinds[] = {
        {"rare Latin word", "zanzibar"},        {"common Latin word", "email"},
        {"less common Latin word", "settings"}, {"word with % inside", "inv%ce"},
        {"1-char Japanese, rare", "鬱"},        {"2-char Japanese, rare", "鍵盤"},
        {"2-char Japanese, common", "設定"},    {"4-char Japanese", "ピクセル"},
        {"2-char Latin, rare", "qj"},           {"word in no row", "qwertyzx"},
    };
    const int repeats = 21;
    ShotReader reader(database);
    auto plainDb = SqliteConnection::openReadOnly(database, 2000);
    // Each qxc run is paired with a run of the floor just before it, so that a
    // change in the machine's load falls on both.
    const QStringList floorArguments{QStringLiteral("recent"), QStringLiteral("--limit"),
                                     QStringLiteral("1")};
    const auto aboveFloor = [&](const QStringList& arguments) {
        std::vector<double> wall;
        std::vector<double> cpu;
        for (int i = 0; i < repeats; ++i) {
            const Timing floor = runQxc(home, floorArguments);
            const Timing run = runQxc(home, arguments);
            wall.push_back(run.wall - floor.wall);
            cpu.push_back(run.cpu - floor.cpu);
        }
        return Timing{spread(wall).median, spread(cpu).median};
    };
    std::vector<double> floorWall;
    for (int i = 0; i < repeats; ++i)
        floorWall.push_back(runQxc(home, floorArguments).wall);
    const Timing recent = aboveFloor({QStringLiteral("recent")});

    std::printf("\nsearch, limit 200, %d runs each, ms: indexed = ShotReader::search, plain = the "
                "LIKE query, cpu = processor time (median); qxc = `qxc search` minus the floor "
                "`qxc recent --limit 1` (%.1f ms) run just before it, median wall / processor "
                "time. For scale, `qxc recent` (200 rows, no search) is %.1f / %.1f ms above the "
                "floor.\n\n",
                repeats, spread(floorWall).median, recent.wall, recent.cpu);
    std::printf(
        "| query | rows matching | indexed median | indexed p95 | indexed cpu | plain "
        "median | plain p95 | plain cpu | plain / indexed | qxc above floor | same rows |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Kind& kind : kinds) {
        const QString text = QString::fromUtf8(kind.text);
        std::vector<double> indexed;
        std::vector<double> plain;
        std::vector<double> indexedCpu;
        std::vector<double> plainCpu;
        bool same = true;
        for (int i = 0; i < repeats; ++i) {
            QList<Shot> found;
            const Timing a = timed([&] { found = reader.search(text, 200); });
            indexed.push_back(a.wall);
            indexedCpu.push_back(a.cpu);
            QList<Shot> expected;
            const Timing b = timed([&] { expected = plainSearch(*plainDb, text, 200); });
            plain.push_back(b.wall);
            plainCpu.push_back(b.cpu);
            // Near matches come after the rows the plain query gives.
            found.removeIf([](const Shot& shot) { return shot.match == ShotMatch::near; });
            same = same && found == expected;
        }
        const Timing qxc = aboveFloor({QStringLiteral("search"), text});
        const Spread a = spread(indexed);
        const Spread b = spread(plain);
        std::printf("| %s `%s` | %lld | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f× | %.1f / "
                    "%.1f | %s |\n",
                    kind.what, kind.text, static_cast<long long>(matchingRows(*plainDb, text)),
                    a.median, a.p95, spread(indexedCpu).median, b.median, b.p95,
                    spread(plainCpu).median, b.median / a.median, qxc.wall, qxc.cpu,
                    same ? "yes" : "NO");
        std::fflush(stdout);
    }

    struct Query {
        const char* what;
        const char* text;
    };
    const Query queries[] = {
        {"two words", "email settings"},
        {"two words, reversed", "settings email"},
        {"three words", "settings email zanzibar"},
        {"a phrase", "\"the settings\""},
        {"a rare word misspelt", "zanzibat"},
    };
    std::printf("\nqueries of words, limit 200, %d runs each, ms: indexed = ShotReader::search "
                "(as typed, then every word, then near matches while too few), plain = the same "
                "spelt out without the index (LIKE per word, and a scan of every row with the "
                "edit distance for near matches), qxc = `qxc search` above the floor as "
                "above.\n\n",
                repeats);
    std::printf("| query | rows found | indexed median | indexed p95 | plain median | plain p95 | "
                "plain / indexed | qxc above floor | same rows |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (const Query& query : queries) {
        const QString text = QString::fromUtf8(query.text);
        std::vector<double> indexed;
        std::vector<double> plain;
        bool same = true;
        qsizetype rows = 0;
        for (int i = 0; i < repeats; ++i) {
            QList<Shot> found;
            indexed.push_back(timed([&] { found = reader.search(text, 200); }).wall);
            QList<qint64> expected;
            plain.push_back(timed([&] { expected = plainComposition(*plainDb, text, 200); }).wall);
            QList<qint64> ids;
            for (const Shot& shot : found)
                ids.append(shot.id);
            same = same && ids == expected;
            rows = found.size();
        }
        const Timing qxc = aboveFloor({QStringLiteral("search"), text});
        const Spread a = spread(indexed);
        const Spread b = spread(plain);
        std::printf("| %s `%s` | %lld | %.1f | %.1f | %.1f | %.1f | %.1f× | %.1f / %.1f | %s |\n",
                    query.what, query.text, static_cast<long long>(rows), a.median, a.p95, b.median,
                    b.p95, b.median / a.median, qxc.wall, qxc.cpu, same ? "yes" : "NO");
        std::fflush(stdout);
    }

    const QString scratch = root + QStringLiteral("/batches-without-index.sqlite");
    QFile::remove(scratch);
    QFile::copy(withoutIndex, scratch);
    std::vector<double> with;
    std::vector<double> without;
    std::vector<double> withCpu;
    std::vector<double> withoutCpu;
    for (int i = 0; i < 9; ++i) {
        const Timing a = scanAndOcrBatch(database, i);
        const Timing b = scanAndOcrBatch(scratch, i);
        with.push_back(a.wall);
        withCpu.push_back(a.cpu);
        without.push_back(b.wall);
        withoutCpu.push_back(b.cpu);
    }
    QFile::remove(scratch);
    std::printf("\n| writes of one scan-and-OCR batch (40 screens, 9 runs) | median | p95 | "
                "processor time, median |\n|---|---|---|---|\n");
    std::printf("| without the index | %.1f ms | %.1f ms | %.1f ms |\n", spread(without).median,
                spread(without).p95, spread(withoutCpu).median);
    std::printf("| with the index | %.1f ms | %.1f ms | %.1f ms |\n", spread(with).median,
                spread(with).p95, spread(withCpu).median);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    std::vector<int> sizes;
    QString keep;
    bool reuse = false;
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == u"--rows" && i + 1 < arguments.size())
            sizes.push_back(arguments[++i].toInt());
        else if (arguments[i] == u"--keep" && i + 1 < arguments.size())
            keep = arguments[++i];
        else if (arguments[i] == u"--reuse")
            reuse = true;
    }
    if (sizes.empty())
        sizes = {10'000, 100'000};
    QTemporaryDir temporary;
    const QString root = keep.isEmpty() ? temporary.path() : keep;
    QDir().mkpath(root);
    for (int rows : sizes)
        benchmark(root, rows, reuse && !keep.isEmpty());
    return 0;
}
