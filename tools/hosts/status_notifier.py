# What a StatusNotifier host reads of the program over the session bus: the watcher's list of
# items, the item's properties and its com.canonical.dbusmenu layout; and a stand-in watcher.

import os
import re

from gi.repository import Gio, GLib

from .base import wait_until

WATCHER = "org.kde.StatusNotifierWatcher"
DBUSMENU = "com.canonical.dbusmenu"
WATCHER_TEMPLATE = os.path.join(os.path.dirname(__file__), "status_notifier_watcher.py")


class StatusNotifierHost:
    # For a Host whose tray host keeps a StatusNotifierWatcher on the session bus.

    def property(self, name, path, interface, prop):
        return self.call(name, path, "org.freedesktop.DBus.Properties", "Get", "(ss)",
                         interface, prop)[0]

    def start_stand_in_watcher(self):
        # python3-dbusmock's watcher, started afresh, with no item registered yet.
        self.serve("watcher", ["/usr/bin/python3", "-m", "dbusmock", "--template",
                               WATCHER_TEMPLATE])
        self.until_ready(self.watcher_ready, "the stand-in StatusNotifierWatcher")
        return self.servers[-1]

    def watcher_ready(self):
        try:
            return self.property(WATCHER, "/StatusNotifierWatcher", WATCHER,
                                 "IsStatusNotifierHostRegistered")
        except GLib.Error:
            return False

    def items(self):
        # The bus names of the registered items.
        try:
            entries = self.property(WATCHER, "/StatusNotifierWatcher", WATCHER,
                                    "RegisteredStatusNotifierItems")
        except GLib.Error:
            return []
        return [entry.replace("@/", "/").partition("/")[0] for entry in entries]

    def item_property(self, prop):
        return self.property(self.items()[-1], "/StatusNotifierItem", "org.kde.StatusNotifierItem",
                             prop)

    def layout(self):
        # What the item exports, read as a host reads it: (row id, label, enabled, checked or
        # None), "-" labels a separator. A single "_" marks an access key and is not shown.
        rows = self.call(self.items()[-1], self.item_property("Menu"), DBUSMENU, "GetLayout",
                         "(iias)", 0, -1, [])[1][2]
        return [(row, "-" if props.get("type") == "separator"
                 else re.sub("_(_?)", r"\1", props.get("label", "")), props.get("enabled", True),
                 bool(props["toggle-state"]) if "toggle-type" in props else None)
                for row, props, _ in rows]

    def send_click(self, label):
        # For a host whose open menu nothing here can read: sends the row's "clicked" event as
        # the host does, once the row is enabled (as a person waits while a poll in flight disables
        # it for a moment), closing the host's menu as it does.
        row = wait_until(lambda: next((row for row, shown, enabled, _ in self.layout()
                                       if shown == label and enabled), None), f"{label!r}", 10)
        self.close_menu()  # first, as a click does: an open menu keeps the keys from an alert
        # No reply awaited: the row's action may run a modal alert before the program answers.
        self.bus().call(self.items()[-1], self.item_property("Menu"), DBUSMENU, "Event",
                        GLib.Variant("(isvu)", (row, "clicked", GLib.Variant("i", 0), 0)), None,
                        Gio.DBusCallFlags.NONE, -1, None, None, None)
