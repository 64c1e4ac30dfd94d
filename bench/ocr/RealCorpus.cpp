#include "RealCorpus.h"

#include "JunkTally.h"
#include "RecallTally.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace RealCorpus {

namespace {

QString groupOf(const QString& path) {
    const QSize size = QImageReader(path).size();
    const double megapixels = double(size.width()) * size.height() / 1e6;
    if (megapixels <= 0.5)
        return QStringLiteral("small");
    return megapixels >= 2 ? QStringLiteral("large") : QStringLiteral("medium");
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A string shown in other pictures of the set but not in this one: finding it
// here is a false hit. Short strings are left out, since a substring search
// finds them inside longer words.
bool isDistinctive(const QString& text) {
    return RecallTally::languageOf(text) == u"ja" ? text.size() >= 3 : text.size() >= 5;
}

struct Tally {
    QMap<QString, RecallTally> recall; // by language
    int falseHits = 0;
    int absentChecked = 0;
    QStringList falseHitList;
    JunkTally junk; // over the pictures transcribed in full
};

Tally tally(const QList<BenchImage>& images, const QList<BenchImage>& everything,
            const QHash<QString, QString>& texts, const QHash<QString, QString>& transcriptions) {
    QSet<QString> vocabulary;
    for (const BenchImage& image : everything) {
        for (const QString& text : image.words)
            vocabulary.insert(text);
    }
    Tally result;
    for (const BenchImage& image : images) {
        const QString text = texts.value(image.path);
        RecallTally::addByLanguage(result.recall, image, text);
        const QString transcription = transcriptions.value(QFileInfo(image.path).fileName());
        if (!transcription.isEmpty())
            result.junk.add(text, transcription);
        const QString shown = image.words.join(u'\n');
        for (const QString& other : vocabulary) {
            if (!isDistinctive(other) || shown.contains(other, Qt::CaseInsensitive))
                continue;
            ++result.absentChecked;
            if (text.contains(other, Qt::CaseInsensitive)) {
                ++result.falseHits;
                result.falseHitList.append(QFileInfo(image.path).fileName() + QStringLiteral(": ") +
                                           other);
            }
        }
    }
    return result;
}

struct Figures {
    double wallSeconds = 0;
    double cpuPerImage = 0;
    double peakMegabytes = 0;
    Tally tally;
};

Figures figures(const QList<BenchImage>& images, const QList<BenchImage>& everything,
                const std::vector<BenchRun>& runs, const QHash<QString, QString>& transcriptions) {
    Figures result;
    std::vector<double> wall, cpu, peak;
    for (const BenchRun& run : runs) {
        wall.push_back(run.wallSeconds);
        cpu.push_back(run.cpuSeconds / double(images.size()));
        peak.push_back(double(run.peakKilobytes) / 1024);
    }
    result.wallSeconds = median(wall);
    result.cpuPerImage = median(cpu);
    result.peakMegabytes = median(peak);
    result.tally = tally(images, everything, runs.front().text, transcriptions);
    return result;
}

QString spread(const std::vector<BenchRun>& baseline, const std::vector<BenchRun>& helper) {
    QStringList ratios;
    for (std::size_t i = 0; i < std::min(baseline.size(), helper.size()); ++i)
        ratios.append(QString::number(baseline[i].wallSeconds / helper[i].wallSeconds, 'f', 2));
    return ratios.join(QStringLiteral(", "));
}

void printGroup(const QString& group, const QList<BenchImage>& images, const Figures& baseline,
                const Figures& helper, const QString& ratios) {
    double pixels = 0;
    for (const BenchImage& image : images) {
        const QSize size = QImageReader(image.path).size();
        pixels += double(size.width()) * size.height();
    }
    std::printf("\n%s: %lld pictures, %.2f megapixels on average\n\n", qPrintable(group),
                static_cast<long long>(images.size()), pixels / 1e6 / double(images.size()));
    std::printf("| %-26s | %-10s | %18s | %10s | %7s |\n", "figure", "unit", "tesseract per file",
                "qxc ocr", "ratio");
    std::printf("|----------------------------|------------|--------------------|------------|"
                "---------|\n");
    const double perMinute = 60.0 * double(images.size());
    std::printf("| %-26s | %-10s | %18.1f | %10.1f | %6.2fx |\n", "images per minute", "images/min",
                perMinute / baseline.wallSeconds, perMinute / helper.wallSeconds,
                baseline.wallSeconds / helper.wallSeconds);
    std::printf("| %-26s | %-10s | %18.3f | %10.3f | %6.2fx |\n", "CPU per image", "s",
                baseline.cpuPerImage, helper.cpuPerImage,
                baseline.cpuPerImage / helper.cpuPerImage);
    std::printf("| %-26s | %-10s | %18.0f | %10.0f | %7s |\n", "peak memory", "MB/process",
                baseline.peakMegabytes, helper.peakMegabytes, "");
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("ja")}) {
        const RecallTally b = baseline.tally.recall.value(language);
        const RecallTally h = helper.tally.recall.value(language);
        const QByteArray figure =
            QStringLiteral("recall %1 (%2 strings)").arg(language).arg(h.total).toUtf8();
        std::printf("| %-26s | %-10s | %18.1f | %10.1f | %7s |\n", figure.constData(), "%",
                    b.percent(), h.percent(), "");
    }
    // A reader that finds less has less to read: CPU per string found
    // compares the two on the work each gets done.
    const auto cpuPerFound = [&](const Figures& f) {
        RecallTally all;
        for (const RecallTally& recall : f.tally.recall)
            all.add(recall);
        return all.found == 0 ? 0.0 : 1000.0 * f.cpuPerImage * double(images.size()) / all.found;
    };
    const double baselinePerFound = cpuPerFound(baseline);
    const double helperPerFound = cpuPerFound(helper);
    std::printf("| %-26s | %-10s | %18.1f | %10.1f | %6.2fx |\n", "CPU per string found", "ms",
                baselinePerFound, helperPerFound,
                helperPerFound > 0 ? baselinePerFound / helperPerFound : 0.0);
    const auto falseHitPercent = [](const Tally& t) {
        return t.absentChecked == 0 ? 0.0 : 100.0 * t.falseHits / t.absentChecked;
    };
    const QByteArray checked =
        QStringLiteral("false hits (of %1)").arg(helper.tally.absentChecked).toUtf8();
    std::printf("| %-26s | %-10s | %11d %5.2f%% | %3d %5.2f%% | %7s |\n", checked.constData(),
                "count, %", baseline.tally.falseHits, falseHitPercent(baseline.tally),
                helper.tally.falseHits, falseHitPercent(helper.tally), "");
    const JunkTally& junk = helper.tally.junk;
    const JunkTally& baselineJunk = baseline.tally.junk;
    if (junk.words > 0 || baselineJunk.words > 0) {
        const QByteArray words = QStringLiteral("words read, transcribed").toUtf8();
        std::printf("| %-26s | %-10s | %18d | %10d | %7s |\n", words.constData(), "count",
                    baselineJunk.words, junk.words, "");
        std::printf("| %-26s | %-10s | %18.1f | %10.1f | %7s |\n", "junk", "%",
                    baselineJunk.percent(), junk.percent(), "");
        std::printf("| %-26s | %-10s | %18.1f | %10.1f | %7s |\n", "  of which misreadings", "%",
                    baselineJunk.misreadPercent(), junk.misreadPercent(), "");
    }
    std::printf("\nwall-time ratio by round: %s\n", qPrintable(ratios));
    for (const QString& hit : helper.tally.falseHitList)
        std::printf("  false hit, qxc ocr: %s\n", qPrintable(hit));
}

} // namespace

