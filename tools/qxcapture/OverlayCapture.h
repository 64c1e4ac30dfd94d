#pragma once

#include "CaptureOverlay.h"
#include "FrozenDesktop.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

// The X11 capture: freezes every screen, covers each with an overlay and ends
// the program when the user has chosen (exit 0, the PNG written) or cancelled
// (exit 1, nothing written).
class OverlayCapture : public QObject {
    Q_OBJECT

public:
    OverlayCapture(CaptureOverlay::Mode mode, QString outputPath);
    ~OverlayCapture() override;

    // Covers the screens; false when there is no screen to cover.
    bool start();

private:
    static FrozenDesktop freeze(CaptureOverlay::Mode mode);
    void grabKeyboard();
    void highlightWindowUnderThePointer();
    void highlightWindowAt(const QPoint& native);
    void takeWindowAt(const QPoint& native);
    void finish(const std::optional<QRect>& native);

    CaptureOverlay::Mode mode_;
    QString outputPath_;
    std::unique_ptr<FrozenDesktop> desktop_;
    std::vector<std::unique_ptr<CaptureOverlay>> overlays_;
    QTimer keyboardGrabRetry_;
    int keyboardGrabAttempts_ = 0;
    bool finished_ = false;
};
