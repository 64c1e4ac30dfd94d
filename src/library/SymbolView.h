#pragma once

#include <QWidget>

// A fixed-size widget showing one of the LibrarySymbols in the text colour at
// a given opacity.
class SymbolView : public QWidget {
    Q_OBJECT

public:
    using Paint = void (*)(QPainter&, const QRectF&, const QColor&);

    SymbolView(Paint paint, int side, double opacity, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Paint paint_;
    double opacity_;
};
