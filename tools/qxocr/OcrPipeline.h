#pragma once

#include "OcrWorker.h"
#include "ResultWriter.h"

#include <cstdio>

// The helper's whole job: paths from `input`, one per line, until end of file;
// one result line per path to `writer` as soon as it is done, in the order
// the pictures finish.
namespace OcrPipeline {

struct Options {
    int workers = 1;
    // Decoded pixels all workers may hold at once.
    qint64 pixelsInFlight = ImageFile::defaultMaxPixels;
    OcrSettings settings;
    // Each worker loads its recogniser before the first path arrives.
    bool preload = false;
};

// Workers for this machine: one per processor, at most `maxWorkers`, since
// each holds its own Tesseract engine in memory.
int defaultWorkerCount();
constexpr int maxWorkers = 8;

void run(std::FILE* input, ResultWriter& writer, const Options& options);

} // namespace OcrPipeline
