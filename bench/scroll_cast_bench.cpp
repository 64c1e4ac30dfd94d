// scroll_cast_bench: qxscroll's pictures over PipeWire, as a Wayland
// desktop's screen cast sends them, against X11 grabs in the same run: the
// frames per second that taking a picture and stitching it keep up with, from
// an output of 1920x1080 at scale 2 (3840x2160 pixels), and the peak memory of
// a 20,000 and a 100,000 px result. The stream comes from this program, with
// PipeWire and WirePlumber on a headless desktop; the pictures are taken and
// stitched in a child process, the way qxscroll does, so its memory is its own.
#include "HeadlessDesktop.h"
#include "OutputPictureStream.h"
#include "PipeWireFrames.h"
#include "SandboxHome.h"
#include "ScrollStitcher.h"
#include "ScrollingPage.h"
#include "SwayDesktop.h"
#include "TallPng.h"
#include "X11ScrollDisplay.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const QSize output(3840, 2160);
const QPoint hole(200, 300); // where the scrolling page shows on the output
constexpr int rowsPerPicture = 97;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// This process's peak resident memory in MB, from the kernel's own count.
// (A child's ru_maxrss would also hold the parent's size at the fork.)
double ownPeakMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

int connectTo(const char* socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath, sizeof(address.sun_path) - 1);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
        return -1;
    return fd;
}

// The child: takes pictures of `region` from the stream of `node` and
// stitches them, for `seconds` or until the result is `height` tall (then
// written). Prints the pictures stitched, the time and the median
// milliseconds of one stitch.
int consume(const char* socket, unsigned node, QRect region, int height, double seconds) {
    QString problem;
    std::unique_ptr<PipeWireFrames> frames =
        PipeWireFrames::open(connectTo(socket), node, &problem);
    if (!frames)
        return 1;
    frames->keep(region);
    ScrollStitcher stitcher(region.size(), 100'000);
    qint64 last = 0;
    int stitched = 0;
    std::vector<double> stitch;
    QElapsedTimer clock;
    QElapsedTimer since;
    since.start();
    while (since.elapsed() < seconds * 1000 && (height == 0 || stitcher.height() < height)) {
        if (!frames->problem().isEmpty())
            return 1;
        const QImage picture = frames->newest();
        if (picture.isNull() || picture.cacheKey() == last) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
            continue;
        }
        last = picture.cacheKey();
        clock.start();
        const ScrollStitcher::Outcome outcome = stitcher.add(picture);
        // A picture missed on the way to a tall result leaves a gap no later one mends.
        if (outcome == ScrollStitcher::Outcome::failed ||
            (height > 0 && outcome == ScrollStitcher::Outcome::lost)) {
            std::fprintf(stderr, "scroll_cast_bench: stitching stopped at %d px\n",
                         stitcher.height());
            return 1;
        }
        if (outcome == ScrollStitcher::Outcome::full)
            break;
        stitch.push_back(double(clock.nsecsElapsed()) / 1e6);
        ++stitched;
    }
    if (height > 0) {
        QTemporaryDir dir;
        // The last picture that fits below 100,000 px may end short of it.
        if (stitcher.height() < std::min(height, 100'000 - region.height()) || !stitcher.finish() ||
            !TallPng::write(stitcher.rows(), dir.filePath("t.png")).isEmpty())
            return 1;
    }
    std::printf("%d %llu %.3f %.3f %.1f\n", stitched,
                static_cast<unsigned long long>(frames->received()), double(since.elapsed()) / 1000,
                median(stitch), ownPeakMb());
    return 0;
}

struct Consumed {
    int pictures = 0;
    unsigned long long received = 0;
    double seconds = 0;
    double stitchMs = 0;
    double peakMb = 0;
};

// Runs this program as the child above; what it printed and its peak memory.
std::optional<Consumed> runConsumer(const QString& socket, unsigned node, QRect region, int height,
                                    double seconds) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return std::nullopt;
    const QByteArray arguments[] = {"--consume",
                                    socket.toLocal8Bit(),
                                    QByteArray::number(node),
                                    QByteArray::number(region.x()),
                                    QByteArray::number(region.y()),
                                    QByteArray::number(region.width()),
                                    QByteArray::number(region.height()),
                                    QByteArray::number(height),
                                    QByteArray::number(seconds)};
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        std::vector<char*> argv{const_cast<char*>("scroll_cast_bench")};
        for (const QByteArray& argument : arguments)
            argv.push_back(const_cast<char*>(argument.constData()));
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    // The stream runs on this thread's event loop while the child works.
    QByteArray printed;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0)
        QTest::qWait(5);
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        printed.append(buffer, n);
    close(pipeFds[0]);
    Consumed consumed;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(printed.constData(), "%d %llu %lf %lf %lf", &consumed.pictures,
                    &consumed.received, &consumed.seconds, &consumed.stitchMs,
                    &consumed.peakMb) != 5)
        return std::nullopt;
    return consumed;
}

