#pragma once

#include <QImage>
#include <QPixmap>
#include <QRectF>
#include <QWidget>

#include <optional>

// A picture scaled to fit the widget with its aspect ratio kept, centred, the
// places of searched words marked on it by translucent boxes. When it has
// marks and is larger than the widget, it shows at its own size instead,
// around the first mark; a drag moves it, a double-click fits it and back.
// The scaled copy is made once per size, so repaints only copy pixels.
class PreviewImage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Shows `image`, without marks.
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

    // The boxes to mark, in the pixels of a picture of `pictureSize`, the one
    // shown, or its original at another size.
    void setMarks(const QList<QRect>& boxes, QSize pictureSize);
    // The marks, in the pixels of the picture shown.
    const QList<QRectF>& marks() const { return marks_; }
    // Where the picture's own pixels show around, when it shows at its size.
    std::optional<QPointF> focus() const { return focus_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The picture's place in the widget, in its logical units.
    QRectF placement() const;
    void focusOnFirstMark();

    QImage image_;
    QPixmap scaled_;
    QList<QRectF> marks_; // in the pixels of `image_`
    std::optional<QPointF> focus_;
    QPointF dragFrom_;
};
