# sway on its headless backend with waybar's tray as the StatusNotifier host, the program on
# Wayland or, through sway's Xwayland, on X11. sway refuses to run as root, so the whole session
# and the program run as an unprivileged test user; screenshots come from grim.

import glob
import json
import os
import pwd
import subprocess

from .accessibility import Role
from .base import Host
from .private_bus import start_private_bus
from .status_notifier import StatusNotifierHost
from .x11 import overlap

USER = "quorvel-test"
WIDTH, HEIGHT = 1280, 800
SWAY_CONFIG = f"""output HEADLESS-1 resolution {WIDTH}x{HEIGHT} position 0 0 bg #3c3c3c solid_color
xwayland %s
default_border normal
focus_follows_mouse no
exec echo $DISPLAY >%s/display
"""
WAYBAR_CONFIG = {"layer": "top", "position": "top", "height": 30, "modules-left": [],
                 "modules-center": [], "modules-right": ["tray"],
                 "tray": {"icon-size": 22, "spacing": 8}}


def ensure_test_user():
    # The unprivileged user of the sway sessions, created once per machine.
    try:
        return pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                        USER], capture_output=True)  # a concurrent test may have won the race
        return pwd.getpwnam(USER)


class SwayWaylandHost(StatusNotifierHost, Host):
    name = "sway-wayland"
    menu_gap = None  # waybar opens its menu with a corner at the pointer, whatever the program
    choose = StatusNotifierHost.send_click
    menu_unreadable = "n/a: waybar's menu gives the accessibility tree rows that keep their " \
                      "first labels, with '_' dropped"
    packages = ("sway", "waybar", "wayvnc", "grim", "wtype", "qt6-wayland", "dbus-daemon",
                "at-spi2-core", "gir1.2-atspi-2.0")
    xwayland = False

    def serve(self, name, argv, **popen):
        return super().serve(name, argv, **self.as_user(), **popen)

    def start(self):
        # sway and its session bus, then waybar.
        self.user = ensure_test_user()
        self.hand_to_user(self.root)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = start_private_bus(self)
        config = os.path.join(self.root, "sway.conf")
        with open(config, "w") as f:
            f.write(SWAY_CONFIG % ("force" if self.xwayland else "disable", self.root))
        # sway listens for its IPC where SWAYSOCK says, if nothing is there yet.
        self.env.update(WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                        WLR_RENDERER="pixman", XDG_SESSION_TYPE="wayland",
                        XDG_CURRENT_DESKTOP="sway", SWAYSOCK=os.path.join(self.root, "sway.sock"))
        self.serve("sway", ["sway", "--config", config])
        self.until_ready(lambda: self.swaymsg("get_outputs"), "sway's output")
        # Its Wayland socket is made before its IPC's.
        self.env["WAYLAND_DISPLAY"] = os.path.basename(
            glob.glob(f"{self.env['XDG_RUNTIME_DIR']}/wayland-[0-9]")[0])
        # wayvnc gives the headless seat a pointer and a keyboard, which sway's own cursor
        # commands and wtype's keys then drive; no one connects to it.
        self.serve("wayvnc", ["wayvnc", "--unix-socket", os.path.join(self.root, "vnc.sock")])
        self.until_ready(lambda: {"pointer", "keyboard"} <= {
            device["type"] for device in self.swaymsg("get_inputs") or []}, "wayvnc's input")
        if self.xwayland:
            self.env["DISPLAY"] = self.until_ready(self._xwayland_display, "Xwayland")
        self.start_panel()

    def _xwayland_display(self):
        # The display of sway's Xwayland, as a command that sway runs wrote it, once it accepts
        # clients of the session's user, the only one it admits.
        try:
            with open(os.path.join(self.root, "display")) as f:
                display = f.read()
        except FileNotFoundError:
            return None
        probe = subprocess.run(["xdpyinfo"], env={**self.env, "DISPLAY": display.strip()},
                               capture_output=True, **self.as_user())
        return display.endswith("\n") and probe.returncode == 0 and display.strip()

    def start_panel(self):
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "waybar")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "config"), "w") as f:
            json.dump(WAYBAR_CONFIG, f)
        self.hand_to_user(self.env["HOME"])
        # GTK offers a screen reader a socket of its own in its runtime folder, which refuses
        # the test, as root; given none it can write to, it answers on the accessibility bus.
        wayland = os.path.join(self.env["XDG_RUNTIME_DIR"], self.env["WAYLAND_DISPLAY"])
        self.panel = self.serve("waybar", ["env", "XDG_RUNTIME_DIR=/proc",
                                           f"WAYLAND_DISPLAY={wayland}", "waybar"])
        self.until_ready(self.watcher_ready, "waybar's tray")

    def panel_geometry(self):
        return 0, 0, WIDTH, WAYBAR_CONFIG["height"]

    def icon(self):
        # The icon in waybar's accessibility tree, which gives it no name: the bar holds nothing
        # but the tray, and the tray nothing but the items that registered with its watcher.
        return self.items() and self.accessible().find(role=Role.ICON)

    def swaymsg(self, kind, *command):
        result = subprocess.run(["swaymsg", "-r", "-t", kind, *command], env=self.env,
                                capture_output=True, text=True, timeout=10)
        return json.loads(result.stdout) if result.returncode == 0 else None

    def as_user(self):
        return {"user": self.user.pw_uid, "group": self.user.pw_gid, "extra_groups": []}

    def hand_to_user(self, path):
        # Gives a folder the session's user needs (the session's own, the program's
        # installation) to that user.
        for folder, _, files in os.walk(path):
            for name in [folder, *(os.path.join(folder, f) for f in files)]:
                os.chown(name, self.user.pw_uid, self.user.pw_gid)

    def program_folder(self):
        # A folder for the program's installation that the session's user may use.
        folder = os.path.join(self.root, "programs")
        os.makedirs(folder, exist_ok=True)
        return folder

    def program_env(self):
        return {**self.env, "QT_QPA_PLATFORM": "xcb" if self.xwayland else "wayland"}

    def spawn_program(self, argv, cwd):
        self.hand_to_user(os.path.dirname(argv[0]))
        return subprocess.Popen(argv, cwd=cwd, env=self.program_env(), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                **self.as_user())

    def screenshot(self, path):
        with open(path, "wb") as shot:  # grim runs as the session's user, into our file
            subprocess.run(["grim", "-"], env=self.env, stdout=shot, stderr=subprocess.PIPE,
                           check=True, timeout=20, **self.as_user())

    def click(self, x, y, button="left"):
        if y < WAYBAR_CONFIG["height"]:
            self.pointer_at = (x, y)  # where waybar opens its menu
        number = {"left": 1, "middle": 2, "right": 3}[button]
        for command in (["set", str(x), str(y)], ["press", f"button{number}"],
                        ["release", f"button{number}"]):
            self.swaymsg("command", "seat", "-", "cursor", *command)

    def key(self, *keys):
        subprocess.run(["wtype", *(arg for key in keys for arg in ("-k", key))], env=self.env,
                       check=True, capture_output=True, timeout=10, **self.as_user())

    def windows(self):
        # The clients' windows as sway manages them: (id, x, y, width, height, focused, title).
        found = []

        def walk(node):
            if node.get("pid") and node.get("type") in ("con", "floating_con"):
                rect = node["rect"]
                found.append((node["id"], rect["x"], rect["y"], rect["width"], rect["height"],
                              node.get("focused", False), node.get("name")))
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)

        walk(self.swaymsg("get_tree") or {})
        return found

    def waybar_menu(self):
        # waybar's menu and its offset to the screen: GTK on Wayland places a popup's objects
        # within the popup, and waybar opens it with its top right corner at the pointer.
        menu = self.accessible().menu_geometry()
        return menu, menu and (self.pointer_at[0] - menu[1] - menu[3], self.pointer_at[1] - menu[2])

    def menu_geometry(self):
        # A window of the program's that opened as a menu, or else waybar's menu.
        menu, offset = self.waybar_menu()
        dx, dy = offset or (0, 0)
        window = next((window[:5] for window in self.windows()), None)
        return window or menu and (menu[0], menu[1] + dx, menu[2] + dy, *menu[3:])

    def alert(self):
        # The focused window with a title: the alert, when one is shown.
        return next((w[:5] for w in self.windows() if w[6] and w[5]), None)

    def windows_above(self, alert):
        # sway draws the focused window, the alert, above the others of its workspace; only a
        # full-screen window would cover it.
        return [w[:5] for w in self.windows() if w[0] != alert[0] and overlap(w, alert)
                and (w[3], w[4]) == (WIDTH, HEIGHT)]

    def close_menu(self):
        # Escape for a menu of the program's that opened as a window; else a click on the bare
        # desktop, as a person dismisses waybar's menu, which takes no keys.
        if self.windows():
            self.key("Escape")
        else:
            self.click(2, HEIGHT - 2)


class SwayXwaylandHost(SwayWaylandHost):
    name = "sway-xwayland"
    packages = ("sway", "waybar", "wayvnc", "grim", "wtype", "xwayland", "x11-utils", "dbus-daemon",
                "at-spi2-core", "gir1.2-atspi-2.0")
    xwayland = True
