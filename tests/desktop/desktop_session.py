"""One desktop for one desktop test: its own Xvfb display, session bus and runtime folder, and
either a tray host (trayer, the XEmbed way) or a StatusNotifierWatcher (the D-Bus way, where the
menu's rows can be read and clicked). Everything it starts is stopped when it closes."""

import json
import os
import shutil
import signal
import subprocess
import tempfile
import time
import urllib.request

import dbus

HERE = os.path.dirname(os.path.abspath(__file__))
PROGRAM = os.environ["QUORVEL_CONNECT"]
DEMO_DIR = os.environ["QUORVEL_DEMO_SERVICE"]
SCREENSHOTS = os.environ["QUORVEL_SCREENSHOTS"]
ICON_CLASS = "quorvel-connect"
DBUSMENU = "com.canonical.dbusmenu"

# A control script that records every verb it gets (time in ms, the controller's pid, the verb),
# then answers from a table of canned replies: "<verb>.json" beside it, else "default.json".
LOGGING_SCRIPT = r"""
const fs = require('fs');
const path = require('path');
const verb = process.argv[2];
fs.appendFileSync(path.join(__dirname, 'verbs.log'), `${Date.now()} ${process.ppid} ${verb}\n`);
const canned = [verb + '.json', 'default.json'].map((f) => path.join(__dirname, f)).find(fs.existsSync);
process.stdout.write(canned ? fs.readFileSync(canned) : '{"ok": true, "state": "Stopped"}');
"""

# Records the verb, then runs the demo service's own control script.
LOGGING_DEMO_SCRIPT = r"""
const fs = require('fs');
const path = require('path');
fs.appendFileSync(path.join(__dirname, 'verbs.log'), `${Date.now()} ${process.ppid} ${process.argv[2]}\n`);
require('./demo-control-app.cjs');
"""


