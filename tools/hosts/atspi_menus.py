"""Reads an application's open popup menu over AT-SPI, as a screen reader does, for a host whose
menus no one can ask for: Qt lists no popup among an application's windows, so the menu is caught
as it shows. Run with the session's bus, the application's name as the argument; it prints
"ready", then answers each line on stdin with the rows of the open menu, as one line of JSON:
[[label, enabled, checked, x, y], ...], separators "-", (x, y) the row's centre in the menu's
window; [] when no menu is open."""

import json
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

ROWS = (Atspi.Role.MENU_ITEM, Atspi.Role.CHECK_MENU_ITEM, Atspi.Role.RADIO_MENU_ITEM,
        Atspi.Role.SEPARATOR)
shown = []  # the menus that have shown, newest last


def on_showing(event):
    try:
        if (event.detail1 and event.source.get_role() == Atspi.Role.POPUP_MENU
                and event.source.get_application().get_name() == sys.argv[1]):
            # Each row's name and states as they are now: the library keeps what it read first.
            event.source.get_application().set_cache_mask(Atspi.Cache.NONE)
            shown.append(event.source)
    except (GLib.Error, AttributeError):  # gone already
        pass


def open_menu():
    for menu in reversed(shown):
        try:
            if menu.get_state_set().contains(Atspi.StateType.SHOWING):
                return menu
        except GLib.Error:
            continue
    return None


def answer(source, condition):
    if not sys.stdin.readline():
        Atspi.event_quit()
        return False
    rows, menu = [], open_menu()
    # Only offsets within the menu: where a Wayland client's window lies, it cannot know.
    origin = menu.get_extents(Atspi.CoordType.SCREEN) if menu else None
    for row in (menu.get_child_at_index(i) for i in range(menu.get_child_count() if menu else 0)):
        if row and row.get_role() in ROWS:
            state, box = row.get_state_set(), row.get_extents(Atspi.CoordType.SCREEN)
            rows.append(["-" if row.get_role() == Atspi.Role.SEPARATOR else row.get_name(),
                         state.contains(Atspi.StateType.ENABLED),
                         state.contains(Atspi.StateType.CHECKED),
                         box.x + box.width // 2 - origin.x, box.y + box.height // 2 - origin.y])
    print(json.dumps(rows), flush=True)
    return True


listener = Atspi.EventListener.new(on_showing)
listener.register("object:state-changed:showing")
GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, answer)
print("ready", flush=True)
Atspi.event_main()
