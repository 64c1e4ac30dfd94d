#include "ShotReader.h"

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
    auto statement = handle_->prepare(sql);
    if (!statement)
        return {};
    if (pattern)
        statement->bindText(1, *pattern);
    statement->bindInt(pattern ? 2 : 1, limit);
    QList<Shot> shots;
    while (statement->step()) {
        shots.append(Shot{statement->columnInt64(0), statement->columnText(1).value_or(QString()),
                          statement->columnText(2).value_or(QString()), statement->columnText(3),
                          statement->columnText(4)});
    }
    return shots;
}
