#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>

#include <array>

class QPushButton;
class ScrollControls;
struct wl_buffer;
struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_pointer;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

// The frame round a region and the bar beside it on a Wayland desktop, where
// no program may place its own windows: one see-through surface in the
// compositor's overlay layer of the region's output, drawn by this program.
// Only the bar takes the pointer, and nothing takes the keyboard, so wheel,
// clicks and keys reach the program being scrolled.
class WaylandRegionOverlay {
public:
    struct Globals {
        wl_display* display = nullptr;
        wl_compositor* compositor = nullptr;
        wl_shm* shm = nullptr;
        zwlr_layer_shell_v1* layers = nullptr;
        wl_seat* seat = nullptr;
        wl_output* output = nullptr; // null lets the compositor choose
    };

    // `outputCorner`: the output's place in the compositor's layout;
    // `bufferScale`: pixels per logical unit the surface is drawn at.
    WaylandRegionOverlay(const Globals& globals, QPoint outputCorner, int bufferScale);
    ~WaylandRegionOverlay();
    WaylandRegionOverlay(const WaylandRegionOverlay&) = delete;
    WaylandRegionOverlay& operator=(const WaylandRegionOverlay&) = delete;

    // Both in the compositor's layout; draws again with the controls as they are now.
    void show(const QRect& frame, const QRect& bar, ScrollControls& controls);
    void hide();

    // Wayland's callbacks.
    void configured(uint32_t serial);
    void closed();
    void released(wl_buffer* buffer);
    void pointerAt(QPointF local);
    void pointerLeft();
    void pointerButton(bool pressed);

private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        QImage image; // over the buffer's shared memory
        bool busy = false;
    };

    void place();
    void draw();
    Buffer* freeBuffer();
    bool makeBuffers();
    void freeBuffers();
    QPushButton* buttonAt(QPointF local) const;

    Globals globals_;
    QPoint outputCorner_;
    int bufferScale_ = 1;
    wl_surface* surface_ = nullptr;
    zwlr_layer_surface_v1* layer_ = nullptr;
    wl_pointer* pointer_ = nullptr;
    ScrollControls* controls_ = nullptr;
    QRect frame_;  // in the surface's logical units
    QRect bar_;    // likewise
    QRect bounds_; // the surface, in the output's logical units
    QSize bufferSize_;
    std::array<Buffer, 2> buffers_;
    void* mapping_ = nullptr; // both buffers' shared memory
    std::size_t mappingBytes_ = 0;
    bool configured_ = false;
    bool drawPending_ = false;
    QPointF pointerAt_{-1, -1};
    QPushButton* pressed_ = nullptr;
};
