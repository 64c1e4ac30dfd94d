#pragma once

#include <QMetaType>

// What one indexer pass did.
struct PassReport {
    bool scanned = false;
    bool ocrAllowed = false;
    int recognised = 0;
};

Q_DECLARE_METATYPE(PassReport)
