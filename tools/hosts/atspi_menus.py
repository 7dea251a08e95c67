"""An application's open menu as AT-SPI shows it, as a screen reader reads it. Qt lists no popup
among an application's windows, so the menu is caught as it shows. Run on the session's bus with
the application's name; after "ready", each line on stdin gets one line of JSON: the open menu's
rows [label, enabled, checked, x, y], separators "-", (x, y) the row's centre in the menu."""

import json
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

ROWS = (Atspi.Role.MENU_ITEM, Atspi.Role.CHECK_MENU_ITEM, Atspi.Role.SEPARATOR)
menu = None  # the latest menu shown


def on_showing(event):
    global menu
    source = event.source
    if (event.detail1 and source.get_role() == Atspi.Role.POPUP_MENU
            and source.get_application().get_name() == sys.argv[1]):
        # Each row's name and states as they are now: by default the library keeps the first.
        source.get_application().set_cache_mask(Atspi.Cache.NONE)
        menu = source


def rows():
    if not menu or not menu.get_state_set().contains(Atspi.StateType.SHOWING):
        return []
    # Offsets within the menu only: a Wayland client cannot know where its window lies.
    origin, found = menu.get_extents(Atspi.CoordType.SCREEN), []
    for row in map(menu.get_child_at_index, range(menu.get_child_count())):
        if row and row.get_role() in ROWS:
            state, box = row.get_state_set(), row.get_extents(Atspi.CoordType.SCREEN)
            found.append(["-" if row.get_role() == Atspi.Role.SEPARATOR else row.get_name(),
                          state.contains(Atspi.StateType.ENABLED),
                          state.contains(Atspi.StateType.CHECKED),
                          box.x + box.width // 2 - origin.x, box.y + box.height // 2 - origin.y])
    return found


def answer(*_):
    if not sys.stdin.readline():
        Atspi.event_quit()
        return False
    try:
        print(json.dumps(rows()), flush=True)
    except GLib.Error:  # the menu's application has gone
        print("[]", flush=True)
    return True


listener = Atspi.EventListener.new(on_showing)  # kept: events stop when it is freed
listener.register("object:state-changed:showing")
GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, answer)
print("ready", flush=True)
Atspi.event_main()
