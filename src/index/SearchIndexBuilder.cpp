#include "SearchIndexBuilder.h"

#include "SearchIndex.h"

#include <QElapsedTimer>

#include <algorithm>

std::optional<bool> SearchIndexBuilder::step(SqliteConnection& db) {
    QElapsedTimer clock;
    clock.start();
    const std::optional<bool> complete = SearchIndex::buildBatch(db, rows_);
    const qint64 elapsedMs = std::max<qint64>(clock.elapsed(), 1);
    // At most doubling or halving per batch keeps one odd batch from swinging the size.
    const qint64 next = qint64(rows_) * targetMs_ / elapsedMs;
    rows_ = int(std::clamp<qint64>(next, std::max(rows_ / 2, 1), qint64(rows_) * 2));
    return complete;
}
