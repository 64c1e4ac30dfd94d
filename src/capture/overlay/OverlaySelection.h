#pragma once

#include "CaptureOverlay.h"
#include "FrozenDesktop.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

// The X11 selection: freezes every screen, covers each with an overlay and
// reports what the user chose, a rectangle of root-window pixels, or that they
// cancelled. The overlays are gone by the time either signal arrives.
class OverlaySelection : public QObject {
    Q_OBJECT

public:
    explicit OverlaySelection(CaptureOverlay::Mode mode);
    ~OverlaySelection() override;

    // Covers the screens; false when there is no screen to cover.
    bool start();

    // The screens as they were when start() froze them.
    const FrozenDesktop& desktop() const { return *desktop_; }

Q_SIGNALS:
    void chosen(const QRect& native);
    void cancelled();

private:
    static FrozenDesktop freeze(CaptureOverlay::Mode mode);
    void grabKeyboard();
    void highlightWindowUnderThePointer();
    void highlightWindowAt(const QPoint& native);
    void takeWindowAt(const QPoint& native);
    void finish(const std::optional<QRect>& native);

    CaptureOverlay::Mode mode_;
    std::unique_ptr<FrozenDesktop> desktop_;
    std::vector<std::unique_ptr<CaptureOverlay>> overlays_;
    QTimer keyboardGrabRetry_;
    int keyboardGrabAttempts_ = 0;
    bool finished_ = false;
};
