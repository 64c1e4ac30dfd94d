#pragma once

#include "ImageFile.h"
#include "PixelBudget.h"
#include "ScreenshotPreprocessor.h"
#include "TextRecognizer.h"

#include <QByteArray>
#include <QString>

#include <memory>

struct OcrSettings {
    qint64 maxPixels = ImageFile::defaultMaxPixels;
    int timeLimitMs = TextRecognizer::defaultTimeLimitMs;
    // Large screenshots are read window by window (see PageRegions).
    bool splitRegions = true;
    // Blocks of text much smaller than the rest are read apart (see SmallTextBlocks).
    bool readSmallTextApart = true;
    // A large page is read as two halves at once, by a second engine: for one
    // picture at a time (qxocr --warm), on a machine with a core to spare.
    bool readHalvesAtOnce = false;
    ScreenshotPreprocessor::Options preprocessing;
    TextRecognizer::Options recognition;
};

// Turns one path after another into its result line, on one thread with one
// Tesseract engine, loaded when the first picture arrives.
class OcrWorker {
public:
    OcrWorker(PixelBudget& budget, OcrSettings settings);

    // {"path": ..., "text": ...} or {"path": ..., "error": ...}, line feed included.
    QByteArray process(const QString& path);
    // Loads the recogniser (and the second one that reads halves) now rather
    // than at the first picture.
    void preload();

private:
    // The engine, or null with the reason in `loadError_`.
    TextRecognizer* recognizer();
    QByteArray recognise(const QString& path, ImageFile& file);
    // The text of one screenshot or one region of it, its boxes in its pixels.
    RecognizedPage read(TextRecognizer& engine, PixPtr grey, int timeLimitMs) const;
    // A prepared page, whole or, when large and a second engine is there, as two halves at once.
    RecognizedPage readPage(TextRecognizer& engine, Pix* prepared, int timeLimitMs) const;

    PixelBudget& budget_;
    OcrSettings settings_;
    std::unique_ptr<TextRecognizer> recognizer_;
    std::unique_ptr<TextRecognizer> second_; // reads the lower half, when asked to
    QString loadError_;
};