QList<BenchImage> load(const QString& folder, const QString& truthFile, QString& error) {
    QFile file(truthFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QStringLiteral("cannot read %1").arg(truthFile);
        return {};
    }
    QMap<QString, QStringList> strings;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QString name = line.section(u'\t', 0, 0);
        const QString text = line.section(u'\t', 1);
        if (!text.isEmpty())
            strings[name].append(text);
    }
    QList<BenchImage> images;
    for (auto it = strings.cbegin(); it != strings.cend(); ++it) {
        const QString path = folder + u'/' + it.key();
        if (!QFileInfo::exists(path)) {
            error = QStringLiteral("%1 is missing: run make-corpus.sh").arg(path);
            return {};
        }
        images.append({path, QString(), groupOf(path), it.value()});
    }
    return images;
}

void measure(const QList<BenchImage>& images, const QString& qxc, const QString& workFolder,
             const Settings& settings) {
    const QHash<QString, QString> transcriptions = JunkTally::load(settings.transcriptions);
    std::printf("\nReal screenshots: `qxc ocr` against `tesseract IMAGE - -l jpn+eng` per file, "
                "%d at a time, OMP_THREAD_LIMIT=1; median of %d rounds\n",
                settings.parallel, settings.rounds);
    for (const QString& group :
         {QStringLiteral("small"), QStringLiteral("medium"), QStringLiteral("large")}) {
        QList<BenchImage> members;
        std::copy_if(images.cbegin(), images.cend(), std::back_inserter(members),
                     [&](const BenchImage& image) { return image.group == group; });
        if (members.isEmpty())
            continue;
        std::vector<BenchRun> baseline, helper;
        for (int round = 0; round < settings.rounds; ++round) {
            if (round % 2 == 0)
                baseline.push_back(
                    BenchRuns::tesseractPerFile(members, workFolder, settings.parallel));
            helper.push_back(BenchRuns::qxcOcr(members, qxc, workFolder));
            if (round % 2 == 1)
                baseline.push_back(
                    BenchRuns::tesseractPerFile(members, workFolder, settings.parallel));
        }
        printGroup(group, members, figures(members, images, baseline, transcriptions),
                   figures(members, images, helper, transcriptions), spread(baseline, helper));
        std::fflush(stdout);
    }
}

} // namespace RealCorpus
