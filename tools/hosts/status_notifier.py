"""What a StatusNotifier host reads of the program over the session bus: the watcher's list of
items, the item's properties and its com.canonical.dbusmenu layout; and a stand-in watcher."""

import re
import threading

from gi.repository import Gio, GLib

from .base import wait_until

WATCHER = "org.kde.StatusNotifierWatcher"
DBUSMENU = "com.canonical.dbusmenu"
STAND_IN_WATCHER = (
    '<node><interface name="org.kde.StatusNotifierWatcher"><method name='
    '"RegisterStatusNotifierItem"><arg type="s"/></method><property type="b" access="read" '
    'name="IsStatusNotifierHostRegistered"/></interface></node>')


def serve_stand_in_watcher(bus, on_register):
    """A StatusNotifierWatcher on `bus` that calls on_register(connection, sender) for each item
    that registers and says a host is there; it lives as long as the connection."""
    def on_call(connection, sender, path, interface, method, args, invocation):
        on_register(connection, sender)
        invocation.return_value(None)

    interface = Gio.DBusNodeInfo.new_for_xml(STAND_IN_WATCHER).interfaces[0]
    bus.register_object("/StatusNotifierWatcher", interface, on_call,
                        lambda *_: GLib.Variant("b", True), None)
    bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                  "RequestName", GLib.Variant("(su)", (WATCHER, 4)), None, 0, -1, None)
    threading.Thread(target=GLib.MainLoop().run, daemon=True).start()


class StatusNotifierHost:
    _bus = None

    def bus(self):
        if self._bus is None:
            flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                     | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
            self._bus = Gio.DBusConnection.new_for_address_sync(
                self.env["DBUS_SESSION_BUS_ADDRESS"], flags, None, None)
        return self._bus

    def call(self, name, path, interface, method, signature=None, *args):
        parameters = GLib.Variant(signature, args) if signature else None
        return self.bus().call_sync(name, path, interface, method, parameters, None,
                                    Gio.DBusCallFlags.NONE, 5000, None).unpack()

    def property(self, name, path, interface, prop):
        return self.call(name, path, "org.freedesktop.DBus.Properties", "Get", "(ss)",
                         interface, prop)[0]

    def watcher_ready(self):
        try:
            return self.property(WATCHER, "/StatusNotifierWatcher", WATCHER,
                                 "IsStatusNotifierHostRegistered")
        except GLib.Error:
            return False

    def items(self):
        """(bus name, object path) of the registered items."""
        try:
            entries = self.property(WATCHER, "/StatusNotifierWatcher", WATCHER,
                                    "RegisteredStatusNotifierItems")
        except GLib.Error:
            return []
        found = []
        for entry in entries:
            name, _, path = entry.replace("@/", "/").partition("/")
            found.append((name, "/" + path if path else "/StatusNotifierItem"))
        return found

    def item_property(self, prop):
        name, path = self.items()[-1]
        return self.property(name, path, "org.kde.StatusNotifierItem", prop)

    def layout(self):
        """(row id, label as a host shows it, enabled) in order; "-" labels a separator. A
        single "_" marks an access key in dbusmenu and is not shown; "__" shows as "_"."""
        name = self.items()[-1][0]
        menu = self.item_property("Menu")
        rows = self.call(name, menu, DBUSMENU, "GetLayout", "(iias)", 0, -1, [])[1][2]
        return [(row, "-" if props.get("type") == "separator"
                 else re.sub("_(_?)", r"\1", props.get("label", "")), props.get("enabled", True))
                for row, props, _ in rows]

    def menu_labels(self):
        return [label for _, label, _ in self.layout()]

    def choose(self, label):
        """Clicks the row of the open menu as the host does: its "clicked" event, then the menu
        closes. The open menu holds the polls, so a row found enabled stays so."""
        row = wait_until(lambda: next((row for row, shown, enabled in self.layout()
                                       if shown == label and enabled), None), f"{label!r}", 5)
        event = GLib.Variant("(isvu)", (row, "clicked", GLib.Variant("i", 0), 0))
        # No reply awaited: the row's action may run a modal alert before the program answers.
        self.bus().call(self.items()[-1][0], self.item_property("Menu"), DBUSMENU, "Event", event,
                        None, Gio.DBusCallFlags.NONE, -1, None, None, None)
        self.click_away()
