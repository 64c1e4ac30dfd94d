#include "PreviewImage.h"

#include <QPainter>

void PreviewImage::setImage(const QImage& image) {
    image_ = image;
    scaled_ = QPixmap();
    update();
}

void PreviewImage::resizeEvent(QResizeEvent* event) {
    scaled_ = QPixmap();
    QWidget::resizeEvent(event);
}

void PreviewImage::paintEvent(QPaintEvent*) {
    if (image_.isNull())
        return;
    const QSizeF fitted = QSizeF(image_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (fitted * ratio).toSize();
    if (scaled_.isNull() || scaled_.size() != pixels) {
        scaled_ = QPixmap::fromImage(
            image_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled_.setDevicePixelRatio(ratio);
    }
    QPainter painter(this);
    const QPointF origin((width() - fitted.width()) / 2, (height() - fitted.height()) / 2);
    painter.drawPixmap(origin, scaled_);
}
