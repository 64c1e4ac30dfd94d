#pragma once

#include "BenchImage.h"
#include "BenchRuns.h"

#include <QList>
#include <QString>

// Screenshots of real programs (made by corpus/make-corpus.sh) with the
// strings a person sees in each, from corpus/truth.tsv. Each picture's group
// is its size: "small" up to half a megapixel, "large" from two, "medium"
// between.
namespace RealCorpus {

// The pictures of `folder` named in `truthFile`; empty, with the reason in
// `error`, when either cannot be read or a named picture is missing.
QList<BenchImage> load(const QString& folder, const QString& truthFile, QString& error);

struct Settings {
    int rounds = 3;
    int parallel = 2;
    // Pictures transcribed in full (see JunkTally), for the share of junk.
    QString transcriptions;
};

// Runs `qxc ocr` (with the helper beside it) and the per-file tesseract
// command on each group of `images`, alternating, and prints the table.
void measure(const QList<BenchImage>& images, const QString& qxc, const QString& workFolder,
             const Settings& settings);

} // namespace RealCorpus