def wait_until(predicate, timeout, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def displayed_label(label):
    """A dbusmenu label as the host shows it: "_" marks the mnemonic, "__" is an underscore."""
    shown, i = [], 0
    while i < len(label):
        if label[i] == "_":
            i += 1
            if i < len(label) and label[i] == "_":
                shown.append("_")
                i += 1
            continue
        shown.append(label[i])
        i += 1
    return "".join(shown)


class Installation:
    """A temporary installation folder (spaces and non-ASCII in its path) holding the program
    beside a control script."""

    def __init__(self, root):
        self.dir = os.path.join(root, "Quorvel Connect Ä install")
        os.makedirs(os.path.join(self.dir, "logs"))
        self.program = os.path.join(self.dir, "quorvel-connect")
        shutil.copy2(PROGRAM, self.program)

    def with_logging_script(self, replies):
        """`replies`: verb (or "default") to the reply: a dict, or raw text printed as is."""
        self._write("control-app.cjs", LOGGING_SCRIPT)
        for verb, reply in replies.items():
            self._write(f"{verb}.json", reply if isinstance(reply, str) else json.dumps(reply))
        return self

    def with_demo_service(self):
        shutil.copy2(os.path.join(DEMO_DIR, "control-app.cjs"),
                     os.path.join(self.dir, "demo-control-app.cjs"))
        shutil.copy2(os.path.join(DEMO_DIR, "service.cjs"), os.path.join(self.dir, "service.cjs"))
        self._write("control-app.cjs", LOGGING_DEMO_SCRIPT)
        return self

    def set_reply(self, verb, reply):
        self._write(f"{verb}.json", reply if isinstance(reply, str) else json.dumps(reply))

    def verbs(self, pid=None):
        """The verbs received so far, as (time in s, controller pid, verb)."""
        try:
            with open(os.path.join(self.dir, "verbs.log"), encoding="utf-8") as log:
                lines = [line.split() for line in log if line.strip()]
        except FileNotFoundError:
            return []
        entries = [(int(t) / 1000.0, int(p), v) for t, p, v in lines]
        return [e for e in entries if pid is None or e[1] == pid]

    def verb_names(self, pid=None):
        return [verb for _, _, verb in self.verbs(pid)]

    def stop_demo_service(self):
        """Stops a demo service left running, whatever the test did."""
        demo = os.path.join(self.dir, "demo-control-app.cjs")
        if os.path.exists(demo):
            subprocess.run(["node", demo, "stop"], cwd=self.dir, capture_output=True, timeout=20)

    def _write(self, name, text):
        with open(os.path.join(self.dir, name), "w", encoding="utf-8") as f:
            f.write(text)


class DesktopSession:
    def __init__(self, name, tray="xembed"):
        assert tray in ("xembed", "sni", "none")
        self.name = name
        self.tray = tray
        self.root = tempfile.mkdtemp(prefix="quorvel-desktop-")
        self.runtime_dir = os.path.join(self.root, "runtime")
        os.makedirs(self.runtime_dir, mode=0o700)
        self.processes = []
        self.pipes = []
        self.installations = []
        self.programs = []
        self.shot_index = 0
        os.makedirs(SCREENSHOTS, exist_ok=True)
        self.env = dict(os.environ)
        for key in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME",
                    "DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP", "SESSION_MANAGER"):
            self.env.pop(key, None)
        self.env["XDG_RUNTIME_DIR"] = self.runtime_dir
        self.env["NO_AT_BRIDGE"] = "1"
        try:
            self._start_display()
            self._start_bus()
            if tray == "xembed":
                self.start_tray_host()
            elif tray == "sni":
                self._start_watcher()
        except BaseException:
            self.close()
            raise

    # --- lifetime -------------------------------------------------------------------------------

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        for installation in self.installations:
            installation.stop_demo_service()
        for pipe in self.pipes:
            pipe.close()
        for program in self.programs:
            if program.poll() is None:
                program.kill()
                program.wait()
            if program.stderr:
                program.stderr.close()
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=3)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        shutil.rmtree(self.root, ignore_errors=True)

    def _spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, env=self.env, start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def _start_display(self):
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24",
                     "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env["DISPLAY"] = f":{number}"

    def _start_bus(self):
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                           "--print-address=1"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.pipes.append(bus.stdout)
        address = bus.stdout.readline().decode().strip()
        if not address:
            raise RuntimeError("dbus-daemon did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        self.bus = dbus.bus.BusConnection(address)

    def start_tray_host(self):
        self._spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                     "--height", "24", "--SetDockType", "true", "--transparent", "false",
                     "--tint", "0xe8e8e8", "--expand", "true"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: "\"panel\": (\"panel\" \"trayer\")" in self.x_tree(), 10,
                   what="the tray host")

    def _start_watcher(self):
        self.watcher_log = os.path.join(self.root, "watcher.log")
        watcher = self._spawn(["/usr/bin/python3", os.path.join(HERE, "sni_watcher.py"),
                               self.watcher_log], stdout=subprocess.PIPE)
        self.pipes.append(watcher.stdout)
        if watcher.stdout.readline().strip() != b"ready":
            raise RuntimeError("the StatusNotifierWatcher did not start")

    # --- the program ----------------------------------------------------------------------------

    def installation(self):
        installation = Installation(self.root)
        self.installations.append(installation)
        return installation

    def launch(self, installation, *args, stderr=subprocess.PIPE):
        program = subprocess.Popen([installation.program, *args], cwd="/", env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=stderr)
        self.programs.append(program)
        return program

    # --- X11 ------------------------------------------------------------------------------------

    def x(self, *argv, check=True):
        return subprocess.run(list(argv), env=self.env, capture_output=True, text=True,
                              check=check, timeout=20).stdout

    def x_tree(self):
        return self.x("xwininfo", "-root", "-tree", check=False)

    def tray_icons(self):
        """Window ids of our icons docked in the tray host."""
        return [line.split()[0] for line in self.x_tree().splitlines()
                if f'("{ICON_CLASS}"' in line and ("22x22" in line or "24x24" in line)]

    def wait_for_icon(self, timeout=10):
        return wait_until(self.tray_icons, timeout, what="the tray icon")[0]

    def click_icon(self, button):
        icon = self.wait_for_icon()
        self.x("xdotool", "mousemove", "--window", icon, "11", "11", "click", str(button))

    def our_windows(self):
        """Our visible windows bigger than the icon: the open menu, or an alert."""
        out = self.x("xdotool", "search", "--onlyvisible", "--classname", ICON_CLASS,
                     check=False)
        return [w for w in out.split() if self.window_size(w)[1] > 60]

    def wait_for_menu(self, timeout=5):
        return wait_until(self.our_windows, timeout, what="the menu")[0]

    def wait_until_closed(self, timeout=5):
        wait_until(lambda: not self.our_windows(), timeout, what="the menu or alert to close")

    def window_size(self, window):
        geometry = self.x("xdotool", "getwindowgeometry", window, check=False)
        for line in geometry.splitlines():
            if "Geometry:" in line:
                w, h = line.split()[-1].split("x")
                return int(w), int(h)
        return 0, 0

    def wait_for_alert(self, timeout=10):
        return wait_until(self.our_windows, timeout, what="an alert")[0]

    def press(self, window, *keys):
        self.x("xdotool", "windowfocus", "--sync", window)
        for key in keys:
            self.x("xdotool", "key", "--clearmodifiers", key)
            time.sleep(0.1)

    def screenshot(self, label, crop=None):
        self.shot_index += 1
        path = os.path.join(SCREENSHOTS, f"{self.name}-{self.shot_index:02d}-{label}.png")
        argv = ["import", "-window", "root"]
        if crop:
            argv += ["-crop", crop, "+repage"]
        self.x(*argv, path)
        return path

    # --- the menu over D-Bus (tray="sni") -------------------------------------------------------

    def _menu_object(self):
        def registered():
            try:
                with open(self.watcher_log, encoding="utf-8") as log:
                    return log.read().split()
            except FileNotFoundError:
                return None
        service = wait_until(registered, 10, what="a StatusNotifierItem")[0]
        item = self.bus.get_object(service, "/StatusNotifierItem", introspect=False)
        menu_path = item.Get("org.kde.StatusNotifierItem", "Menu",
                             dbus_interface=dbus.PROPERTIES_IFACE)
        return item, self.bus.get_object(service, menu_path, introspect=False)

    def item_property(self, name):
        item, _ = self._menu_object()
        return item.Get("org.kde.StatusNotifierItem", name, dbus_interface=dbus.PROPERTIES_IFACE)

    def rows(self):
        """The menu as a person would read it: one dict per row, separators as "-"."""
        _, menu = self._menu_object()
        _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"), dbus_interface=DBUSMENU,
                                   signature="iias")
        rows = []
        for child_id, props, _ in layout[2]:
            if props.get("type") == "separator":
                rows.append("-")
                continue
            rows.append({
                "id": int(child_id),
                "label": displayed_label(str(props.get("label", ""))),
                "enabled": bool(props.get("enabled", True)),
                "checked": bool(props.get("toggle-state", 0)) if "toggle-type" in props else None,
            })
        return rows

    def row(self, label):
        for row in self.rows():
            if row != "-" and row["label"] == label:
                return row
        raise AssertionError(f"no row {label!r} in {self.rows()}")

    def headline(self):
        return self.rows()[0]["label"]

    def wait_for_headline(self, text, timeout=15):
        return wait_until(lambda: self.headline() == text, timeout,
                          what=f"the headline {text!r}")

    def choose(self, label):
        row = self.row(label)
        _, menu = self._menu_object()
        # No reply awaited: the row's action may run a modal alert before Qt answers.
        menu.Event(row["id"], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                   dbus_interface=DBUSMENU, signature="isvu", ignore_reply=True)


def http_status(url, timeout=2):
    try:
        with urllib.request.urlopen(url, timeout=timeout) as response:
            return response.status
    except OSError:
        return None


def kill_quietly(process):
    if process.poll() is None:
        process.send_signal(signal.SIGKILL)
        process.wait()
