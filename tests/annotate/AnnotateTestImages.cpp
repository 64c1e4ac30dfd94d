#include "AnnotateTestImages.h"

#include <cstdlib>
#include <random>

namespace AnnotateTestImages {

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

QColor at(const QImage& image, double x, double y) {
    return image.pixelColor(int(x), image.height() - 1 - int(y));
}

bool isColour(const QImage& image, double x, double y, const QColor& colour, int tolerance) {
    const QColor c = at(image, x, y);
    return std::abs(c.red() - colour.red()) <= tolerance &&
           std::abs(c.green() - colour.green()) <= tolerance &&
           std::abs(c.blue() - colour.blue()) <= tolerance;
}

Annotation item(Annotation::Kind kind, const QRectF& rect, double lineWidth, const QColor& colour) {
    Annotation a;
    a.kind = kind;
    a.rect = rect;
    a.lineWidth = lineWidth;
    a.color = colour;
    return a;
}

Annotation textItem(const QString& text, const QRectF& rect, double lineWidth,
                    const QColor& colour) {
    Annotation a = item(Annotation::Kind::text, rect, lineWidth, colour);
    a.text = text;
    return a;
}

CanvasViewport fittedViewport(QSizeF bounds, QRectF visible) {
    CanvasViewport view;
    view.bounds = bounds;
    view.visible = visible;
    return view;
}

} // namespace AnnotateTestImages
