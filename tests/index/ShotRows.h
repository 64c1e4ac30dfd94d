#pragma once

#include <QList>
#include <QString>

#include <optional>

// Reads table `shots` straight from the file, for checking what the index wrote.
struct ShotRow {
    qint64 id = 0;
    QString path;
    QString filename;
    qint64 bytes = 0;
    qint64 mtimeMs = 0;
    QString takenAt;
    std::optional<QString> ocrText;
    bool ocrDone = false;
    QString indexedAt;
};

namespace ShotRows {

QList<ShotRow> all(const QString& databasePath);
std::optional<ShotRow> byFilename(const QString& databasePath, const QString& filename);
// Runs SQL against the file, for arranging a test's starting state.
void exec(const QString& databasePath, const QString& sql);
// A row for the file /s/`filename`, in the index's own schema.
void add(const QString& databasePath, const QString& filename, qint64 mtimeMs,
         const std::optional<QString>& ocrText);

} // namespace ShotRows
