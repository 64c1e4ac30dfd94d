#include "BenchRuns.h"

#include "ChildProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <map>
#include <memory>

namespace BenchRuns {

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

void collectHelperOutput(const QByteArray& output, BenchRun& run) {
    for (const QByteArray& line : output.split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.contains(QStringLiteral("text")))
            run.text.insert(object.value(QStringLiteral("path")).toString(),
                            object.value(QStringLiteral("text")).toString());
    }
}

void account(BenchRun& run, const ChildProcess::Usage& usage) {
    run.cpuSeconds += usage.cpuSeconds;
    run.peakKilobytes = std::max(run.peakKilobytes, usage.peakKilobytes);
}

// Each round starts from an empty index.
QStringList freshHome(const QString& home, const QList<BenchImage>& images) {
    QDir(home).removeRecursively();
    const QString captures = home + QStringLiteral("/.glimvault/captures");
    QDir().mkpath(captures);
    for (const BenchImage& image : images)
        QFile::copy(image.path, captures + u'/' + QFileInfo(image.path).fileName());
    return {QStringLiteral("HOME=") + home,
            QStringLiteral("XDG_CONFIG_HOME=") + home + QStringLiteral("/.config"),
            QStringLiteral("XDG_CACHE_HOME=") + home + QStringLiteral("/.cache"),
            QStringLiteral("XDG_DATA_HOME=") + home + QStringLiteral("/.local/share"),
            QStringLiteral("XDG_PICTURES_DIR=") + home + QStringLiteral("/no-pictures"),
            QStringLiteral("OMP_THREAD_LIMIT")};
}

} // namespace

BenchRun qxcOcr(const QList<BenchImage>& images, const QString& qxc, const QString& workFolder) {
    const QString home = workFolder + QStringLiteral("/qxc-home");
    const QStringList environment = freshHome(home, images);
    const QString output = workFolder + QStringLiteral("/qxc.out");
    BenchRun run;
    QElapsedTimer clock;
    clock.start();
    ChildProcess ocr(qxc, {QStringLiteral("ocr")}, QStringLiteral("/dev/null"), output,
                     environment);
    const ChildProcess::Usage usage = ocr.wait();
    run.wallSeconds = double(clock.nsecsElapsed()) / 1e9;
    account(run, usage);
    ChildProcess listing(qxc,
                         {QStringLiteral("recent"), QStringLiteral("--json"),
                          QStringLiteral("--limit"), QString::number(images.size() + 1)},
                         QStringLiteral("/dev/null"), output, environment);
    listing.wait();
    QHash<QString, QString> byName;
    for (const QByteArray& line : readAll(output).split('\n')) {
        const QJsonObject shot = QJsonDocument::fromJson(line).object();
        const QJsonValue text = shot.value(QStringLiteral("ocrText"));
        if (text.isString())
            byName.insert(shot.value(QStringLiteral("filename")).toString(), text.toString());
    }
    for (const BenchImage& image : images) {
        const auto found = byName.constFind(QFileInfo(image.path).fileName());
        if (found != byName.cend())
            run.text.insert(image.path, *found);
    }
    run.failures = int(images.size() - run.text.size());
    return run;
}

BenchRun qxocr(const QList<BenchImage>& images, const QString& program, const QString& workFolder) {
    QByteArray paths;
    for (const BenchImage& image : images)
        paths += image.path.toUtf8() + '\n';
    const QString input = workFolder + QStringLiteral("/qxocr.in");
    const QString output = workFolder + QStringLiteral("/qxocr.out");
    writeAll(input, paths);
    BenchRun run;
    QElapsedTimer clock;
    clock.start();
    ChildProcess helper(program, {}, input, output, {QStringLiteral("OMP_THREAD_LIMIT")});
    const ChildProcess::Usage usage = helper.wait();
    run.wallSeconds = double(clock.nsecsElapsed()) / 1e9;
    account(run, usage);
    collectHelperOutput(readAll(output), run);
    run.failures = int(images.size() - run.text.size());
    return run;
}

BenchRun tesseractPerFile(const QList<BenchImage>& images, const QString& workFolder,
                          int parallel) {
    BenchRun run;
    std::map<pid_t, std::pair<std::unique_ptr<ChildProcess>, qsizetype>> running;
    const QString nothing = QStringLiteral("/dev/null");
    auto outputOf = [&](qsizetype index) {
        return workFolder + QStringLiteral("/tesseract-%1.txt").arg(index);
    };
    QElapsedTimer clock;
    clock.start();
    qsizetype next = 0;
    while (next < images.size() || !running.empty()) {
        while (next < images.size() && int(running.size()) < parallel) {
            auto child = std::make_unique<ChildProcess>(
                QStringLiteral("tesseract"),
                QStringList{images[next].path, QStringLiteral("-"), QStringLiteral("-l"),
                            QStringLiteral("jpn+eng")},
                nothing, outputOf(next), QStringList{QStringLiteral("OMP_THREAD_LIMIT=1")});
            const pid_t pid = child->pid();
            if (child->started())
                running.emplace(pid, std::make_pair(std::move(child), next));
            else
                ++run.failures;
            ++next;
        }
        const auto [pid, usage] = ChildProcess::waitAny();
        const auto finished = running.find(pid);
        if (finished == running.end())
            break;
        account(run, usage);
        const qsizetype index = finished->second.second;
        if (usage.succeeded)
            run.text.insert(images[index].path, QString::fromUtf8(readAll(outputOf(index))));
        else
            ++run.failures;
        running.erase(finished);
    }
    run.wallSeconds = double(clock.nsecsElapsed()) / 1e9;
    return run;
}

} // namespace BenchRuns
