// qxcapture: the capture tool. It freezes every screen, from the X server
// under X11 or from the compositor under Wayland, and lets the person choose
// on an overlay of its own; or it takes every screen at once (--screens).
// Exit status 0 with the PNG written, 1 when the person cancelled (or another
// capture is choosing in this session), 2 when nothing could be written (the
// reason on standard error); only status 0 leaves a file.
#include "CaptureTool.h"
#include "DesktopFreezer.h"
#include "QxcaptureArguments.h"

#include <QApplication>

#include <cstdio>

namespace {

// A compositor or X server that takes no connection in this time is not there.
constexpr int connectTimeoutMs = 10'000;

} // namespace

int main(int argc, char** argv) {
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw.append(QString::fromLocal8Bit(argv[i]));
    if (raw == QStringList{QStringLiteral("--help")}) {
        std::fputs(qPrintable(QxcaptureArguments::usage()), stdout);
        return 0;
    }
    const std::optional<QxcaptureArguments> arguments = QxcaptureArguments::parse(raw);
    if (!arguments) {
        std::fputs(qPrintable(QxcaptureArguments::usage()), stderr);
        return 2;
    }
    DesktopFreezer freezer(DesktopSession::fromEnvironment());
    QString problem;
    if (!freezer.connect(QDeadlineTimer(connectTimeoutMs), &problem)) {
        std::fprintf(stderr, "qxcapture: %s\n", qUtf8Printable(problem));
        return 2;
    }
    QApplication app(argc, argv);
    // The overlay must not end the program when it hides before the file is written.
    app.setQuitOnLastWindowClosed(false);
    return CaptureTool(*arguments, freezer).run();
}
