// A pointer (and, on KWin, a keyboard) for a headless compositor, which has no input device of
// its own: wlroots' zwlr_virtual_pointer_v1, or else KWin's org_kde_kwin_fake_input. It reads
// lines from stdin and answers "ok" once the compositor has received each one.
//   move X Y        absolute position in the layout given by the extents on the command line
//   press CODE      CODE is a Linux input code: 272 left, 273 right, 274 middle; on KWin, codes
//   release CODE    below 256 are keys (1 Escape, 28 Enter)
// Timestamps are real milliseconds: clients such as waybar compare a release with its press.

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

struct globals {
    struct wl_seat* seat;
    struct zwlr_virtual_pointer_manager_v1* manager;
    struct org_kde_kwin_fake_input* fake;
};

static void on_global(void* data, struct wl_registry* registry, uint32_t name,
                      const char* interface, uint32_t version) {
    struct globals* globals = data;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat) {
        globals->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    } else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals->manager =
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    } else if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4) {
        globals->fake = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
    }
}

static void on_global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

static uint32_t now_ms(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s WIDTH HEIGHT (of the compositor's layout)\n", argv[0]);
        return 2;
    }
    uint32_t width = (uint32_t)strtoul(argv[1], NULL, 10);
    uint32_t height = (uint32_t)strtoul(argv[2], NULL, 10);
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "virtual_pointer: cannot connect to the Wayland display\n");
        return 1;
    }
    struct globals globals = {0};
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &globals);
    wl_display_roundtrip(display);
    struct zwlr_virtual_pointer_v1* pointer = NULL;
    if (globals.manager) {
        pointer =
            zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    } else if (globals.fake) {
        // KWin 5.27 grants every client that asks; before that, it drops the client's events.
        org_kde_kwin_fake_input_authenticate(globals.fake, "tests", "headless desktop tests");
    } else {
        fprintf(stderr, "virtual_pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    wl_display_roundtrip(display);  // the seat has its pointer before the first command

    char line[128];
    while (fgets(line, sizeof line, stdin)) {
        unsigned a = 0, b = 0;
        char verb[8];
        if (sscanf(line, "move %u %u", &a, &b) == 2) {
            if (pointer) {
                zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), a, b, width, height);
            } else {
                org_kde_kwin_fake_input_pointer_motion_absolute(globals.fake, wl_fixed_from_int(a),
                                                                wl_fixed_from_int(b));
            }
        } else if (sscanf(line, "%7s %u", verb, &a) == 2 &&
                   (strcmp(verb, "press") == 0 || strcmp(verb, "release") == 0)) {
            uint32_t state = strcmp(verb, "press") == 0 ? WL_POINTER_BUTTON_STATE_PRESSED
                                                        : WL_POINTER_BUTTON_STATE_RELEASED;
            if (pointer) {
                zwlr_virtual_pointer_v1_button(pointer, now_ms(), a, state);
            } else if (a >= 256) {
                org_kde_kwin_fake_input_button(globals.fake, a, state);
            } else {
                org_kde_kwin_fake_input_keyboard_key(globals.fake, a, state);
            }
        } else {
            printf("error: unknown command: %s", line);
            fflush(stdout);
            continue;
        }
        if (pointer) {
            zwlr_virtual_pointer_v1_frame(pointer);
        }
        if (wl_display_roundtrip(display) < 0) {
            fprintf(stderr, "virtual_pointer: the compositor closed the connection\n");
            return 1;
        }
        printf("ok\n");
        fflush(stdout);
    }
    if (pointer) {
        zwlr_virtual_pointer_v1_destroy(pointer);
        zwlr_virtual_pointer_manager_v1_destroy(globals.manager);
    } else {
        org_kde_kwin_fake_input_destroy(globals.fake);
    }
    wl_display_disconnect(display);
    return 0;
}
