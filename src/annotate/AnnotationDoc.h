#pragma once

#include "Annotation.h"

#include <QImage>
#include <QList>
#include <QRectF>

#include <optional>

// One edit of a screenshot as a plain value. The source image is shared between
// copies (undo snapshots included) and never modified.
struct AnnotationDoc {
    QImage source;
    // The part shown and exported, in image points; absent means the whole image.
    std::optional<QRectF> crop;
    // Drawing order: later items are drawn over earlier ones.
    QList<Annotation> items;

    // The source's size in points; one point per pixel unless the image says otherwise.
    QSizeF sourceSize() const { return source.deviceIndependentSize(); }

    QRectF visibleRect() const { return crop ? *crop : QRectF(QPointF(0, 0), sourceSize()); }

    friend bool operator==(const AnnotationDoc&, const AnnotationDoc&) = default;
};
