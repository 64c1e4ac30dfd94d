#include "ShotIndex.h"

#include "ShotSql.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <sys/stat.h>

namespace {

bool pathExists(const QString& path) {
    struct stat info {};
    return ::stat(path.toUtf8().constData(), &info) == 0;
}

} // namespace

ShotIndex::ShotIndex(ShotIndexOptions options)
    : options_(std::move(options)) {}

void ShotIndex::openDB() {
    if (db_)
        return;
    QDir().mkpath(QFileInfo(options_.databasePath).absolutePath());
    db_ = SqliteConnection::openReadWrite(options_.databasePath, ShotSql::writerBusyTimeoutMs);
    if (db_) {
        db_->exec(ShotSql::schema);
        // An older database gets its search index here, empty; searches scan
        // until the indexer has filled it.
        SearchIndex::install(*db_);
    }
}

ScanReport ShotIndex::scan() {
    if (!db_)
        return {};
    return FolderScan::scan(*db_, FolderScan::orderedSourceDirs());
}

qint64 ShotIndex::pendingCount() {
    if (!db_)
        return 0;
    auto count = db_->prepare(ShotSql::countPending);
    return count && count->step() ? count->columnInt64(0) : 0;
}

std::optional<bool> ShotIndex::buildSearchIndex() {
    if (!db_)
        return std::nullopt;
    return searchBuilder_.step(*db_);
}

std::optional<SearchIndex::Progress> ShotIndex::searchIndexProgress() {
    if (!db_)
        return std::nullopt;
    return SearchIndex::progress(*db_);
}

std::vector<ShotIndex::PendingRow> ShotIndex::takeBatch(int limit) {
    // Asking for as many extra rows as have failed guarantees `limit` fresh rows
    // whenever that many are pending.
    const qint64 wanted = std::min<qint64>(qint64(limit) + qint64(failed_.size()), INT_MAX);
    std::vector<PendingRow> fresh;
    std::vector<PendingRow> retries;
    if (auto select = db_->prepare(ShotSql::selectPending)) {
        select->bindInt(1, int(wanted));
        while (select->step()) {
            PendingRow row{select->columnInt64(0), select->columnText(1).value_or(QString())};
            (failed_.contains(row.id) ? retries : fresh).push_back(std::move(row));
        }
    }
    if (qint64(fresh.size() + retries.size()) < wanted) {
        // Every pending row is in hand: forget failures of rows that are no longer pending.
        std::unordered_set<qint64> stillPending;
        for (const PendingRow& row : retries)
            stillPending.insert(row.id);
        failed_ = std::move(stillPending);
    }
    std::vector<PendingRow>& batch = fresh.empty() ? retries : fresh;
    if (batch.size() > std::size_t(limit))
        batch.resize(std::size_t(limit));
    return std::move(batch);
}

OcrBatch ShotIndex::runOcr(int limit, const std::function<void()>& onProgress) {
    OcrBatch batch;
    const std::optional<QString> helper = OcrRun::ocrBinaryURL(options_.helperPath);
    if (!helper)
        return batch;
    batch.helperFound = true;
    if (!db_)
        return batch;
    const std::vector<PendingRow> rows = takeBatch(limit);
    if (rows.empty())
        return batch;
    batch.offered = int(rows.size());
    batch.onlyRetries = std::all_of(rows.begin(), rows.end(), [this](const PendingRow& row) {
        return failed_.contains(row.id);
    });

    std::vector<PendingRow> present;
    std::vector<PendingRow> gone;
    for (const PendingRow& row : rows)
        (pathExists(row.path) ? present : gone).push_back(row);
    for (std::size_t i = 0; onProgress && i < gone.size(); ++i)
        onProgress();

    QHash<QString, std::optional<QString>> texts;
    if (!present.empty()) {
        QStringList paths;
        for (const PendingRow& row : present)
            paths.append(row.path);
        const OcrRun::HelperRun run{options_.helperIdleTimeoutMs, onProgress};
        texts = OcrRun::parseNdjson(OcrRun::runQxocr(*helper, paths, run));
    }
    storeResults(present, gone, texts, batch);
    return batch;
}

void ShotIndex::storeResults(const std::vector<PendingRow>& present,
                             const std::vector<PendingRow>& gone,
                             const QHash<QString, std::optional<QString>>& texts, OcrBatch& batch) {
    db_->exec(ShotSql::begin);
    for (const PendingRow& row : gone) {
        if (auto update = db_->prepare(ShotSql::markDone)) {
            update->bindInt64(1, row.id);
            update->step();
        }
        failed_.erase(row.id);
    }
    for (const PendingRow& row : present) {
        const auto found = texts.constFind(row.path);
        if (found == texts.constEnd() || !found.value()) {
            failed_.insert(row.id);
            continue;
        }
        if (auto update = db_->prepare(ShotSql::storeText)) {
            update->bindText(1, *found.value());
            update->bindInt64(2, row.id);
            update->step();
        }
        failed_.erase(row.id);
        ++batch.recognised;
    }
    db_->exec(ShotSql::commit);
}
