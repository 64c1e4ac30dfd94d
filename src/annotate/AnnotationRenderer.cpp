#include "AnnotationRenderer.h"

#include "ImageGeometry.h"
#include "Pixellation.h"
#include "YUpPainting.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

namespace AnnotationRenderer {

namespace {

// Text is laid out at one reference size and scaled, so that fractional font
// sizes stay exact and widths grow linearly with the size.
constexpr int referenceTextSize = 64;

const QFont& referenceFont() {
    static const QFont font = [] {
        QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        f.setPixelSize(referenceTextSize);
        f.setWeight(QFont::DemiBold);
        f.setHintingPreference(QFont::PreferNoHinting);
        return f;
    }();
    return font;
}

QPen strokePen(const Annotation& item) {
    QPen pen(item.color, item.lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

void drawArrow(QPainter& painter, const Annotation& item, QPointF s, QPointF e) {
    const QPointF d = e - s;
    const double angle = std::atan2(d.y(), d.x());
    const double head = std::max(item.lineWidth * 4.5, 14.0);
    if (head < ImageGeometry::length(d)) {
        const QPointF shaftEnd = e - 0.85 * head * QPointF(std::cos(angle), std::sin(angle));
        painter.setPen(strokePen(item));
        painter.drawLine(s, shaftEnd);
    }
    const double spread = std::numbers::pi / 6;
    QPainterPath triangle(e);
    triangle.lineTo(e - head * QPointF(std::cos(angle - spread), std::sin(angle - spread)));
    triangle.lineTo(e - head * QPointF(std::cos(angle + spread), std::sin(angle + spread)));
    triangle.closeSubpath();
    painter.fillPath(triangle, item.color);
}

void drawText(QPainter& painter, const Annotation& item, const QRectF& r) {
    const double k = item.textSize() / referenceTextSize;
    painter.save();
    // Upright text whose line box sits on (r.x, r.y), in reference-size units.
    painter.translate(r.x(), r.y());
    painter.scale(k, -k);
    painter.setFont(referenceFont());
    painter.setPen(item.color);
    painter.drawText(QPointF(0, -QFontMetricsF(referenceFont()).descent()),
                     item.text.value_or(QString()));
    painter.restore();
}

void drawBlur(QPainter& painter, const AnnotationDoc& doc, const Annotation& item, const QRectF& r,
              const QRectF& visible) {
    const QRectF absolute = ImageGeometry::standardized(item.rect);
    if (absolute.width() < 2 || absolute.height() < 2)
        return;
    const QSizeF points = doc.sourceSize();
    const double sx = doc.source.width() / std::max(points.width(), 1.0);
    const double sy = doc.source.height() / std::max(points.height(), 1.0);
    const QRect area = Pixellation::pixelArea(absolute, sx, sy);
    if (area.isEmpty())
        return;
    const QImage cells = Pixellation::pixellate(doc.source, area);
    // The whole-pixel area, back in points relative to the visible rectangle.
    const QRectF target(area.x() / sx - visible.x(), area.y() / sy - visible.y(), area.width() / sx,
                        area.height() / sy);
    QPainterPath mask;
    if (item.blurShape == Annotation::BlurShape::ellipse)
        mask.addEllipse(ImageGeometry::standardized(r));
    else
        mask.addRect(ImageGeometry::standardized(r));
    painter.save();
    painter.setClipPath(mask, Qt::IntersectClip);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    YUpPainting::drawImage(painter, target, cells, cells.rect());
    painter.restore();
}

void drawItem(QPainter& painter, const AnnotationDoc& doc, const Annotation& item,
              const QRectF& visible) {
    const QRectF r = item.rect.translated(-visible.topLeft());
    const QPointF s = r.topLeft();
    const QPointF e = s + QPointF(r.width(), r.height());
    painter.setBrush(Qt::NoBrush);
    switch (item.kind) {
    case Annotation::Kind::line:
        painter.setPen(strokePen(item));
        painter.drawLine(s, e);
        break;
    case Annotation::Kind::arrow:
        drawArrow(painter, item, s, e);
        break;
    case Annotation::Kind::rect:
        painter.setPen(strokePen(item));
        painter.drawRect(r);
        break;
    case Annotation::Kind::ellipse:
        painter.setPen(strokePen(item));
        painter.drawEllipse(r);
        break;
    case Annotation::Kind::text:
        drawText(painter, item, r);
        break;
    case Annotation::Kind::blur:
        drawBlur(painter, doc, item, r, visible);
        break;
    }
}

void drawRotatable(QPainter& painter, const AnnotationDoc& doc, const Annotation& item,
                   const QRectF& visible) {
    if (item.rotation == 0 || !item.isBox()) {
        drawItem(painter, doc, item, visible);
        return;
    }
    const QPointF centre =
        ImageGeometry::standardized(item.rect.translated(-visible.topLeft())).center();
    painter.save();
    painter.translate(centre);
    painter.rotate(item.rotation * 180 / std::numbers::pi);
    painter.translate(-centre);
    drawItem(painter, doc, item, visible);
    painter.restore();
}

// The visible rectangle in the source's pixel rows, counted from the top.
QRectF sourcePixels(const AnnotationDoc& doc, const QRectF& visible) {
    const QSizeF points = doc.sourceSize();
    const double sx = doc.source.width() / std::max(points.width(), 1.0);
    const double sy = doc.source.height() / std::max(points.height(), 1.0);
    const double topRow = points.height() - (visible.y() + visible.height());
    return QRectF(visible.x() * sx, topRow * sy, visible.width() * sx, visible.height() * sy);
}

// The canvas asks for the same part of the source at the same reduced size on
// every repaint, and scaling it down is most of that work: the last one is kept.
QImage scaledSource(const QImage& source, const QRect& pixels, const QSize& size) {
    struct Scaled {
        qint64 key = 0;
        QRect pixels;
        QSize size;
        QImage image;
    };
    static std::mutex mutex;
    static Scaled last;
    const std::lock_guard lock(mutex);
    if (last.key != source.cacheKey() || last.pixels != pixels || last.size != size) {
        last = {source.cacheKey(), pixels, size,
                source.copy(pixels).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)};
    }
    return last.image;
}

void drawSource(QPainter& painter, const AnnotationDoc& doc, const QRectF& visible, double scale,
                const QSize& size) {
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (scale < 1) {
        // Reduced for the canvas: a whole-pixel source area, blitted as it is.
        painter.save();
        painter.resetTransform();
        painter.drawImage(
            QPoint(0, 0),
            scaledSource(doc.source, sourcePixels(doc, visible).toAlignedRect(), size));
        painter.restore();
    } else {
        YUpPainting::drawImage(painter, QRectF(0, 0, visible.width(), visible.height()), doc.source,
                               sourcePixels(doc, visible));
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

} // namespace

double renderScale(const QRectF& visible, std::optional<double> maxDimension) {
    if (!maxDimension)
        return 1;
    const double longer = std::max(visible.width(), visible.height());
    return (*maxDimension < longer && longer > 0) ? *maxDimension / longer : 1;
}

QImage render(const AnnotationDoc& doc, std::optional<double> maxDimension) {
    const QRectF visible = doc.visibleRect();
    const double scale = renderScale(visible, maxDimension);
    const QSize size(std::max(1, int(std::lround(visible.width() * scale))),
                     std::max(1, int(std::lround(visible.height() * scale))));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                           QPainter::TextAntialiasing);
    YUpPainting::flip(painter, visible.height() * scale);
    painter.scale(scale, scale);
    drawSource(painter, doc, visible, scale, size);
    for (const Annotation& item : doc.items)
        drawRotatable(painter, doc, item, visible);
    return image;
}

double measureTextWidth(const QString& text, double fontSize) {
    const double size = std::max(fontSize, 1.0);
    const double advance = QFontMetricsF(referenceFont()).horizontalAdvance(text);
    return std::max(advance * size / referenceTextSize, 20.0);
}

} // namespace AnnotationRenderer
