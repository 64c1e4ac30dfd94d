#include "ScrollingPage.h"

#include <QPainter>

#include <cstring>

namespace {

void endlessPageRow(int y, quint32* out, int width) {
    const unsigned line = unsigned(y / 18);
    const int inLine = y % 18;
    std::fill(out, out + width, 0xfff8f8f4u);
    if (inLine < 3 || inLine > 14 || line % 7 == 6)
        return;
    const int length = int((line * 2654435761u) % unsigned(width - 40)) + 40;
    for (int x = 8; x < length; ++x) {
        const unsigned h = (unsigned(x / 6) * 40503u) ^ (line * 2246822519u) ^
                           (unsigned(inLine) * 3266489917u) ^ unsigned(x % 6) * 668265263u;
        if ((h ^ (h >> 15)) % 3 == 0)
            out[x] = 0xff000000u | ((h >> 4) & 0x3f3f7f);
    }
}

constexpr QRgb paper = 0xfff8f8f4;

// One line of glyph-like blots, different for every seed.
void textLine(QImage& image, int top, int height, std::mt19937& random) {
    std::uniform_int_distribution<int> grey(0, 160);
    std::bernoulli_distribution ink(0.35);
    int x = 8;
    const int end = int(random() % unsigned(image.width() - 16)) + 16;
    while (x < end - 8) {
        const int glyph = 4 + int(random() % 5u);
        for (int y = top + 3; y < top + height - 3; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int gx = x; gx < std::min(x + glyph, image.width()); ++gx) {
                if (ink(random))
                    line[gx] = qRgb(grey(random), grey(random) / 2, grey(random));
            }
        }
        x += glyph + 2 + int(random() % 7u == 0 ? 6 : 0);
    }
}

void picture(QImage& image, int top, int height, std::mt19937& random) {
    const int hue = int(random() % 360u);
    for (int y = top; y < top + height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 20; x < image.width() - 20; ++x)
            line[x] = QColor::fromHsv((hue + x / 3) % 360, 120 + (y - top) % 100,
                                      150 + int(random() % 40u))
                          .rgb();
    }
}

QImage paperImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(paper);
    return image;
}

} // namespace

ScrollingPage::ScrollingPage(int width, int bodyHeight, int regionHeight, unsigned seed)
    : regionHeight_(regionHeight)
    , header_(paperImage(width, 36))
    , body_(paperImage(width, bodyHeight))
    , footer_(paperImage(width, 30)) {
    std::mt19937 random(seed);
    textLine(header_, 4, 28, random);
    footer_.fill(0xffe0e0e8);
    QPainter(&footer_).fillRect(8, 5, width - 16, 20, Qt::white);
    int y = 10;
    while (y < bodyHeight - 200) {
        switch (random() % 6u) {
        case 0: // a picture
        {
            const int height = 40 + int(random() % 120u);
            picture(body_, y, height, random);
            y += height + 8;
            break;
        }
        case 1: // a blank run, shorter than the region: a longer one cannot be measured
            y += 20 + int(random() % unsigned(regionHeight / 3));
            textLine(body_, y, 16, random);
            y += 18;
            break;
        case 2: // one line said several times
        {
            textLine(body_, y, 16, random);
            const int times = 2 + int(random() % 4u);
            for (int i = 1; i < times; ++i) {
                QPainter painter(&body_);
                painter.drawImage(0, y + i * 18, body_.copy(0, y, width, 18));
            }
            y += times * 18;
            break;
        }
        default:
            textLine(body_, y, 16, random);
            y += 18;
        }
    }
    // Text to the very end: a blank end gives a scroll nothing to measure.
    for (; y < bodyHeight - 18; y += 18)
        textLine(body_, y, 16, random);
}

QImage ScrollingPage::frame(int position, bool caretShown) const {
    QImage frame = paperImage(body_.width(), regionHeight_);
    QPainter painter(&frame);
    painter.drawImage(0, 0, header_);
    painter.drawImage(QPoint(0, header_.height()), body_,
                      QRect(0, position, body_.width(), moving()));
    painter.drawImage(0, regionHeight_ - footer_.height(), footer_);
    if (caretShown)
        painter.fillRect(20, regionHeight_ - footer_.height() + 8, 2, 14, Qt::black);
    return frame;
}

QImage ScrollingPage::captured(int position, bool caretShown) const {
    const int height = header_.height() + position + moving() + footer_.height();
    QImage page = paperImage(body_.width(), height);
    QPainter painter(&page);
    painter.drawImage(0, 0, header_);
    painter.drawImage(QPoint(0, header_.height()), body_,
                      QRect(0, 0, body_.width(), position + moving()));
    painter.drawImage(QPoint(0, height - footer_.height()), frame(position, caretShown),
                      QRect(0, regionHeight_ - footer_.height(), body_.width(), footer_.height()));
    return page;
}

std::string firstDifferentRow(const QImage& actual, const QImage& expected) {
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage b = expected.convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size())
        return "size " + std::to_string(a.width()) + "x" + std::to_string(a.height()) +
               ", expected " + std::to_string(b.width()) + "x" + std::to_string(b.height());
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), std::size_t(a.width()) * 4) != 0)
            return "row " + std::to_string(y);
    }
    return {};
}

QImage endlessPageFrame(int position, QSize region) {
    QImage frame(region, QImage::Format_RGB32);
    for (int r = 0; r < region.height(); ++r)
        endlessPageRow(position + r, reinterpret_cast<quint32*>(frame.scanLine(r)), region.width());
    return frame;
}
