#include "OcrPipeline.h"

#include "PathQueue.h"

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

namespace OcrPipeline {

namespace {

void work(PathQueue& queue, ResultWriter& writer, PixelBudget& budget, const Options& options) {
    OcrWorker worker(budget, options.settings);
    if (options.preload)
        worker.preload();
    while (const std::optional<QString> path = queue.pop()) {
        if (writer.broken())
            continue;
        writer.write(worker.process(*path));
    }
}

// Each line is one path, exactly as written, without its line feed.
void readPaths(std::FILE* input, PathQueue& queue, const ResultWriter& writer) {
    char* line = nullptr;
    std::size_t capacity = 0;
    ssize_t length = 0;
    while (!writer.broken() && (length = getline(&line, &capacity, input)) >= 0) {
        if (length > 0 && line[length - 1] == '\n')
            --length;
        if (length > 0)
            queue.push(QString::fromUtf8(line, length));
    }
    std::free(line);
}

} // namespace

int defaultWorkerCount() {
    const int processors = int(std::thread::hardware_concurrency());
    return std::clamp(processors, 1, maxWorkers);
}

void run(std::FILE* input, ResultWriter& writer, const Options& options) {
    PathQueue queue;
    PixelBudget budget(options.pixelsInFlight);
    std::vector<std::thread> workers;
    for (int i = 0; i < std::max(1, options.workers); ++i)
        workers.emplace_back(work, std::ref(queue), std::ref(writer), std::ref(budget),
                             std::cref(options));
    readPaths(input, queue, writer);
    queue.close();
    for (std::thread& worker : workers)
        worker.join();
}

} // namespace OcrPipeline
