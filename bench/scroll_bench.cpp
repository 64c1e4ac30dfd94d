// scroll_bench: the scrolling capture's stitching time per grab, the grabs per
// second the X server gives, the peak memory of tall results, and how often
// random scrolls are placed exactly, reported, or wrongly (which must be never).
#include "FrameMatch.h"
#include "ScrollStitcher.h"
#include "ScrollingPage.h"
#include "TallPng.h"
#include "X11ScrollDisplay.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Stitches a scroll down to `height` rows and writes the PNG; returns false on any failure.
bool stitchTall(QSize region, int height, bool stitch) {
    ScrollStitcher stitcher(region, 100'000);
    std::mt19937 random(7);
    for (int position = 0; position + region.height() <= height;
         position += 200 + int(random() % 300u)) {
        const QImage frame = endlessPageFrame(position, region);
        if (stitch && stitcher.add(frame, std::nullopt) == ScrollStitcher::Outcome::failed)
            return false;
    }
    QTemporaryDir dir;
    // A result shorter than the scroll would measure less than it claims.
    return !stitch || (stitcher.finish() && stitcher.height() > height - region.height() - 500 &&
                       TallPng::write(stitcher.rows(), dir.filePath("t.png")).isEmpty());
}

// Peak resident memory of a child that runs `work`, in MB.
double peakMegabytes(const std::function<bool()>& work) {
    const pid_t child = fork();
    if (child == 0)
        _exit(work() ? 0 : 1);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? double(usage.ru_maxrss) / 1024 : -1;
}

void stitchingTime(QSize region) {
    const ScrollingPage page(region.width(), 6000, region.height(), 3);
    std::mt19937 random(11);
    std::vector<double> stitch;
    std::vector<double> hash;
    ScrollStitcher stitcher(region, 100'000);
    int position = 0;
    stitcher.add(page.frame(0, false));
    while (position + 200 < page.lastPosition()) {
        position += 20 + int(random() % 160u);
        const QImage frame = page.frame(position, false);
        QElapsedTimer clock;
        clock.start();
        FrameMatch::rowHashes(frame);
        hash.push_back(double(clock.nsecsElapsed()) / 1e6);
        clock.restart();
        stitcher.add(frame);
        stitch.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("| stitching one grab | ms | %dx%d, %zu grabs | %.2f | %.2f | %.1f |\n",
                region.width(), region.height(), stitch.size(), median(stitch), median(hash),
                median(stitch) / median(hash));
}

void grabRate(QSize region) {
    X11ScrollDisplay display;
    if (!display.isOpen()) {
        std::printf("| grabs per second | 1/s | %dx%d | (no X display) | | |\n", region.width(),
                    region.height());
        return;
    }
    std::vector<double> grab;
    for (int i = 0; i < 60; ++i) {
        QElapsedTimer clock;
        clock.start();
        display.grab(QRect(QPoint(0, 0), region));
        grab.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("| grabs per second, grab alone | 1/s | %dx%d, 60 grabs | %.0f | | |\n",
                region.width(), region.height(), 1000 / median(grab));
    // The loop grabs, compares with the last grab and stitches.
    const ScrollingPage page(region.width(), 6000, region.height(), 5);
    ScrollStitcher stitcher(region, 100'000);
    std::vector<double> loop;
    for (int i = 0; i < 40; ++i) {
        const QImage frame = page.frame(i * 97, false);
        QElapsedTimer clock;
        clock.start();
        display.grab(QRect(QPoint(0, 0), region));
        stitcher.add(frame);
        loop.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf(
        "| grabs per second, grab and stitch | 1/s | %dx%d, 40 grabs | %.0f | %.0f | %.2f |\n",
        region.width(), region.height(), 1000 / median(loop), 1000 / median(grab),
        median(grab) / median(loop));
}

void accuracy(bool sent) {
    const QSize region(800, 600);
    const ScrollingPage page(region.width(), 30'000, region.height(), 21);
    std::mt19937 random(sent ? 5 : 3);
    int exact = 0, reported = 0, wrong = 0, jumps = 0;
    for (int i = 0; i < 1000; ++i) {
        const int offset = 1 + int(random() % 700u); // beyond 534 nothing overlaps
        const int from = int(random() % unsigned(page.lastPosition() - offset));
        ScrollStitcher stitcher(region, 100'000);
        stitcher.add(page.frame(from, false));
        const auto outcome = stitcher.add(page.frame(from + offset, true),
                                          sent ? std::optional(offset) : std::nullopt);
        jumps += offset > 534;
        if (outcome != ScrollStitcher::Outcome::appended)
            ++reported;
        else if (stitcher.lastOffset() == offset)
            ++exact;
        else
            ++wrong;
    }
    std::printf("| accuracy, %s | scrolls | 1000 (800x600, 1..700 px, %d past the region) | "
                "%d exact, %d reported, %d wrong | | |\n",
                sent ? "scroll sent (Auto-scroll)" : "wheel by hand", jumps, exact, reported,
                wrong);
}

} // namespace

int main(int argc, char** argv) {
    // Memory first, before this process has grown: each child inherits it.
    const double base20 = peakMegabytes([] { return stitchTall({1600, 1000}, 20'000, false); });
    const double peak20 = peakMegabytes([] { return stitchTall({1600, 1000}, 20'000, true); });
    const double base100 = peakMegabytes([] { return stitchTall({1600, 1000}, 100'000, false); });
    const double peak100 = peakMegabytes([] { return stitchTall({1600, 1000}, 100'000, true); });
    QCoreApplication app(argc, argv);
    std::printf(
        "| figure | unit | input | median | baseline | ratio |\n|---|---|---|---|---|---|\n");
    std::printf(
        "| peak memory, stitched and written | MB | 1600x20,000 (RGBA %.0f MB) | %.0f | %.0f "
        "| %.2f |\n",
        1600.0 * 20'000 * 4 / 1e6, peak20, base20, peak20 / base20);
    std::printf("| peak memory, stitched and written | MB | 1600x100,000 (RGBA %.0f MB) | %.0f | "
                "%.0f | %.2f |\n",
                1600.0 * 100'000 * 4 / 1e6, peak100, base100, peak100 / base100);
    for (const QSize region : {QSize(800, 600), QSize(1600, 1000)})
        stitchingTime(region);
    for (const QSize region : {QSize(800, 600), QSize(1600, 1000)})
        grabRate(region);
    accuracy(false);
    accuracy(true);
    std::printf("\nBaselines: hashing the grab's rows alone; the grab alone; the same frames "
                "drawn without stitching.\n");
    return 0;
}
