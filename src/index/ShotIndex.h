#pragma once

#include "FolderScan.h"
#include "IndexFailure.h"
#include "OcrRun.h"
#include "SearchIndex.h"
#include "SearchIndexBuilder.h"
#include "SqliteConnection.h"
#include "WarmOcrHelper.h"

#include <QList>
#include <QSet>
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
    int unreadable = 0;       // rows the helper answered with an error
    bool onlyRetries = false; // every offered row had failed before in this process
    // Set when the batch's results could not be stored: none of them counts.
    std::optional<IndexFailure> failure;
};

// A file the helper answered with an error, and the reason it gave.
struct UnreadableShot {
    QString path;
    QString reason;
};

// The writing side of the shot database: the read-write connection, the folder
// scan and the OCR batches. Not thread-safe; one thread owns it.
class ShotIndex {
public:
    explicit ShotIndex(ShotIndexOptions options);

    // Opens the connection and makes sure the schema exists; does nothing once
    // open. A file that is not Glimber's index is left untouched and reported;
    // after any failure the index stays closed and the next call tries again.
    std::optional<IndexFailure> openDB();
    bool isOpen() const { return db_.has_value(); }

    ScanReport scan();

    // Recognises up to `limit` pending rows in one helper run. `onProgress` is
    // called for each row the batch has dealt with.
    OcrBatch runOcr(int limit, const std::function<void()>& onProgress = {});

    // A file that has just been written, taken in and read at once, ahead of
    // the rows waiting: the program's own captures are searchable without the
    // watcher's quiet time. A file known already is not added again, nor is
    // one read already read again.
    ScanReport addFile(const QString& path);
    // addFile, and the batches leave the file to readFile: someone else reads it.
    ScanReport expect(const QString& path);
    // `known`: what a helper has read of the file already.
    OcrBatch readFile(const QString& path, const std::optional<OcrAnswer>& known = std::nullopt);

    qint64 pendingCount();
    qint64 unreadableCount();
    // The newest first.
    QList<UnreadableShot> unreadableShots();

    // One short batch of the search index's build; true once it is complete,
    // nothing when the batch failed (the next one tries again).
    std::optional<bool> buildSearchIndex();
    std::optional<SearchIndex::Progress> searchIndexProgress();
    // Takes the rows changed since the last time (by anyone) into the search index.
    bool foldSearchIndex();
    // Recognised shots whose words' places are not known go back to the
    // pending ones, their text kept meanwhile; `marked` says how many.
    std::optional<IndexFailure> markForRereading(qint64& marked);

private:
    struct PendingRow {
        qint64 id;
        QString path;
    };
    // What the helper said of each path: its text, the error, where its words stand.
    struct HelperAnswers {
        const QHash<QString, std::optional<QString>>& texts;
        const QHash<QString, QString>& errors;
        const QHash<QString, QByteArray>& words;
    };
    std::vector<PendingRow> takeBatch(int limit);
    OcrBatch read(std::vector<PendingRow> rows, const std::function<void()>& onProgress);
    std::optional<IndexFailure> storeResults(const std::vector<PendingRow>& present,
                                             const std::vector<PendingRow>& gone,
                                             const HelperAnswers& answers, OcrBatch& batch);
    bool storeWords(const PendingRow& row, const QByteArray& words);
    qint64 count(const char* sql);

    ShotIndexOptions options_;
    std::optional<SqliteConnection> db_;
    // Rows that failed in this process's life. They go to the back of the line,
    // so a few files the helper cannot read never starve all the others.
    std::unordered_set<qint64> failed_;
    // Files read elsewhere and handed in through readFile.
    QSet<QString> readElsewhere_;
    SearchIndexBuilder searchBuilder_;
};
