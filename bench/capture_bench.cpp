// capture_bench: what qxcapture costs on a desktop of two screens. Under
// headless sway (1280x800 at scale 1 beside 1920x1080 at scale 2, 3.1
// megapixels of outputs) against an X server (Xvfb) with the same number of
// pixels, and against grim taking the same Wayland desktop, in the same run:
// the time from the start to the overlay on every screen, the time of
// --screens, and peak memory. Medians of several rounds; ratios beside them.
#include "HeadlessDesktop.h"
#include "SandboxHome.h"
#include "SwayDesktop.h"
#include "SwayWindows.h"
#include "WaylandInput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <X11/Xlib.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

namespace {

constexpr int rounds = 7;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

QString program(const char* name) {
    return QStringLiteral(GLIMBER_BIN_DIR "/") + QLatin1String(name);
}

// Peak resident memory of a process, in MB, from the kernel's high-water mark.
double peakMegabytes(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

struct Run {
    double milliseconds = 0;
    double megabytes = 0;
};

// Starts a program that goes with the benchmark, quietly; false when it does not start.
bool start(QProcess& process, const QString& path, const QStringList& arguments,
           const QProcessEnvironment& environment) {
    HeadlessDesktop::tieToThisProcess(process);
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(path, arguments);
    return process.waitForStarted();
}

// Runs a program to its end: wall time, and its peak memory from wait4().
std::optional<Run> runToEnd(const QString& path, const QStringList& arguments,
                            const QProcessEnvironment& environment) {
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    if (!start(process, path, arguments, environment))
        return std::nullopt;
    int status = 0;
    rusage usage{};
    if (wait4(pid_t(process.processId()), &status, 0, &usage) < 0 || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return std::nullopt;
    const double elapsed = double(clock.nsecsElapsed()) / 1e6;
    process.waitForFinished(100);
    return Run{elapsed, double(usage.ru_maxrss) / 1024};
}

// Starts qxcapture -i and waits until `shown` says its overlays cover every
// screen: the time to that, and its peak memory then. It is killed after.
std::optional<Run> timeToOverlay(const QProcessEnvironment& environment,
                                 const std::function<bool()>& shown) {
    QProcess tool;
    QElapsedTimer clock;
    clock.start();
    if (!start(tool, program("qxcapture"), {"-i", "/dev/null/never-written.png"}, environment))
        return std::nullopt;
    while (!shown()) {
        if (clock.hasExpired(20'000) || tool.state() == QProcess::NotRunning)
            return std::nullopt;
        QThread::usleep(500);
    }
    const double elapsed = double(clock.nsecsElapsed()) / 1e6;
    // Its first paint follows the mapping.
    QThread::msleep(300);
    const double megabytes = peakMegabytes(tool.processId());
    tool.kill();
    tool.waitForFinished();
    return Run{elapsed, megabytes};
}

// The top-level windows mapped on the X display that cover `screen` exactly.
bool x11OverlayShown(Display* display, QSize screen) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return false;
    bool found = false;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes{};
        found = XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable && attributes.width == screen.width() &&
                attributes.height == screen.height();
    }
    if (children)
        XFree(children);
    return found;
}

struct Figures {
    std::vector<double> overlayMs, overlayMb, screensMs, screensMb;

    bool add(const std::optional<Run>& overlay, const std::optional<Run>& screens) {
        if (!overlay || !screens)
            return false;
        overlayMs.push_back(overlay->milliseconds);
        overlayMb.push_back(overlay->megabytes);
        screensMs.push_back(screens->milliseconds);
        screensMb.push_back(screens->megabytes);
        return true;
    }
};

QProcessEnvironment x11Session() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("XDG_SESSION_TYPE", "x11");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    return environment;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SandboxHome home;
    const QString out = home.file("screens.png");

    // Xvfb of one screen with as many pixels as the two outputs.
    const QSize x11Screen(2560, 1210);
    HeadlessDesktop x11Desktop(x11Screen);
    const QProcessEnvironment x11 = x11Session();
    SwayDesktop sway;
    if (!x11Desktop.ready() || !sway.ready()) {
        std::fputs("capture_bench: could not start Xvfb and sway\n", stderr);
        return 1;
    }
    sway.input().moveTo({20, 780});
    QProcessEnvironment wayland = QProcessEnvironment::systemEnvironment();
    wayland.insert("QT_QPA_PLATFORM", "wayland");

    Display* display = XOpenDisplay(qPrintable(x11.value("DISPLAY")));
    if (!display)
        return 1;
    Figures onSway, onX11;
    std::vector<double> grimMs, grimMb;
    for (int round = 0; round < rounds; ++round) {
        const bool measured =
            onSway.add(timeToOverlay(wayland,
                                     [] {
                                         const auto windows = SwayWindows::topmostFirst();
                                         return windows && windows->size() == 2;
                                     }),
                       runToEnd(program("qxcapture"), {"--screens", out}, wayland)) &&
            onX11.add(timeToOverlay(x11, [&] { return x11OverlayShown(display, x11Screen); }),
                      runToEnd(program("qxcapture"), {"--screens", out}, x11));
        const std::optional<Run> grim = runToEnd("grim", {out}, wayland);
        if (!measured || !grim) {
            std::fputs("capture_bench: a run failed\n", stderr);
            return 1;
        }
        grimMs.push_back(grim->milliseconds);
        grimMb.push_back(grim->megabytes);
    }
    XCloseDisplay(display);

    std::printf("qxcapture on two screens, 3.1 megapixels; medians of %d rounds\n\n", rounds);
    std::printf("%-34s %10s %12s %10s %10s %10s\n", "figure", "sway", "X11 (Xvfb)", "grim",
                "sway/X11", "sway/grim");
    const auto row = [](const char* figure, double sway, double x11, std::optional<double> grim) {
        std::printf("%-34s %10.0f %12.0f %10s %9.2fx %10s\n", figure, sway, x11,
                    grim ? qPrintable(QString::number(*grim, 'f', 0)) : "-", sway / x11,
                    grim ? qPrintable(QString::number(sway / *grim, 'f', 2) + "x") : "-");
    };
    row("start to overlay on every screen, ms", median(onSway.overlayMs), median(onX11.overlayMs),
        median(grimMs));
    row("--screens to the written PNG, ms", median(onSway.screensMs), median(onX11.screensMs),
        median(grimMs));
    row("peak memory with the overlay, MB", median(onSway.overlayMb), median(onX11.overlayMb),
        std::nullopt);
    row("peak memory of --screens, MB", median(onSway.screensMb), median(onX11.screensMb),
        median(grimMb));
    std::puts("\ngrim: the whole Wayland desktop to a PNG file, as --screens writes it.");
    return 0;
}
