"""A host's private buses, calls on them from the test process, and the question every
StatusNotifier host answers alike: is a tray ready to show an item?"""

import os

from gi.repository import Gio, GLib

# Open to every user: the test runs as root, a session may run as a test user.
BUS_CONFIG = """<busconfig>
  <type>%s</type>
  <listen>unix:path=%s</listen>
  <auth>EXTERNAL</auth>
  %s
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
"""


def start_private_bus(host, kind):
    """Starts a dbus-daemon of `kind` ("session" or "system") in the host's folder and returns its
    address once it listens. A session bus activates services with the host's environment."""
    socket = os.path.join(host.root, f"{kind}-bus")
    config = f"{socket}.conf"
    services = "<standard_session_servicedirs/>" if kind == "session" else ""
    with open(config, "w") as f:
        f.write(BUS_CONFIG % (kind, socket, services))
    host.serve(f"{kind}-bus", ["dbus-daemon", "--nofork", "--nopidfile", f"--config-file={config}"])
    host.until_ready(lambda: os.path.exists(socket), f"the {kind} bus")
    return f"unix:path={socket}"


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
