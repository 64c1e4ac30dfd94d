#pragma once

#include "CaptureOverlay.h"
#include "FrozenDesktop.h"
#include "OverlayState.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class QScreen;

// The choice on a frozen desktop: covers every screen with an overlay and
// reports what the person chose, an area that may span screens, or that they
// cancelled. The overlays are gone by the time any signal arrives.
class OverlaySelection : public QObject {
    Q_OBJECT

public:
    enum class Coverage {
        eachScreen,
        // One window over the whole desktop, for X clients of a Wayland
        // compositor: a drag from one Xwayland window into another loses the
        // pointer, since no compositor holds it for windows that no window
        // manager handles.
        wholeDesktop,
    };

    // `hint` is a line of advice shown on every screen, or nothing.
    OverlaySelection(const FrozenDesktop& desktop, OverlayMode mode, QString hint = {},
                     Coverage coverage = Coverage::eachScreen);
    ~OverlaySelection() override;

    // Covers the screens. False, with the reason, when a screen Qt shows has
    // no frozen picture.
    bool start(QString* problem);

Q_SIGNALS:
    void chosen(const CaptureArea& area);
    void cancelled();
    // The screens changed while the person was choosing: the frozen picture
    // no longer matches what they see.
    void abandoned(const QString& reason);

private:
    bool cover(QScreen* screen, QString* problem);
    bool coverDesktop(QString* problem);
    void show(ScreenPlacement placement, const QRect& logical, QScreen* screen);
    void press(const CaptureOverlay& overlay, QPointF point, Qt::MouseButton button);
    void move(QPointF point);
    void release(QPointF point, Qt::MouseButton button);
    void pointerLeft();
    void screensChanged();
    void lightWindowUnderThePointer();
    void grabKeyboard();
    void repaint();
    void finish(const std::optional<CaptureArea>& area);
    void abandon(const QString& reason);
    void hideOverlays();

    const FrozenDesktop& desktop_;
    Coverage coverage_;
    OverlayState state_;
    std::vector<std::unique_ptr<CaptureOverlay>> overlays_;
    // Desktop units per logical unit where the drag began, to tell a click
    // from a drag in the distance the person moved the pointer.
    qreal pressUnitsPerLocal_ = 1;
    QTimer keyboardGrabRetry_;
    int keyboardGrabAttempts_ = 0;
    bool finished_ = false;
};
