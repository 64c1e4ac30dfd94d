#include "SymbolView.h"

#include <QPainter>

SymbolView::SymbolView(Paint paint, int side, double opacity, QWidget* parent)
    : QWidget(parent)
    , paint_(paint)
    , opacity_(opacity) {
    setFixedSize(side, side);
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor ink = palette().color(QPalette::WindowText);
    ink.setAlphaF(float(opacity_));
    paint_(painter, QRectF(rect()).adjusted(1, 1, -1, -1), ink);
}
