# python3-dbusmock's template of a stand-in StatusNotifierWatcher: it keeps the bus names of the
# items that register, announces each, and says that a host is there.
#   python3 -m dbusmock --template tools/hosts/status_notifier_watcher.py

import dbus

BUS_NAME = MAIN_IFACE = "org.kde.StatusNotifierWatcher"
MAIN_OBJ = "/StatusNotifierWatcher"
SYSTEM_BUS = False


def load(mock, _):
    mock.AddProperties(MAIN_IFACE, {"IsStatusNotifierHostRegistered": True,
                                    "RegisteredStatusNotifierItems": dbus.Array([], "s")})


@dbus.service.method(MAIN_IFACE, in_signature="s", sender_keyword="sender")
def RegisterStatusNotifierItem(self, _, sender):
    self.props[MAIN_IFACE]["RegisteredStatusNotifierItems"].append(sender)
    self.EmitSignal(MAIN_IFACE, "StatusNotifierItemRegistered", "s", [sender])
