#include "FrozenDesktop.h"

#include <QPainter>

#include <algorithm>

FrozenDesktop::FrozenDesktop(std::vector<FrozenScreen> screens,
                             std::vector<QRect> windowsTopmostFirst)
    : screens_(std::move(screens))
    , windows_(std::move(windowsTopmostFirst)) {}

QRect FrozenDesktop::selection(std::size_t screen, QPointF from, QPointF to) const {
    const FrozenScreen& frozen = screens_.at(screen);
    const QRect bounds = frozen.nativeGeometry;
    const auto clamp = [&bounds](QPoint p) {
        return QPoint(std::clamp(p.x(), bounds.left(), bounds.right()),
                      std::clamp(p.y(), bounds.top(), bounds.bottom()));
    };
    // Both pixels under the pointer belong to the selection, so a drag that
    // ends on a screen's last row or column takes it too.
    const QPoint a = clamp(frozen.toNative(from));
    const QPoint b = clamp(frozen.toNative(to));
    return {QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
            QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))};
}

std::optional<QRect> FrozenDesktop::windowAt(QPoint native) const {
    const auto found =
        std::find_if(windows_.begin(), windows_.end(),
                     [native](const QRect& window) { return window.contains(native); });
    if (found == windows_.end())
        return std::nullopt;
    return *found;
}

QImage FrozenDesktop::crop(const QRect& native) const {
    QImage result(native.size(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const FrozenScreen& screen : screens_) {
        const QRect part = native.intersected(screen.nativeGeometry);
        if (part.isEmpty())
            continue;
        // Both rectangles given in pixels: a grab carries its screen's scale,
        // and drawing it by position alone would shrink it by that scale.
        painter.drawImage(part.translated(-native.topLeft()), screen.image,
                          part.translated(-screen.nativeGeometry.topLeft()));
    }
    painter.end();
    // A rectangle inside one screen has no transparent part; keep its file opaque.
    const bool covered = std::any_of(screens_.begin(), screens_.end(), [&](const FrozenScreen& s) {
        return s.nativeGeometry.contains(native);
    });
    return covered ? result.convertToFormat(QImage::Format_RGB32) : result;
}
