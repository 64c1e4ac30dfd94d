#include "Ablation.h"

#include "JunkTally.h"
#include "OcrWorker.h"
#include "RecallTally.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <cstdio>
#include <ctime>

namespace Ablation {

namespace {

struct Variant {
    const char* name;
    OcrSettings settings;
};

QList<Variant> variants() {
    const OcrSettings all;
    Variant noDarkMode{"no dark-mode inversion", all};
    noDarkMode.settings.preprocessing.invertDarkMode = false;
    Variant noPanels{"no panel inversion", all};
    noPanels.settings.preprocessing.invertDarkPanels = false;
    Variant noFlattening{"no background flattening", all};
    noFlattening.settings.preprocessing.flattenBackground = false;
    Variant noRules{"no rule removal", all};
    noRules.settings.preprocessing.removeRules = false;
    Variant noIcons{"no icon blanking", all};
    noIcons.settings.preprocessing.blankIcons = false;
    Variant noEnlarging{"no enlarging", all};
    noEnlarging.settings.preprocessing.maxScale = 1;
    Variant noMargin{"no margin", all};
    noMargin.settings.recognition.margin = 0;
    Variant noRegions{"no region split", all};
    noRegions.settings.splitRegions = false;
    Variant noRejoining{"no rejoining of cuts", all};
    noRejoining.settings.recognition.rejoinCuts = false;
    Variant noStrays{"no stray-word removal", all};
    noStrays.settings.recognition.removeStrayWords = false;
    Variant noSmallText{"no small text apart", all};
    noSmallText.settings.readSmallTextApart = false;
    // Not steps to leave out, but the floor of what one model per picture
    // would cost, and what each reads alone.
    Variant englishOnly{"English model alone", all};
    englishOnly.settings.recognition.languages = "eng";
    Variant japaneseOnly{"Japanese model alone", all};
    japaneseOnly.settings.recognition.languages = "jpn";
    return {{"every step", all}, noDarkMode,  noPanels,  noFlattening, noRules,  noIcons,
            noEnlarging,         noMargin,    noRegions, noRejoining,  noStrays, noSmallText,
            englishOnly,         japaneseOnly};
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

QString textOf(const QByteArray& line) {
    return QJsonDocument::fromJson(line).object().value(QStringLiteral("text")).toString();
}

void printVariant(const Variant& variant, const QList<BenchImage>& images,
                  const QHash<QString, QString>& transcriptions) {
    PixelBudget budget(ImageFile::defaultMaxPixels);
    OcrWorker worker(budget, variant.settings);
    // The first picture also loads the engines, which is not what is measured.
    worker.process(images.front().path);
    QMap<QString, RecallTally> recall;
    JunkTally junk;
    const double start = threadCpuSeconds();
    for (const BenchImage& image : images) {
        const QString text = textOf(worker.process(image.path));
        RecallTally::addByLanguage(recall, image, text);
        const QString transcription = transcriptions.value(QFileInfo(image.path).fileName());
        if (!transcription.isEmpty())
            junk.add(text, transcription);
    }
    const double cpu = (threadCpuSeconds() - start) / double(images.size());
    std::printf("| %-24s | %9.1f | %9.1f | %13.3f |", variant.name,
                recall.value(QStringLiteral("en")).percent(),
                recall.value(QStringLiteral("ja")).percent(), cpu);
    if (junk.words > 0)
        std::printf(" %6.1f | %8.1f |", junk.percent(), junk.misreadPercent());
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace

void print(const QList<BenchImage>& images, const QHash<QString, QString>& transcriptions) {
    std::printf("\nPreprocessing steps, one thread in this process\n\n");
    std::printf("| %-24s | %9s | %9s | %13s |%s\n", "variant", "recall en", "recall ja",
                "CPU s / image", transcriptions.isEmpty() ? "" : " junk % | misread % |");
    std::printf("|--------------------------|-----------|-----------|---------------|%s\n",
                transcriptions.isEmpty() ? "" : "--------|----------|");
    for (const Variant& variant : variants())
        printVariant(variant, images, transcriptions);
}

} // namespace Ablation
