#include "OcrWorker.h"

#include "PageRegions.h"
#include "ResultLine.h"

#include <QDeadlineTimer>
#include <QStringList>

#include <vector>

namespace {

QSize size(Pix* pix) {
    return QSize(pixGetWidth(pix), pixGetHeight(pix));
}

} // namespace

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
    TextRecognizer* engine = recognizer();
    if (!engine)
        return ResultLine::failure(path, loadError_);
    const QList<QRect> regions = settings_.splitRegions
                                     ? PageRegions::find(decoded.grey.get())
                                     : QList<QRect>{QRect(QPoint(0, 0), size(decoded.grey.get()))};
    if (regions.size() == 1 && regions.front().size() == size(decoded.grey.get()))
        return ResultLine::success(path,
                                   read(*engine, std::move(decoded.grey), settings_.timeLimitMs));
    // The regions are copied out before the picture is let go, so that no
    // more than the picture and one region's prepared copy is held at once.
    std::vector<PixPtr> parts;
    for (const QRect& region : regions) {
        Box* box = boxCreate(region.x(), region.y(), region.width(), region.height());
        parts.emplace_back(pixClipRectangle(decoded.grey.get(), box, nullptr));
        boxDestroy(&box);
        if (!parts.back())
            return ResultLine::failure(path, QStringLiteral("out of memory"));
    }
    decoded.grey.reset();
    const QDeadlineTimer deadline(settings_.timeLimitMs);
    QStringList texts;
    for (PixPtr& part : parts) {
        if (deadline.hasExpired())
            break;
        texts.append(read(*engine, std::move(part), int(deadline.remainingTime())));
    }
    texts.removeAll(QString());
    return ResultLine::success(path, texts.join(u'\n'));
}

QString OcrWorker::read(TextRecognizer& engine, PixPtr grey, int timeLimitMs) const {
    const ScreenshotPreprocessor::Result prepared =
        ScreenshotPreprocessor::prepare(std::move(grey), settings_.preprocessing);
    return engine.recognize(prepared.pix.get(), timeLimitMs);
}

QByteArray OcrWorker::process(const QString& path) {
    ImageFile file(path, settings_.maxPixels);
    if (!file.error().isEmpty())
        return ResultLine::failure(path, file.error());
    return recognise(path, file);
}
