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

void IndexScheduler::settingsChanged() {
    pump(true);
}

void IndexScheduler::pump(bool scan) {
    if (scan)
        watchCaptureFolder();
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
