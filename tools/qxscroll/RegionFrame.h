#pragma once

#include <QPainter>
#include <QWidget>

// A thin coloured frame around the region being captured, drawn just outside
// it so that it never shows in the capture. It takes no input at all: the
// wheel and clicks go to the program underneath.
class RegionFrame : public QWidget {
public:
    // `region` in the logical units of its screen.
    explicit RegionFrame(const QRect& region);

    static constexpr int thickness = 3;
    // The frame round `region`, for windows that draw it among other things.
    static void paint(QPainter& painter, const QRect& region);

protected:
    void paintEvent(QPaintEvent* event) override;
};
