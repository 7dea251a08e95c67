"""sway on its headless backend with waybar's tray as the StatusNotifier host, the program on
Wayland or, through sway's Xwayland, on X11. sway refuses to run as root, so the whole session
and the program run as an unprivileged test user. With no input device, clicks go in through a
virtual pointer client and keys through wtype; screenshots come from grim."""

import glob
import json
import os
import pwd
import re
import shutil
import subprocess

from .base import Host
from .session_bus import call, connect, name_has_owner, tray_host_registered

USER = "quorvel-test"
WIDTH, HEIGHT = 1280, 800
BUTTONS = {"left": 272, "right": 273, "middle": 274}  # Linux input event codes
WATCHER = "org.kde.StatusNotifierWatcher"

SWAY_CONFIG = f"""output HEADLESS-1 resolution {WIDTH}x{HEIGHT} position 0 0 bg #3c3c3c solid_color
xwayland %s
default_border normal
focus_follows_mouse no
"""

WAYBAR_CONFIG = {"layer": "top", "position": "top", "height": 30, "modules-left": [],
                 "modules-center": [], "modules-right": ["tray"],
                 "tray": {"icon-size": 22, "spacing": 8}}

# A session bus that the test, running as root, may also connect to.
BUS_CONFIG = """<busconfig>
  <type>session</type>
  <listen>unix:path=%s</listen>
  <auth>EXTERNAL</auth>
  <standard_session_servicedirs/>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
"""


def ensure_test_user():
    """The unprivileged user of the sway sessions, created once per machine."""
    try:
        return pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                        USER], capture_output=True)  # a concurrent test may have won the race
        return pwd.getpwnam(USER)


