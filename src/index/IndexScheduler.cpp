#include "IndexScheduler.h"

#include "ConfigStore.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {
constexpr int ocrBatchSize = 40;
}

IndexScheduler::IndexScheduler(ShotIndexOptions options, IndexerTiming timing)
    : index_(std::move(options))
    , timing_(timing) {}

void IndexScheduler::begin() {
    startWatching();
    startSafetyTimer();
    index_.openDB();
    if (index_.isOpen())
        pump(true);
}

void IndexScheduler::pump(bool scan) {
    if (!index_.isOpen())
        return;
    PassReport report;
    if (scan) {
        index_.scan();
        report.scanned = true;
    }
    report.ocrAllowed = ConfigStore::autoOcrAllowed(ConfigStore::effective());
    if (report.ocrAllowed) {
        report.recognised = index_.runOcr(ocrBatchSize).recognised;
        if (report.recognised > 0 && index_.pendingCount() > 0)
            scheduleDrain();
    }
    if (!searchIndexComplete_)
        scheduleSearchBuild();
    Q_EMIT passFinished(report);
}

void IndexScheduler::scheduleDrain() {
    if (drainScheduled_)
        return;
    drainScheduled_ = true;
    QTimer::singleShot(timing_.drainDelayMs, this, [this] {
        drainScheduled_ = false;
        pump(false);
    });
}

void IndexScheduler::scheduleSearchBuild() {
    if (searchBuildScheduled_)
        return;
    searchBuildScheduled_ = true;
    QTimer::singleShot(timing_.searchBuildPauseMs, this, [this] {
        searchBuildScheduled_ = false;
        const std::optional<bool> complete = index_.buildSearchIndex();
        searchIndexComplete_ = complete.value_or(false);
        // A failed batch (the disk full, the file locked too long) is tried again
        // after the next pass, not at once.
        if (complete == false)
            scheduleSearchBuild();
    });
}

void IndexScheduler::startWatching() {
    // Only the capture folder is watched, and only the one resolved at start;
    // the safety timer covers the source folder and later changes of either.
    const QString folder = ConfigStore::resolveCaptureDir();
    QDir().mkpath(folder);
    debounce_ = new QTimer(this);
    debounce_->setSingleShot(true);
    debounce_->setInterval(timing_.debounceMs);
    connect(debounce_, &QTimer::timeout, this, [this] { pump(true); });
    watcher_ = new QFileSystemWatcher(this);
    if (!watcher_->addPath(folder))
        return;
    // Restarting the single-shot timer on every event is a trailing debounce:
    // the burst of changes one capture makes leads to one pass.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, debounce_,
            qOverload<>(&QTimer::start));
}

void IndexScheduler::startSafetyTimer() {
    safetyTimer_ = new QTimer(this);
    safetyTimer_->setTimerType(Qt::PreciseTimer);
    safetyTimer_->setInterval(timing_.safetyIntervalMs);
    connect(safetyTimer_, &QTimer::timeout, this, [this] { pump(true); });
    safetyTimer_->start();
}
