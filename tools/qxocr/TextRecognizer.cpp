#include "TextRecognizer.h"

#include "MissedLineFinder.h"
#include "PageText.h"
#include "PixPtr.h"
#include "RecognizedText.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>
#include <vector>

namespace {

struct Setting {
    const char* name;
    const char* value;
};

// The CJK pitch model keeps Japanese characters together as words. Dark text
// on light is ensured beforehand, so Tesseract's own second pass over inverted
// lines would only cost time.
constexpr Setting screenshotSettings[] = {
    {"preserve_interword_spaces", "1"},
    {"textord_use_cjk_fp_model", "1"},
    {"tessedit_do_invert", "0"},
};

// English readings below this confidence get a second, Japanese-only look.
constexpr float doubtfulConfidence = 85;
// Lines found outside the layout count from this confidence on.
constexpr int missedLineConfidence = 60;
// Second looks are cheap one by one; a page full of them is not.
constexpr int maxSecondLooks = 200;

std::unique_ptr<tesseract::TessBaseAPI> engine(const char* languages, tesseract::PageSegMode mode) {
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    if (api->Init(nullptr, languages, tesseract::OEM_LSTM_ONLY) != 0)
        return nullptr;
    api->SetPageSegMode(mode);
    for (const Setting& setting : screenshotSettings)
        api->SetVariable(setting.name, setting.value);
    return api;
}

QString takeText(char* text) {
    const std::unique_ptr<char[]> owned(text);
    return owned ? QString::fromUtf8(owned.get()).trimmed() : QString();
}

QRect wordBox(const tesseract::ResultIterator& words) {
    int left = 0, top = 0, right = 0, bottom = 0;
    words.BoundingBox(tesseract::RIL_WORD, &left, &top, &right, &bottom);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// One line of the current picture inside `box`, with some room around it.
QString readLine(tesseract::TessBaseAPI& engine, QRect box, int& confidence) {
    const int margin = box.height() / 4;
    const QRect padded = box.adjusted(-margin, -margin, margin, margin);
    engine.SetRectangle(std::max(0, padded.x()), std::max(0, padded.y()), padded.width(),
                        padded.height());
    const QString text = takeText(engine.GetUTF8Text());
    confidence = engine.MeanTextConf();
    return text;
}

bool hasLetterOrDigit(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetterOrNumber(); });
}

int medianHeight(const QList<RecognizedWord>& words) {
    std::vector<int> heights;
    for (const RecognizedWord& word : words)
        heights.push_back(word.box.height());
    if (heights.empty())
        return 0;
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    return heights[heights.size() / 2];
}

} // namespace

TextRecognizer::TextRecognizer() = default;

TextRecognizer::~TextRecognizer() = default;

bool TextRecognizer::load(QString& error) {
    api_ = engine(languages, tesseract::PSM_SPARSE_TEXT);
    if (!api_)
        error = QStringLiteral("cannot load Tesseract language data \"%1\"")
                    .arg(QLatin1String(languages));
    return api_ != nullptr;
}

tesseract::TessBaseAPI* TextRecognizer::japanese() {
    if (!japanese_ && !japaneseUnavailable_) {
        japanese_ = engine("jpn", tesseract::PSM_SINGLE_WORD);
        japaneseUnavailable_ = !japanese_;
    }
    return japanese_.get();
}

QList<RecognizedWord> TextRecognizer::readPage() {
    QList<RecognizedWord> words;
    const std::unique_ptr<tesseract::ResultIterator> it(api_->GetIterator());
    if (!it)
        return words;
    do {
        QString text = takeText(it->GetUTF8Text(tesseract::RIL_WORD));
        if (text.isEmpty())
            continue;
        const char* language = it->WordRecognitionLanguage();
        words.append({std::move(text), wordBox(*it), it->Confidence(tesseract::RIL_WORD),
                      language != nullptr && std::strcmp(language, "eng") == 0,
                      it->IsAtBeginningOf(tesseract::RIL_TEXTLINE), it->BlanksBeforeWord() > 0});
    } while (it->Next(tesseract::RIL_WORD));
    return words;
}

