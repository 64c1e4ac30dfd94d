#include "IndexScheduler.h"

#include "ConfigStore.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {
constexpr int ocrBatchSize = 40;
}

IndexScheduler::IndexScheduler(ShotIndexOptions options, IndexerTiming timing)
    : databasePath_(options.databasePath)
    , index_(std::move(options))
    , timing_(timing) {}

void IndexScheduler::begin() {
    startWatching();
    startSafetyTimer();
    pump(true);
}

void IndexScheduler::settingsChanged() {
    pump(true);
}

PassReport IndexScheduler::takeIn(const QString& path, bool readElsewhere) {
    PassReport report;
    report.failure = index_.openDB();
    if (!report.failure) {
        const ScanReport added = readElsewhere ? index_.expect(path) : index_.addFile(path);
        report.inserted = added.inserted;
        report.failure = added.failure;
    }
    return report;
}

void IndexScheduler::expect(const QString& path) {
    PassReport report = takeIn(path, true);
    finishPass(report);
}

void IndexScheduler::readNow(const QString& path, const std::optional<OcrAnswer>& known) {
    PassReport report = takeIn(path, false);
    if (!report.failure) {
        report.ocrAllowed = ConfigStore::autoOcrAllowed(ConfigStore::effective());
        if (report.ocrAllowed) {
            const OcrBatch batch = index_.readFile(path, known);
            report.recognised = batch.recognised;
            report.failure = batch.failure;
        }
    }
    finishPass(report);
}

void IndexScheduler::pump(bool scan) {
    if (scan)
        watchCaptureFolder();
    PassReport report;
    // A database that was busy or could not be opened at start is tried again
    // at every pass, so the index catches up once the obstacle is gone.
    report.failure = index_.openDB();
    if (!report.failure && scan) {
        const ScanReport scanned = index_.scan();
        report.failure = scanned.failure;
        report.scanned = !report.failure;
        report.inserted = scanned.inserted;
        report.deleted = scanned.deleted;
    }
    if (!report.failure) {
        report.ocrAllowed = ConfigStore::autoOcrAllowed(ConfigStore::effective());
        if (report.ocrAllowed) {
            const OcrBatch batch = index_.runOcr(ocrBatchSize);
            report.recognised = batch.recognised;
            report.failure = batch.failure;
            // After a failed write nothing is chained: the next pass (the safety
            // timer's at the latest) tries again, rather than a tight loop.
            if (!batch.failure && batch.recognised > 0 && index_.pendingCount() > 0)
                scheduleDrain();
        }
    }
    finishPass(report);
}

void IndexScheduler::finishPass(PassReport& report) {
    if (!report.failure)
        report.pending = index_.pendingCount();
    // What this pass and any other program changed goes into the search index;
    // a fold that fails is tried again at the next pass, searches being right
    // meanwhile.
    if (!report.failure)
        index_.foldSearchIndex();
    complainOnce(report.failure);
    if (!report.failure && !searchIndexComplete_)
        scheduleSearchBuild();
    Q_EMIT passFinished(report);
}

void IndexScheduler::complainOnce(const std::optional<IndexFailure>& failure) {
    if (failure && failure != lastComplaint_)
        qWarning("glimber: the index %s cannot be used: %s", qUtf8Printable(databasePath_),
                 qUtf8Printable(failure->detail));
    lastComplaint_ = failure;
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
    debounce_ = new QTimer(this);
    debounce_->setSingleShot(true);
    debounce_->setInterval(timing_.debounceMs);
    connect(debounce_, &QTimer::timeout, this, [this] { pump(true); });
    watcher_ = new QFileSystemWatcher(this);
    // Restarting the single-shot timer on every event is a trailing debounce:
    // the burst of changes one capture makes leads to one pass.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, debounce_,
            qOverload<>(&QTimer::start));
    watchCaptureFolder();
}

void IndexScheduler::watchCaptureFolder() {
    // Only the capture folder is watched; the safety timer covers the source
    // folder. It is looked up again before every scan, so a folder chosen in
    // the settings, or one named by a synchronised cloud file, is watched from
    // then on, and a watched folder that was removed is made and watched anew.
    const QString folder = ConfigStore::resolveCaptureDir();
    if (folder == watchedFolder_ && watcher_->directories().contains(folder))
        return;
    if (!watchedFolder_.isEmpty())
        watcher_->removePath(watchedFolder_);
    QDir().mkpath(folder);
    watchedFolder_ = watcher_->addPath(folder) ? folder : QString();
}

void IndexScheduler::startSafetyTimer() {
    safetyTimer_ = new QTimer(this);
    safetyTimer_->setTimerType(Qt::PreciseTimer);
    safetyTimer_->setInterval(timing_.safetyIntervalMs);
    connect(safetyTimer_, &QTimer::timeout, this, [this] { pump(true); });
    safetyTimer_->start();
}
