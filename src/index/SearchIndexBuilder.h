#pragma once

#include "SqliteConnection.h"

#include <optional>

// Fills the search index of a database that has rows older than its index, a few
// rows per transaction. Each batch is sized from the last one's duration, so the
// write lock is held about `batchTargetMs` whatever the rows' length, and a
// search or a scan never waits long for it.
class SearchIndexBuilder {
public:
    explicit SearchIndexBuilder(int batchTargetMs = 100)
        : targetMs_(batchTargetMs) {}

    // One batch. True once every row is in; nothing when the batch failed.
    std::optional<bool> step(SqliteConnection& db);

private:
    int targetMs_;
    int rows_ = 20;
};
