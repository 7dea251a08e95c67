// A pointer for a headless wlroots compositor, which has no input device of its own: it reads
// lines from stdin and answers "ok" once the compositor has received each one.
//   move X Y        absolute position in the layout given by the extents on the command line
//   press BUTTON    BUTTON is a Linux input code: 272 left, 273 right, 274 middle
//   release BUTTON
// Timestamps are real milliseconds: clients such as waybar compare a release with its press.

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

struct globals {
    struct wl_seat* seat;
    struct zwlr_virtual_pointer_manager_v1* manager;
};

static void on_global(void* data, struct wl_registry* registry, uint32_t name,
                      const char* interface, uint32_t version) {
    (void)version;
    struct globals* globals = data;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat) {
        globals->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    } else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals->manager =
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
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
    if (!globals.manager) {
        fprintf(stderr, "virtual_pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    wl_display_roundtrip(display);  // the seat has its pointer before the first command

    char line[128];
    while (fgets(line, sizeof line, stdin)) {
        unsigned a = 0, b = 0;
        if (sscanf(line, "move %u %u", &a, &b) == 2) {
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), a, b, width, height);
        } else if (sscanf(line, "press %u", &a) == 1) {
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), a, WL_POINTER_BUTTON_STATE_PRESSED);
        } else if (sscanf(line, "release %u", &a) == 1) {
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), a, WL_POINTER_BUTTON_STATE_RELEASED);
        } else {
            printf("error: unknown command: %s", line);
            fflush(stdout);
            continue;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0) {
            fprintf(stderr, "virtual_pointer: the compositor closed the connection\n");
            return 1;
        }
        printf("ok\n");
        fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(globals.manager);
    wl_display_disconnect(display);
    return 0;
}
