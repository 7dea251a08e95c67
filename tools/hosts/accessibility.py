# What a host shows, read from its own accessibility tree through libatspi, as a screen reader
# reads it: the open menu's rows with their states and places, and where an icon lies. Every
# toolkit in the session (GTK, Qt) joins the accessibility bus that the session bus starts on
# demand. libatspi joins one accessibility bus per process, the first it is given: a process
# reads one host's.

import os
from collections import namedtuple

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

State, Role = Atspi.StateType, Atspi.Role
ROW_ROLES = {Role.MENU_ITEM, Role.CHECK_MENU_ITEM, Role.RADIO_MENU_ITEM}
# label ("-" for a separator), enabled, checked (None where the row has no check mark), and the
# row's centre on the screen
Row = namedtuple("Row", "label enabled checked centre")


def extents(node):
    # (x, y, width, height) on the screen.
    rect = node.get_extents(Atspi.CoordType.SCREEN)
    return rect.x, rect.y, rect.width, rect.height


class AccessibleTree:
    def __init__(self, address):
        if Atspi.is_initialized() and os.environ.get("AT_SPI_BUS_ADDRESS") != address:
            raise RuntimeError("this process reads another session's accessibility bus")
        os.environ["AT_SPI_BUS_ADDRESS"] = address
        Atspi.init()
        Atspi.set_timeout(3000, 15000)  # a loaded machine's panel may take its time to answer
        self.desktop, self.popups = Atspi.get_desktop(0), []

    def listen(self):
        # Listens, as a screen reader does, for objects that show: toolkits leave popup menus
        # out of an application's children, and announce them only as they show.
        self.listener = Atspi.EventListener.new(self.on_showing)
        self.listener.register("object:state-changed:showing")
        return self

    def on_showing(self, event):
        if event.detail1 == 1 and event.source not in self.popups:
            self.popups.append(event.source)

    def applications(self):
        # The names of the applications that have joined the bus.
        try:
            return {self.desktop.get_child_at_index(i).get_name()
                    for i in range(self.desktop.get_child_count())}
        except GLib.Error:  # one left while we read
            return set()

    def shown(self, node, parent, depth):
        # (node, role, states, parent) of the objects on screen, in the order a screen reader
        # reads them.
        try:
            role, states = node.get_role(), set(node.get_state_set().get_states())
            if depth > 1 and State.SHOWING not in states:
                return
            children = [node.get_child_at_index(i) for i in range(node.get_child_count())
                        if depth < 16 and role not in ROW_ROLES]
        except GLib.Error:  # gone while we read, or not an accessible object
            return
        yield node, role, states, parent
        for child in children:
            yield from self.shown(child, node, depth + 1)

    def everything(self):
        # What shows on screen: the popups announced, newest first, then the applications'
        # windows.
        while GLib.MainContext.default().iteration(False):
            pass  # take in the announcements received since
        applications = [self.desktop.get_child_at_index(i)
                        for i in range(self.desktop.get_child_count())]
        for application in applications:
            # Read afresh each time, never from libatspi's cache, which only the events
            # listened to would keep up to date.
            application.set_cache_mask(Atspi.Cache.NONE)
        for popup in reversed(self.popups):
            yield from self.shown(popup, None, 2)
        for application in applications:
            yield from self.shown(application, None, 1)

    def menu_rows(self):
        # The rows of the newest menu shown on screen, in order.
        rows, menu = [], None
        for node, role, states, parent in self.everything():
            if rows and parent != menu:
                continue
            menu = parent
            if role == Role.SEPARATOR and rows:
                rows.append(Row("-", True, None, None))
            elif role in ROW_ROLES:
                x, y, width, height = extents(node)
                checkable = {State.CHECKABLE, State.CHECKED} & states or role != Role.MENU_ITEM
                rows.append(Row(node.get_name(), State.ENABLED in states,
                                State.CHECKED in states if checkable else None,
                                (x + width // 2, y + height // 2)))
        return rows

    def find(self, name=None, role=None):
        # The extents of the first object on screen, not a menu row, with that name or role.
        return next((extents(node) for node, shown_role, _, _ in self.everything()
                     if shown_role not in ROW_ROLES and role in (None, shown_role)
                     and name in (None, node.get_name())), None)

    def menu_geometry(self):
        # ("menu", x, y, width, height) of the first menu on screen, or None.
        menu = next((parent for _, role, _, parent in self.everything() if role in ROW_ROLES),
                    None)
        return menu and ("menu", *extents(menu))
