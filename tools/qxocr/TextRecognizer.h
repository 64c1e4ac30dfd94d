#pragma once

#include <QString>

#include <memory>

struct Pix;

namespace tesseract {
class TessBaseAPI;
}

// One Tesseract engine with Japanese and English loaded, tuned for screenshots.
// Not thread-safe: each worker thread owns its own.
class TextRecognizer {
public:
    // Japanese first: with English first Tesseract spaces out Japanese words.
    static constexpr const char* languages = "jpn+eng";
    // A picture whose recognition takes longer than this keeps what was read
    // so far, so one giant screenshot cannot stall its batch.
    static constexpr int defaultTimeLimitMs = 50'000;

    TextRecognizer();
    ~TextRecognizer();
    TextRecognizer(const TextRecognizer&) = delete;
    TextRecognizer& operator=(const TextRecognizer&) = delete;

    // Loads the language data; false with the reason in `error` when it fails.
    bool load(QString& error);

    // The text of `pix` (8-bit grey), tidied for search.
    QString recognize(Pix* pix, int timeLimitMs = defaultTimeLimitMs);

    // A Tesseract setting as the engine sees it after loading; empty when unknown.
    QString setting(const char* name) const;

private:
    std::unique_ptr<tesseract::TessBaseAPI> api_;
};
