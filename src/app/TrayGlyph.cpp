#include "TrayGlyph.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace TrayGlyph {

namespace {

struct Drawing {
    int size;
    std::vector<QRect> rects;
};

// Corner arms two pixels thick; text lines two pixels tall with two-pixel gaps.
const std::vector<Drawing>& drawings() {
    static const std::vector<Drawing> all{
        {16,
         {{1, 1, 5, 2},
          {1, 3, 2, 3},
          {10, 1, 5, 2},
          {13, 3, 2, 3},
          {1, 13, 5, 2},
          {1, 10, 2, 3},
          {10, 13, 5, 2},
          {13, 10, 2, 3},
          {5, 5, 6, 2},
          {5, 9, 4, 2}}},
        {22,
         {{2, 2, 7, 2},
          {2, 4, 2, 5},
          {13, 2, 7, 2},
          {18, 4, 2, 5},
          {2, 18, 7, 2},
          {2, 13, 2, 5},
          {13, 18, 7, 2},
          {18, 13, 2, 5},
          {7, 7, 8, 2},
          {7, 10, 6, 2},
          {7, 13, 4, 2}}},
        {24,
         {{2, 2, 8, 2},
          {2, 4, 2, 6},
          {14, 2, 8, 2},
          {20, 4, 2, 6},
          {2, 20, 8, 2},
          {2, 14, 2, 6},
          {14, 20, 8, 2},
          {20, 14, 2, 6},
          {7, 8, 10, 2},
          {7, 11, 8, 2},
          {7, 14, 5, 2}}},
    };
    return all;
}

struct Placement {
    const Drawing* drawing;
    int factor;
    int offset;
};

// The drawing that covers the most pixels at a whole factor; a tie goes to the
// larger drawing, which has more detail.
Placement placementFor(int size) {
    const Drawing* best = &drawings().front();
    for (const Drawing& drawing : drawings()) {
        if ((size / drawing.size) * drawing.size >= (size / best->size) * best->size)
            best = &drawing;
    }
    const int factor = std::max(1, size / best->size);
    return {best, factor, std::max(0, (size - factor * best->size) / 2)};
}

// The square behind the glyph, its corners cut.
std::vector<QRect> backdrop(int size) {
    const Placement at = placementFor(size);
    const QRect square(at.offset, at.offset, at.drawing->size * at.factor,
                       at.drawing->size * at.factor);
    // Corners cut by one drawing pixel: round enough, and still on the grid.
    const int f = at.factor;
    return {square.adjusted(f, 0, -f, 0), square.adjusted(0, f, 0, -f)};
}

} // namespace

std::vector<QRect> rectangles(int size) {
    const Placement at = placementFor(size);
    std::vector<QRect> result;
    for (const QRect& rect : at.drawing->rects)
        result.emplace_back(at.offset + rect.x() * at.factor, at.offset + rect.y() * at.factor,
                            rect.width() * at.factor, rect.height() * at.factor);
    return result;
}

QColor colourForPanel(bool panelIsDark) {
    return panelIsDark ? QColor(0xf2, 0xf2, 0xf2) : QColor(0x2e, 0x34, 0x36);
}

bool panelIsDark(const QByteArray& currentDesktop, const QColor& windowColour) {
    if (currentDesktop.toUpper().contains("GNOME"))
        return true;
    return windowColour.lightness() < 128;
}

QIcon icon(const QColor& colour) {
    // The glyph's opposite colour, a little see-through.
    QColor behind = colourForPanel(colour.lightness() < 128);
    behind.setAlpha(backdropAlpha);
    QIcon result;
    for (const int size : {16, 22, 24, 32, 44, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        // The backdrop's two rectangles overlap; blended, the overlap would be darker.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& rect : backdrop(size))
            painter.fillRect(rect, behind);
        for (const QRect& rect : rectangles(size))
            painter.fillRect(rect, colour);
        painter.end();
        result.addPixmap(pixmap);
    }
    return result;
}

} // namespace TrayGlyph
