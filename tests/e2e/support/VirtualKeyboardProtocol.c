#include "VirtualKeyboardProtocol.h"

#include <stddef.h>
#include <wayland-util.h>

extern const struct wl_interface wl_seat_interface;

// The argument types of every request, as wayland-scanner lays them out: one
// run of NULLs for plain values, then the object types of the one request
// that has some.
static const struct wl_interface* types[] = {
    NULL, NULL, NULL, NULL, &wl_seat_interface, &zwp_virtual_keyboard_v1_interface,
};

static const struct wl_message managerRequests[] = {
    {"create_virtual_keyboard", "on", types + 4},
};

static const struct wl_message keyboardRequests[] = {
    {"keymap", "uhu", types + 0},
    {"key", "uuu", types + 0},
    {"modifiers", "uuuu", types + 0},
    {"destroy", "", types + 0},
};

const struct wl_interface zwp_virtual_keyboard_manager_v1_interface = {
    "zwp_virtual_keyboard_manager_v1", 1, 1, managerRequests, 0, NULL,
};

const struct wl_interface zwp_virtual_keyboard_v1_interface = {
    "zwp_virtual_keyboard_v1", 1, 4, keyboardRequests, 0, NULL,
};
