// Scan and query speed of the shot index on synthetic folders and databases.
// The no-change rescans are compared with `find`, which stats every file once:
// the floor for anything that must notice a changed folder.
#include "AppPaths.h"
#include "ShotIndex.h"
#include "ShotReader.h"
#include "ShotSql.h"
#include "SqliteConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

QTemporaryDir* root = nullptr;

QString folderOf(int files) {
    return root->filePath(QStringLiteral("shots-%1").arg(files));
}

// Empty files are enough: the scan reads names and attributes, never content.
const QString& makeFolder(int files) {
    static std::map<int, QString> made;
    auto [it, fresh] = made.emplace(files, folderOf(files));
    if (fresh) {
        QDir().mkpath(it->second);
        for (int i = 0; i < files; ++i) {
            const QString name =
                i % 3 == 0   ? QStringLiteral("Screenshot 2025-03-14 at 09.26.%1.png").arg(i)
                : i % 3 == 1 ? QStringLiteral("Glimber 2026-12-05-14-03-%1.png").arg(i)
                             : QStringLiteral("photo-%1.jpg").arg(i);
            QFile file(it->second + u'/' + name);
            file.open(QIODevice::WriteOnly);
        }
    }
    return it->second;
}

void pointConfigAt(const QString& folder) {
    QDir().mkpath(AppPaths::appHome());
    QFile config(AppPaths::localConfigFile());
    config.open(QIODevice::WriteOnly | QIODevice::Truncate);
    config.write(QStringLiteral(R"({"source": "%1", "captures": "%1"})").arg(folder).toUtf8());
}

ShotIndexOptions indexAt(const QString& database) {
    return ShotIndexOptions{database, QStringLiteral("/nonexistent")};
}

void BM_FirstScan(benchmark::State& state) {
    const QString folder = makeFolder(int(state.range(0)));
    pointConfigAt(folder);
    const QString database = root->filePath(QStringLiteral("first.sqlite"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(database);
        ShotIndex index(indexAt(database));
        index.openDB();
        state.ResumeTiming();
        benchmark::DoNotOptimize(index.scan());
    }
    state.SetLabel("files");
}

void BM_Rescan(benchmark::State& state) {
    const QString folder = makeFolder(int(state.range(0)));
    pointConfigAt(folder);
    ShotIndex index(
        indexAt(root->filePath(QStringLiteral("rescan-%1.sqlite").arg(state.range(0)))));
    index.openDB();
    index.scan();
    for (auto _ : state)
        benchmark::DoNotOptimize(index.scan());
    state.SetLabel("known files");
}

void BM_FindFloor(benchmark::State& state) {
    const QString command =
        QStringLiteral("find '%1' -maxdepth 1 -type f -printf '%s %T@\\n' >/dev/null")
            .arg(makeFolder(int(state.range(0))));
    for (auto _ : state) {
        if (std::system(command.toUtf8().constData()) != 0)
            state.SkipWithError("find failed");
    }
    state.SetLabel("files (baseline)");
}

// A database of `rows` rows with ~2000 characters of text each: common English
// words, Japanese in every tenth row, and one rare word in a single row.
const QString& makeTextDatabase(int rows) {
    static std::map<int, QString> made;
    auto [it, fresh] =
        made.emplace(rows, root->filePath(QStringLiteral("text-%1.sqlite").arg(rows)));
    if (!fresh)
        return it->second;
    auto db = SqliteConnection::openReadWrite(it->second, 3000);
    db->exec(ShotSql::schema);
    db->exec(ShotSql::begin);
    const QStringList words{"File",    "Edit",   "View",     "Window",   "Help",
                            "Save",    "Cancel", "Open",     "settings", "preview",
                            "toolbar", "export", "document", "invoice"};
    QRandomGenerator random(42);
    for (int i = 0; i < rows; ++i) {
        QString text;
        while (text.size() < 2000)
            text += words[random.bounded(int(words.size()))] + u' ';
        if (i % 10 == 0)
            text += QString::fromUtf8("ファイルを保存しますか ");
        if (i == rows / 2)
            text += QStringLiteral("zanzibar ");
        auto insert = db->prepare(
            "INSERT INTO shots(path, filename, bytes, mtime_ms, taken_at, ocr_text, ocr_done, "
            "indexed_at) VALUES(?, ?, 0, ?, 't', ?, 1, 'now')");
        insert->bindText(1, QStringLiteral("/shots/%1.png").arg(i));
        insert->bindText(2, QStringLiteral("%1.png").arg(i));
        insert->bindInt64(3, i);
        insert->bindText(4, text);
        insert->step();
    }
    db->exec(ShotSql::commit);
    return it->second;
}

void BM_Recent200(benchmark::State& state) {
    ShotReader reader(makeTextDatabase(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(reader.recent(200));
    state.SetLabel("rows");
}

void BM_Search(benchmark::State& state, const char* word) {
    ShotReader reader(makeTextDatabase(int(state.range(0))));
    qsizetype hits = 0;
    for (auto _ : state)
        hits = reader.search(QString::fromUtf8(word), 200).size();
    state.counters["hits"] = double(hits);
    state.SetLabel("rows");
}

BENCHMARK(BM_FirstScan)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Rescan)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_FindFloor)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_Recent200)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Search, rare_word, "zanzibar")
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, common_word, "invoice")
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, japanese_2_chars, "保存")
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);

// Collects medians so the rescans can be set against `find` after the run.
class MedianCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median")
                medians[run.run_name.str()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

void printRescanRatios(const MedianCollector& collector) {
    std::printf("\n| known files | rescan (ms, median) | find (ms, median) | rescan / find |\n");
    std::printf("|---|---|---|---|\n");
    for (const char* files : {"10000", "100000"}) {
        const auto rescan =
            collector.medians.find(std::string("BM_Rescan/") + files + "/repeats:5");
        const auto find =
            collector.medians.find(std::string("BM_FindFloor/") + files + "/repeats:5");
        if (rescan == collector.medians.end() || find == collector.medians.end())
            continue;
        std::printf("| %s | %.1f | %.1f | %.2f |\n", files, rescan->second, find->second,
                    rescan->second / find->second);
    }
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    root = &home;
    benchmark::Initialize(&argc, argv);
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    printRescanRatios(collector);
    benchmark::Shutdown();
    return 0;
}
