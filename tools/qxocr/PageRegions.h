#pragma once

#include <QList>
#include <QRect>

struct Pix;

// A large screenshot is mostly desktop: a plain background with windows on
// it. Read whole, the empty background costs as much as the windows, and one
// decision for the whole picture (dark or light, how much to enlarge) is
// wrong for some of them. The parts that stand out from the background are
// read one by one instead, each as a screenshot of its own.
namespace PageRegions {

// The parts of `grey` (8 bit) that differ from its most common grey, with a
// margin, left to right within rows from top to bottom; the whole picture
// when it is small, has no plain background, or is covered mostly anyway.
QList<QRect> find(Pix* grey);

} // namespace PageRegions
