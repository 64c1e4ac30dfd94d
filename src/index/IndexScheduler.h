#pragma once

#include "IndexerTiming.h"
#include "PassReport.h"
#include "ShotIndex.h"

#include <QObject>

class QFileSystemWatcher;
class QTimer;

// Decides when the index scans and recognises: at start, shortly after the
// capture folder changes, on a safety timer, and in chained batches while text
// keeps coming. Lives in the indexer's thread, which runs all of its work one
// piece at a time.
class IndexScheduler : public QObject {
    Q_OBJECT

public:
    IndexScheduler(ShotIndexOptions options, IndexerTiming timing);

    // Runs in the indexer's thread: installs the watcher and the timer, opens the
    // database and runs the first pass. Their reactions queue up behind it.
    // Every pass reports itself, also one that could not use the database.
    void begin();

    // Watches the capture folder the configuration names now, then runs a pass.
    void settingsChanged();

    // A file this program has just written: taken in and read at once, when
    // recognition is allowed, then a pass is reported. `known`: its text, read already.
    void readNow(const QString& path, const std::optional<OcrAnswer>& known);
    // A file this program has just written and is reading itself: taken in at
    // once and left to readNow, which follows.
    void expect(const QString& path);

Q_SIGNALS:
    void passFinished(const PassReport& report);

private:
    void pump(bool scan);
    // Opens the database and takes in one file, to be read here or elsewhere.
    PassReport takeIn(const QString& path, bool readElsewhere);
    // Counts what waits, folds the changes into the search index and reports.
    void finishPass(PassReport& report);
    void scheduleDrain();
    void scheduleSearchBuild();
    void startWatching();
    void watchCaptureFolder();
    void startSafetyTimer();
    // Says once on standard error why passes fail, not at every pass.
    void complainOnce(const std::optional<IndexFailure>& failure);

    QString databasePath_;
    ShotIndex index_;
    IndexerTiming timing_;
    QFileSystemWatcher* watcher_ = nullptr;
    QString watchedFolder_;
    QTimer* debounce_ = nullptr;
    QTimer* safetyTimer_ = nullptr;
    bool drainScheduled_ = false;
    std::optional<IndexFailure> lastComplaint_;
    bool searchBuildScheduled_ = false;
    bool searchIndexComplete_ = false;
};
