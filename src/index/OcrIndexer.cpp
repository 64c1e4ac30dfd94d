#include "OcrIndexer.h"

#include "AppPaths.h"
#include "IndexScheduler.h"

OcrIndexer& OcrIndexer::shared() {
    // Deliberately leaked: the thread must outlive every static destructor.
    static OcrIndexer* indexer =
        new OcrIndexer(OcrIndexerOptions{ShotIndexOptions{AppPaths::databaseFile()}, {}});
    return *indexer;
}

OcrIndexer::OcrIndexer(OcrIndexerOptions options, QObject* parent)
    : QObject(parent)
    , scheduler_(new IndexScheduler(std::move(options.index), options.timing)) {
    qRegisterMetaType<PassReport>();
    thread_.setObjectName(QStringLiteral("net.glimvault.ocrindexer"));
    scheduler_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, scheduler_, &QObject::deleteLater);
    connect(scheduler_, &IndexScheduler::passFinished, this, &OcrIndexer::passFinished);
}

OcrIndexer::~OcrIndexer() {
    if (!thread_.isRunning()) {
        delete scheduler_;
        return;
    }
    thread_.quit();
    thread_.wait();
}

void OcrIndexer::start() {
    if (thread_.isRunning())
        return;
    thread_.start();
    QMetaObject::invokeMethod(scheduler_, &IndexScheduler::begin, Qt::QueuedConnection);
}

void OcrIndexer::settingsChanged() {
    if (!thread_.isRunning())
        return;
    QMetaObject::invokeMethod(scheduler_, &IndexScheduler::settingsChanged, Qt::QueuedConnection);
}

void OcrIndexer::expect(const QString& path) {
    if (!thread_.isRunning())
        return;
    QMetaObject::invokeMethod(
        scheduler_, [scheduler = scheduler_, path] { scheduler->expect(path); },
        Qt::QueuedConnection);
}

void OcrIndexer::readNow(const QString& path, const std::optional<OcrAnswer>& known) {
    if (!thread_.isRunning())
        return;
    QMetaObject::invokeMethod(
        scheduler_, [scheduler = scheduler_, path, known] { scheduler->readNow(path, known); },
        Qt::QueuedConnection);
}
