#pragma once

#include <QList>
#include <QRect>
#include <QString>

// A word as the helper reports it: its text and where it stands.
struct WordBox {
    QString text;
    QRect box;
};

// What a picture, or a part of one, says: its text, tidied for search, and
// where its words stand, in the pixels of that picture or part.
struct RecognizedPage {
    QString text;
    QList<WordBox> words;

    // The same page as part of a larger picture: its boxes shrunk by `scale`
    // (the part was enlarged that much before it was read), then moved by
    // `offset`.
    RecognizedPage placed(double scale, QPoint offset) const;
    // Another page's text as the next lines of this one, its words beside these.
    void append(const RecognizedPage& other);
};
