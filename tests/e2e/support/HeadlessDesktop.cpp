#include "HeadlessDesktop.h"

#include "XSession.h"

#include <QDeadlineTimer>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace {

HeadlessDesktop* currentDesktop = nullptr;

// Starts `program` tied to the test and returns the first line it prints.
QByteArray firstLineOf(QProcess& process, const QString& program, const QStringList& arguments) {
    HeadlessDesktop::tieToThisProcess(process);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    const QDeadlineTimer deadline(20'000);
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

HeadlessDesktop::HeadlessDesktop(QSize screen) {
    currentDesktop = this;
    qunsetenv("WAYLAND_DISPLAY");
    // -displayfd picks a free display number and writes it to the given descriptor.
    const QByteArray display =
        firstLineOf(xvfb_, "Xvfb",
                    {"-displayfd", "1", "-screen", "0",
                     QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                     "-nolisten", "tcp", "-noreset"});
    qputenv("DISPLAY", ":" + display);
    const QByteArray bus =
        firstLineOf(bus_, "dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
    ready_ = !display.isEmpty() && !bus.isEmpty();
}

HeadlessDesktop::~HeadlessDesktop() {
    currentDesktop = nullptr;
    stopTray();
    stop(bus_);
    stop(xvfb_);
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
