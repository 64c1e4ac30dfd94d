#include "WarmOcrHelper.h"

#include "OcrRun.h"

#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <utility>

WarmOcrHelper::WarmOcrHelper(QString helperPath, Timing timing, QObject* parent)
    : QObject(parent)
    , helperPath_(std::move(helperPath))
    , timing_(timing) {
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, [this] {
        if (!helper_ || !requests_.empty())
            return;
        // Closing its input ends the helper; a picture given meanwhile goes to a fresh one.
        QProcess* resting = std::exchange(helper_, nullptr);
        resting->disconnect(this);
        connect(resting, &QProcess::finished, resting, &QObject::deleteLater);
        resting->closeWriteChannel();
        pending_.clear();
    });
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        helperEnded(QStringLiteral("the text recogniser gave no answer within %1 s")
                        .arg(timing_.pictureMs / 1000));
    });
}

WarmOcrHelper::~WarmOcrHelper() {
    if (helper_) {
        helper_->disconnect(this);
        helper_->kill();
        helper_->waitForFinished(1000);
    }
}

bool WarmOcrHelper::isRunning() const {
    return helper_ && helper_->state() != QProcess::NotRunning;
}

qint64 WarmOcrHelper::processId() const {
    return helper_ ? helper_->processId() : 0;
}

void WarmOcrHelper::warmUp() {
    restartIdleTime();
    if (helper_)
        return;
    if (!QFileInfo::exists(helperPath_)) {
        startFailure_ = QStringLiteral("the text recogniser %1 is missing").arg(helperPath_);
        return;
    }
    helper_ = new QProcess(this);
    helper_->setProgram(helperPath_);
    helper_->setArguments({QStringLiteral("--warm")});
    helper_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(helper_, &QProcess::readyReadStandardOutput, this, &WarmOcrHelper::answerLines);
    // Only the helper of the moment is heard: one given up on is disconnected.
    connect(helper_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        helperEnded(status == QProcess::CrashExit
                        ? QStringLiteral("the text recogniser crashed")
                        : QStringLiteral("the text recogniser ended (status %1)").arg(code));
    });
    connect(helper_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        startFailure_ = QStringLiteral("the text recogniser could not be started: %1")
                            .arg(helper_->errorString());
        helperEnded(startFailure_);
    });
    helper_->start();
}

void WarmOcrHelper::read(const QString& path, std::function<void(const OcrAnswer&)> done) {
    warmUp();
    if (!helper_) {
        done({std::nullopt, startFailure_, {}, true});
        return;
    }
    // The helper reads one path a line.
    if (path.contains(u'\n') || path.contains(u'\r')) {
        done({std::nullopt, QStringLiteral("the file name holds a line break"), {}});
        return;
    }
    requests_.push_back({path, std::move(done)});
    helper_->write(path.toUtf8() + '\n');
    if (!deadline_.isActive())
        deadline_.start(timing_.pictureMs);
}

void WarmOcrHelper::answerLines() {
    pending_ += helper_->readAllStandardOutput();
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
        const QString line = QString::fromUtf8(pending_.left(end + 1));
        pending_.remove(0, end + 1);
        QHash<QString, QString> errors;
        QHash<QString, QByteArray> words;
        const auto texts = OcrRun::parseNdjson(line, &errors, &words);
        // A line that names no picture given, or is no answer at all, answers nothing.
        const auto request = std::find_if(requests_.begin(), requests_.end(),
                                          [&](const Request& r) { return texts.contains(r.path); });
        if (request == requests_.end())
            continue;
        const Request answered = std::move(*request);
        requests_.erase(request);
        deadline_.stop();
        if (!requests_.empty())
            deadline_.start(timing_.pictureMs);
        answered.done(
            {texts.value(answered.path), errors.value(answered.path), words.value(answered.path)});
    }
    restartIdleTime();
}

void WarmOcrHelper::failAll(const QString& reason) {
    deadline_.stop();
    std::deque<Request> failed;
    failed.swap(requests_);
    for (const Request& request : failed)
        request.done({std::nullopt, reason, {}, true});
}

void WarmOcrHelper::helperEnded(const QString& reason) {
    if (!helper_)
        return;
    QProcess* ended = std::exchange(helper_, nullptr);
    ended->disconnect(this);
    if (ended->state() != QProcess::NotRunning) {
        ended->kill();
        ended->waitForFinished(1000);
    }
    ended->deleteLater();
    pending_.clear();
    failAll(reason);
}

void WarmOcrHelper::restartIdleTime() {
    idle_.start(timing_.idleMs);
}
