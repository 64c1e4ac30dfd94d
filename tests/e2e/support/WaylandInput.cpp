#include "WaylandInput.h"

#include "VirtualKeyboardProtocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <linux/input-event-codes.h>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace {

// An absolute position is a whole number of steps across the layout. This
// many to the unit reach every pixel of an output at scale 2, 1.5 or 1.25.
constexpr int stepsPerUnit = 240;

uint32_t now() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t steps(qreal units) {
    return uint32_t(std::lround(std::max(0.0, units) * stepsPerUnit));
}

} // namespace

WaylandInput::WaylandInput(QRect layout)
    : layout_(layout)
    , display_(wl_display_connect(nullptr)) {
    if (!display_)
        return;
    static const wl_registry_listener listener{&announced, [](void*, wl_registry*, uint32_t) {}};
    wl_registry* registry = wl_display_get_registry(display_);
    wl_registry_add_listener(registry, &listener, this);
    wl_display_roundtrip(display_);
    wl_registry_destroy(registry);
    if (!seat_ || !pointerManager_ || !keyboardManager_)
        return;
    pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointerManager_, seat_);
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboardManager_, seat_);
    if (!sendKeymap()) {
        zwp_virtual_keyboard_v1_destroy(keyboard_);
        keyboard_ = nullptr;
    }
    sync();
}

WaylandInput::~WaylandInput() {
    if (keyboard_)
        zwp_virtual_keyboard_v1_destroy(keyboard_);
    if (pointer_)
        zwlr_virtual_pointer_v1_destroy(pointer_);
    if (keyboardManager_)
        zwp_virtual_keyboard_manager_v1_destroy(keyboardManager_);
    if (pointerManager_)
        zwlr_virtual_pointer_manager_v1_destroy(pointerManager_);
    if (seat_)
        wl_seat_destroy(seat_);
    if (display_) {
        sync();
        wl_display_disconnect(display_);
    }
    xkb_keymap_unref(keymap_);
    xkb_context_unref(xkbContext_);
}

void WaylandInput::announced(void* data, wl_registry* registry, uint32_t name,
                             const char* interface, uint32_t) {
    auto* input = static_cast<WaylandInput*>(data);
    const std::string_view announced(interface);
    if (announced == wl_seat_interface.name && !input->seat_) {
        input->seat_ =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (announced == zwlr_virtual_pointer_manager_v1_interface.name) {
        input->pointerManager_ = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (announced == zwp_virtual_keyboard_manager_v1_interface.name) {
        input->keyboardManager_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
}

// A virtual keyboard sends no key before it has a keymap; the default one of
// libxkbcommon is the evdev "us" layout.
bool WaylandInput::sendKeymap() {
    xkbContext_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    keymap_ = xkbContext_
                  ? xkb_keymap_new_from_names(xkbContext_, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS)
                  : nullptr;
    if (!keymap_)
        return false;
    char* text = xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1);
    // The compositor reads the keymap as a C string, so its end goes too.
    const size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    const bool written = fd >= 0 && write(fd, text, size) == ssize_t(size);
    std::free(text);
    if (written)
        zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       uint32_t(size));
    if (fd >= 0)
        close(fd);
    return written;
}

void WaylandInput::sync() {
    wl_display_roundtrip(display_);
}

void WaylandInput::endPointerFrame() {
    zwlr_virtual_pointer_v1_frame(pointer_);
    sync();
}

void WaylandInput::moveTo(QPointF point) {
    const QPointF offset = point - layout_.topLeft();
    zwlr_virtual_pointer_v1_motion_absolute(pointer_, now(), steps(offset.x()), steps(offset.y()),
                                            steps(layout_.width()), steps(layout_.height()));
    endPointerFrame();
}

void WaylandInput::button(bool down) {
    zwlr_virtual_pointer_v1_button(pointer_, now(), BTN_LEFT,
                                   down ? WL_POINTER_BUTTON_STATE_PRESSED
                                        : WL_POINTER_BUTTON_STATE_RELEASED);
    endPointerFrame();
}

void WaylandInput::wheel(int notches) {
    zwlr_virtual_pointer_v1_axis_source(pointer_, WL_POINTER_AXIS_SOURCE_WHEEL);
    zwlr_virtual_pointer_v1_axis_discrete(pointer_, now(), WL_POINTER_AXIS_VERTICAL_SCROLL,
                                          wl_fixed_from_int(15 * notches), notches);
    endPointerFrame();
}

void WaylandInput::rest(QPointF point) {
    moveTo(point);
    // A window that the pointer has just entered on another output takes
    // events only a moment later; a person's hand rests that long anyway.
    QThread::msleep(300);
}

void WaylandInput::click(QPointF point) {
    rest(point);
    button(true);
    QThread::msleep(30);
    button(false);
}

void WaylandInput::drag(QPointF from, QPointF to) {
    rest(from);
    button(true);
    constexpr int moves = 8;
    for (int i = 1; i <= moves; ++i) {
        QThread::msleep(15);
        moveTo(from + (to - from) * i / moves);
    }
    QThread::msleep(50);
    button(false);
}

void WaylandInput::key(int code, bool down) {
    // Keys without modifiers only: the compositor keeps no modifier state
    // for a virtual keyboard, and the tests press none.
    zwp_virtual_keyboard_v1_key(keyboard_, now(), uint32_t(code),
                                down ? WL_KEYBOARD_KEY_STATE_PRESSED
                                     : WL_KEYBOARD_KEY_STATE_RELEASED);
    sync();
}

void WaylandInput::tap(int code) {
    key(code, true);
    QThread::msleep(30);
    key(code, false);
}
