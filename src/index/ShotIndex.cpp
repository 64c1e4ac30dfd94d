#include "ShotIndex.h"

#include "ShotSchema.h"
#include "ShotSql.h"
#include "ShotWords.h"
#include "SqliteTransaction.h"

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

// The helper reads one path a line: a path with a line break would reach it in pieces.
bool holdsLineBreak(const QString& path) {
    return path.contains(u'\n') || path.contains(u'\r');
}

} // namespace

ShotIndex::ShotIndex(ShotIndexOptions options)
    : options_(std::move(options)) {}

std::optional<IndexFailure> ShotIndex::openDB() {
    if (db_)
        return std::nullopt;
    QDir().mkpath(QFileInfo(options_.databasePath).absolutePath());
    QString error;
    std::optional<SqliteConnection> db = SqliteConnection::openReadWrite(
        options_.databasePath, ShotSql::writerBusyTimeoutMs, &error);
    if (!db)
        return IndexFailure{IndexFailure::Kind::writeFailed, error};
    // Checked before anything is written, so another program's file stays as it was.
    if (auto failure = ShotSchema::check(*db))
        return failure;
    // An older database gets its search index here, empty; searches scan
    // until the indexer has filled it.
    if (!db->exec(ShotSql::schema) || !db->exec(ShotSql::wordsSchema) ||
        !ShotSchema::addErrorColumn(*db) || !SearchIndex::install(*db))
        return IndexFailure::writing(*db);
    db_ = std::move(db);
    return std::nullopt;
}

ScanReport ShotIndex::scan() {
    if (!db_)
        return {};
    return FolderScan::scan(*db_, FolderScan::orderedSourceDirs());
}

qint64 ShotIndex::count(const char* sql) {
    if (!db_)
        return 0;
    auto count = db_->prepare(sql);
    return count && count->step() ? count->columnInt64(0) : 0;
}

qint64 ShotIndex::pendingCount() {
    return count(ShotSql::countPending);
}

qint64 ShotIndex::unreadableCount() {
    return count(ShotSql::countUnreadable);
}

QList<UnreadableShot> ShotIndex::unreadableShots() {
    QList<UnreadableShot> shots;
    if (!db_)
        return shots;
    if (auto select = db_->prepare(ShotSql::selectUnreadable)) {
        while (select->step())
            shots.append({select->columnText(0).value_or(QString()),
                          select->columnText(1).value_or(QString())});
    }
    return shots;
}

std::optional<bool> ShotIndex::buildSearchIndex() {
    if (!db_)
        return std::nullopt;
    return searchBuilder_.step(*db_);
}

bool ShotIndex::foldSearchIndex() {
    // The boxes of shots that any program deleted go with them.
    return db_ && db_->exec(ShotSql::forgetWordsOfGoneShots) && SearchIndex::fold(*db_);
}

std::optional<IndexFailure> ShotIndex::markForRereading(qint64& marked) {
    if (!db_)
        return IndexFailure{IndexFailure::Kind::writeFailed, QStringLiteral("not open")};
    auto reread = db_->prepare(ShotSql::rereadWithoutWords);
    if (!reread || !reread->run())
        return IndexFailure::writing(*db_);
    marked = db_->changes();
    return std::nullopt;
}

std::optional<SearchIndex::Progress> ShotIndex::searchIndexProgress() {
    if (!db_)
        return std::nullopt;
    return SearchIndex::progress(*db_);
}

