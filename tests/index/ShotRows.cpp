#include "ShotRows.h"

#include "ShotIndex.h"
#include "SqliteConnection.h"

#include <gtest/gtest.h>

namespace ShotRows {

QList<ShotRow> all(const QString& databasePath) {
    QList<ShotRow> rows;
    auto db = SqliteConnection::openReadOnly(databasePath, 2000);
    if (!db)
        return rows;
    auto select = db->prepare("SELECT id, path, filename, bytes, mtime_ms, taken_at, ocr_text, "
                              "ocr_done, indexed_at FROM shots ORDER BY id");
    if (!select)
        return rows;
    while (select->step()) {
        rows.append(ShotRow{select->columnInt64(0), *select->columnText(1), *select->columnText(2),
                            select->columnInt64(3), select->columnInt64(4),
                            select->columnText(5).value_or(QString()), select->columnText(6),
                            select->columnInt64(7) != 0, *select->columnText(8)});
    }
    return rows;
}

std::optional<ShotRow> byFilename(const QString& databasePath, const QString& filename) {
    for (const ShotRow& row : all(databasePath)) {
        if (row.filename == filename)
            return row;
    }
    return std::nullopt;
}

void exec(const QString& databasePath, const QString& sql) {
    auto db = SqliteConnection::openReadWrite(databasePath, 2000);
    ASSERT_TRUE(db.has_value());
    ASSERT_TRUE(db->exec(sql.toUtf8().constData())) << sql.toStdString();
}

void add(const QString& databasePath, const QString& filename, qint64 mtimeMs,
         const std::optional<QString>& ocrText) {
    ShotIndex(ShotIndexOptions{databasePath}).openDB();
    const QString text = ocrText ? "'" + *ocrText + "'" : QStringLiteral("NULL");
    exec(databasePath, QStringLiteral("INSERT INTO shots(path, filename, mtime_ms, taken_at, "
                                      "ocr_text, indexed_at) VALUES('/s/%1', '%1', %2, "
                                      "'2025-03-14T09:26:53', %3, 'now')")
                           .arg(filename)
                           .arg(mtimeMs)
                           .arg(text));
}

} // namespace ShotRows
