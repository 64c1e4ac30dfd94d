#pragma once

// The client side of zwp_virtual_keyboard_unstable_v1, by which sway takes
// key presses from any client. Debian ships no description of it for
// wayland-scanner, so it is written out here the way the scanner writes one:
// the two interfaces and an inline function per request.
#include <stdint.h>
#include <wayland-client-core.h>

#ifdef __cplusplus
extern "C" {
#endif

struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

extern const struct wl_interface zwp_virtual_keyboard_manager_v1_interface;
extern const struct wl_interface zwp_virtual_keyboard_v1_interface;

static inline struct zwp_virtual_keyboard_v1*
zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
    struct zwp_virtual_keyboard_manager_v1* manager, struct wl_seat* seat) {
    struct wl_proxy* proxy = (struct wl_proxy*)manager;
    return (struct zwp_virtual_keyboard_v1*)wl_proxy_marshal_flags(
        proxy, 0, &zwp_virtual_keyboard_v1_interface, wl_proxy_get_version(proxy), 0, seat, NULL);
}

static inline void
zwp_virtual_keyboard_manager_v1_destroy(struct zwp_virtual_keyboard_manager_v1* manager) {
    wl_proxy_destroy((struct wl_proxy*)manager);
}

// `format` is a wl_keyboard.keymap_format; `size` counts the closing NUL.
static inline void zwp_virtual_keyboard_v1_keymap(struct zwp_virtual_keyboard_v1* keyboard,
                                                  uint32_t format, int32_t fd, uint32_t size) {
    struct wl_proxy* proxy = (struct wl_proxy*)keyboard;
    wl_proxy_marshal_flags(proxy, 0, NULL, wl_proxy_get_version(proxy), 0, format, fd, size);
}

// `key` is an evdev code, `state` a wl_keyboard.key_state.
static inline void zwp_virtual_keyboard_v1_key(struct zwp_virtual_keyboard_v1* keyboard,
                                               uint32_t time, uint32_t key, uint32_t state) {
    struct wl_proxy* proxy = (struct wl_proxy*)keyboard;
    wl_proxy_marshal_flags(proxy, 1, NULL, wl_proxy_get_version(proxy), 0, time, key, state);
}

static inline void zwp_virtual_keyboard_v1_destroy(struct zwp_virtual_keyboard_v1* keyboard) {
    struct wl_proxy* proxy = (struct wl_proxy*)keyboard;
    wl_proxy_marshal_flags(proxy, 3, NULL, wl_proxy_get_version(proxy), WL_MARSHAL_FLAG_DESTROY);
}

#ifdef __cplusplus
}
#endif
