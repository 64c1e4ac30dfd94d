#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

// Pictures made on the spot, for every test that needs one.
namespace TestImages {

// One colour all over, premultiplied like the editor's own images.
QImage filled(int width, int height, const QColor& colour);
// Every pixel a different-looking colour, so that any averaging shows.
QImage noise(int width, int height, unsigned seed = 7);
// `width` x `height`, left half black, right half white.
QImage halves(int width = 64, int height = 32);

// A colour that tells the pixel's position, so a crop shows where each of its
// pixels came from; `positions` paints it for the area at `origin`.
QColor positionColour(int x, int y);
QImage positions(QSize size, QPoint origin = {});

struct TextStyle {
    int pixelSize = 20;
    QColor ink = Qt::black;
    QColor paper = Qt::white;
    bool bold = false;
    // Japanese lines need a font that has the glyphs.
    QString family = QStringLiteral("DejaVu Sans");
};

// Lines of text on plain paper with a margin around them.
QImage text(const QStringList& lines, const TextStyle& style = {});

} // namespace TestImages
