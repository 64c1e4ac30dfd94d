#include "RunningProgram.h"

#include "HeadlessDesktop.h"

#include <QTest>

#include <csignal>

QString RunningProgram::path(const QString& name) {
    return QStringLiteral(GLIMBER_BIN_DIR "/") + name;
}

RunningProgram::RunningProgram(const QString& name, const QStringList& arguments,
                               const QProcessEnvironment& environment) {
    HeadlessDesktop::tieToThisProcess(process_);
    process_.setProcessEnvironment(environment);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.start(path(name), arguments);
    process_.waitForStarted(10'000);
}

RunningProgram::~RunningProgram() {
    if (!running())
        return;
    // Children first: a capture tool would outlive a killed parent.
    for (const QString& name : {QStringLiteral("qxcapture"), QStringLiteral("qxocr")}) {
        if (const std::optional<qint64> pid = child(name))
            ::kill(pid_t(*pid), SIGKILL);
    }
    process_.kill();
    process_.waitForFinished(5000);
}

bool RunningProgram::waitForExit(int timeoutMs) {
    return QTest::qWaitFor([this] { return !running(); }, timeoutMs);
}

std::optional<qint64> RunningProgram::child(const QString& name) const {
    QProcess pgrep;
    pgrep.start("pgrep", {"-P", QString::number(pid()), "-x", name});
    pgrep.waitForFinished();
    bool found = false;
    const qint64 child = pgrep.readAllStandardOutput().split('\n').first().toLongLong(&found);
    return found ? std::optional(child) : std::nullopt;
}

QByteArray runToEnd(const QString& program, const QStringList& arguments, int* exitCode) {
    QProcess process;
    HeadlessDesktop::tieToThisProcess(process);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    // The event loop keeps turning meanwhile: the program may be asking this
    // process for the clipboard.
    (void)QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 30'000);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAllStandardOutput();
}
