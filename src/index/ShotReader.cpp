#include "ShotReader.h"

#include "SearchIndex.h"
#include "ShotSchema.h"
#include "ShotSql.h"

#include <QFileInfo>

ShotReader::ShotReader(QString databasePath)
    : path_(std::move(databasePath)) {}

QList<Shot> ShotReader::recent(int limit) {
    return queryRecent(limit).shots;
}

QList<Shot> ShotReader::search(const QString& text, int limit) {
    return querySearch(text, limit).shots;
}

ShotQuery ShotReader::queryRecent(int limit) {
    return query(ShotSql::recent, std::nullopt, limit);
}

ShotQuery ShotReader::querySearch(const QString& text, int limit) {
    return query(ShotSql::search, u'%' + text + u'%', limit);
}

// A statement that does not prepare: the file is busy, someone else's, or a
// new database that no indexer has filled yet.
std::optional<IndexFailure> ShotReader::unanswered() {
    const IndexFailure failure = IndexFailure::reading(*handle_);
    if (failure.kind != IndexFailure::Kind::readFailed)
        return failure;
    if (auto foreign = ShotSchema::check(*handle_))
        return foreign;
    if (ShotSchema::isEmpty(*handle_))
        return std::nullopt;
    return failure;
}

ShotQuery ShotReader::query(const char* sql, const std::optional<QString>& pattern, int limit) {
    const std::lock_guard lock(mutex_);
    if (!handle_) {
        QString error;
        handle_ = SqliteConnection::openReadOnly(path_, ShotSql::readerBusyTimeoutMs, &error);
        if (!handle_) {
            // No file yet is no failure: nothing has been indexed.
            if (!QFileInfo::exists(path_))
                return {};
            return {{}, IndexFailure{IndexFailure::Kind::readFailed, error}};
        }
    }
    QList<Shot> shots;
    const auto append = [&shots](const SqliteStatement& row) {
        shots.append(Shot{row.columnInt64(0), row.columnText(1).value_or(QString()),
                          row.columnText(2).value_or(QString()), row.columnText(3),
                          row.columnText(4)});
    };
    // The search index gives the same rows when it can narrow the search down.
    std::optional<IndexFailure> indexFailure;
    if (pattern && SearchIndex::search(*handle_, *pattern, limit, append,
                                       SearchIndex::Route::automatic, {}, &indexFailure))
        return {shots, indexFailure};
    auto statement = handle_->prepare(sql);
    if (!statement)
        return {{}, unanswered()};
    if (pattern)
        statement->bindText(1, *pattern);
    statement->bindInt(pattern ? 2 : 1, limit);
    while (statement->step())
        append(*statement);
    if (statement->failed())
        return {shots, IndexFailure::reading(*handle_)};
    return {shots, std::nullopt};
}