std::vector<ShotIndex::PendingRow> ShotIndex::takeBatch(int limit) {
    // Asking for as many extra rows as have failed guarantees `limit` fresh rows
    // whenever that many are pending.
    const qint64 wanted = std::min<qint64>(
        qint64(limit) + qint64(failed_.size()) + qint64(readElsewhere_.size()), INT_MAX);
    std::vector<PendingRow> fresh;
    std::vector<PendingRow> retries;
    if (auto select = db_->prepare(ShotSql::selectPending)) {
        select->bindInt(1, int(wanted));
        while (select->step()) {
            PendingRow row{select->columnInt64(0), select->columnText(1).value_or(QString())};
            if (readElsewhere_.contains(row.path))
                continue;
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
    return read(db_ ? takeBatch(limit) : std::vector<PendingRow>(), onProgress);
}

ScanReport ShotIndex::addFile(const QString& path) {
    if (!db_)
        return {};
    return FolderScan::addFile(*db_, FolderScan::orderedSourceDirs(), path);
}

ScanReport ShotIndex::expect(const QString& path) {
    const ScanReport added = addFile(path);
    if (!added.failure)
        readElsewhere_.insert(path);
    return added;
}

OcrBatch ShotIndex::readFile(const QString& path, const std::optional<OcrAnswer>& known) {
    readElsewhere_.remove(path);
    std::vector<PendingRow> rows;
    if (db_) {
        if (auto select = db_->prepare(ShotSql::selectPendingPath)) {
            select->bindText(1, path);
            if (select->step())
                rows.push_back({select->columnInt64(0), path});
        }
    }
    // An answer read already is stored as the helper's would be; a helper that
    // failed there may still read the file here.
    if (!known || known->helperFailed || rows.empty())
        return read(std::move(rows), {});
    OcrBatch batch;
    batch.helperFound = true;
    batch.offered = 1;
    const QHash<QString, std::optional<QString>> texts{{path, known->text}};
    const QHash<QString, QString> errors{{path, known->error}};
    const QHash<QString, QByteArray> words{{path, known->words}};
    batch.failure = storeResults(rows, {}, {texts, errors, words}, batch);
    return batch;
}

OcrBatch ShotIndex::read(std::vector<PendingRow> rows, const std::function<void()>& onProgress) {
    OcrBatch batch;
    const std::optional<QString> helper = OcrRun::ocrBinaryURL(options_.helperPath);
    if (!helper)
        return batch;
    batch.helperFound = true;
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
    QHash<QString, QString> errors;
    QHash<QString, QByteArray> words;
    QStringList paths;
    for (const PendingRow& row : present) {
        // Rows from before names with line breaks were skipped by the scan.
        if (holdsLineBreak(row.path)) {
            texts.insert(row.path, std::nullopt);
            errors.insert(row.path, QStringLiteral("the file name holds a line break"));
        } else {
            paths.append(row.path);
        }
    }
    if (!paths.isEmpty()) {
        const OcrRun::HelperRun run{options_.helperIdleTimeoutMs, onProgress};
        texts.insert(OcrRun::parseNdjson(OcrRun::runQxocr(*helper, paths, run), &errors, &words));
    }
    batch.failure = storeResults(present, gone, {texts, errors, words}, batch);
    return batch;
}

bool ShotIndex::storeWords(const PendingRow& row, const QByteArray& words) {
    // A helper that tells no words, or a file read without text, leaves no
    // boxes behind of an earlier reading.
    const ShotWords::Stamp stamp = ShotWords::stampOf(row.path);
    auto statement = db_->prepare(words.isEmpty() ? ShotSql::forgetWords : ShotSql::storeWords);
    if (!statement)
        return false;
    statement->bindInt64(1, row.id);
    if (!words.isEmpty()) {
        statement->bindInt64(2, stamp.bytes);
        statement->bindInt64(3, stamp.mtimeMs);
        statement->bindText(4, QString::fromUtf8(words));
    }
    return statement->run();
}

std::optional<IndexFailure> ShotIndex::storeResults(const std::vector<PendingRow>& present,
                                                    const std::vector<PendingRow>& gone,
                                                    const HelperAnswers& answers, OcrBatch& batch) {
    const QHash<QString, std::optional<QString>>& texts = answers.texts;
    const QHash<QString, QString>& errors = answers.errors;
    SqliteTransaction transaction(*db_);
    if (!transaction.begin())
        return IndexFailure::writing(*db_);
    int recognised = 0;
    int unreadable = 0;
    for (const PendingRow& row : gone) {
        auto update = db_->prepare(ShotSql::markDone);
        if (!update)
            return IndexFailure::writing(*db_);
        update->bindInt64(1, row.id);
        if (!update->run())
            return IndexFailure::writing(*db_);
        failed_.erase(row.id);
    }
    for (const PendingRow& row : present) {
        const auto found = texts.constFind(row.path);
        // No line at all (the helper crashed or hung) is no answer: the row stays
        // pending and goes to the back of the line.
        if (found == texts.constEnd()) {
            failed_.insert(row.id);
            continue;
        }
        const bool hasText = found.value().has_value();
        auto update = db_->prepare(hasText ? ShotSql::storeText : ShotSql::markUnreadable);
        if (!update)
            return IndexFailure::writing(*db_);
        update->bindText(1, hasText ? *found.value() : errors.value(row.path));
        update->bindInt64(2, row.id);
        if (!update->run() || !storeWords(row, answers.words.value(row.path)))
            return IndexFailure::writing(*db_);
        failed_.erase(row.id);
        ++(hasText ? recognised : unreadable);
    }
    if (!transaction.commit())
        return IndexFailure::writing(*db_);
    batch.recognised = recognised;
    batch.unreadable = unreadable;
    return std::nullopt;
}
