#include "FrozenDesktop.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Pointer positions come as floating numbers that may fall a hair short of
// the pixel they name (a root pixel divided by 1.5 and multiplied back). No
// windowing system reports positions finer than 1/256 of a unit.
constexpr qreal hair = 1.0 / 512;

int pixelUnder(qreal position, qreal scale) {
    return int(std::floor(position * scale + hair));
}

// The last pixel of the step that starts at `position`.
int lastPixelOf(qreal position, qreal step, qreal scale) {
    return std::max(pixelUnder(position, scale),
                    int(std::ceil((position + step) * scale - hair)) - 1);
}

} // namespace

FrozenDesktop::FrozenDesktop(std::vector<FrozenScreen> screens,
                             std::vector<QRect> windowsTopmostFirst)
    : screens_(std::move(screens))
    , windows_(std::move(windowsTopmostFirst)) {}

FrozenDesktop FrozenDesktop::fromPictures(const std::vector<ScreenPicture>& pictures,
                                          std::vector<QRect> windowsTopmostFirst) {
    std::vector<FrozenScreen> screens;
    for (const ScreenPicture& picture : pictures)
        screens.push_back({picture.geometry, picture.image});
    return {std::move(screens), std::move(windowsTopmostFirst)};
}

QRect FrozenDesktop::bounds() const {
    QRect united;
    for (const FrozenScreen& screen : screens_)
        united = united.united(screen.geometry);
    return united;
}

qreal FrozenDesktop::scaleOver(const QRectF& area) const {
    qreal largest = 0;
    for (const FrozenScreen& screen : screens_) {
        if (QRectF(screen.geometry).intersects(area))
            largest = std::max(largest, screen.scale());
    }
    // An area in a gap between screens holds no pixels; any scale will do.
    return largest > 0 ? largest : whole().scale;
}

CaptureArea FrozenDesktop::snapped(QPointF from, QPointF to, qreal pointerStep, qreal scale) const {
    const QRect edges = bounds();
    const auto span = [&](qreal a, qreal b, int low, int end) {
        const int first = pixelUnder(std::min(a, b), scale);
        const int last = lastPixelOf(std::max(a, b), pointerStep, scale);
        const int lowest = int(std::ceil(low * scale));
        const int highest = int(std::floor(end * scale)) - 1;
        return std::pair(std::clamp(first, lowest, highest), std::clamp(last, lowest, highest));
    };
    const auto [x0, x1] = span(from.x(), to.x(), edges.left(), edges.left() + edges.width());
    const auto [y0, y1] = span(from.y(), to.y(), edges.top(), edges.top() + edges.height());
    const QRectF pixels(QPointF(x0, y0), QPointF(x1 + 1, y1 + 1));
    return {QRectF(pixels.topLeft() / scale, pixels.size() / scale), scale};
}

CaptureArea FrozenDesktop::selection(QPointF from, QPointF to, qreal pointerStep) const {
    // Which screens a selection touches decides its scale, and the scale its
    // pixel grid: whole units tell the screens closely enough.
    const CaptureArea rough = snapped(from, to, pointerStep, 1);
    return snapped(from, to, pointerStep, scaleOver(rough.area));
}

std::optional<CaptureArea> FrozenDesktop::windowAt(QPointF point) const {
    const auto found = std::find_if(windows_.begin(), windows_.end(), [point](const QRect& window) {
        return QRectF(window).contains(point);
    });
    if (found == windows_.end())
        return std::nullopt;
    const QRectF visible = QRectF(*found).intersected(QRectF(bounds()));
    return CaptureArea{visible, scaleOver(visible)};
}

CaptureArea FrozenDesktop::whole() const {
    qreal largest = 1;
    for (const FrozenScreen& screen : screens_)
        largest = std::max(largest, screen.scale());
    return {QRectF(bounds()), largest};
}

QImage FrozenDesktop::crop(const CaptureArea& capture) const {
    QImage result(capture.pixelSize(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // Enlarged parts are smoothed the way grim and GNOME's tools do it, so a
    // picture across screens looks like theirs. Parts at their own scale are
    // copied pixel for pixel all the same.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const FrozenScreen& screen : screens_) {
        const QRectF part = capture.area.intersected(QRectF(screen.geometry));
        if (part.isEmpty())
            continue;
        const QRectF target((part.topLeft() - capture.area.topLeft()) * capture.scale,
                            part.size() * capture.scale);
        const QRectF source((part.topLeft() - screen.geometry.topLeft()) * screen.scale(),
                            part.size() * screen.scale());
        painter.drawImage(target, screen.image, source);
    }
    painter.end();
    // An area inside one screen has no transparent part; keep its file opaque.
    const bool covered = std::any_of(screens_.begin(), screens_.end(), [&](const FrozenScreen& s) {
        return QRectF(s.geometry).contains(capture.area);
    });
    return covered ? result.convertToFormat(QImage::Format_RGB32) : result;
}
