"""A desktop for a test file, stopped at exit: a private Xvfb and session bus (started on import),
trayer or our StatusNotifierWatcher to read and click the menu's rows."""

import atexit
import glob
import os
import re
import subprocess
import sys

from gi.repository import GLib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools"))

from hosts.base import wait_until as wait_for
from hosts.status_notifier import StatusNotifierHost, serve_stand_in_watcher
from hosts.trayer import Trayer
from installation import Installation as _Installation


class _Desktop(StatusNotifierHost, Trayer):
    """trayer's session, with the panel started only when a test asks for a tray host."""


HOST = _Desktop()
HOST.start_display()
HOST.start_bus()
ROOT = HOST.root
SHOTS = os.environ["QUORVEL_SCREENSHOTS"]
BUS = HOST.bus()
DBUSMENU = "com.canonical.dbusmenu"
children = []
items = []


def wait_until(predicate, what, timeout=10):
    try:
        return wait_for(predicate, what, timeout)
    except TimeoutError as error:
        raise AssertionError(str(error)) from None


@atexit.register
def close():
    for demo in glob.glob(f"{ROOT}/*/demo-control-app.cjs"):
        subprocess.run(["node", demo, "stop"], capture_output=True, timeout=20)
    for child in reversed(children):
        child.kill()
        child.communicate()
    HOST.stop()


def x(*argv):
    return HOST.x(*argv)


def start_tray_host():
    HOST.start_panel()


def start_watcher():
    serve_stand_in_watcher(BUS, lambda connection, sender: items.append(sender))


class Installation(_Installation):
    """The program beside the stand-in control script and `replies`, in this desktop."""

    def __init__(self, replies=None):
        super().__init__(ROOT, replies)

    def launch(self, *args):
        items.clear()
        children.append(self.launch_in(HOST, *args))
        return children[-1]


def tray_icons():
    return HOST.icons()


def big_windows():
    """Our visible windows taller than the icon: the open menu, or an alert."""
    return [w[0] for w in HOST.visible_windows("--classname", "quorvel-connect") if w[4] > 60]


def press(window, *keys):
    HOST.key(*keys, window=window)


def screenshot(name, crop=None):
    os.makedirs(SHOTS, exist_ok=True)
    x("import", "-window", "root", *(["-crop", crop, "+repage"] if crop else []),
      f"{SHOTS}/{name}.png")


def http_status(url):
    return x("curl", "-s", "-o", "/dev/null", "-w", "%{http_code}", "--max-time", "2", url)


call = HOST.call


def item_property(name):
    item = wait_until(lambda: items, "a StatusNotifierItem")[-1]
    return call(item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get", "(ss)",
                "org.kde.StatusNotifierItem", name)[0]


def rows():
    """The rows as a host shows them: (id, label, enabled, checked or None), "-" labels a separator.
    Like a host it announces the menu first, and like some never says it closed it."""
    menu = item_property("Menu")
    call(items[-1], menu, DBUSMENU, "AboutToShow", "(i)", 0)
    shown = []
    for row, props, _ in call(items[-1], menu, DBUSMENU, "GetLayout", "(iias)", 0, -1, [])[1][2]:
        label = "-" if props.get("type") == "separator" else re.sub("_(_?)", r"\1", props["label"])
        checked = bool(props["toggle-state"]) if "toggle-type" in props else None
        shown.append((row, label, props.get("enabled", True), checked))
    return shown


def wait_for_headline(text, timeout=10):
    wait_until(lambda: rows()[0][1] == text, f"the headline {text!r}", timeout)


def choose(label):
    row = next(row for row, shown, _, _ in rows() if shown == label)
    event = GLib.Variant("(isvu)", (row, "clicked", GLib.Variant("i", 0), 0))
    # No reply awaited: the row's action may run a modal alert before Qt answers.
    BUS.call(items[-1], item_property("Menu"), DBUSMENU, "Event", event, None, 0, -1)
