#include "X11MonitorsDesktop.h"

#include "HeadlessDesktop.h"

#include <QDeadlineTimer>
#include <QFile>

#include <unistd.h>

namespace {

// The dummy driver's one output, small, with room for a framebuffer of any
// layout around it.
const char config[] = R"(Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1024x768"
    Virtual 8192 4096
  EndSubSection
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
)";

bool xrandr(const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start("xrandr", arguments);
    return process.waitForFinished(10'000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// RandR's geometry of a monitor: its size in pixels and in millimetres, at 96 dpi.
QString randrGeometry(const QRect& monitor) {
    return QStringLiteral("%1/%2x%3/%4+%5+%6")
        .arg(monitor.width())
        .arg(monitor.width() * 254 / 960)
        .arg(monitor.height())
        .arg(monitor.height() * 254 / 960)
        .arg(monitor.x())
        .arg(monitor.y());
}

} // namespace

X11MonitorsDesktop::X11MonitorsDesktop(std::vector<QRect> monitors)
    : previousDisplay_(qgetenv("DISPLAY")) {
    QRect framebuffer;
    for (const QRect& monitor : monitors)
        framebuffer |= monitor;
    ready_ = geteuid() == 0 && framebuffer.topLeft() == QPoint(0, 0) && startXorg() &&
             layOut(monitors, framebuffer.size());
}

X11MonitorsDesktop::~X11MonitorsDesktop() {
    qputenv("DISPLAY", previousDisplay_);
    xorg_.terminate();
    if (!xorg_.waitForFinished(3000)) {
        xorg_.kill();
        xorg_.waitForFinished(3000);
    }
}

bool X11MonitorsDesktop::startXorg() {
    QFile file(folder_.filePath("xorg.conf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != qint64(sizeof config - 1) ||
        !file.flush())
        return false;
    file.close();
    HeadlessDesktop::tieToThisProcess(xorg_);
    xorg_.setStandardErrorFile(QProcess::nullDevice());
    // -displayfd picks a free display number and writes it to the given descriptor.
    xorg_.start("Xorg",
                {"-config", file.fileName(), "-logfile", folder_.filePath("Xorg.log"), "-displayfd",
                 "1", "-noreset", "-nolisten", "tcp", "-novtswitch", "-sharevts"});
    const QDeadlineTimer deadline(20'000);
    while (!xorg_.canReadLine() && !deadline.hasExpired())
        xorg_.waitForReadyRead(int(deadline.remainingTime()));
    const QByteArray display = xorg_.readLine().trimmed();
    if (display.isEmpty())
        return false;
    qputenv("DISPLAY", ":" + display);
    return true;
}

bool X11MonitorsDesktop::layOut(const std::vector<QRect>& monitors, QSize framebuffer) {
    // The output shows the whole framebuffer, since an X server keeps the
    // pointer where some output shows; a mode of that size at 30 Hz.
    const int width = framebuffer.width();
    const int height = framebuffer.height();
    const QString clock = QString::number((width + 160) * (height + 20) * 30 / 1e6, 'f', 2);
    const QStringList mode{"glimber-layout",
                           clock,
                           QString::number(width),
                           QString::number(width + 48),
                           QString::number(width + 80),
                           QString::number(width + 160),
                           QString::number(height),
                           QString::number(height + 3),
                           QString::number(height + 8),
                           QString::number(height + 20)};
    if (!xrandr(QStringList{"--newmode"} + mode) ||
        !xrandr({"--addmode", "DUMMY0", "glimber-layout"}) ||
        !xrandr({"--output", "DUMMY0", "--mode", "glimber-layout"}))
        return false;
    // The first monitor takes the output, which ends the output's own
    // monitor; the others show parts of it without an output of their own.
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        if (!xrandr({"--setmonitor", QStringLiteral("GLIMBER-%1").arg(i),
                     randrGeometry(monitors[i]), i == 0 ? "DUMMY0" : "none"}))
            return false;
    }
    return true;
}
