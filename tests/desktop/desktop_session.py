"""A desktop for a test file on dbus-run-session's bus, stopped at exit: Xvfb (started on import),
a fresh runtime folder, trayer or our StatusNotifierWatcher to read and click the menu's rows."""

import atexit
import glob
import json
import os
import re
import shutil
import subprocess
import tempfile
import threading
import time

from gi.repository import Gio, GLib

ROOT = tempfile.mkdtemp(prefix="quorvel-desktop-")
ENV = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                                      "QT_QPA_PLATFORMTHEME", "SESSION_MANAGER")}
ENV.update(XDG_RUNTIME_DIR=ROOT, NO_AT_BRIDGE="1")
SHOTS = os.environ["QUORVEL_SCREENSHOTS"]
BUS = Gio.bus_get_sync(Gio.BusType.SESSION)
DBUSMENU = "com.canonical.dbusmenu"
children = []
items = []

# Records each verb with the controller's pid, then answers with "<verb>.json" or "default.json"
# when there is one, else runs the demo service's own script. Its folder is the working directory.
SCRIPT = r"""
const fs = require('fs');
fs.appendFileSync('verbs.log', `${process.ppid} ${process.argv[2]}\n`);
const canned = [process.argv[2], 'default'].map((name) => `${name}.json`).find(fs.existsSync);
if (canned) process.stdout.write(fs.readFileSync(canned));
else require('./demo-control-app.cjs');
"""


def wait_until(predicate, what, timeout=10):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        assert time.monotonic() < deadline, f"timed out after {timeout} s waiting for {what}"
        time.sleep(0.05)
    return value


def spawn(argv, **kwargs):
    children.append(subprocess.Popen(argv, env=ENV, **kwargs))
    return children[-1]


@atexit.register
def close():
    for demo in glob.glob(f"{ROOT}/*/demo-control-app.cjs"):
        subprocess.run(["node", demo, "stop"], capture_output=True, timeout=20)
    for child in reversed(children):
        child.kill()
        child.communicate()
    shutil.rmtree(ROOT)


def x(*argv):
    return subprocess.run(argv, env=ENV, capture_output=True, text=True, timeout=20).stdout


xvfb = spawn(["Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"],
             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
ENV["DISPLAY"] = ":" + xvfb.stdout.readline().decode().strip()


def start_tray_host():
    spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height",
           "24"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def start_watcher():
    def on_call(connection, sender, path, interface, method, args, invocation):
        items.append(sender)
        invocation.return_value(None)

    xml = ('<node><interface name="org.kde.StatusNotifierWatcher"><method name='
           '"RegisterStatusNotifierItem"><arg type="s"/></method><property type="b" access="read" '
           'name="IsStatusNotifierHostRegistered"/></interface></node>')
    interface = Gio.DBusNodeInfo.new_for_xml(xml).interfaces[0]
    BUS.register_object("/StatusNotifierWatcher", interface, on_call,
                        lambda *_: GLib.Variant("b", True), None)
    call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
         "(su)", interface.name, 4)
    threading.Thread(target=GLib.MainLoop().run, daemon=True).start()


class Installation:
    """The program in a folder named with spaces and non-ASCII, beside SCRIPT and `replies`."""

    def __init__(self, replies=None):
        self.dir = tempfile.mkdtemp(prefix="Quorvel Connect Ä ", dir=ROOT)
        os.mkdir(f"{self.dir}/logs")
        shutil.copy2(os.environ["QUORVEL_CONNECT"], self.dir)
        if replies is None:
            demo = os.environ["QUORVEL_DEMO_SERVICE"]
            shutil.copy2(f"{demo}/control-app.cjs", f"{self.dir}/demo-control-app.cjs")
            shutil.copy2(f"{demo}/service.cjs", self.dir)
        files = {"control-app.cjs": SCRIPT, "verbs.log": "", **(replies or {})}
        for name, content in files.items():
            self.write(name, content)

    def write(self, name, content):
        with open(f"{self.dir}/{name}", "w", encoding="utf-8") as f:
            f.write(content if isinstance(content, str) else json.dumps(content))

    def launch(self, *args):
        items.clear()
        return spawn([f"{self.dir}/quorvel-connect", *args], cwd="/", stdout=subprocess.DEVNULL,
                     stderr=subprocess.PIPE)

    def verbs(self, pid=None):
        with open(f"{self.dir}/verbs.log", encoding="utf-8") as log:
            return [verb for who, verb in map(str.split, log) if pid in (None, int(who))]


def tray_icons():
    tree = x("xwininfo", "-root", "-tree")
    return re.findall(r'(0x\w+) .*\("quorvel-connect".* 2[24]x2[24]', tree)


def big_windows():
    """Our visible windows taller than the icon: the open menu, or an alert."""
    out = x("xdotool", "search", "--onlyvisible", "--classname", "quorvel-connect",
            "getwindowgeometry", "%@")
    found = re.findall(r"Window (\d+)\n.*\n.*Geometry: \d+x(\d+)", out)
    return [window for window, height in found if int(height) > 60]


def press(window, *keys):
    x("xdotool", "windowfocus", "--sync", window, "key", "--clearmodifiers", *keys)


def screenshot(name, crop="800x600+0+0"):
    os.makedirs(SHOTS, exist_ok=True)
    x("import", "-window", "root", "-crop", crop, "+repage", f"{SHOTS}/{name}.png")


def http_status(url):
    return x("curl", "-s", "-o", "/dev/null", "-w", "%{http_code}", "--max-time", "2", url)


def call(name, path, interface, method, signature, *args):
    return BUS.call_sync(name, path, interface, method, GLib.Variant(signature, args), None,
                         Gio.DBusCallFlags.NONE, 5000, None).unpack()


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