class SwayWaylandHost(Host):
    name = "sway-wayland"
    packages = ("sway", "waybar", "grim", "wtype", "qt6-wayland", "dbus-daemon")
    xwayland = False

    def __init__(self):
        super().__init__()
        self.user = None
        self.pointer = None
        self.waybar = None

    # --- the session ----------------------------------------------------------------------------

    def serve(self, name, argv, **popen):
        return super().serve(name, argv, **self.as_user(), **popen)

    def start(self):
        self.start_session()
        self.start_panel()

    def start_session(self):
        """sway and its session bus, with no tray host yet."""
        self.user = ensure_test_user()
        self.hand_to_user(self.root)
        self._start_bus()
        config = os.path.join(self.root, "sway.conf")
        with open(config, "w") as f:
            f.write(SWAY_CONFIG % ("force" if self.xwayland else "disable"))
        self.env.update(WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                        WLR_RENDERER="pixman", XDG_SESSION_TYPE="wayland",
                        XDG_CURRENT_DESKTOP="sway")
        self.sway = self.serve("sway", ["sway", "--config", config])
        runtime = self.env["XDG_RUNTIME_DIR"]
        display = self.until_ready(lambda: glob.glob(f"{runtime}/wayland-[0-9]"),
                                   "sway's Wayland socket")[0]
        self.env["WAYLAND_DISPLAY"] = os.path.basename(display)
        self.env["SWAYSOCK"] = self.until_ready(
            lambda: glob.glob(f"{runtime}/sway-ipc.*.{self.sway.process.pid}.sock"),
            "sway's IPC socket")[0]
        self.until_ready(lambda: self.swaymsg("get_outputs"), "sway's output")
        if self.xwayland:
            self.env["DISPLAY"] = self.until_ready(self._xwayland_display, "Xwayland")

    def _start_bus(self):
        socket = os.path.join(self.root, "session-bus")
        config = os.path.join(self.root, "session-bus.conf")
        with open(config, "w") as f:
            f.write(BUS_CONFIG % socket)
        self.serve("dbus-daemon", ["dbus-daemon", "--nofork", "--nopidfile",
                                   f"--config-file={config}"])
        self.until_ready(lambda: os.path.exists(socket), "the session bus")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={socket}"
        self.bus = connect(self.env["DBUS_SESSION_BUS_ADDRESS"])

    def _xwayland_display(self):
        """The display that sway's Xwayland serves, once it accepts clients: the X lock file that
        the compositor wrote with its own pid names it."""
        for lock in glob.glob("/tmp/.X*-lock"):
            try:
                with open(lock) as f:
                    if int(f.read().strip(" \n\0")) != self.sway.process.pid:
                        continue
            except (OSError, ValueError):
                continue
            display = ":" + re.search(r"\.X(\d+)-lock", lock).group(1)
            # Xwayland admits only the session's user.
            probe = subprocess.run(["xdpyinfo"], env={**self.env, "DISPLAY": display},
                                   capture_output=True, **self.as_user())
            return display if probe.returncode == 0 else None
        return None

    def start_panel(self):
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "waybar")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "config"), "w") as f:
            json.dump(WAYBAR_CONFIG, f)
        self.hand_to_user(self.env["HOME"])
        self.waybar = self.serve("waybar", ["waybar"])
        self.until_ready(lambda: tray_host_registered(self.bus), "waybar's tray")

    def stop_panel(self):
        self.waybar.stop()
        self.servers.remove(self.waybar)
        self.until_ready(lambda: not name_has_owner(self.bus, WATCHER), "waybar's tray to leave")

    def restart_panel(self):
        self.stop_panel()
        self.start_panel()

    def stop(self):
        if self.pointer:
            self.pointer.stdin.close()
            self.pointer.wait(10)
            self.pointer.stdout.close()
            self.pointer = None
        super().stop()

    def swaymsg(self, kind):
        result = subprocess.run(["swaymsg", "-r", "-t", kind], env=self.env, capture_output=True,
                                text=True, timeout=10)
        return json.loads(result.stdout) if result.returncode == 0 else None

    def as_user(self):
        return {"user": self.user.pw_uid, "group": self.user.pw_gid, "extra_groups": []}

    def hand_to_user(self, path):
        """Gives a folder the session's user needs (the session's own, the program's
        installation) to that user."""
        for folder, _, files in os.walk(path):
            for name in [folder, *(os.path.join(folder, f) for f in files)]:
                os.chown(name, self.user.pw_uid, self.user.pw_gid)

    # --- the program ----------------------------------------------------------------------------

    def program_folder(self):
        """A folder for the program's installation that the session's user may use."""
        folder = os.path.join(self.root, "programs")
        os.makedirs(folder, exist_ok=True)
        return folder

    def program_env(self):
        platform = {"QT_QPA_PLATFORM": "xcb" if self.xwayland else "wayland"}
        env = {**self.env, **platform}
        if not self.xwayland:
            env.pop("DISPLAY", None)
        return env

    def spawn_program(self, argv, cwd):
        self.hand_to_user(os.path.dirname(argv[0]))
        return subprocess.Popen(argv, cwd=cwd, env=self.program_env(), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                **self.as_user())

    # --- what a person sees and does ------------------------------------------------------------

    def screenshot(self, path):
        shot = os.path.join(self.root, "screenshot.png")
        subprocess.run(["grim", shot], env=self.env, check=True, capture_output=True, timeout=20,
                       **self.as_user())
        shutil.move(shot, path)

    def _pointer_do(self, *commands):
        if not self.pointer:
            # A copy the session's user may run, wherever the build folder is.
            binary = shutil.copy(shutil.which(os.environ.get("QUORVEL_VIRTUAL_POINTER",
                                                             "virtual_pointer")), self.root)
            self.pointer = subprocess.Popen(
                [binary, str(WIDTH), str(HEIGHT)], env=self.env, stdin=subprocess.PIPE,
                stdout=subprocess.PIPE, text=True, **self.as_user())
        for command in commands:
            self.pointer.stdin.write(command + "\n")
            self.pointer.stdin.flush()
            answer = self.pointer.stdout.readline().strip()
            if answer != "ok":
                raise RuntimeError(f"the virtual pointer answered {answer!r} to {command!r}")

    def move(self, x, y):
        self._pointer_do(f"move {round(x)} {round(y)}")

    def click(self, x, y, button="left"):
        # Hover first: GTK menus take a click only on the row the pointer has entered.
        self.move(x, y)
        self._pointer_do(f"press {BUTTONS[button]}", f"release {BUTTONS[button]}")

    def key(self, *keys):
        argv = ["wtype"]
        for key in keys:
            argv += ["-k", key]
        subprocess.run(argv, env=self.env, check=True, capture_output=True, timeout=10,
                       **self.as_user())

    def windows(self):
        """The program's windows as sway manages them: (title, x, y, width, height)."""
        found = []

        def walk(node):
            if node.get("pid") and node.get("type") in ("con", "floating_con"):
                rect = node["rect"]
                found.append((node.get("name"), rect["x"], rect["y"], rect["width"],
                              rect["height"]))
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)

        walk(self.swaymsg("get_tree") or {})
        return found

    def menu_rows(self):
        """The rows that waybar draws from our item's menu: (label as GTK shows it, enabled),
        separators as "-"."""
        items = call(self.bus, WATCHER, "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties",
                     "Get", "(ss)", WATCHER, "RegisteredStatusNotifierItems")[0]
        if not items:
            return []
        service, _, path = items[-1].partition("/")
        path = "/" + path if path else "/StatusNotifierItem"
        menu = call(self.bus, service, path, "org.freedesktop.DBus.Properties", "Get", "(ss)",
                    "org.kde.StatusNotifierItem", "Menu")[0]
        layout = call(self.bus, service, menu, "com.canonical.dbusmenu", "GetLayout", "(iias)", 0,
                      -1, [])[1]
        rows = []
        for _, props, _ in layout[2]:
            if not props.get("visible", True):
                continue
            if props.get("type") == "separator":
                rows.append(("-", True))
            else:  # GTK's mnemonics: "__" shows "_", "_x" shows an underlined "x"
                rows.append((re.sub("_(.)", r"\1", props.get("label", "")),
                             props.get("enabled", True)))
        return rows

    def menu_labels(self):
        return [label for label, _ in self.menu_rows()]

    def choose(self, label):
        """Walks the open menu with the keyboard, which skips separators and disabled rows."""
        enabled = [shown for shown, on in self.menu_rows() if on and shown != "-"]
        self.key(*["Down"] * (enabled.index(label) + 1), "Return")

    def press_default_button(self):
        self.key("Return")

    def close_menu(self):
        self.key("Escape")


class SwayXwaylandHost(SwayWaylandHost):
    name = "sway-xwayland"
    packages = ("sway", "waybar", "grim", "wtype", "xwayland", "x11-utils", "dbus-daemon")
    xwayland = True
