#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// Pictures and image files for the qxocr tests, made on the spot.
namespace TestImages {

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

// `width` x `height`, left half black, right half white.
QImage halves(int width = 64, int height = 32);

// A PNG of busy colour patterns, barely compressible, cut to `fraction` of its size.
void writeTruncatedPng(const QString& path, double fraction = 0.5);

// PNG variants Qt does not write itself, through libpng.
void writeInterlacedPng(const QString& path, const QImage& image);
// A valid PNG header announcing `width` x `height` with almost no pixel data after it.
void writeOversizedPngHeader(const QString& path, quint32 width, quint32 height);
// A GIF with one frame per picture (two colours: black and white).
void writeGif(const QString& path, const QList<QImage>& frames);
// A HEIC file through libheif's encoder.
void writeHeic(const QString& path, const QImage& image);

} // namespace TestImages
