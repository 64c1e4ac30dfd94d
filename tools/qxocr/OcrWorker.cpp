#include "OcrWorker.h"

#include "PageRegions.h"
#include "PixArea.h"
#include "ResultLine.h"
#include "SmallTextBlocks.h"

#include <QDeadlineTimer>
#include <QStringList>

#include <vector>

namespace {

// Copies of the blocks of small text in `pix`, which are painted white there:
// read with the large text, they would only add noise to it.
std::vector<PixPtr> cutOutSmallText(Pix* pix) {
    std::vector<PixPtr> blocks;
    for (const QRect& block : SmallTextBlocks::find(pix)) {
        PixPtr part = PixArea::clip(pix, block);
        if (!part)
            continue;
        blocks.push_back(std::move(part));
        pixRasterop(pix, block.x(), block.y(), block.width(), block.height(), PIX_SET, nullptr, 0,
                    0);
    }
    return blocks;
}

// Reads `parts` one after another while time is left, adding each one's text
// to `texts`.
template <typename Read>
void readInTurn(std::vector<PixPtr>& parts, const QDeadlineTimer& deadline, QStringList& texts,
                Read read) {
    for (PixPtr& part : parts) {
        if (deadline.hasExpired())
            break;
        texts.append(read(std::move(part), int(deadline.remainingTime())));
    }
}

// The texts as the lines of one; an empty one leaves no blank line.
QString joined(QStringList texts) {
    texts.removeAll(QString());
    return texts.join(u'\n');
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
    const QList<QRect> regions =
        settings_.splitRegions
            ? PageRegions::find(decoded.grey.get())
            : QList<QRect>{QRect(QPoint(0, 0), PixArea::size(decoded.grey.get()))};
    if (regions.size() == 1 && regions.front().size() == PixArea::size(decoded.grey.get()))
        return ResultLine::success(path,
                                   read(*engine, std::move(decoded.grey), settings_.timeLimitMs));
    // The regions are copied out before the picture is let go, so that no
    // more than the picture and one region's prepared copy is held at once.
    std::vector<PixPtr> parts;
    for (const QRect& region : regions) {
        parts.push_back(PixArea::clip(decoded.grey.get(), region));
        if (!parts.back())
            return ResultLine::failure(path, QStringLiteral("out of memory"));
    }
    decoded.grey.reset();
    QStringList texts;
    readInTurn(
        parts, QDeadlineTimer(settings_.timeLimitMs), texts,
        [&](PixPtr part, int timeLimitMs) { return read(*engine, std::move(part), timeLimitMs); });
    return ResultLine::success(path, joined(texts));
}

QString OcrWorker::read(TextRecognizer& engine, PixPtr grey, int timeLimitMs) const {
    const QDeadlineTimer deadline(timeLimitMs);
    const ScreenshotPreprocessor::Result prepared =
        ScreenshotPreprocessor::prepare(std::move(grey), settings_.preprocessing);
    std::vector<PixPtr> smallText =
        settings_.readSmallTextApart ? cutOutSmallText(prepared.pix.get()) : std::vector<PixPtr>();
    QStringList texts{engine.recognize(prepared.pix.get(), int(deadline.remainingTime()))};
    readInTurn(smallText, deadline, texts, [&](PixPtr block, int timeLimitMs) {
        // Prepared again on its own, the block is enlarged for its own text.
        const ScreenshotPreprocessor::Result enlarged =
            ScreenshotPreprocessor::prepare(std::move(block), settings_.preprocessing);
        return engine.recognize(enlarged.pix.get(), timeLimitMs);
    });
    return joined(texts);
}

QByteArray OcrWorker::process(const QString& path) {
    ImageFile file(path, settings_.maxPixels);
    if (!file.error().isEmpty())
        return ResultLine::failure(path, file.error());
    return recognise(path, file);
}
