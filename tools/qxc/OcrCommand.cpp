#include "OcrCommand.h"

#include "ProgressBar.h"
#include "QxcExit.h"
#include "QxcMessage.h"
#include "TerminalText.h"

namespace OcrCommand {

namespace {

// Each batch is one run of the OCR helper, which loads its engines anew
// (about half a CPU second for each worker) and ends with workers idle while
// the last pictures are read; a run over a whole folder goes in few of them.
constexpr int batchSize = 160;

struct Totals {
    int recognised = 0;
    bool helperFound = true;
    std::optional<IndexFailure> failure;
};

// A batch that settled nothing ends the run only once it offered nothing new:
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
        if (batch.failure) {
            totals.failure = batch.failure;
            break;
        }
        totals.recognised += batch.recognised;
        const bool stuck = batch.recognised == 0 && batch.unreadable == 0 && batch.onlyRetries;
        if (batch.offered == 0 || stuck || index.pendingCount() == 0)
            break;
    }
    return totals;
}

void print(std::FILE* stream, const QByteArray& text) {
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stream);
}

int fail(std::FILE* err, const IndexFailure& failure, const QString& databasePath) {
    print(err, QxcMessage::failure(failure, databasePath));
    return QxcExit::indexUnusable;
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

int run(ShotIndexOptions options, std::FILE* out, std::FILE* err, bool listUnreadable,
        bool reread) {
    const QString helperPath = options.helperPath;
    const QString databasePath = options.databasePath;
    ShotIndex index(std::move(options));
    if (const std::optional<IndexFailure> failure = index.openDB())
        return fail(err, *failure, databasePath);
    // Shots read before their words' places were kept are read again, their
    // text searchable meanwhile; Glimber's indexer does the same at its pace.
    if (reread) {
        qint64 marked = 0;
        if (const std::optional<IndexFailure> failure = index.markForRereading(marked))
            return fail(err, *failure, databasePath);
        std::fprintf(err, "qxc: %lld shots to read again\n", static_cast<long long>(marked));
    }
    const ScanReport scan = index.scan();
    if (scan.failure)
        return fail(err, *scan.failure, databasePath);
    if (scan.skipped > 0)
        std::fprintf(err,
                     "qxc: skipped %d image %s: a name that is not UTF-8 or holds a line break "
                     "cannot be indexed\n",
                     scan.skipped, scan.skipped == 1 ? "file" : "files");
    const Totals totals = recognisePending(index, err);
    if (totals.failure)
        return fail(err, *totals.failure, databasePath);
    if (!completeSearchIndex(index, err) || !index.foldSearchIndex())
        std::fprintf(err, "qxc: the search index could not be built; searches read every shot\n");
    if (!totals.helperFound)
        std::fprintf(err, "qxc: no OCR helper at %s; nothing recognised\n",
                     TerminalText::escaped(helperPath).constData());
    if (listUnreadable) {
        for (const UnreadableShot& shot : index.unreadableShots())
            print(out, TerminalText::escaped(shot.path) + ": " +
                           TerminalText::escaped(shot.reason) + '\n');
    }
    std::fprintf(out, "%d new, %d recognised, %lld pending, %lld unreadable\n", scan.inserted,
                 totals.recognised, static_cast<long long>(index.pendingCount()),
                 static_cast<long long>(index.unreadableCount()));
    return totals.helperFound ? QxcExit::done : QxcExit::noHelper;
}

} // namespace OcrCommand
