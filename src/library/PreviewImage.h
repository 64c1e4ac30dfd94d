#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

// A picture scaled to fit the widget with its aspect ratio kept, centred. The
// scaled copy is made once per size, so repaints only copy pixels.
class PreviewImage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage image_;
    QPixmap scaled_;
};
