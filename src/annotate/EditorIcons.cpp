#include "EditorIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace EditorIcons {

namespace {

constexpr int side = 24;

const char* themeName(Symbol symbol) {
    switch (symbol) {
    case Symbol::select:
        return "edit-select";
    case Symbol::crop:
        return "transform-crop";
    case Symbol::text:
        return "draw-text";
    case Symbol::line:
        return "draw-line";
    case Symbol::arrow:
        return "draw-arrow";
    case Symbol::rectangle:
        return "draw-rectangle";
    case Symbol::circle:
        return "draw-ellipse";
    case Symbol::pixellate:
        return "blurfx";
    case Symbol::trash:
        return "edit-delete";
    case Symbol::zoomOut:
        return "zoom-out";
    case Symbol::zoomIn:
        return "zoom-in";
    case Symbol::undo:
        return "edit-undo";
    case Symbol::redo:
        return "edit-redo";
    }
    return "";
}

QPainterPath magnifier(bool plus) {
    QPainterPath path;
    path.addEllipse(QRectF(4, 4, 12, 12));
    path.moveTo(14.5, 14.5);
    path.lineTo(20, 20);
    path.moveTo(7, 10);
    path.lineTo(13, 10);
    if (plus) {
        path.moveTo(10, 7);
        path.lineTo(10, 13);
    }
    return path;
}

QPainterPath turnArrow(bool forward) {
    QPainterPath path;
    path.moveTo(9, 5);
    path.lineTo(5, 9);
    path.lineTo(9, 13);
    path.moveTo(5, 9);
    path.lineTo(14, 9);
    path.cubicTo(20.5, 9, 20.5, 19, 14, 19);
    path.lineTo(9, 19);
    if (!forward)
        return path;
    QTransform mirror;
    mirror.translate(side, 0);
    mirror.scale(-1, 1);
    return mirror.map(path);
}

QPainterPath outline(Symbol symbol) {
    QPainterPath path;
    switch (symbol) {
    case Symbol::crop:
        path.moveTo(7, 3);
        path.lineTo(7, 17);
        path.lineTo(21, 17);
        path.moveTo(3, 7);
        path.lineTo(17, 7);
        path.lineTo(17, 21);
        break;
    case Symbol::text:
        path.moveTo(5, 5);
        path.lineTo(19, 5);
        path.moveTo(12, 5);
        path.lineTo(12, 20);
        break;
    case Symbol::line:
        path.moveTo(5, 19);
        path.lineTo(19, 5);
        break;
    case Symbol::arrow:
        path.moveTo(5, 19);
        path.lineTo(18, 6);
        path.moveTo(10, 5);
        path.lineTo(19, 5);
        path.lineTo(19, 14);
        break;
    case Symbol::rectangle:
        path.addRect(QRectF(4, 6, 16, 12));
        break;
    case Symbol::circle:
        path.addEllipse(QRectF(4, 4, 16, 16));
        break;
    case Symbol::trash:
        path.moveTo(4, 6);
        path.lineTo(20, 6);
        path.moveTo(10, 3.5);
        path.lineTo(14, 3.5);
        path.addRect(QRectF(7, 8, 10, 12));
        break;
    case Symbol::zoomOut:
    case Symbol::zoomIn:
        return magnifier(symbol == Symbol::zoomIn);
    case Symbol::undo:
    case Symbol::redo:
        return turnArrow(symbol == Symbol::redo);
    default:
        break;
    }
    return path;
}

QPainterPath filled(Symbol symbol) {
    QPainterPath path;
    if (symbol == Symbol::select) {
        path.moveTo(6, 3);
        path.lineTo(6, 19);
        path.lineTo(10, 15);
        path.lineTo(13, 21);
        path.lineTo(15.5, 20);
        path.lineTo(12.5, 14);
        path.lineTo(18, 14);
        path.closeSubpath();
    } else if (symbol == Symbol::pixellate) {
        path.moveTo(12, 3);
        path.cubicTo(15, 8, 19, 11, 19, 15);
        path.arcTo(QRectF(5, 8, 14, 14), 0, -180);
        path.cubicTo(5, 11, 9, 8, 12, 3);
    }
    return path;
}

QPixmap drawn(Symbol symbol, const QColor& ink, qreal scale) {
    QPixmap pixmap(QSize(side, side) * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline(symbol));
    painter.setBrush(ink);
    painter.setPen(QPen(ink, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(filled(symbol));
    return pixmap;
}

QPixmap recoloured(QPixmap pixmap, const QColor& tint) {
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), tint);
    return pixmap;
}

} // namespace

QIcon icon(Symbol symbol, const QColor& ink, std::optional<QColor> tint) {
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(themeName(symbol)));
    QIcon result;
    if (themed.isNull()) {
        for (const qreal scale : {1.0, 2.0})
            result.addPixmap(drawn(symbol, tint.value_or(ink), scale));
        return result;
    }
    if (!tint)
        return themed;
    for (const int size : {side, side * 2})
        result.addPixmap(recoloured(themed.pixmap(size, size), *tint));
    return result;
}

} // namespace EditorIcons
