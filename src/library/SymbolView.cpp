#include "SymbolView.h"

#include "LibraryStyle.h"

#include <QPainter>

SymbolView::SymbolView(Paint paint, int side, double opacity, QWidget* parent)
    : QWidget(parent)
    , paint_(paint)
    , opacity_(opacity) {
    setFixedSize(side, side);
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint_(painter, QRectF(rect()).adjusted(1, 1, -1, -1),
           LibraryStyle::secondary(palette().color(QPalette::WindowText), opacity_));
}
