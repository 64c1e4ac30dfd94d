#include "TextRecognizer.h"

#include "CutLines.h"
#include "FlatBackground.h"
#include "MissedLineFinder.h"
#include "PageBands.h"
#include "PageText.h"
#include "PixArea.h"
#include "PixPtr.h"
#include "RecognizedText.h"
#include "StrayWords.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <tesseract/baseapi.h>
#include <tesseract/ltrresultiterator.h>
#include <tesseract/ocrclass.h>
#include <vector>

namespace {

// Opens up the left-to-right iterator, which Tesseract keeps for itself. It
// moves from word to word in constant time; the public one, built for
// right-to-left scripts too, walks the page for every line.
class TesseractEngine : public tesseract::TessBaseAPI {
public:
    using tesseract::TessBaseAPI::GetLTRIterator;
};

struct Setting {
    const char* name;
    const char* value;
};

// The CJK pitch model keeps Japanese characters together as words. Dark text
// on light is ensured beforehand, so Tesseract's own second pass over inverted
// lines would only cost time. Tesseract's reports on its work ("Detected 47
// diacritics") would land where the helper's own diagnostics go.
constexpr Setting screenshotSettings[] = {
    {"debug_file", "/dev/null"},
    {"preserve_interword_spaces", "1"},
    {"textord_use_cjk_fp_model", "1"},
    {"tessedit_do_invert", "0"},
};

// English readings below this confidence get a second look.
constexpr float doubtfulConfidence = 85;
// A page shows Japanese when this many words of this many characters of
// Japanese script are read with this confidence: icons, read as a single
// kana or kanji now and then (or, more rarely, two), do not count.
constexpr qsizetype japaneseShownLength = 2;
constexpr float japaneseShownConfidence = 70;
constexpr qsizetype japaneseShownWords = 2;
// Words below this confidence leave their place open for a second look.
constexpr float trustedConfidence = 40;
// Lines found outside the layout count from this confidence on.
constexpr int missedLineConfidence = 60;
// Second looks are cheap one by one; a page full of them is not.
constexpr int maxSecondLooks = 200;
// A page with more text lines than this is read in bands (see PageBands).
constexpr int maxLinesAtOnce = 120;
// Bands hold about this many lines; a band that still holds too many is cut
// again, this many times at most.
constexpr int linesPerBand = 80;
constexpr int maxBandDepth = 3;
// Tesseract reads no picture longer than this on a side.
constexpr int maxSide = 32767;
// Screenshots carry no resolution Tesseract could trust, so it would guess
// one from the text (and say so on standard error for every picture). Text is
// enlarged to about the size of print at this resolution beforehand.
constexpr int pageResolution = 300;

// Tesseract asks before each line whether to stop, and says how many there
// are: stopping before the first keeps it from starting on a page too long to
// read at once.
struct LineCount {
    int lines = 0;
    static bool tooMany(void* count, int lines) {
        static_cast<LineCount*>(count)->lines = lines;
        return lines > maxLinesAtOnce;
    }
};

// Pages are read as sparse text, which finds the scattered labels of a user
// interface; second looks change the mode only while they last.
std::unique_ptr<tesseract::TessBaseAPI> engine(const char* languages) {
    auto api = std::make_unique<TesseractEngine>();
    if (api->Init(nullptr, languages, tesseract::OEM_LSTM_ONLY) != 0)
        return nullptr;
    api->SetPageSegMode(tesseract::PSM_SPARSE_TEXT);
    for (const Setting& setting : screenshotSettings)
        api->SetVariable(setting.name, setting.value);
    return api;
}

// A page segmentation mode for one second look; the engine's own mode again
// on every way out of it.
class PageSegModeScope {
public:
    PageSegModeScope(tesseract::TessBaseAPI& engine, tesseract::PageSegMode mode)
        : engine_(engine)
        , previous_(engine.GetPageSegMode()) {
        engine.SetPageSegMode(mode);
    }
    ~PageSegModeScope() { engine_.SetPageSegMode(previous_); }
    PageSegModeScope(const PageSegModeScope&) = delete;
    PageSegModeScope& operator=(const PageSegModeScope&) = delete;

private:
    tesseract::TessBaseAPI& engine_;
    const tesseract::PageSegMode previous_;
};

void setPicture(tesseract::TessBaseAPI& engine, Pix* pix) {
    engine.SetImage(pix);
    engine.SetSourceResolution(pageResolution);
}

QString takeText(char* text) {
    const std::unique_ptr<char[]> owned(text);
    return owned ? QString::fromUtf8(owned.get()).trimmed() : QString();
}

// Where the words stand: Tesseract's own, and those of each line read apart,
// whose box is shared out by characters.
QList<WordBox> wordBoxes(const QList<RecognizedWord>& words,
                         const QList<RecognizedLine>& extraLines) {
    QList<WordBox> boxes;
    for (const RecognizedWord& word : words)
        boxes.append({word.text, word.box});
    for (const RecognizedLine& line : extraLines) {
        const qsizetype length = std::max<qsizetype>(line.text.size(), 1);
        qsizetype at = 0;
        for (const QString& part : line.text.split(u' ')) {
            if (!part.isEmpty()) {
                const int left = line.box.left() + int(line.box.width() * at / length);
                const int right =
                    line.box.left() + int(line.box.width() * (at + part.size()) / length);
                boxes.append({part, QRect(left, line.box.top(), std::max(right - left, 1),
                                          line.box.height())});
            }
            at += part.size() + 1;
        }
    }
    return boxes;
}

QRect wordBox(const tesseract::PageIterator& words) {
    int left = 0, top = 0, right = 0, bottom = 0;
    words.BoundingBox(tesseract::RIL_WORD, &left, &top, &right, &bottom);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Tesseract 5.3 reads the wrong rows for a rectangle as wide as the picture
// that ends above its bottom edge (it takes the same number of rows from the
// bottom). One column less keeps it right and loses nothing.
void setArea(tesseract::TessBaseAPI& engine, QRect area, QSize picture) {
    area &= QRect(QPoint(0, 0), picture);
    if (area.width() == picture.width() && area.bottom() < picture.height() - 1)
        area.setWidth(area.width() - 1);
    engine.SetRectangle(area.x(), area.y(), area.width(), area.height());
}

// One line of the current picture inside `box`, with some room around it.
QString readLine(tesseract::TessBaseAPI& engine, QRect box, QSize picture, int& confidence) {
    const int margin = box.height() / 4;
    if (box.isEmpty() || (box & QRect(QPoint(0, 0), picture)).isEmpty())
        return {};
    setArea(engine, box.adjusted(-margin, -margin, margin, margin), picture);
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

QString lettersAndDigits(const QString& text) {
    QString kept;
    std::copy_if(text.cbegin(), text.cend(), std::back_inserter(kept),
                 [](QChar c) { return c.isLetterOrNumber(); });
    return kept;
}

// The words at a cut were read well in their pieces; read again in a narrow
// crop, their letters can come out worse ("09" as "69"). So the words on either
// side stay as they were, and from `reading` only what lies between them is
// taken, when its letters are those of the words in between and it adds marks
// to them: the lost colon. Empty when it does not.
QString spliced(const QList<const RecognizedWord*>& cutWords, const QString& reading) {
    const QString& left = cutWords.front()->text;
    const QString& right = cutWords.back()->text;
    qsizetype from = 0;
    for (qsizetype letters = RecognizedText::nonSpaceLength(left);
         from < reading.size() && letters > 0; ++from)
        letters -= reading[from].isSpace() ? 0 : 1;
    qsizetype to = reading.size();
    for (qsizetype letters = RecognizedText::nonSpaceLength(right); to > from && letters > 0; --to)
        letters -= reading[to - 1].isSpace() ? 0 : 1;
    const QString between = reading.mid(from, to - from);
    QString wordsBetween;
    for (qsizetype i = 1; i + 1 < cutWords.size(); ++i)
        wordsBetween += cutWords[i]->text;
    if (lettersAndDigits(between) != lettersAndDigits(wordsBetween) ||
        RecognizedText::nonSpaceLength(between) <= RecognizedText::nonSpaceLength(wordsBetween))
        return {};
    return left + between + right;
}

bool hasInk(Pix* binary) {
    l_int32 ink = 0;
    return binary != nullptr && pixCountPixels(binary, &ink, nullptr) == 0 && ink > 0;
}

} // namespace

TextRecognizer::TextRecognizer()
    : TextRecognizer(Options()) {}

TextRecognizer::TextRecognizer(Options options)
    : options_(options) {}

TextRecognizer::~TextRecognizer() = default;

bool TextRecognizer::load(QString& error) {
    api_ = engine(options_.languages);
    if (!api_)
        error = QStringLiteral("cannot load Tesseract language data \"%1\"")
                    .arg(QLatin1String(options_.languages));
    return api_ != nullptr;
}

bool TextRecognizer::recognizeArea(QRect area, QSize picture, const QDeadlineTimer& deadline,
                                   int& lines) {
    setArea(*api_, area, picture);
    tesseract::ETEXT_DESC monitor;
    monitor.set_deadline_msecs(int(std::max<qint64>(1, deadline.remainingTime())));
    LineCount count;
    monitor.cancel = LineCount::tooMany;
    monitor.cancel_this = &count;
    api_->Recognize(&monitor);
    lines = count.lines;
    return count.lines <= maxLinesAtOnce;
}

QList<RecognizedWord> TextRecognizer::readPage() {
    QList<RecognizedWord> words;
    const std::unique_ptr<tesseract::LTRResultIterator> it(
        static_cast<TesseractEngine&>(*api_).GetLTRIterator());
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

QList<RecognizedWord> TextRecognizer::readArea(QRect area, Pix* binary,
                                               const QDeadlineTimer& deadline, int depth) {
    int lines = 0;
    if (recognizeArea(area, PixArea::size(binary), deadline, lines))
        return readPage();
    const PixPtr part = PixArea::clip(binary, area);
    if (!part || depth >= maxBandDepth)
        return {};
    const QList<int> edges = PageBands::cuts(part.get(), (lines + linesPerBand - 1) / linesPerBand);
    QList<RecognizedWord> words;
    for (qsizetype i = 0; i + 1 < edges.size() && !deadline.hasExpired(); ++i) {
        const QRect band(area.x(), area.y() + edges[i], area.width(), edges[i + 1] - edges[i]);
        words += readArea(band, binary, deadline, depth + 1);
    }
    return words;
}

void TextRecognizer::rereadDoubtfulWords(Pix* pix, QList<RecognizedWord>& words,
                                         const QDeadlineTimer& deadline) {
    // A page on which no two words read as Japanese with some confidence has
    // no Japanese words to rescue: its doubtful words are English ones (or
    // icons, one of which now and then reads as "のり").
    if (std::count_if(words.cbegin(), words.cend(), [](const RecognizedWord& word) {
            return RecognizedText::japaneseLength(word.text) >= japaneseShownLength &&
                   word.confidence >= japaneseShownConfidence;
        }) < japaneseShownWords)
        return;
    // Read alone, without the rest of its line, a word gets Tesseract's
    // choice between the two languages afresh; the same engine does it, so no
    // second copy of the Japanese model is held in memory.
    const PageSegModeScope wordByWord(*api_, tesseract::PSM_SINGLE_WORD);
    int looks = 0;
    for (RecognizedWord& word : words) {
        if (!word.english || word.confidence >= doubtfulConfidence || looks >= maxSecondLooks ||
            deadline.hasExpired())
            continue;
        ++looks;
        int confidence = 0;
        const QString reading = readLine(*api_, word.box, PixArea::size(pix), confidence);
        // Only a reading in Japanese script is a rescue; Latin stays the first reading's.
        if (confidence > word.confidence && RecognizedText::hasJapanese(reading)) {
            word.text = reading;
            word.confidence = float(confidence);
        }
    }
}

QList<RecognizedLine> TextRecognizer::readMissedLines(const QList<RecognizedWord>& words,
                                                      Pix* binary, const QDeadlineTimer& deadline) {
    if (words.isEmpty())
        return readAsOneBlock(binary, deadline);
    // A word read with hardly any confidence is most likely a line Tesseract
    // took apart: its place gets a second look as a whole line.
    QList<QRect> wordBoxes;
    for (const RecognizedWord& word : words) {
        if (word.confidence >= trustedConfidence)
            wordBoxes.append(word.box);
    }
    const QList<QRect> missed = MissedLineFinder::find(binary, wordBoxes, medianHeight(words));
    const PageSegModeScope lineByLine(*api_, tesseract::PSM_SINGLE_LINE);
    QList<RecognizedLine> lines;
    for (const QRect& box : missed) {
        if (lines.size() >= maxSecondLooks || deadline.hasExpired())
            break;
        int confidence = 0;
        const QString text = readLine(*api_, box, PixArea::size(binary), confidence);
        if (confidence >= missedLineConfidence && hasLetterOrDigit(text))
            lines.append({text, box});
    }
    return lines;
}

QList<RecognizedLine> TextRecognizer::rejoinCutLines(QList<RecognizedWord>& words, Pix* binary,
                                                     const QDeadlineTimer& deadline) {
    // Tesseract's lines: where each starts among the words, and its box.
    QList<qsizetype> starts;
    QList<QRect> pieces;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i == 0 || words[i].startsLine) {
            starts.append(i);
            pieces.append(words[i].box);
        } else {
            pieces.last() |= words[i].box;
        }
    }
    starts.append(words.size());
    const QList<QList<qsizetype>> groups = CutLines::find(pieces, binary);
    if (groups.isEmpty())
        return {};
    QList<bool> replaced(pieces.size(), false);
    const PageSegModeScope lineByLine(*api_, tesseract::PSM_SINGLE_LINE);
    QList<RecognizedLine> lines;
    for (const QList<qsizetype>& group : groups) {
        if (lines.size() >= maxSecondLooks || deadline.hasExpired())
            break;
        // Only the words at the cuts are read again: from the last word of
        // the first piece to the first word of the last one.
        QList<const RecognizedWord*> cutWords;
        for (const qsizetype piece : group) {
            const qsizetype from = piece == group.front() ? starts[piece + 1] - 1 : starts[piece];
            const qsizetype to = piece == group.back() ? starts[piece] + 1 : starts[piece + 1];
            for (qsizetype i = from; i < to; ++i)
                cutWords.append(&words[i]);
        }
        QRect cut;
        for (const RecognizedWord* word : cutWords)
            cut |= word->box;
        int confidence = 0;
        const QString joined =
            spliced(cutWords, readLine(*api_, cut, PixArea::size(binary), confidence));
        if (joined.isEmpty())
            continue;
        QStringList parts;
        QRect box = cut;
        for (qsizetype i = starts[group.front()]; i < starts[group.front() + 1] - 1; ++i)
            parts.append(words[i].text);
        parts.append(joined);
        for (qsizetype i = starts[group.back()] + 1; i < starts[group.back() + 1]; ++i)
            parts.append(words[i].text);
        for (const qsizetype piece : group)
            box |= pieces[piece];
        lines.append({parts.join(u' '), box});
        for (const qsizetype piece : group)
            replaced[piece] = true;
    }
    QList<RecognizedWord> kept;
    for (qsizetype piece = 0; piece < pieces.size(); ++piece) {
        if (!replaced[piece])
            kept += words.mid(starts[piece], starts[piece + 1] - starts[piece]);
    }
    words = std::move(kept);
    return lines;
}

// Sparse layout found nothing at all, yet the page may hold text: a column of
// short labels, for one. Read as one uniform block, what is there comes out.
QList<RecognizedLine> TextRecognizer::readAsOneBlock(Pix* binary, const QDeadlineTimer& deadline) {
    if (!hasInk(binary) || deadline.hasExpired())
        return {};
    const QRect page(QPoint(0, 0), PixArea::size(binary));
    const PageSegModeScope asOneBlock(*api_, tesseract::PSM_SINGLE_BLOCK);
    int confidence = 0;
    const QString text = readLine(*api_, page, page.size(), confidence);
    if (confidence < missedLineConfidence || !hasLetterOrDigit(text))
        return {};
    return {{text, page}};
}

RecognizedPage TextRecognizer::recognize(Pix* picture, int timeLimitMs) {
    const QDeadlineTimer deadline(timeLimitMs);
    PixPtr padded;
    if (options_.margin > 0 &&
        qint64(pixGetWidth(picture)) * pixGetHeight(picture) <= options_.maxPaddedPixels)
        padded = FlatBackground::pad(picture, options_.margin, FlatBackground::borderGrey(picture));
    Pix* pix = padded ? padded.get() : picture;
    // The margin is not the picture's: boxes move back by it.
    const QPoint margin = padded ? QPoint(options_.margin, options_.margin) : QPoint();
    const QList<QRect> pieces = PageBands::pieces(pix, maxSide);
    RecognizedPage page;
    if (pieces.size() == 1)
        page = recognizePiece(pix, deadline).placed(1, -margin);
    for (qsizetype i = 0; pieces.size() > 1 && i < pieces.size(); ++i) {
        const PixPtr part = PixArea::clip(pix, pieces[i]);
        if (part && !deadline.hasExpired())
            page.append(
                recognizePiece(part.get(), deadline).placed(1, pieces[i].topLeft() - margin));
    }
    const QRect inside(QPoint(0, 0), PixArea::size(picture));
    for (WordBox& word : page.words)
        word.box = word.box.intersected(inside);
    return page;
}

RecognizedPage TextRecognizer::recognizePiece(Pix* pix, const QDeadlineTimer& deadline) {
    setPicture(*api_, pix);
    const PixPtr binary(api_->GetThresholdedImage());
    if (!binary)
        return {};
    QList<RecognizedWord> words =
        readArea(QRect(QPoint(0, 0), PixArea::size(pix)), binary.get(), deadline, 0);
    QList<RecognizedLine> extraLines = readMissedLines(words, binary.get(), deadline);
    if (options_.rejoinCuts)
        extraLines += rejoinCutLines(words, binary.get(), deadline);
    rereadDoubtfulWords(pix, words, deadline);
    if (options_.removeStrayWords)
        StrayWords::remove(words, binary.get());
    api_->Clear();
    return {RecognizedText::tidy(PageText::assemble(words, extraLines)),
            wordBoxes(words, extraLines)};
}

QString TextRecognizer::setting(const char* name) const {
    std::string value;
    if (!api_ || !api_->GetVariableAsString(name, &value))
        return {};
    return QString::fromStdString(value);
}
