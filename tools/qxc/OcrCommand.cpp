#include "OcrCommand.h"

#include "ProgressBar.h"

namespace OcrCommand {

namespace {

constexpr int batchSize = 40;

struct Totals {
    int recognised = 0;
    bool helperFound = true;
};

// A batch that recognised nothing ends the run only once it offered nothing new:
// rows that fail go to the back of the line, so the rest still gets its turn.
Totals recognisePending(ShotIndex& index, std::FILE* err) {
    Totals totals;
    ProgressBar progress(err, index.pendingCount());
    for (;;) {
        const OcrBatch batch = index.runOcr(batchSize, [&progress] { progress.advance(); });
        if (!batch.helperFound) {
            totals.helperFound = false;
            break;
        }
        totals.recognised += batch.recognised;
        const bool stuck = batch.recognised == 0 && batch.onlyRetries;
        if (batch.offered == 0 || stuck || index.pendingCount() == 0)
            break;
    }
    return totals;
}

// Someone who only ever runs qxc gets the search index of an older database
// completed here; Glimber's indexer does the same in the background.
bool completeSearchIndex(ShotIndex& index, std::FILE* err) {
    std::optional<SearchIndex::Progress> progress = index.searchIndexProgress();
    if (!progress)
        return false;
    if (progress->complete)
        return true;
    ProgressBar bar(err, 100, "building the search index");
    while (progress) {
        bar.advanceTo(progress->percent());
        const std::optional<bool> complete = index.buildSearchIndex();
        if (!complete)
            return false;
        if (*complete)
            return true;
        progress = index.searchIndexProgress();
    }
    return false;
}

} // namespace

int run(ShotIndexOptions options, std::FILE* out, std::FILE* err) {
    const QString helperPath = options.helperPath;
    const QString databasePath = options.databasePath;
    ShotIndex index(std::move(options));
    index.openDB();
    if (!index.isOpen()) {
        std::fprintf(err, "qxc: cannot open the index %s\n", qUtf8Printable(databasePath));
        return 1;
    }
    const ScanReport scan = index.scan();
    const Totals totals = recognisePending(index, err);
    if (!completeSearchIndex(index, err))
        std::fprintf(err, "qxc: the search index could not be built; searches read every shot\n");
    if (!totals.helperFound)
        std::fprintf(err, "qxc: no OCR helper at %s; nothing recognised\n",
                     qUtf8Printable(helperPath));
    std::fprintf(out, "%d new, %d recognised, %lld pending\n", scan.inserted, totals.recognised,
                 static_cast<long long>(index.pendingCount()));
    return totals.helperFound ? 0 : 1;
}

} // namespace OcrCommand
