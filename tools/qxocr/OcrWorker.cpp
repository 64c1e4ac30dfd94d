#include "OcrWorker.h"

#include "PageRegions.h"
#include "PixArea.h"
#include "ResultLine.h"
#include "SmallTextBlocks.h"

#include <QDeadlineTimer>

#include <vector>

namespace {

// A part of a picture to read on its own, and where it stands in the picture.
struct TextBlock {
    PixPtr pix;
    QPoint at;
};

// Copies of the blocks of small text in `pix`, which are painted white there:
// read with the large text, they would only add noise to it.
std::vector<TextBlock> cutOutSmallText(Pix* pix) {
    std::vector<TextBlock> blocks;
    for (const QRect& block : SmallTextBlocks::find(pix)) {
        PixPtr part = PixArea::clip(pix, block);
        if (!part)
            continue;
        blocks.push_back({std::move(part), block.topLeft()});
        pixRasterop(pix, block.x(), block.y(), block.width(), block.height(), PIX_SET, nullptr, 0,
                    0);
    }
    return blocks;
}

// Reads `parts` one after another while time is left, adding each one's
// page, placed where the part stands, to `page`.
template <typename Read>
void readInTurn(std::vector<TextBlock>& parts, const QDeadlineTimer& deadline, RecognizedPage& page,
                Read read) {
    for (TextBlock& part : parts) {
        if (deadline.hasExpired())
            break;
        page.append(read(std::move(part.pix), int(deadline.remainingTime())).placed(1, part.at));
    }
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
    std::vector<TextBlock> parts;
    for (const QRect& region : regions) {
        parts.push_back({PixArea::clip(decoded.grey.get(), region), region.topLeft()});
        if (!parts.back().pix)
            return ResultLine::failure(path, QStringLiteral("out of memory"));
    }
    decoded.grey.reset();
    RecognizedPage page;
    readInTurn(
        parts, QDeadlineTimer(settings_.timeLimitMs), page,
        [&](PixPtr part, int timeLimitMs) { return read(*engine, std::move(part), timeLimitMs); });
    return ResultLine::success(path, page);
}

RecognizedPage OcrWorker::read(TextRecognizer& engine, PixPtr grey, int timeLimitMs) const {
    const QDeadlineTimer deadline(timeLimitMs);
    const ScreenshotPreprocessor::Result prepared =
        ScreenshotPreprocessor::prepare(std::move(grey), settings_.preprocessing);
    std::vector<TextBlock> smallText = settings_.readSmallTextApart
                                           ? cutOutSmallText(prepared.pix.get())
                                           : std::vector<TextBlock>();
    RecognizedPage page = engine.recognize(prepared.pix.get(), int(deadline.remainingTime()));
    readInTurn(smallText, deadline, page, [&](PixPtr block, int timeLimitMs) {
        // Prepared again on its own, the block is enlarged for its own text.
        const ScreenshotPreprocessor::Result enlarged =
            ScreenshotPreprocessor::prepare(std::move(block), settings_.preprocessing);
        return engine.recognize(enlarged.pix.get(), timeLimitMs).placed(enlarged.scale, {});
    });
    // The page was read enlarged; its boxes stand in the picture's own pixels.
    return page.placed(prepared.scale, {});
}

QByteArray OcrWorker::process(const QString& path) {
    ImageFile file(path, settings_.maxPixels);
    if (!file.error().isEmpty())
        return ResultLine::failure(path, file.error());
    return recognise(path, file);
}
