// ocr_bench: the OCR helper against the plain per-file tesseract command on the
// same pictures in the same run: images per minute, CPU seconds per image, peak
// memory, and recall (the share of known words a substring search finds); on
// rendered scenes and, with --corpus, on screenshots of real programs.
#include "Ablation.h"
#include "BenchImage.h"
#include "BenchRuns.h"
#include "JunkTally.h"
#include "RealCorpus.h"
#include "RecallTally.h"
#include "SingleThreadedOpenMp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QImageReader>
#include <QMap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

struct Settings {
    QString imageFolder;
    bool quick = false;
    int rounds = 3;
    int parallel = 2;
    bool ablation = false;
    QString corpus;
    bool corpusOnly = false;
};

Settings parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Compares qxocr with `tesseract IMAGE - -l jpn+eng` run once per file."));
    parser.addHelpOption();
    const QCommandLineOption images(
        QStringLiteral("images"),
        QStringLiteral("Folder of images to use; an empty one is filled with rendered scenes."),
        QStringLiteral("folder"));
    const QCommandLineOption quick(QStringLiteral("quick"),
                                   QStringLiteral("Render one scene in four."));
    const QCommandLineOption rounds(QStringLiteral("rounds"),
                                    QStringLiteral("Timed rounds of each (default 3)."),
                                    QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption parallel(QStringLiteral("parallel"),
                                      QStringLiteral("tesseract processes at a time (default 2)."),
                                      QStringLiteral("n"), QStringLiteral("2"));
    const QCommandLineOption ablation(
        QStringLiteral("ablation"),
        QStringLiteral("Also measure the helper without each of its preprocessing steps, "
                       "and with each language model alone."));
    const QCommandLineOption corpus(
        QStringLiteral("corpus"),
        QStringLiteral("Folder made by bench/ocr/corpus/make-corpus.sh: also measure `qxc ocr` "
                       "on those real screenshots."),
        QStringLiteral("folder"));
    const QCommandLineOption corpusOnly(QStringLiteral("corpus-only"),
                                        QStringLiteral("Leave out the rendered scenes."));
    parser.addOptions({images, quick, rounds, parallel, ablation, corpus, corpusOnly});
    parser.process(arguments);
    return {parser.value(images),
            parser.isSet(quick),
            std::max(1, parser.value(rounds).toInt()),
            std::max(1, parser.value(parallel).toInt()),
            parser.isSet(ablation),
            parser.value(corpus),
            parser.isSet(corpusOnly) && parser.isSet(corpus)};
}

