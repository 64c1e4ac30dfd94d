#pragma once

#include "BenchImage.h"

#include <QHash>
#include <QList>
#include <QString>

// One timed pass over the benchmark set.
struct BenchRun {
    double wallSeconds = 0;
    double cpuSeconds = 0;        // all processes together
    long peakKilobytes = 0;       // of the largest single process
    QHash<QString, QString> text; // recognised text per image path
    int failures = 0;             // images without text
};

namespace BenchRuns {

// The helper over the whole set in one process, started as the indexer starts
// it (without OMP_THREAD_LIMIT, so its restart is part of the cost).
BenchRun qxocr(const QList<BenchImage>& images, const QString& program, const QString& workFolder);

// `qxc ocr` as a person runs it, in a home of its own whose capture folder
// holds copies of the pictures; the text is what the index then holds.
BenchRun qxcOcr(const QList<BenchImage>& images, const QString& qxc, const QString& workFolder);

// `tesseract IMAGE - -l jpn+eng` once per image with OMP_THREAD_LIMIT=1,
// `parallel` processes at a time.
BenchRun tesseractPerFile(const QList<BenchImage>& images, const QString& workFolder, int parallel);

} // namespace BenchRuns