void TextRecognizer::rereadDoubtfulWords(Pix* pix, QList<RecognizedWord>& words,
                                         const tesseract::ETEXT_DESC& monitor) {
    bool pictureSet = false;
    int looks = 0;
    for (RecognizedWord& word : words) {
        if (!word.english || word.confidence >= doubtfulConfidence || looks >= maxSecondLooks ||
            monitor.deadline_exceeded())
            continue;
        tesseract::TessBaseAPI* engine = japanese();
        if (!engine)
            return;
        if (!pictureSet) {
            engine->SetImage(pix);
            pictureSet = true;
        }
        ++looks;
        int confidence = 0;
        const QString reading = readLine(*engine, word.box, confidence);
        // Only a reading in Japanese script is a rescue; Latin stays the English model's.
        if (confidence > word.confidence && RecognizedText::hasJapanese(reading))
            word.text = reading;
    }
    if (pictureSet)
        japanese_->Clear();
}

QList<RecognizedLine> TextRecognizer::readMissedLines(const QList<RecognizedWord>& words,
                                                      const tesseract::ETEXT_DESC& monitor) {
    if (words.isEmpty())
        return readAsOneBlock(monitor);
    QList<QRect> wordBoxes;
    for (const RecognizedWord& word : words)
        wordBoxes.append(word.box);
    const PixPtr binary(api_->GetThresholdedImage());
    const QList<QRect> missed =
        MissedLineFinder::find(binary.get(), wordBoxes, medianHeight(words));
    QList<RecognizedLine> lines;
    api_->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    for (const QRect& box : missed) {
        if (lines.size() >= maxSecondLooks || monitor.deadline_exceeded())
            break;
        int confidence = 0;
        const QString text = readLine(*api_, box, confidence);
        if (confidence >= missedLineConfidence && hasLetterOrDigit(text))
            lines.append({text, box});
    }
    api_->SetPageSegMode(tesseract::PSM_SPARSE_TEXT);
    return lines;
}

// Sparse layout found nothing at all, yet the page may hold text: a column of
// short labels, for one. Read as one uniform block, what is there comes out.
QList<RecognizedLine> TextRecognizer::readAsOneBlock(const tesseract::ETEXT_DESC& monitor) {
    const PixPtr binary(api_->GetThresholdedImage());
    l_int32 ink = 0;
    if (!binary || pixCountPixels(binary.get(), &ink, nullptr) != 0 || ink == 0 ||
        monitor.deadline_exceeded())
        return {};
    const QRect page(0, 0, pixGetWidth(binary.get()), pixGetHeight(binary.get()));
    api_->SetPageSegMode(tesseract::PSM_SINGLE_BLOCK);
    api_->SetRectangle(0, 0, page.width(), page.height());
    const QString text = takeText(api_->GetUTF8Text());
    const int confidence = api_->MeanTextConf();
    api_->SetPageSegMode(tesseract::PSM_SPARSE_TEXT);
    if (confidence < missedLineConfidence || !hasLetterOrDigit(text))
        return {};
    return {{text, page}};
}

QString TextRecognizer::recognize(Pix* pix, int timeLimitMs) {
    api_->SetImage(pix);
    tesseract::ETEXT_DESC monitor;
    monitor.set_deadline_msecs(timeLimitMs);
    api_->Recognize(&monitor);
    QList<RecognizedWord> words = readPage();
    const QList<RecognizedLine> missed = readMissedLines(words, monitor);
    rereadDoubtfulWords(pix, words, monitor);
    api_->Clear();
    return RecognizedText::tidy(PageText::assemble(words, missed));
}

QString TextRecognizer::setting(const char* name) const {
    std::string value;
    if (!api_ || !api_->GetVariableAsString(name, &value))
        return {};
    return QString::fromStdString(value);
}