// The same stitching without PipeWire, pictures drawn in the process itself.
double plainPeakMb(QSize region, int height) {
    const pid_t child = fork();
    if (child == 0) {
        ScrollStitcher stitcher(region, 100'000);
        for (int position = 0; stitcher.height() < height; position += rowsPerPicture) {
            const ScrollStitcher::Outcome outcome =
                stitcher.add(endlessPageFrame(position, region));
            if (outcome == ScrollStitcher::Outcome::full)
                break;
            if (outcome != ScrollStitcher::Outcome::appended && position > 0)
                _exit(1);
        }
        QTemporaryDir dir;
        const bool written =
            stitcher.finish() && TallPng::write(stitcher.rows(), dir.filePath("t.png")).isEmpty();
        _exit(written ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? double(usage.ru_maxrss) / 1024 : -1;
}

// An output whose `region` scrolls down an endless page, `step` rows each picture.
struct ScrollingOutput {
    ScrollingOutput(QRect region, int step)
        : region(region)
        , step(step)
        , background(output, QImage::Format_RGB32) {
        background.fill(QColor(0xe8, 0xe8, 0xe4));
    }
    QImage picture() {
        QImage shown = background;
        QPainter(&shown).drawImage(region.topLeft(), endlessPageFrame(position, region.size()));
        position += step;
        return shown;
    }

    QRect region;
    int step;
    QImage background;
    int position = 0;
};

// Pictures as fast as this program makes them when `height` is 0, a fast
// smooth scroll the child may take only every few pictures of; else thirty a
// second, each a wheel notch further.
std::optional<Consumed> overPipeWire(const SwayDesktop& desktop, QRect region, int height,
                                     double seconds) {
    ScrollingOutput scrolling(region, height ? rowsPerPicture : rowsPerPicture / 5);
    OutputPictureStream stream([&] { return scrolling.picture(); }, output, height ? 33 : 0);
    const unsigned node = stream.start(desktop.pipeWireSocket());
    if (node == 0)
        return std::nullopt;
    return runConsumer(desktop.pipeWireSocket(), node, region, height, seconds);
}

// Grabs of `region` from the X server and stitches of the page's pictures, as
// qxscroll does on X11: the median milliseconds of the two together.
double x11GrabAndStitchMs(QRect region) {
    X11ScrollDisplay display;
    if (!display.isOpen())
        return -1;
    ScrollStitcher stitcher(region.size(), 100'000);
    std::vector<double> loop;
    for (int i = 0; i < 60; ++i) {
        const QImage picture = endlessPageFrame(i * rowsPerPicture / 5, region.size());
        QElapsedTimer clock;
        clock.start();
        display.grab(region);
        stitcher.add(picture);
        loop.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return median(loop);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 10 && std::strcmp(argv[1], "--consume") == 0)
        return consume(
            argv[2], unsigned(std::atoi(argv[3])),
            QRect(std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7])),
            std::atoi(argv[8]), std::atof(argv[9]));
    const QSize memoryRegion(1600, 1000);
    const double plain20 = plainPeakMb(memoryRegion, 20'000);
    const double plain100 = plainPeakMb(memoryRegion, 100'000);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SandboxHome home;
    HeadlessDesktop x11(output);
    const QByteArray xvfbDisplay = qgetenv("DISPLAY");
    QImage plain(1920, 1080, QImage::Format_RGB32);
    plain.fill(Qt::gray);
    SwayDesktop sway({{"HEADLESS-1", {1920, 1080}, {0, 0}, 1, plain}});
    if (!x11.ready() || !sway.ready() || !sway.startPipeWire()) {
        std::fputs("scroll_cast_bench: could not start Xvfb, sway and PipeWire\n", stderr);
        return 1;
    }
    // Sway's Xwayland took DISPLAY over: the X grabs are Xvfb's.
    qputenv("DISPLAY", xvfbDisplay);
    std::printf("| figure | unit | input | PipeWire | X11 | ratio |\n|---|---|---|---|---|---|\n");
    for (const QRect region :
         {QRect(hole, QSize(1600, 1000)), QRect(QPoint(120, 130), QSize(3600, 1900))}) {
        const std::optional<Consumed> cast = overPipeWire(sway, region, 0, 8);
        const double x11Ms = x11GrabAndStitchMs(region);
        if (!cast || x11Ms <= 0) {
            std::fputs("scroll_cast_bench: a run failed\n", stderr);
            return 1;
        }
        const double castRate = cast->pictures / cast->seconds;
        std::printf("| pictures taken and stitched per second | 1/s | %dx%d of 3840x2160, 8 s "
                    "| %.0f | %.0f | %.2f |\n",
                    region.width(), region.height(), castRate, 1000 / x11Ms,
                    castRate * x11Ms / 1000);
        std::printf("| pictures arrived per second (PipeWire); stitched of them | 1/s | %dx%d | "
                    "%.0f | | %.2f |\n",
                    region.width(), region.height(), cast->received / cast->seconds,
                    cast->pictures / double(std::max(1ull, cast->received)));
        std::printf("| peak memory while taking pictures | MB | %dx%d | %.0f | | |\n",
                    region.width(), region.height(), cast->peakMb);
        std::printf("| stitching one picture (PipeWire) / grab and stitch (X11) | ms | %dx%d "
                    "| %.1f | %.1f | %.2f |\n",
                    region.width(), region.height(), cast->stitchMs, x11Ms, cast->stitchMs / x11Ms);
    }
    for (const auto& [height, plain] : {std::pair{20'000, plain20}, std::pair{100'000, plain100}}) {
        const std::optional<Consumed> cast =
            overPipeWire(sway, QRect(hole, memoryRegion), height, 600);
        if (!cast) {
            std::fputs("scroll_cast_bench: a tall run failed\n", stderr);
            return 1;
        }
        std::printf("| peak memory, stitched and written | MB | 1600x%d from 3840x2160 "
                    "| %.0f | %.0f (no stream) | %.2f |\n",
                    height, cast->peakMb, plain, cast->peakMb / plain);
    }
    std::printf("\nX11: XGetImage of the region from Xvfb, then the stitch. PipeWire: pictures "
                "as fast as this program makes them (about as fast as it can copy a 3840x2160 "
                "picture twice), cut on PipeWire's thread and stitched in a child process; the "
                "stitch alone is timed on the child's main thread.\n");
    return 0;
}
