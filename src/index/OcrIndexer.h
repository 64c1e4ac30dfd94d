#pragma once

#include "IndexerTiming.h"
#include "PassReport.h"
#include "ShotIndex.h"
#include "WarmOcrHelper.h"

#include <QObject>
#include <QThread>

class IndexScheduler;

struct OcrIndexerOptions {
    ShotIndexOptions index;
    IndexerTiming timing;
};

// The background indexer: owns the read-write database connection and keeps the
// index current, all in one thread named "net.glimvault.ocrindexer", so scans
// and OCR batches never overlap.
class OcrIndexer : public QObject {
    Q_OBJECT

public:
    // The program's indexer over ~/.glimvault/db.sqlite, created on first use
    // and never destroyed.
    static OcrIndexer& shared();

    explicit OcrIndexer(OcrIndexerOptions options, QObject* parent = nullptr);
    ~OcrIndexer() override;

    // Starts the thread, the capture-folder watcher and the safety timer, opens
    // the database and runs the first pass. Later calls do nothing.
    void start();

    // The settings were saved: the capture folder they name is watched from
    // now on, and a pass runs at once. Does nothing before start().
    void settingsChanged();

    // A file this program has just written into a source folder: read at once,
    // not after the watcher's quiet time; `known` is its text when the caller
    // has read it already. Does nothing before start().
    void readNow(const QString& path, const std::optional<OcrAnswer>& known = std::nullopt);
    // A file this program has just written and is reading itself: listed at
    // once, and not read by the indexer until readNow hands in its text.
    void expect(const QString& path);

Q_SIGNALS:
    void passFinished(const PassReport& report);

private:
    QThread thread_;
    IndexScheduler* scheduler_;
};
