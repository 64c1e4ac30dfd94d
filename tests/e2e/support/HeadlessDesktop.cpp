#include "HeadlessDesktop.h"

#include "XSession.h"

#include <QDeadlineTimer>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace {

HeadlessDesktop* currentDesktop = nullptr;

QByteArray firstLine(QProcess& process, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!process.canReadLine() && !deadline.hasExpired())
        process.waitForReadyRead(int(deadline.remainingTime()));
    return process.readLine().trimmed();
}

void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

void HeadlessDesktop::tieToThisProcess(QProcess& process) {
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

HeadlessDesktop& HeadlessDesktop::current() {
    return *currentDesktop;
}

HeadlessDesktop::HeadlessDesktop() {
    currentDesktop = this;
    qunsetenv("WAYLAND_DISPLAY");
    ready_ = startXvfb() && startBus();
}

HeadlessDesktop::~HeadlessDesktop() {
    currentDesktop = nullptr;
    stopTray();
    stop(bus_);
    stop(xvfb_);
}

bool HeadlessDesktop::startXvfb() {
    tieToThisProcess(xvfb_);
    xvfb_.setProcessChannelMode(QProcess::SeparateChannels);
    xvfb_.setStandardErrorFile(QProcess::nullDevice());
    // -displayfd picks a free display number and writes it to the given descriptor.
    xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0",
                         QStringLiteral("%1x%2x24").arg(width).arg(height), "-nolisten", "tcp",
                         "-noreset"});
    const QByteArray display = firstLine(xvfb_, 20'000);
    if (display.isEmpty())
        return false;
    qputenv("DISPLAY", ":" + display);
    return true;
}

bool HeadlessDesktop::startBus() {
    tieToThisProcess(bus_);
    bus_.setStandardErrorFile(QProcess::nullDevice());
    bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    const QByteArray address = firstLine(bus_, 20'000);
    if (address.isEmpty())
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    return true;
}

bool HeadlessDesktop::startTray() {
    tieToThisProcess(tray_);
    tray_.setStandardOutputFile(QProcess::nullDevice());
    tray_.setStandardErrorFile(QProcess::nullDevice());
    tray_.start("trayer",
                {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "32",
                 "--SetDockType", "false", "--transparent", "false", "--expand", "false"});
    XSession x;
    const QDeadlineTimer deadline(20'000);
    while (!x.hasSelectionOwner("_NET_SYSTEM_TRAY_S0")) {
        if (deadline.hasExpired() || tray_.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(20);
    }
    return true;
}

void HeadlessDesktop::stopTray() {
    stop(tray_);
}
