#pragma once

#include <QPointF>
#include <QRect>

#include <cstdint>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct xkb_context;
struct xkb_keymap;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

// A connection of the test's own to the Wayland compositor: it points, clicks
// and types like a person, through the virtual pointer and keyboard that sway
// takes from any client. Every call returns once the compositor has handled it.
// Clients get ready for a keyboard only a moment after it appears, so the one
// to type with is made before their windows: SwayDesktop::input().
class WaylandInput {
public:
    // `layout` is the bounding box of the compositor's outputs.
    explicit WaylandInput(QRect layout);
    ~WaylandInput();
    WaylandInput(const WaylandInput&) = delete;
    WaylandInput& operator=(const WaylandInput&) = delete;

    // Connected, with a virtual pointer and a keyboard that has its keymap.
    bool ready() const { return pointer_ && keyboard_; }

    // Logical layout coordinates; fractions reach each pixel of a scaled output
    // (Xwayland's clients see whole units only).
    void moveTo(QPointF point);
    // The left button.
    void button(bool down);
    void click(QPointF point);
    // Presses at `from`, moves in steps, releases at `to`.
    void drag(QPointF from, QPointF to);
    // Wheel notches down (positive) or up at the pointer.
    void wheel(int notches);

    // evdev key codes (linux/input-event-codes.h): KEY_ESC 1, KEY_ENTER 28.
    void key(int code, bool down);
    void tap(int code);

private:
    // Moves the pointer there and lets it rest a moment.
    void rest(QPointF point);
    static void announced(void* data, wl_registry* registry, uint32_t name, const char* interface,
                          uint32_t version);
    bool sendKeymap();
    void endPointerFrame();
    void sync();

    QRect layout_;
    wl_display* display_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwlr_virtual_pointer_manager_v1* pointerManager_ = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboardManager_ = nullptr;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    xkb_context* xkbContext_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
};
