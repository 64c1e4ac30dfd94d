#pragma once

#include <QImage>

#include <random>
#include <string>

// A tall made-up page as a program scrolls it inside a region: a sticky
// header, a body of text lines, pictures, blank runs and repeated lines, and a
// sticky footer with an input box whose caret blinks.
class ScrollingPage {
public:
    ScrollingPage(int width, int bodyHeight, int regionHeight, unsigned seed);

    int lastPosition() const { return body_.height() - moving(); }
    // The region with the body scrolled down by `position` rows.
    QImage frame(int position, bool caretShown) const;
    // What a capture scrolled from the top to `position` holds.
    QImage captured(int position, bool caretShown) const;

private:
    int moving() const { return regionHeight_ - header_.height() - footer_.height(); }

    int regionHeight_;
    QImage header_;
    QImage body_;
    QImage footer_;
};

// The region of an endless page scrolled down by `position` rows, drawn row
// by row on demand, so that a 100,000-row page costs no memory of its own:
// lines of glyph-like noise, one line in seven left blank.
QImage endlessPageFrame(int position, QSize region);

// Empty when both are the same picture; else their sizes or the first row
// where they differ.
std::string firstDifferentRow(const QImage& actual, const QImage& expected);
