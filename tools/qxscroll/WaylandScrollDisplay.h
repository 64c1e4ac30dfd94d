#pragma once

#include "FullScreenRegionOverlay.h"
#include "PipeWireFrames.h"
#include "ScrollDisplay.h"
#include "WaylandRegionOverlay.h"

#include <QSocketNotifier>

#include <memory>

struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;

// A scrolling capture's desktop under Wayland: pictures from the desktop's
// screen cast of one output, wheel steps through wlroots' virtual pointer
// where the compositor offers it, and the frame and bar on an overlay surface
// (or, without an overlay layer, a see-through window over the whole screen).
// Native units are the output's pixels, counted from the output's corner in
// the layout as X11 counts root pixels: (x, y) native is
// corner + ((x, y) - corner) / pixelsPerUnit in the layout.
//
// Wayland lets no program see the pointer or the keyboard outside its own
// surfaces: Return and Escape are not taken, and Auto-scroll cannot notice
// the person taking over; it stops at the page's end, or from the bar.
class WaylandScrollDisplay : public ScrollDisplay {
    Q_OBJECT

public:
    struct Output {
        QString name;        // as the compositor names it
        QRect geometry;      // in the compositor's layout
        qreal pixelsPerUnit; // of the screen cast's pictures
    };

    // Nothing, with the reason in `problem`, without a compositor to draw
    // on. `layout` is the bounding box of all outputs.
    static std::unique_ptr<WaylandScrollDisplay> connect(std::unique_ptr<PipeWireFrames> frames,
                                                         const Output& output, QRect layout,
                                                         QString* problem);
    ~WaylandScrollDisplay() override;

    QImage grab(const QRect& native) override;
    bool canScroll() const override { return virtualPointer_ != nullptr; }
    void wheel(int steps) override;
    void movePointer(QPoint native) override;
    std::optional<QPoint> pointer() override { return pointer_; }
    bool anythingPressed() override { return false; }
    bool grabDoneAndCancelKeys() override { return false; }
    void present(const QRect& frame, const QRect& bar, ScrollControls& controls) override;
    void hidePresentation() override;

    struct Globals;

private:
    WaylandScrollDisplay(std::unique_ptr<PipeWireFrames> frames, const Output& output,
                         QRect layout);
    bool bind(QString* problem);
    void dispatch();
    void flush();

    std::unique_ptr<PipeWireFrames> frames_;
    Output output_;
    QRect layout_;
    std::unique_ptr<Globals> globals_;
    // The overlay layer where the compositor has one, else a full-screen window.
    std::unique_ptr<WaylandRegionOverlay> layerOverlay_;
    std::unique_ptr<FullScreenRegionOverlay> windowOverlay_;
    std::unique_ptr<QSocketNotifier> events_;
    zwlr_virtual_pointer_v1* virtualPointer_ = nullptr;
    std::optional<QPoint> pointer_; // where this program last put it
    bool failed_ = false;
};
