#pragma once

#include "IndexFailure.h"

#include <QMetaType>

#include <optional>

// What one indexer pass did.
struct PassReport {
    bool scanned = false;
    bool ocrAllowed = false;
    int recognised = 0;
    int inserted = 0; // rows the scan added
    int deleted = 0;  // rows the scan removed
    // Rows still waiting for text recognition after the pass, when it could count them.
    std::optional<qint64> pending;
    // Why the pass stopped early: the database could not be opened, is not
    // Glimber's, or a read or write failed. The next pass tries again.
    std::optional<IndexFailure> failure;

    // Whether readers of the index may now see other rows or other text.
    bool changedRows() const { return inserted + deleted + recognised > 0; }
};

Q_DECLARE_METATYPE(PassReport)
