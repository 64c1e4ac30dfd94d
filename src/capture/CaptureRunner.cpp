#include "CaptureRunner.h"

#include "ConfigStore.h"
#include "ExecutableLocation.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QtConcurrent>

QStringList CaptureRunner::regionArguments() {
    return {QStringLiteral("-i")};
}

QStringList CaptureRunner::windowArguments() {
    return {QStringLiteral("-iw")};
}

QStringList CaptureRunner::screensArguments() {
    return {QStringLiteral("--screens")};
}

CaptureRunner::CaptureRunner(QString helperFolder, QObject* parent)
    : QObject(parent)
    , helperFolder_(helperFolder.isEmpty() ? ExecutableLocation::directory()
                                           : std::move(helperFolder)) {}

QString CaptureRunner::reserveOutput(const QString& ending) {
    // Resolved for every capture, so a folder changed in the settings applies at
    // once, and created every time, so a deleted folder comes back.
    const QString folder = ConfigStore::resolveCaptureDir();
    QDir().mkpath(folder);
    return namer_.reserve(folder, clock_(), ending);
}

namespace {

// The tool's last line of its own on standard error, without its name: the
// reason it gave for writing nothing. Qt's own warnings may come before it.
QString complaintOf(const QByteArray& standardError) {
    const QByteArray prefix = "qxcapture: ";
    const QList<QByteArray> lines = standardError.split('\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (line->startsWith(prefix))
            return QString::fromUtf8(line->mid(prefix.size())).trimmed();
    }
    return {};
}

} // namespace

void CaptureRunner::runCapture(const QStringList& toolArguments) {
    const QString path = reserveOutput(QStringLiteral(".png"));
    startTool(toolArguments, path, [this, path](Outcome outcome, const QString& detail) {
        if (outcome == Outcome::written)
            collect(path);
        else
            Q_EMIT captureFinished(path, outcome, detail);
    });
}

void CaptureRunner::runCaptureInto(const QString& path, const QStringList& toolArguments,
                                   const Ended& ended) {
    startTool(toolArguments, path, ended);
}

void CaptureRunner::startTool(const QStringList& toolArguments, const QString& path,
                              const Ended& ended) {
    auto* tool = new QProcess(this);
    tool->setProgram(QDir(helperFolder_).filePath(QStringLiteral("qxcapture")));
    tool->setArguments(toolArguments + QStringList{path});
    tool->setStandardInputFile(QProcess::nullDevice());
    tool->setStandardOutputFile(QProcess::nullDevice());
    // However long the user takes. Without a file, the exit status tells a
    // cancel (1) from a capture that could not be written (2, or a crash).
    connect(tool, &QProcess::finished, this,
            [tool, path, ended](int exitCode, QProcess::ExitStatus status) {
                tool->deleteLater();
                const bool failed = status == QProcess::CrashExit || exitCode >= 2;
                if (QFileInfo::exists(path))
                    ended(Outcome::written, {});
                else
                    ended(failed ? Outcome::failed : Outcome::noFile,
                          failed ? complaintOf(tool->readAllStandardError()) : QString());
            });
    connect(tool, &QProcess::errorOccurred, this, [tool, ended](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        tool->deleteLater();
        ended(Outcome::toolNotStarted,
              tool->program() + QStringLiteral(": ") + tool->errorString());
    });
    tool->start();
}

void CaptureRunner::collect(const QString& path) {
    auto* decoding = new QFutureWatcher<QImage>(this);
    connect(decoding, &QFutureWatcher<QImage>::finished, this, [this, decoding, path] {
        decoding->deleteLater();
        const QImage image = decoding->result();
        if (image.isNull())
            return Q_EMIT captureFinished(path, Outcome::unreadable, {});
        QGuiApplication::clipboard()->setImage(image);
        Q_EMIT captureFinished(path, Outcome::copied, {});
    });
    decoding->setFuture(QtConcurrent::run([path] { return QImage(path); }));
}

bool CaptureRunner::startScrollCapture() {
    const QString output = reserveOutput(QStringLiteral(" scroll.png"));
    const QString helper = QDir(helperFolder_).filePath(QStringLiteral("qxscroll"));
    if (!QFileInfo::exists(helper))
        return false;
    // Detached on purpose: the helper writes its file into the save folder when
    // it is done, and nobody here needs to hear about it.
    QProcess process;
    process.setProgram(helper);
    process.setArguments({QStringLiteral("--region"), output});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}
