// library_bench: how the library window feels with 100,000 shots. Window open
// to the first paint with thumbnails (cold and warm desktop thumbnail cache), a
// keystroke to the updated list, the main thread's longest block while
// scrolling, memory after scrolling, and the making of one thumbnail against a
// plain QImage load and scale of the same file. Baselines run in the same
// process; figures are medians of several runs.
//
//   library_bench --make-screens DIR    (on a display: saves real screenshots)
//   library_bench --data DIR --screens DIR [--rows N] [--runs N]
//                 [--figures making,open,keys,scroll]
#include "FreedesktopThumbnails.h"
#include "LibraryBenchData.h"
#include "LibraryWindowController.h"
#include "ShotListModel.h"
#include "ShotListView.h"
#include "ShotStore.h"
#include "ThumbnailCache.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <vector>

namespace {

// Times every event the main thread handles, outermost only: the longest of
// them is the longest time the window could not react.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_++ > 0 || !recording) {
            const bool handled = QApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        const QString what =
            QString("%1 %2").arg(receiver->metaObject()->className()).arg(int(event->type()));
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        const bool handled = QApplication::notify(receiver, event);
        const double wall = timer.nsecsElapsed() / 1e6;
        const double cpu = threadCpuMs() - cpuStart;
        if (wall > longest) {
            longest = wall;
            longestWhat = what;
        }
        longestCpu = std::max(longestCpu, cpu);
        --depth_;
        return handled;
    }
    void reset() {
        longest = longestCpu = 0;
        longestWhat.clear();
    }
    // The main thread's own processor time: on a busy machine the wall time of
    // an event also holds the time other processes had the processor.
    static double threadCpuMs() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    }
    bool recording = false;
    double longest = 0;
    double longestCpu = 0;
    QString longestWhat;

private:
    int depth_ = 0;
};

TimedApplication* app = nullptr;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double heapMb() {
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / 1048576;
}

