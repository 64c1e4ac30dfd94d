#pragma once

#include "PipeWireFrames.h"
#include "ScreenCastPortal.h"
#include "ScrollSession.h"
#include "WaylandScrollDisplay.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRectF>
#include <QTimer>

#include <memory>

// What comes between the chosen region and its scrolling capture on Wayland:
// the desktop's screen cast of the region's output (its dialog appears only
// the first time: the restore token is kept), the first pictures, and the
// overlay. Ends the program with 2 when any of it fails, 1 when the person
// cancels the desktop's dialog.
class WaylandScrollStart : public QObject {
    Q_OBJECT

public:
    // `output`: the screen holding most of `region`, both in the compositor's
    // layout; `layout`: the bounding box of all screens.
    WaylandScrollStart(const WaylandScrollDisplay::Output& output, const QRectF& region,
                       QRect layout, QString outputPath);

    void start();

private:
    void streamStarted(int fd, const ScreenCastPortal::Stream& stream, const QString& token);
    void waitForFormat();
    void startSession();
    void fail(const QString& reason);

    WaylandScrollDisplay::Output output_;
    QRectF region_;
    QRect layout_;
    QString outputPath_;
    ScreenCastPortal portal_;
    std::unique_ptr<PipeWireFrames> frames_;
    QTimer formatPoll_;
    QElapsedTimer sinceStream_;
    std::unique_ptr<WaylandScrollDisplay> display_;
    std::unique_ptr<ScrollSession> session_;
};
