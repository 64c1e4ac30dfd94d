#include "RunningProgram.h"

#include "HeadlessDesktop.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>

namespace {

// The parent and the name of a process, from /proc/PID/stat: "pid (name) state ppid ...".
std::optional<std::pair<qint64, QString>> parentAndName(const QString& pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = stat.readAll();
    const qsizetype open = text.indexOf('(');
    const qsizetype close = text.lastIndexOf(')');
    if (open < 0 || close < open)
        return std::nullopt;
    const QList<QByteArray> rest = text.mid(close + 2).split(' ');
    if (rest.size() < 2)
        return std::nullopt;
    return std::make_pair(rest[1].toLongLong(),
                          QString::fromUtf8(text.mid(open + 1, close - open - 1)));
}

} // namespace

QString RunningProgram::path(const QString& name) {
    return QStringLiteral(GLIMBER_BIN_DIR "/") + name;
}

RunningProgram::RunningProgram(const QString& name, const QStringList& arguments,
                               const QProcessEnvironment& environment) {
    HeadlessDesktop::tieToThisProcess(process_);
    process_.setProcessEnvironment(environment);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.setStandardErrorFile(QProcess::nullDevice());
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
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const auto info = parentAndName(entry);
        if (info && info->first == pid() && info->second == name)
            return entry.toLongLong();
    }
    return std::nullopt;
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
