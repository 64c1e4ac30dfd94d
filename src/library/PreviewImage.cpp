#include "PreviewImage.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

const QColor markFill(255, 196, 0, 80);
const QColor markEdge(230, 150, 0, 220);

} // namespace

void PreviewImage::setImage(const QImage& image) {
    marks_.clear();
    image_ = image;
    scaled_ = QPixmap();
    focus_.reset();
    update();
}

void PreviewImage::setMarks(const QList<QRect>& boxes, QSize pictureSize) {
    marks_.clear();
    if (!image_.isNull() && !pictureSize.isEmpty()) {
        const qreal ratio = qreal(image_.width()) / pictureSize.width();
        for (const QRect& box : boxes)
            marks_.append(QRectF(QPointF(box.topLeft()) * ratio, QSizeF(box.size()) * ratio));
    }
    focusOnFirstMark();
    update();
}

void PreviewImage::focusOnFirstMark() {
    const QSizeF natural = QSizeF(image_.size()) / devicePixelRatioF();
    const bool larger = natural.width() > width() || natural.height() > height();
    focus_ = !marks_.isEmpty() && larger ? std::optional(marks_.first().center()) : std::nullopt;
}

QRectF PreviewImage::placement() const {
    const qreal ratio = devicePixelRatioF();
    if (focus_) {
        // At its own size, the focus in the middle as far as the edges allow.
        const QSizeF size = QSizeF(image_.size()) / ratio;
        const auto along = [](qreal focus, qreal picture, qreal view) {
            return picture <= view ? (view - picture) / 2
                                   : std::clamp(view / 2 - focus, view - picture, 0.0);
        };
        return {QPointF(along(focus_->x() / ratio, size.width(), width()),
                        along(focus_->y() / ratio, size.height(), height())),
                size};
    }
    const QSizeF fitted = QSizeF(image_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return {QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted};
}

void PreviewImage::resizeEvent(QResizeEvent* event) {
    scaled_ = QPixmap();
    QWidget::resizeEvent(event);
}

void PreviewImage::paintEvent(QPaintEvent*) {
    if (image_.isNull())
        return;
    const QRectF place = placement();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (place.size() * ratio).toSize();
    if (scaled_.isNull() || scaled_.size() != pixels) {
        scaled_ = QPixmap::fromImage(
            pixels == image_.size()
                ? image_
                : image_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled_.setDevicePixelRatio(ratio);
    }
    QPainter painter(this);
    painter.drawPixmap(place.topLeft(), scaled_);
    const qreal shown = place.width() / image_.width();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(markEdge, 1.5));
    painter.setBrush(markFill);
    for (const QRectF& mark : marks_) {
        const QRectF box(place.topLeft() + mark.topLeft() * shown, mark.size() * shown);
        painter.drawRoundedRect(box.adjusted(-2, -2, 2, 2), 2, 2);
    }
}

void PreviewImage::mousePressEvent(QMouseEvent* event) {
    dragFrom_ = event->position();
}

void PreviewImage::mouseMoveEvent(QMouseEvent* event) {
    if (!focus_ || !(event->buttons() & Qt::LeftButton))
        return;
    *focus_ -= (event->position() - dragFrom_) * devicePixelRatioF();
    *focus_ = QPointF(std::clamp(focus_->x(), 0.0, qreal(image_.width())),
                      std::clamp(focus_->y(), 0.0, qreal(image_.height())));
    dragFrom_ = event->position();
    update();
}

void PreviewImage::mouseDoubleClickEvent(QMouseEvent*) {
    if (focus_)
        focus_.reset();
    else if (!marks_.isEmpty())
        focusOnFirstMark();
    update();
}
