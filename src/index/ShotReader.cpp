#include "ShotReader.h"

#include "SearchIndex.h"
#include "ShotSql.h"

ShotReader::ShotReader(QString databasePath)
    : path_(std::move(databasePath)) {}

QList<Shot> ShotReader::recent(int limit) {
    return query(ShotSql::recent, std::nullopt, limit);
}

QList<Shot> ShotReader::search(const QString& text, int limit) {
    return query(ShotSql::search, u'%' + text + u'%', limit);
}

QList<Shot> ShotReader::query(const char* sql, const std::optional<QString>& pattern, int limit) {
    const std::lock_guard lock(mutex_);
    if (!handle_) {
        handle_ = SqliteConnection::openReadOnly(path_, ShotSql::readerBusyTimeoutMs);
        if (!handle_)
            return {};
    }
    QList<Shot> shots;
    const auto append = [&shots](const SqliteStatement& row) {
        shots.append(Shot{row.columnInt64(0), row.columnText(1).value_or(QString()),
                          row.columnText(2).value_or(QString()), row.columnText(3),
                          row.columnText(4)});
    };
    // The search index gives the same rows when it can narrow the search down.
    if (pattern && SearchIndex::search(*handle_, *pattern, limit, append))
        return shots;
    auto statement = handle_->prepare(sql);
    if (!statement)
        return {};
    if (pattern)
        statement->bindText(1, *pattern);
    statement->bindInt(pattern ? 2 : 1, limit);
    while (statement->step())
        append(*statement);
    return shots;
}
