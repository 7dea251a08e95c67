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

from .base import Host, wait_until
from .private_bus import start_private_bus
from .status_notifier import StatusNotifierHost
from .x11 import overlap

USER = "quorvel-test"
WIDTH, HEIGHT = 1280, 800
BUTTONS = {"left": 272, "right": 273, "middle": 274}  # Linux input event codes

SWAY_CONFIG = f"""output HEADLESS-1 resolution {WIDTH}x{HEIGHT} position 0 0 bg #3c3c3c solid_color
xwayland %s
default_border normal
focus_follows_mouse no
"""

WAYBAR_CONFIG = {"layer": "top", "position": "top", "height": 30, "modules-left": [],
                 "modules-center": [], "modules-right": ["tray"],
                 "tray": {"icon-size": 22, "spacing": 8}}

def white_box(image):
    """(left, top, right, bottom) of the mostly white box on the screen: an open menu, the only
    white area on this desktop; None when there is none. Edges with only a few white pixels,
    the pointer's or the icon's, are trimmed off."""
    white = image.point(lambda value: 255 if value == 255 else 0).convert("L").point(
        lambda value: 255 if value == 255 else 0)
    box = white.getbbox()
    while box and box[2] - box[0] >= 80 and box[3] - box[1] >= 60:
        left, top, right, bottom = box
        edges = {(left, top, right, top + 1): (left, top + 1, right, bottom),
                 (left, bottom - 1, right, bottom): (left, top, right, bottom - 1),
                 (left, top, left + 1, bottom): (left + 1, top, right, bottom),
                 (right - 1, top, right, bottom): (left, top, right - 1, bottom)}

        def whiteness(edge):
            return white.crop(edge).histogram()[255] / max(edge[2] - edge[0], edge[3] - edge[1])

        sparsest = min(edges, key=whiteness)
        if whiteness(sparsest) >= 0.5:
            return box
        box = edges[sparsest]
    return None


def row_centre(image, labels, index):
    """Where row `index` of the open GTK menu lies in the screenshot `image`: its separators are
    full-width lines, and the rows between two separators share the space between them evenly."""
    box = white_box(image)
    if not box:
        raise AssertionError("no open menu on the screen")
    left, top, right, bottom = box
    pixels = image.load()
    lines = [y for y in range(top, bottom) if pixels[left + 3, y] != (255, 255, 255)
             and pixels[left + 3, y] == pixels[(left + right) // 2, y] == pixels[right - 4, y]]
    bands, start = [], top
    for line in lines + [bottom]:
        bands.append((start, line))
        start = line + 1
    groups = "\n".join(labels).split("\n-\n")
    if len(groups) != len(bands):
        raise AssertionError(f"the menu shows {len(bands)} groups of rows, its layout has "
                             f"{len(groups)}")
    row = 0
    for (band_top, band_bottom), group in zip(bands, groups):
        members = group.split("\n")
        if index < row + len(members):
            height = (band_bottom - band_top) / len(members)
            return (left + right) // 2, round(band_top + height * (index - row + 0.5))
        row += len(members) + 1  # and the separator
    raise AssertionError(f"row {index} is a separator")


def ensure_test_user():
    """The unprivileged user of the sway sessions, created once per machine."""
    try:
        return pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                        USER], capture_output=True)  # a concurrent test may have won the race
        return pwd.getpwnam(USER)


