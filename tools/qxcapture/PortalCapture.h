#pragma once

#include "ScreenshotPortal.h"

#include <QObject>
#include <QString>

// The Wayland capture: the desktop portal shows its own interactive dialog,
// in which the user picks a region or a window; the file it writes is moved
// to the output path. Ends the program like OverlayCapture.
class PortalCapture : public QObject {
    Q_OBJECT

public:
    explicit PortalCapture(QString outputPath);

    void start();

private:
    QString outputPath_;
    ScreenshotPortal portal_;
};
