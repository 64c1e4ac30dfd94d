#include "LibrarySymbols.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace LibrarySymbols {

namespace {

// The largest square centred in `box`, and a pen in proportion to it.
QRectF square(const QRectF& box) {
    const double side = std::min(box.width(), box.height());
    return QRectF(box.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
}

QPen inkPen(const QColor& ink, double side) {
    QPen pen(ink, std::max(1.0, side / 14));
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void paintFrame(QPainter& painter, const QRectF& frame, const QColor& ink, double side) {
    painter.setPen(inkPen(ink, side));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame, side / 12, side / 12);
    QPainterPath hill;
    const double w = frame.width();
    const double h = frame.height();
    hill.moveTo(frame.left() + w * 0.12, frame.bottom() - h * 0.15);
    hill.lineTo(frame.left() + w * 0.4, frame.top() + h * 0.45);
    hill.lineTo(frame.left() + w * 0.6, frame.top() + h * 0.68);
    hill.lineTo(frame.left() + w * 0.72, frame.top() + h * 0.56);
    hill.lineTo(frame.right() - w * 0.12, frame.bottom() - h * 0.15);
    painter.drawPath(hill);
    const double sun = std::min(w, h) * 0.16;
    painter.drawEllipse(QPointF(frame.left() + w * 0.72, frame.top() + h * 0.3), sun / 2, sun / 2);
}

} // namespace

void paintPhoto(QPainter& painter, const QRectF& box, const QColor& ink) {
    const QRectF s = square(box);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    paintFrame(painter, s.adjusted(0, s.height() * 0.14, 0, -s.height() * 0.14), ink, s.width());
    painter.restore();
}

void paintPhotoStack(QPainter& painter, const QRectF& box, const QColor& ink) {
    const QRectF s = square(box);
    const QRectF front(s.left(), s.top() + s.height() * 0.3, s.width() * 0.8, s.height() * 0.6);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.save();
    // The front frame hides the back one where they overlap.
    QPainterPath uncovered;
    uncovered.addRect(s.adjusted(-s.width(), -s.height(), s.width(), s.height()));
    QPainterPath frontArea;
    frontArea.addRect(front.adjusted(-1, -1, 1, 1));
    painter.setClipPath(uncovered.subtracted(frontArea));
    painter.translate(s.left() + s.width() * 0.55, s.top() + s.height() * 0.4);
    painter.rotate(-12);
    painter.setPen(inkPen(ink, s.width()));
    painter.drawRoundedRect(
        QRectF(-s.width() * 0.4, -s.height() * 0.3, s.width() * 0.8, s.height() * 0.6),
        s.width() / 12, s.width() / 12);
    painter.restore();
    paintFrame(painter, front, ink, s.width());
    painter.restore();
}

void paintMagnifier(QPainter& painter, const QRectF& box, const QColor& ink) {
    const QRectF s = square(box);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen = inkPen(ink, s.width());
    pen.setWidthF(std::max(1.5, s.width() / 9));
    painter.setPen(pen);
    const double r = s.width() * 0.3;
    const QPointF centre(s.left() + s.width() * 0.42, s.top() + s.height() * 0.42);
    painter.drawEllipse(centre, r, r);
    painter.drawLine(centre + QPointF(r * 0.72, r * 0.72), s.bottomRight() - QPointF(1.5, 1.5));
    painter.restore();
}

void paintWarning(QPainter& painter, const QRectF& box, const QColor& ink) {
    const QRectF s = square(box);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(inkPen(ink, s.width()));
    QPainterPath triangle;
    triangle.moveTo(s.center().x(), s.top() + s.height() * 0.08);
    triangle.lineTo(s.right() - s.width() * 0.04, s.bottom() - s.height() * 0.1);
    triangle.lineTo(s.left() + s.width() * 0.04, s.bottom() - s.height() * 0.1);
    triangle.closeSubpath();
    painter.drawPath(triangle);
    painter.drawLine(QPointF(s.center().x(), s.top() + s.height() * 0.36),
                     QPointF(s.center().x(), s.top() + s.height() * 0.62));
    painter.drawPoint(QPointF(s.center().x(), s.top() + s.height() * 0.76));
    painter.restore();
}

} // namespace LibrarySymbols
