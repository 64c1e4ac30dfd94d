#pragma once

#include "IndexFailure.h"

#include <QMetaType>

#include <optional>

// What one indexer pass did.
struct PassReport {
    bool scanned = false;
    bool ocrAllowed = false;
    int recognised = 0;
    // Why the pass stopped early: the database could not be opened, is not
    // Glimber's, or a read or write failed. The next pass tries again.
    std::optional<IndexFailure> failure;
};

Q_DECLARE_METATYPE(PassReport)