class SwayWaylandHost(StatusNotifierHost, Host):
    name = "sway-wayland"
    icon_area = (0, 0, WIDTH, WAYBAR_CONFIG["height"])
    menu_at_pointer = True  # waybar's menu, whatever the program
    packages = ("sway", "waybar", "grim", "wtype", "libwayland-dev", "python3-pil", "qt6-wayland",
                "dbus-daemon")
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
        self.env["DBUS_SESSION_BUS_ADDRESS"] = start_private_bus(self, "session")
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
        self._start_input_devices()
        if self.xwayland:
            self.env["DISPLAY"] = self.until_ready(self._xwayland_display, "Xwayland")

    def _start_input_devices(self):
        """A virtual pointer and keyboard that stay for the whole session: a client that sees
        the seat's keyboard come and go with each key typed misses the keys."""
        built = shutil.which(os.environ.get("QUORVEL_VIRTUAL_POINTER", "virtual_pointer"))
        if not built:
            raise self.did_not_start("no virtual pointer: build the virtual_pointer target and "
                                     "name it in QUORVEL_VIRTUAL_POINTER")
        # A copy the session's user may run, wherever the build folder is.
        with open(os.path.join(self.logs, "virtual-pointer.log"), "ab") as log:
            self.pointer = subprocess.Popen(
                [shutil.copy(built, self.root), str(WIDTH), str(HEIGHT)], env=self.env,
                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=log, **self.as_user())
        self.serve("virtual-keyboard", ["wtype", "-s", "3600000"])  # an hour, then it exits

        def devices():
            kinds = {device["type"] for device in self.swaymsg("get_inputs") or []}
            return {"pointer", "keyboard"} <= kinds

        self.until_ready(devices, "the virtual pointer and keyboard")

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
        self.until_ready(lambda: self.watcher_ready(), "waybar's tray")

    def stop_panel(self):
        self.waybar.stop()
        self.servers.remove(self.waybar)
        self.until_ready(lambda: not self.watcher_ready(), "waybar's tray to leave")

    def restart_panel(self):
        self.stop_panel()
        self.start_panel()

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
        for command in commands:
            self.pointer.stdin.write(f"{command}\n".encode())
            self.pointer.stdin.flush()
            answer = self.pointer.stdout.readline().decode().strip()
            if answer != "ok":
                raise RuntimeError(f"the virtual pointer answered {answer!r} to {command!r}")

    def stop(self):
        if self.pointer:  # it ends at the end of its input
            self.pointer.stdin.close()
            try:
                self.pointer.wait(10)
            except subprocess.TimeoutExpired:
                self.pointer.kill()
                self.pointer.wait()
            self.pointer.stdout.close()
            self.pointer = None
        super().stop()

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
        """The clients' windows as sway manages them: (id, x, y, width, height, focused, title)."""
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

    def _screen(self):
        from PIL import Image  # only the sway hosts need it

        shot = os.path.join(self.root, "screen.png")
        self.screenshot(shot)
        with Image.open(shot) as image:
            return image.convert("RGB")

    def menu_geometry(self):
        """A window of the program's that opened as a menu, or else the white box of a popup
        menu: waybar's, or the program's own on Xwayland."""
        window = next((window[:5] for window in self.windows()), None)
        box = None if window else white_box(self._screen())
        return window or box and ("popup", box[0], box[1], box[2] - box[0], box[3] - box[1])

    def menu_labels(self):
        """What waybar draws from the menu's layout, while its menu is open."""
        return super().menu_labels() if white_box(self._screen()) else []

    def choose(self, label):
        """Hovers the row of waybar's open menu, then clicks it. waybar's menu takes no keys, and
        no one can ask it where its rows are: the rows are found in a screenshot, between the
        separator lines of the menu's white box, in the order of the menu's layout."""
        labels = super().menu_labels()
        self.move(0, HEIGHT - 1)  # the white pointer off the menu
        x, y = row_centre(self._screen(), labels, labels.index(label))
        self.move(x - 1, y)
        # A person waits while a poll in flight disables the row for a moment; the program drops
        # a click that comes while it is busy.
        wait_until(lambda: (label, True) in [row[1:] for row in self.layout()],
                   f"an enabled row {label!r}", 5)
        self.click(x, y)

    def alert(self):
        """The focused window with a title: the alert, when one is shown."""
        return next((w[:5] for w in self.windows() if w[6] and w[5]), None)

    def windows_above(self, alert):
        """sway draws the focused window, the alert, above the others of its workspace; only a
        full-screen window would cover it."""
        return [w[:5] for w in self.windows() if w[0] != alert[0] and overlap(w, alert)
                and (w[3], w[4]) == (WIDTH, HEIGHT)]

    def press_default_button(self):
        wait_until(self.alert, "a focused alert", 10)
        self.key("Return")

    def close_menu(self):
        """Escape for a menu of the program's that opened as a window; else a click on the bare
        desktop, as a person dismisses waybar's menu, which takes no keys."""
        if self.windows():
            self.key("Escape")
        else:
            self.click(2, HEIGHT - 2)


class SwayXwaylandHost(SwayWaylandHost):
    name = "sway-xwayland"
    packages = ("sway", "waybar", "grim", "wtype", "libwayland-dev", "python3-pil", "xwayland",
                "x11-utils", "dbus-daemon")
    xwayland = True
