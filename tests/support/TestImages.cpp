#include "TestImages.h"

#include <QFontMetrics>
#include <QPainter>

#include <random>

namespace TestImages {

QImage filled(int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

QImage noise(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> channel(0, 255);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(channel(random), channel(random), channel(random)));
    return image;
}

QImage halves(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, width / 2, height, Qt::black);
    return image;
}

QColor positionColour(int x, int y) {
    return QColor(x % 256, y % 256, (x / 256) * 16 + y / 256);
}

QImage positions(QSize size, QPoint origin) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, positionColour(origin.x() + x, origin.y() + y));
    return image;
}

QImage text(const QStringList& lines, const TextStyle& style) {
    QFont font(style.family);
    font.setPixelSize(style.pixelSize);
    font.setBold(style.bold);
    const QFontMetrics metrics(font);
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const int margin = style.pixelSize;
    const int lineHeight = metrics.height() * 3 / 2;
    QImage image(width + 2 * margin, int(lines.size()) * lineHeight + 2 * margin,
                 QImage::Format_RGB32);
    image.fill(style.paper);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(style.ink);
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(margin, margin + int(i) * lineHeight + metrics.ascent(), lines[i]);
    return image;
}

} // namespace TestImages
