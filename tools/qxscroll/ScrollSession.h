#pragma once

#include "ScreenPlacement.h"
#include "ScrollControls.h"
#include "ScrollDisplay.h"
#include "ScrollStitcher.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

// One scrolling capture of a chosen region, from the first grab to the file:
// grabs the region whenever it changed, stitches, scrolls by itself on
// request, and ends the program with 0 (written), 1 (cancelled) or 2 (failed).
class ScrollSession : public QObject {
    Q_OBJECT

public:
    ScrollSession(ScrollDisplay& display, const ScreenPlacement& screen, const QRect& region,
                  QString outputPath);

    // Shows the frame and the bar and starts grabbing; false with a message
    // on standard error when that cannot be done.
    bool start();

private:
    void tick();
    // False when the program is ending with an error.
    bool place(const QImage& grab);
    void autoScroll(bool changed);
    void setAutoScrolling(bool on);
    void step();
    void finish(bool save);
    void fail(const QString& reason);
    void present();
    QRect toLogical(const QRect& native) const;

    ScrollDisplay& display_;
    ScreenPlacement screen_;
    QRect region_; // grabbed, in root-window pixels
    QString outputPath_;
    std::unique_ptr<ScrollStitcher> stitcher_;
    ScrollControls controls_;
    QPoint barCorner_; // in Qt's logical units
    QTimer ticks_;
    QImage lastGrab_;
    QElapsedTimer sinceChange_;
    QElapsedTimer sinceUnplaced_; // valid while grabs cannot be placed

    // Auto-scroll: the steps sent since the last placed grab, and how far one
    // step moved the content the last time that could be measured.
    bool autoScrolling_ = false;
    std::optional<QPoint> pointerBefore_;
    QPoint pointerParked_;
    QElapsedTimer sinceStep_;
    bool movedSinceStep_ = false;
    int stepsUnplaced_ = 0;
    std::optional<int> pixelsPerStep_;
    bool finished_ = false;
};
