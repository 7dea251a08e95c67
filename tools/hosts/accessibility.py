# What a host shows, read from its own accessibility tree as a screen reader reads it: the open
# menu's rows with their states and places, and where an icon lies. Every toolkit in the session
# (GTK, Qt) joins the accessibility bus that the session bus starts on demand.

from collections import namedtuple

from gi.repository import Gio, GLib

ACCESSIBLE = "org.a11y.atspi.Accessible"
ROOT = "/org/a11y/atspi/accessible/root"
CHECKED, ENABLED, SHOWING, CHECKABLE = 4, 8, 25, 41  # AtspiStateType
ROW_ROLES = {35, 8, 45}  # menu item, check menu item, radio menu item
SEPARATOR = 50
REGISTRY = ("org.a11y.atspi.Registry", ROOT)
# label ("-" for a separator), enabled, checked (None where the row has no check mark), and the
# row's centre on the screen
Row = namedtuple("Row", "label enabled checked centre")


class AccessibleTree:
    def __init__(self, bus):
        self.bus = bus
        self.popups = []

    def listen(self):
        # Listens, as a screen reader does, for objects that show: toolkits leave popup menus
        # out of an application's children, and announce them only as they show.
        self.bus.signal_subscribe(None, "org.a11y.atspi.Event.Object", "StateChanged", None,
                                  "showing", Gio.DBusSignalFlags.NONE, self.on_state_changed)
        self.call((REGISTRY[0], "/org/a11y/atspi/registry"), "org.a11y.atspi.Registry", "RegisterEvent",
                  GLib.Variant("(sass)", ("object:state-changed:showing", [], "")))
        return self

    def applications(self):
        # The names of the applications that have joined the bus.
        try:
            return {self.get(node, ACCESSIBLE, "Name") for node in self.children(REGISTRY)}
        except GLib.Error:  # one left while we read
            return set()

    def on_state_changed(self, _, sender, path, interface, signal, args):
        if args[1] == 1 and (sender, path) not in self.popups:
            self.popups.append((sender, path))

    def call(self, node, interface, method, parameters=None, timeout=3000):
        return self.bus.call_sync(node[0], node[1], interface, method, parameters, None,
                                  Gio.DBusCallFlags.NONE, timeout, None).unpack()

    def get(self, node, interface, prop):
        return self.call(node, "org.freedesktop.DBus.Properties", "Get",
                         GLib.Variant("(ss)", (interface, prop)))[0]

    def states(self, node):
        low, high = self.call(node, ACCESSIBLE, "GetState")[0]
        return {bit for bit in range(64) if (low | high << 32) >> bit & 1}

    def children(self, node):
        return [tuple(child) for child in self.call(node, ACCESSIBLE, "GetChildren")[0]]

    def extents(self, node):
        # (x, y, width, height) on the screen.
        return self.call(node, "org.a11y.atspi.Component", "GetExtents",
                         GLib.Variant("(u)", (0,)))[0]

    def shown(self, node, parent, depth):
        # (node, role, states, parent) of the objects on screen, in the order a screen reader
        # reads them.
        try:
            role, states = self.call(node, ACCESSIBLE, "GetRole")[0], self.states(node)
        except GLib.Error:  # gone while we read, or not an accessible object
            return
        if depth > 1 and SHOWING not in states:
            return
        yield node, role, states, parent
        if depth < 16 and role not in ROW_ROLES:
            for child in self.children(node):
                yield from self.shown(child, node, depth + 1)

    def everything(self):
        # What shows on screen: the popups announced, newest first, then the applications'
        # windows.
        while GLib.MainContext.default().iteration(False):
            pass  # take in the announcements received since
        for popup in reversed(self.popups):
            yield from self.shown(popup, None, 2)
        for application in self.children(REGISTRY):
            yield from self.shown(application, None, 1)

    def menu_rows(self):
        # The rows of the newest menu shown on screen, in order.
        rows, menu = [], None
        for node, role, states, parent in self.everything():
            if rows and parent != menu:
                continue
            menu = parent
            if role == SEPARATOR and rows:
                rows.append(Row("-", True, None, None))
            elif role in ROW_ROLES:
                x, y, width, height = self.extents(node)
                checkable = {CHECKABLE, CHECKED} & states or role != 35
                rows.append(Row(self.get(node, ACCESSIBLE, "Name"), ENABLED in states,
                                CHECKED in states if checkable else None,
                                (x + width // 2, y + height // 2)))
        return rows

    def find(self, name):
        # The extents of the first object on screen named name, or None.
        return next((self.extents(node) for node, role, _, _ in self.everything()
                     if role not in ROW_ROLES and self.get(node, ACCESSIBLE, "Name") == name), None)

    def menu_geometry(self):
        # ("menu", x, y, width, height) of the first menu on screen, or None.
        menu = next((parent for _, role, _, parent in self.everything() if role in ROW_ROLES),
                    None)
        return menu and ("menu", *self.extents(menu))
