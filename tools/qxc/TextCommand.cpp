#include "TextCommand.h"

#include "OcrRun.h"
#include "QxcExit.h"
#include "ShotReader.h"
#include "TerminalText.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>
#include <vector>

namespace TextCommand {

namespace {

struct ImageText {
    QString path;
    std::optional<QString> text; // none: unreadable, see error
    QString error;
    QList<ShotWord> words;
};

void print(std::FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

QByteArray jsonLine(const ImageText& image) {
    QJsonObject object{{QStringLiteral("path"), image.path}};
    if (!image.text) {
        object.insert(QStringLiteral("error"), image.error);
    } else {
        object.insert(QStringLiteral("text"), *image.text);
        QJsonArray boxes;
        for (const ShotWord& word : image.words)
            boxes.append(QJsonObject{{QStringLiteral("x"), word.box.x()},
                                     {QStringLiteral("y"), word.box.y()},
                                     {QStringLiteral("w"), word.box.width()},
                                     {QStringLiteral("h"), word.box.height()},
                                     {QStringLiteral("text"), word.text}});
        object.insert(QStringLiteral("boxes"), boxes);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

// Reads the files the index cannot answer for, in one run of the helper.
void readUnindexed(std::vector<ImageText>& images, const std::vector<std::size_t>& unindexed,
                   const QString& helper) {
    QStringList paths;
    for (const std::size_t i : unindexed)
        paths.append(images[i].path);
    QHash<QString, QString> errors;
    QHash<QString, QByteArray> words;
    const auto texts = OcrRun::parseNdjson(OcrRun::runQxocr(helper, paths), &errors, &words);
    for (const std::size_t i : unindexed) {
        ImageText& image = images[i];
        const auto found = texts.constFind(image.path);
        if (found == texts.constEnd()) {
            image.error = QStringLiteral("the OCR helper gave no answer");
            continue;
        }
        image.text = found.value();
        image.error = errors.value(image.path);
        image.words = ShotWords::parse(words.value(image.path)).value_or(QList<ShotWord>());
    }
}

} // namespace

int run(const QStringList& paths, const Options& options, std::FILE* out, std::FILE* err) {
    std::vector<ImageText> images;
    std::vector<std::size_t> unindexed;
    ShotReader reader(options.databasePath);
    for (const QString& given : paths) {
        ImageText image{QFileInfo(given).absoluteFilePath(), std::nullopt, {}, {}};
        if (std::optional<IndexedText> indexed = reader.indexedText(image.path)) {
            image.text = indexed->text;
            image.words = indexed->words;
        } else {
            unindexed.push_back(images.size());
        }
        images.push_back(std::move(image));
    }
    if (!unindexed.empty()) {
        const std::optional<QString> helper = OcrRun::ocrBinaryURL(options.helperPath);
        if (!helper) {
            print(err, "qxc: no OCR helper (qxocr) beside qxc\n");
            return QxcExit::noHelper;
        }
        readUnindexed(images, unindexed, *helper);
    }
    bool anyText = false;
    for (const ImageText& image : images) {
        const bool hasText = image.text && !image.text->trimmed().isEmpty();
        anyText = anyText || hasText;
        if (!image.text)
            print(err,
                  "qxc: " + TerminalText::escaped(image.path) + ": " + image.error.toUtf8() + '\n');
        if (options.json) {
            print(out, jsonLine(image));
            continue;
        }
        if (images.size() > 1)
            print(out, "==> " + TerminalText::escaped(image.path) + " <==\n");
        if (hasText)
            print(out, image.text->toUtf8() + '\n');
    }
    return anyText ? QxcExit::done : QxcExit::nothingFound;
}

} // namespace TextCommand
