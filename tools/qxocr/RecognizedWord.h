#pragma once

#include <QRect>
#include <QString>

// One word as Tesseract read it.
struct RecognizedWord {
    QString text;
    QRect box;
    float confidence = 0; // 0 to 100
    bool english = false; // read by the English model rather than the Japanese one
    bool startsLine = false;
    bool spaceBefore = false;
};

// A line read on its own, outside Tesseract's page layout.
struct RecognizedLine {
    QString text;
    QRect box;
};
