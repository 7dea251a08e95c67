"""Calls on a host's private session bus from the test process, and the question every
StatusNotifier host answers alike: is a tray ready to show an item?"""

from gi.repository import Gio, GLib


def connect(address):
    flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
             | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    return Gio.DBusConnection.new_for_address_sync(address, flags, None, None)


def call(bus, name, path, interface, method, signature=None, *args, timeout_ms=10000):
    parameters = GLib.Variant(signature, args) if signature else None
    return bus.call_sync(name, path, interface, method, parameters, None,
                         Gio.DBusCallFlags.NONE, timeout_ms, None).unpack()


def name_has_owner(bus, name):
    return call(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                "NameHasOwner", "(s)", name)[0]


def tray_host_registered(bus):
    """True once a StatusNotifierWatcher is on the bus with a host (the panel's tray) registered:
    from then on an item that registers is shown."""
    if not name_has_owner(bus, "org.kde.StatusNotifierWatcher"):
        return False
    try:
        return call(bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                    "org.freedesktop.DBus.Properties", "Get", "(ss)",
                    "org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered")[0]
    except GLib.Error:  # the watcher is still setting up its object
        return False
