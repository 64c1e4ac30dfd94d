#pragma once

#include "RecognizedPage.h"
#include "RecognizedWord.h"

#include <QDeadlineTimer>
#include <QList>
#include <QRect>
#include <QString>

#include <memory>

struct Pix;

namespace tesseract {
class TessBaseAPI;
}

// Tesseract with Japanese and English loaded, tuned for screenshots. Not
// thread-safe: each worker thread owns its own.
//
// A page is read in sparse-text mode, which finds the scattered labels of a
// user interface. Two second looks follow: on a page that shows Japanese,
// words the English model claimed with little confidence are read again one
// by one (short kanji words otherwise come out as Latin gibberish), and
// text-like ink that the layout passed over is read line by line (or, when
// the layout found nothing at all, the page as one block). A page with very
// many lines is read in bands, a picture too long for Tesseract in pieces.
class TextRecognizer {
public:
    // A picture whose recognition takes longer than this keeps what was read
    // so far, so one giant screenshot cannot stall its batch.
    static constexpr int defaultTimeLimitMs = 50'000;

    // Pixels of margin added around a picture before it is read, in the
    // grey of its edge: letters cut by a tight capture then stand clear of
    // the edge, where Tesseract loses them. Pictures larger than
    // `maxPaddedPixels` are read as they are, so that the copy never adds to
    // the memory a large picture needs.
    struct Options {
        int margin = 16;
        qint64 maxPaddedPixels = 8'000'000;
        // Pieces of a line cut at a column of colons are read again as one.
        bool rejoinCuts = true;
        // Short doubtful words standing apart, and solid shapes, are dropped
        // (see StrayWords).
        bool removeStrayWords = true;
        // English first: Tesseract then starts a page with the English model,
        // cheaper to run than the Japanese one, which it tries where English
        // reads poorly. The spaces it puts between Japanese characters are
        // tidied away.
        const char* languages = "eng+jpn";
    };

    TextRecognizer();
    explicit TextRecognizer(Options options);
    ~TextRecognizer();
    TextRecognizer(const TextRecognizer&) = delete;
    TextRecognizer& operator=(const TextRecognizer&) = delete;

    // Loads the language data; false with the reason in `error` when it fails.
    bool load(QString& error);

    // The text of `pix` (8-bit grey, dark text on light), tidied for search,
    // and where its words stand in `pix`.
    RecognizedPage recognize(Pix* pix, int timeLimitMs = defaultTimeLimitMs);

    // A Tesseract setting as the engine sees it after loading; empty when unknown.
    QString setting(const char* name) const;

private:
    RecognizedPage recognizePiece(Pix* pix, const QDeadlineTimer& deadline);
    // Recognises `area` unless it holds more lines than can be read at once;
    // `lines` says how many it holds.
    bool recognizeArea(QRect area, QSize picture, const QDeadlineTimer& deadline, int& lines);
    QList<RecognizedWord> readPage();
    // The words of `area`, read at once or, when it holds too many lines, in
    // bands cut where `binary` (the page's ink) has the least.
    QList<RecognizedWord> readArea(QRect area, Pix* binary, const QDeadlineTimer& deadline,
                                   int depth);
    void rereadDoubtfulWords(Pix* pix, QList<RecognizedWord>& words,
                             const QDeadlineTimer& deadline);
    QList<RecognizedLine> readMissedLines(const QList<RecognizedWord>& words, Pix* binary,
                                          const QDeadlineTimer& deadline);
    // Reads again as one line the pieces of a row that the layout cut apart
    // (see CutLines), taking their words out of `words`.
    QList<RecognizedLine> rejoinCutLines(QList<RecognizedWord>& words, Pix* binary,
                                         const QDeadlineTimer& deadline);
    QList<RecognizedLine> readAsOneBlock(Pix* binary, const QDeadlineTimer& deadline);

    Options options_;
    std::unique_ptr<tesseract::TessBaseAPI> api_;
};
