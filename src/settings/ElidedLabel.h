#pragma once

#include <QWidget>

// One line of text that takes the width it is given and, when the text is
// longer, drops characters from its middle, so both the start and the end of a
// path stay readable. The whole text is its tooltip and accessible name.
class ElidedLabel : public QWidget {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return text_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};