QList<BenchImage> prepareImages(const Settings& settings, const QString& scratch) {
    if (settings.imageFolder.isEmpty())
        return BenchImages::render(scratch, settings.quick);
    const QList<BenchImage> existing = BenchImages::load(settings.imageFolder);
    return existing.isEmpty() ? BenchImages::render(settings.imageFolder, settings.quick)
                              : existing;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Summary {
    double imagesPerMinute = 0;
    double cpuPerImage = 0;
    double peakMegabytes = 0;
    int failures = 0;
    QMap<QString, RecallTally> recall; // by language and by group
};

Summary summarise(const QList<BenchImage>& images, const std::vector<BenchRun>& runs) {
    Summary summary;
    std::vector<double> rates, cpu, peaks;
    for (const BenchRun& run : runs) {
        rates.push_back(60.0 * double(images.size()) / run.wallSeconds);
        cpu.push_back(run.cpuSeconds / double(images.size()));
        peaks.push_back(double(run.peakKilobytes) / 1024);
    }
    summary.imagesPerMinute = median(rates);
    summary.cpuPerImage = median(cpu);
    summary.peakMegabytes = median(peaks);
    summary.failures = runs.front().failures;
    for (const BenchImage& image : images) {
        if (image.language.isEmpty())
            continue;
        RecallTally tally;
        tally.add(image.words, runs.front().text.value(image.path));
        summary.recall[image.language].add(tally);
        summary.recall[image.group].add(tally);
    }
    return summary;
}

void printRow(const char* figure, const char* unit, double baseline, double helper,
              bool withRatio) {
    std::printf("| %-22s | %-10s | %18.2f | %10.2f |", figure, unit, baseline, helper);
    if (withRatio)
        std::printf(" %6.2fx |\n", helper / baseline);
    else
        std::printf(" %7s |\n", "");
}

void printTables(const QList<BenchImage>& images, const Settings& settings, const Summary& baseline,
                 const Summary& helper) {
    double pixels = 0;
    for (const BenchImage& image : images) {
        const QSize size = QImageReader(image.path).size();
        pixels += double(size.width()) * size.height();
    }
    std::printf("\nOCR benchmark: %lld images, %.2f megapixels on average, %u processors, "
                "median of %d rounds\n\n",
                static_cast<long long>(images.size()), pixels / 1e6 / double(images.size()),
                std::thread::hardware_concurrency(), settings.rounds);
    std::printf("| %-22s | %-10s | %18s | %10s | %7s |\n", "figure", "unit", "tesseract per file",
                "qxocr", "ratio");
    std::printf("|%s|%s|%s|%s|%s|\n", "------------------------", "------------",
                "--------------------", "------------", "---------");
    printRow("images per minute", "images/min", baseline.imagesPerMinute, helper.imagesPerMinute,
             true);
    printRow("CPU per image", "s", baseline.cpuPerImage, helper.cpuPerImage, true);
    printRow("peak memory", "MB/process", baseline.peakMegabytes, helper.peakMegabytes, false);
    printRow("images without text", "count", baseline.failures, helper.failures, false);
    const QList<QString> keys = helper.recall.keys();
    for (const QString& key : keys) {
        if (key.contains(u' '))
            continue;
        const QByteArray figure = QStringLiteral("recall, %1").arg(key).toUtf8();
        printRow(figure.constData(), "%", baseline.recall.value(key).percent(),
                 helper.recall.value(key).percent(), false);
    }
    if (keys.isEmpty())
        return;
    std::printf("\nRecall by group (%%)\n\n| %-22s | %6s | %18s | %10s |\n", "group", "words",
                "tesseract per file", "qxocr");
    std::printf("|------------------------|--------|--------------------|------------|\n");
    for (const QString& key : keys) {
        if (!key.contains(u' '))
            continue;
        std::printf("| %-22s | %6d | %18.1f | %10.1f |\n", qPrintable(key),
                    helper.recall.value(key).total, baseline.recall.value(key).percent(),
                    helper.recall.value(key).percent());
    }
}

// The truth table lives beside the script that makes the pictures.
bool measureCorpus(const Settings& settings, const QString& scratch) {
    const QString truth = QStringLiteral(GLIMBER_SOURCE_DIR "/bench/ocr/corpus/truth.tsv");
    QString error;
    const QList<BenchImage> images = RealCorpus::load(settings.corpus, truth, error);
    if (images.isEmpty()) {
        std::fprintf(stderr, "ocr_bench: %s\n", qPrintable(error));
        return false;
    }
    const QString transcriptions =
        QStringLiteral(GLIMBER_SOURCE_DIR "/bench/ocr/corpus/transcribed.tsv");
    RealCorpus::measure(images, QApplication::applicationDirPath() + QStringLiteral("/qxc"),
                        scratch, {settings.rounds, settings.parallel, transcriptions});
    if (settings.ablation && settings.corpusOnly)
        Ablation::print(images, JunkTally::load(transcriptions));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    // The in-process measurements run Tesseract here, which must not spread itself.
    SingleThreadedOpenMp::ensure(argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const Settings settings = parse(QApplication::arguments());
    QTemporaryDir scratch;
    const QString helper = QApplication::applicationDirPath() + QStringLiteral("/qxocr");
    if (!settings.corpus.isEmpty() && !measureCorpus(settings, scratch.path()))
        return 1;
    if (settings.corpusOnly)
        return 0;
    const QList<BenchImage> images =
        prepareImages(settings, scratch.filePath(QStringLiteral("images")));
    if (images.isEmpty()) {
        std::fprintf(stderr, "ocr_bench: no images\n");
        return 1;
    }
    std::vector<BenchRun> baselineRuns, helperRuns;
    for (int round = 0; round < settings.rounds; ++round) {
        // Alternating the order spreads the machine's changing load over both.
        if (round % 2 == 0)
            baselineRuns.push_back(
                BenchRuns::tesseractPerFile(images, scratch.path(), settings.parallel));
        helperRuns.push_back(BenchRuns::qxocr(images, helper, scratch.path()));
        if (round % 2 == 1)
            baselineRuns.push_back(
                BenchRuns::tesseractPerFile(images, scratch.path(), settings.parallel));
    }
    printTables(images, settings, summarise(images, baselineRuns), summarise(images, helperRuns));
    if (settings.ablation)
        Ablation::print(images);
    return 0;
}
