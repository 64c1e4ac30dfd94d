#pragma once

#include "FolderScan.h"
#include "OcrRun.h"
#include "SearchIndex.h"
#include "SearchIndexBuilder.h"
#include "SqliteConnection.h"

#include <QString>

#include <functional>
#include <optional>
#include <unordered_set>

struct ShotIndexOptions {
    QString databasePath;
    QString helperPath = OcrRun::defaultHelperPath();
    int helperIdleTimeoutMs = 120'000;
};

// What one OCR batch did.
struct OcrBatch {
    bool helperFound = false;
    int offered = 0;          // rows taken from the pending list
    int recognised = 0;       // rows that got their text
    bool onlyRetries = false; // every offered row had failed before in this process
};

// The writing side of the shot database: the read-write connection, the folder
// scan and the OCR batches. Not thread-safe; one thread owns it.
class ShotIndex {
public:
    explicit ShotIndex(ShotIndexOptions options);

    // Opens the connection and makes sure the schema exists. A failed open is
    // final: the index then does nothing.
    void openDB();
    bool isOpen() const { return db_.has_value(); }

    ScanReport scan();

    // Recognises up to `limit` pending rows in one helper run. `onProgress` is
    // called for each row the batch has dealt with.
    OcrBatch runOcr(int limit, const std::function<void()>& onProgress = {});

    qint64 pendingCount();

    // One short batch of the search index's build; true once it is complete,
    // nothing when the batch failed (the next one tries again).
    std::optional<bool> buildSearchIndex();
    std::optional<SearchIndex::Progress> searchIndexProgress();

private:
    struct PendingRow {
        qint64 id;
        QString path;
    };
    std::vector<PendingRow> takeBatch(int limit);
    void storeResults(const std::vector<PendingRow>& present, const std::vector<PendingRow>& gone,
                      const QHash<QString, std::optional<QString>>& texts, OcrBatch& batch);

    ShotIndexOptions options_;
    std::optional<SqliteConnection> db_;
    // Rows that failed in this process's life. They go to the back of the line,
    // so a few files the helper cannot read never starve all the others.
    std::unordered_set<qint64> failed_;
    SearchIndexBuilder searchBuilder_;
};