double rssMb() {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

void row(const char* figure, double value, const char* unit, const QString& input,
         const QString& baseline = {}) {
    std::printf("| %-46s | %10.1f | %-5s | %-28s | %-34s |\n", figure, value, unit,
                qPrintable(input), qPrintable(baseline));
}

// Runs the event loop until `done` holds; returns the milliseconds it took.
template <typename Done>
double until(Done done, int timeoutMs = 60'000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return timer.nsecsElapsed() / 1e6;
}

bool visibleThumbnailsShown(LibraryView& view) {
    ShotListView* list = view.list();
    if (view.shots().isEmpty() || !list->isVisible())
        return false;
    const QRect area = list->viewport()->rect();
    for (int y = 0; y < area.height(); y += 44) {
        const QModelIndex index = list->indexAt(QPoint(5, y));
        if (index.isValid() && index.data(ShotListModel::ThumbnailRole).isNull() &&
            !index.data(ShotListModel::ThumbnailFailedRole).toBool())
            return false;
    }
    return true;
}

double openToThumbnails(bool warmShared) {
    if (!warmShared)
        QDir(FreedesktopThumbnails::defaultRoot()).removeRecursively();
    ThumbnailCache cache{ThumbnailCache::Budget{}};
    LibraryWindowController controller({.thumbnails = &cache});
    QElapsedTimer timer;
    timer.start();
    controller.show();
    until([&] { return visibleThumbnailsShown(*controller.window()); });
    controller.window()->repaint();
    return timer.nsecsElapsed() / 1e6;
}

void measureOpen(int runs) {
    std::vector<double> cold, warm;
    for (int i = 0; i < runs; ++i) {
        cold.push_back(openToThumbnails(false));
        warm.push_back(openToThumbnails(true));
    }
    row("open -> list and visible thumbnails, cold", median(cold), "ms", "200 rows, 100k shots",
        "desktop thumbnail cache emptied");
    row("open -> list and visible thumbnails, warm", median(warm), "ms", "200 rows, 100k shots",
        QString("ratio cold/warm %1").arg(median(cold) / median(warm), 0, 'f', 1));
}

void measureKeystrokes(int runs) {
    LibraryWindowController controller;
    controller.show();
    int applied = 0;
    QObject::connect(controller.window(), &LibraryView::resultsApplied, [&] { ++applied; });
    until([&] { return !controller.window()->shots().isEmpty(); });
    for (const char* word : {LibraryBenchData::rareWord, LibraryBenchData::commonWord}) {
        std::vector<double> typed, direct;
        int found = 0;
        for (int i = 0; i < runs; ++i) {
            controller.window()->searchField()->clear();
            const int before = applied;
            until([&] { return applied > before; });
            const int start = applied;
            app->reset();
            app->recording = true;
            QElapsedTimer timer;
            timer.start();
            controller.window()->searchField()->setText(word);
            until([&] { return applied > start; });
            typed.push_back(timer.nsecsElapsed() / 1e6);
            app->recording = false;
            found = int(controller.window()->shots().size());
            timer.restart();
            ShotStore::search(word, 200);
            direct.push_back(timer.nsecsElapsed() / 1e6);
        }
        row(qPrintable(QString("keystroke -> list updated, \"%1\"").arg(word)), median(typed), "ms",
            QString("%1 rows found of 100k").arg(found),
            QString("ShotStore::search alone %1 ms").arg(median(direct), 0, 'f', 1));
        row("  longest main-thread block meanwhile (wall)", app->longest, "ms", "",
            QString("its own CPU time at most %1 ms").arg(app->longestCpu, 0, 'f', 1));
    }
}

// Scrolls `rows` rows at three rows a frame, 60 frames a second.
void scroll(LibraryView& view, int rows, std::vector<double>& frames) {
    QScrollBar* bar = view.list()->verticalScrollBar();
    const int target = std::min(bar->maximum(), bar->value() + rows * 88);
    while (bar->value() < target) {
        QElapsedTimer frame;
        frame.start();
        bar->setValue(std::min(target, bar->value() + 3 * 88));
        frames.push_back(frame.nsecsElapsed() / 1e6);
        until([&] { return frame.elapsed() >= 16; });
    }
}

void measureScrolling() {
    QDir(FreedesktopThumbnails::defaultRoot()).removeRecursively();
    const double before = rssMb();
    LibraryWindowController controller(
        {.query = [](const QString&) { return ShotStore::recent(10'000); }});
    controller.show();
    until([&] { return visibleThumbnailsShown(*controller.window()); });
    LibraryView& view = *controller.window();
    std::vector<double> frames;
    app->reset();
    app->recording = true;
    scroll(view, 2000, frames);
    app->recording = false;
    row("scrolling 2,000 rows: longest block (wall)", app->longest, "ms",
        "3 rows a frame, 60 frames/s", "limit 16 ms; " + app->longestWhat);
    row("scrolling 2,000 rows: longest block (main CPU)", app->longestCpu, "ms", "", "limit 16 ms");
    row("scrolling 2,000 rows: scroll step, median", median(frames), "ms", "",
        QString("longest %1 ms").arg(*std::max_element(frames.begin(), frames.end()), 0, 'f', 1));
    const double after2000 = rssMb();
    const double heapAfter2000 = heapMb();
    scroll(view, 4000, frames);
    const double after6000 = rssMb();
    scroll(view, 4000, frames);
    // Scrolling 180 rows a second outruns two decoding threads; the rows that
    // went by are still queued. Drop them, so the figure is the memory the
    // library keeps, not the decodes still to come.
    ThumbnailCache::shared().pool().clear();
    ThumbnailCache::shared().pool().waitForDone();
    until([] { return false; }, 500);
    const double after10000 = rssMb();
    // What the allocator still holds but nothing uses: returned, it shows how
    // much of the figure above is live memory.
    malloc_trim(0);
    row("RSS after scrolling 10,000 rows, trimmed", rssMb(), "MB", "",
        QString("after malloc_trim(0); heap in use %1 MB, %2 after 2,000")
            .arg(heapMb(), 0, 'f', 0)
            .arg(heapAfter2000, 0, 'f', 0));
    row("RSS after scrolling 10,000 rows", after10000, "MB", "10,000-row list",
        QString("%1 MB before opening, %2 after 2,000, %3 after 6,000; cache %4 MB")
            .arg(before, 0, 'f', 0)
            .arg(after2000, 0, 'f', 0)
            .arg(after6000, 0, 'f', 0)
            .arg(ThumbnailCache::shared().bytes() / 1048576.0, 0, 'f', 0));
}

void measureMaking(const QString& root) {
    const QStringList files = LibraryBenchData::distinctFiles(root).mid(0, 40);
    const FreedesktopThumbnails shared(root + "/making-thumbnails");
    QDir(root + "/making-thumbnails").removeRecursively();
    std::vector<double> cold, warm, plain;
    QElapsedTimer timer;
    // Decoded pictures from both paths land here, so neither is optimised away.
    qint64 pixels = 0;
    for (const QString& file : files) {
        timer.start();
        ThumbnailCache::make(file, 160, shared);
        cold.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        ThumbnailCache::make(file, 160, shared);
        warm.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        const QImage scaled =
            QImage(file).scaled(160, 160, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        plain.push_back(timer.nsecsElapsed() / 1e6);
        pixels += scaled.width() * scaled.height();
    }
    const QString input = QString("%1 PNGs of 1-3.7 MP").arg(pixels > 0 ? files.size() : 0);
    row("thumbnail, first time (decode + shared file)", median(cold), "ms", input,
        QString("QImage::load+scaled %1 ms").arg(median(plain), 0, 'f', 1));
    row("thumbnail, shared file already there", median(warm), "ms", input,
        QString("ratio to load+scaled %1").arg(median(warm) / median(plain), 0, 'f', 2));
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const auto option = [&](const char* name, const QString& fallback = {}) {
        const qsizetype at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
    };
    if (args.contains("--make-screens")) {
        QApplication screens(argc, argv);
        const int made = LibraryBenchData::makeScreens(option("--make-screens"));
        std::printf("%d screenshots\n", made);
        return made > 0 ? 0 : 1;
    }
    const QString root = QDir(option("--data", "/tmp/library-bench")).absolutePath();
    qputenv("HOME", QFile::encodeName(root + "/home"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + "/home/.cache"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/home/.config"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TimedApplication application(argc, argv);
    app = &application;
    const int rows = option("--rows", "100000").toInt();
    const int runs = option("--runs", "5").toInt();
    if (!LibraryBenchData::prepare(root, option("--screens", root + "/screens"), rows)) {
        std::fprintf(stderr, "library_bench: could not prepare %s\n", qPrintable(root));
        return 1;
    }
    std::printf("| %-46s | %10s | %-5s | %-28s | %-34s |\n", "figure", "median", "unit", "input",
                "baseline / note");
    std::printf("|%s|%s|%s|%s|%s|\n", QByteArray(48, '-').constData(),
                QByteArray(12, '-').constData(), QByteArray(7, '-').constData(),
                QByteArray(30, '-').constData(), QByteArray(36, '-').constData());
    const QStringList figures = option("--figures", "making,open,keys,scroll").split(',');
    if (figures.contains("making"))
        measureMaking(root);
    if (figures.contains("open"))
        measureOpen(runs);
    if (figures.contains("keys"))
        measureKeystrokes(runs);
    if (figures.contains("scroll"))
        measureScrolling();
    return 0;
}
