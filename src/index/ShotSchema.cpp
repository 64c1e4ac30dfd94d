#include "ShotSchema.h"

#include "ShotSql.h"

#include <QStringList>

#include <array>

namespace ShotSchema {

namespace {

constexpr std::array<const char*, 9> requiredColumns{"id",       "path",     "filename",
                                                     "bytes",    "mtime_ms", "taken_at",
                                                     "ocr_text", "ocr_done", "indexed_at"};

// One text column of every row; nothing when the statement failed.
std::optional<QStringList> names(SqliteConnection& db, const char* sql, int column) {
    auto select = db.prepare(sql);
    if (!select)
        return std::nullopt;
    QStringList result;
    while (select->step())
        result.append(select->columnText(column).value_or(QString()));
    if (select->failed())
        return std::nullopt;
    return result;
}

} // namespace

std::optional<IndexFailure> check(SqliteConnection& db) {
    const std::optional<QStringList> tables = names(db, ShotSql::selectTables, 0);
    if (!tables)
        return IndexFailure::reading(db);
    if (tables->isEmpty())
        return std::nullopt;
    if (!tables->contains(QStringLiteral("shots"), Qt::CaseInsensitive))
        return IndexFailure{IndexFailure::Kind::notOurs, QStringLiteral("it has no table shots")};
    const std::optional<QStringList> columns = names(db, ShotSql::selectShotColumns, 1);
    if (!columns)
        return IndexFailure::reading(db);
    for (const char* column : requiredColumns) {
        if (!columns->contains(QLatin1String(column), Qt::CaseInsensitive))
            return IndexFailure{IndexFailure::Kind::notOurs,
                                QStringLiteral("its table shots has no column %1").arg(column)};
    }
    return std::nullopt;
}

bool isEmpty(SqliteConnection& db) {
    const std::optional<QStringList> tables = names(db, ShotSql::selectTables, 0);
    return tables && tables->isEmpty();
}

bool addErrorColumn(SqliteConnection& db) {
    const std::optional<QStringList> columns = names(db, ShotSql::selectShotColumns, 1);
    if (!columns)
        return false;
    return columns->contains(QStringLiteral("ocr_error"), Qt::CaseInsensitive) ||
           db.exec(ShotSql::addErrorColumn);
}

} // namespace ShotSchema
