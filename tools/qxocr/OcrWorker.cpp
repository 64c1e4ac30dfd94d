#include "OcrWorker.h"

#include "PageRegions.h"
#include "PixArea.h"
#include "ResultLine.h"
#include "SmallTextBlocks.h"

#include <QDeadlineTimer>

#include <cstdlib>
#include <thread>
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

// Below this many pixels (as enlarged for reading) a page takes no longer
// than starting the second engine's work is worth.
constexpr qint64 halvesFromPixels = 1'000'000;

// Rows of text pixels fewer than this count as blank: specks are no text.
constexpr int blankRowInk = 2;
// A gap between two lines is at least this many blank rows.
constexpr int minimumGap = 4;

// The middle of the run of blank rows nearest the middle of `pix` (dark text
// on light), within its middle third; 0 when there is none.
int blankGapNearMiddle(Pix* pix) {
    const PixPtr binary(pixConvertTo1(pix, 128));
    Numa* counts = binary ? pixCountPixelsByRow(binary.get(), nullptr) : nullptr;
    if (!counts)
        return 0;
    const int height = numaGetCount(counts);
    std::vector<bool> blank(std::size_t(height), false);
    for (int y = 0; y < height; ++y) {
        l_int32 ink = 0;
        numaGetIValue(counts, y, &ink);
        blank[std::size_t(y)] = ink < blankRowInk;
    }
    numaDestroy(&counts);
    int best = 0;
    for (int y = height / 3; y < 2 * height / 3; ++y) {
        if (!blank[std::size_t(y)])
            continue;
        int end = y;
        while (end < height && blank[std::size_t(end)])
            ++end;
        const int middle = (y + end) / 2;
        if (end - y >= minimumGap &&
            (best == 0 || std::abs(middle - height / 2) < std::abs(best - height / 2)))
            best = middle;
        y = end;
    }
    return best;
}

} // namespace

OcrWorker::OcrWorker(PixelBudget& budget, OcrSettings settings)
    : budget_(budget)
    , settings_(settings) {}

void OcrWorker::preload() {
    if (!recognizer() || !settings_.readHalvesAtOnce || second_)
        return;
    auto loaded = std::make_unique<TextRecognizer>(settings_.recognition);
    QString error;
    // Without it, pages are read whole as always.
    if (loaded->load(error))
        second_ = std::move(loaded);
}

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
    RecognizedPage page = readPage(engine, prepared.pix.get(), int(deadline.remainingTime()));
    readInTurn(smallText, deadline, page, [&](PixPtr block, int timeLimitMs) {
        // Prepared again on its own, the block is enlarged for its own text.
        const ScreenshotPreprocessor::Result enlarged =
            ScreenshotPreprocessor::prepare(std::move(block), settings_.preprocessing);
        return engine.recognize(enlarged.pix.get(), timeLimitMs).placed(enlarged.scale, {});
    });
    // The page was read enlarged; its boxes stand in the picture's own pixels.
    return page.placed(prepared.scale, {});
}

RecognizedPage OcrWorker::readPage(TextRecognizer& engine, Pix* prepared, int timeLimitMs) const {
    const QSize size = PixArea::size(prepared);
    if (!second_ || qint64(size.width()) * size.height() < halvesFromPixels)
        return engine.recognize(prepared, timeLimitMs);
    // Cut in the blank gap between two lines nearest the middle; a page with
    // no such gap in its middle third is read whole.
    const int cut = blankGapNearMiddle(prepared);
    const PixPtr upper =
        cut > 0 ? PixArea::clip(prepared, QRect(0, 0, size.width(), cut)) : nullptr;
    const PixPtr lower =
        cut > 0 ? PixArea::clip(prepared, QRect(0, cut, size.width(), size.height() - cut))
                : nullptr;
    if (!upper || !lower)
        return engine.recognize(prepared, timeLimitMs);
    RecognizedPage below;
    std::thread second([&] { below = second_->recognize(lower.get(), timeLimitMs); });
    RecognizedPage page = engine.recognize(upper.get(), timeLimitMs);
    second.join();
    page.append(below.placed(1, QPoint(0, cut)));
    return page;
}

QByteArray OcrWorker::process(const QString& path) {
    ImageFile file(path, settings_.maxPixels);
    if (!file.error().isEmpty())
        return ResultLine::failure(path, file.error());
    return recognise(path, file);
}
