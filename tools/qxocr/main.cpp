// qxocr: image paths on standard input, one per line; one JSON line per image
// on standard output ({"path", "text"} or {"path", "error"}); diagnostics on
// standard error. Exit status 0 once every path is answered.
//
// qxocr --warm: one worker whose recogniser loads at once, for a caller that
// starts the helper ahead of need and hands it one picture at a time.
#include "OcrPipeline.h"
#include "ResultWriter.h"
#include "SingleThreadedOpenMp.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace {

// Standard output carries result lines only: they get a descriptor of their
// own, and whatever a library prints to standard output lands on standard error.
int takeStandardOutput() {
    std::fflush(stdout);
    const int results = dup(STDOUT_FILENO);
    if (results < 0)
        return STDOUT_FILENO;
    dup2(STDERR_FILENO, STDOUT_FILENO);
    return results;
}

} // namespace

int main(int argc, char** argv) {
    SingleThreadedOpenMp::ensure(argv);
    // A reader that went away ends the run through a failed write, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    ResultWriter writer(takeStandardOutput());
    OcrPipeline::Options options;
    const bool warm = argc == 2 && std::strcmp(argv[1], "--warm") == 0;
    if (argc > 1 && !warm) {
        std::fputs("usage: qxocr [--warm] < paths\n", stderr);
        return 2;
    }
    options.workers = warm ? 1 : OcrPipeline::defaultWorkerCount();
    options.preload = warm;
    // One picture at a time: the second processor reads half of a large one.
    options.settings.readHalvesAtOnce = warm && std::thread::hardware_concurrency() > 1;
    OcrPipeline::run(stdin, writer, options);
    return 0;
}
