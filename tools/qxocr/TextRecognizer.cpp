#include "TextRecognizer.h"

#include "RecognizedText.h"

#include <string>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>

namespace {

struct Setting {
    const char* name;
    const char* value;
};

// Sparse text finds the scattered labels of a user interface that the page
// layout modes, made for books, pass over; the CJK pitch model keeps Japanese
// characters together as words. Dark text on light is ensured beforehand, so
// Tesseract's own second pass over inverted lines would only cost time.
constexpr Setting screenshotSettings[] = {
    {"preserve_interword_spaces", "1"},
    {"textord_use_cjk_fp_model", "1"},
    {"tessedit_do_invert", "0"},
};

} // namespace

TextRecognizer::TextRecognizer() = default;

TextRecognizer::~TextRecognizer() {
    if (api_)
        api_->End();
}

bool TextRecognizer::load(QString& error) {
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    if (api->Init(nullptr, languages, tesseract::OEM_LSTM_ONLY) != 0) {
        error = QStringLiteral("cannot load Tesseract language data \"%1\"")
                    .arg(QLatin1String(languages));
        return false;
    }
    api->SetPageSegMode(tesseract::PSM_SPARSE_TEXT);
    for (const Setting& setting : screenshotSettings)
        api->SetVariable(setting.name, setting.value);
    api_ = std::move(api);
    return true;
}

QString TextRecognizer::recognize(Pix* pix, int timeLimitMs) {
    api_->SetImage(pix);
    tesseract::ETEXT_DESC monitor;
    monitor.set_deadline_msecs(timeLimitMs);
    api_->Recognize(&monitor);
    const std::unique_ptr<char[]> text(api_->GetUTF8Text());
    api_->Clear();
    return RecognizedText::tidy(text ? QString::fromUtf8(text.get()) : QString());
}

QString TextRecognizer::setting(const char* name) const {
    std::string value;
    if (!api_ || !api_->GetVariableAsString(name, &value))
        return {};
    return QString::fromStdString(value);
}
