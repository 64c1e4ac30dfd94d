#include "OcrWorker.h"

#include "ResultLine.h"

OcrWorker::OcrWorker(PixelBudget& budget, OcrSettings settings)
    : budget_(budget)
    , settings_(settings) {}

TextRecognizer* OcrWorker::recognizer() {
    if (!recognizer_ && loadError_.isEmpty()) {
        auto loaded = std::make_unique<TextRecognizer>(settings_.recognition);
        if (loaded->load(loadError_))
            recognizer_ = std::move(loaded);
    }
    return recognizer_.get();
}

QByteArray OcrWorker::recognise(const QString& path, ImageFile& file) {
    const PixelBudget::Reservation reservation(budget_, file.pixelCount());
    DecodedImage decoded = file.decode();
    if (!decoded.ok())
        return ResultLine::failure(path, decoded.error);
    ScreenshotPreprocessor::Result prepared =
        ScreenshotPreprocessor::prepare(std::move(decoded.grey), settings_.preprocessing);
    TextRecognizer* engine = recognizer();
    if (!engine)
        return ResultLine::failure(path, loadError_);
    return ResultLine::success(path, engine->recognize(prepared.pix.get(), settings_.timeLimitMs));
}

QByteArray OcrWorker::process(const QString& path) {
    ImageFile file(path, settings_.maxPixels);
    if (!file.error().isEmpty())
        return ResultLine::failure(path, file.error());
    return recognise(path, file);
}
