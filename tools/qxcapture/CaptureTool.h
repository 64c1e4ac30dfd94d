#pragma once

#include "DesktopFreezer.h"
#include "QxcaptureArguments.h"

#include <QImage>

// One run of qxcapture, from the desktop's pixels to the written file. What
// run() returns is the exit status: 0 written, 1 cancelled by the person (or
// another capture is choosing), 2 failed, the reason on standard error.
class CaptureTool {
public:
    CaptureTool(QxcaptureArguments arguments, const DesktopFreezer& freezer);

    // Needs Qt's application object; turns its event loop while the person chooses.
    int run();

private:
    int takeScreens();
    int choose(ScreenSource source);
    int chooseOnOverlay(const ScreenGrab& grab, ScreenSource source);
    int windowThroughKWin();
    int throughPortalDialog();
    int save(const QImage& image);

    QxcaptureArguments arguments_;
    const DesktopFreezer& freezer_;
};
