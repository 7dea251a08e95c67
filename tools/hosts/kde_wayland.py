"""KDE Plasma 5 on Wayland: KWin's virtual backend and plasmashell, whose panel's tray is the
StatusNotifier host. KWin's own test switches let the session's clients use fake input (clicks,
keys) and ScreenShot2; a KWin script tells the windows; AT-SPI reads plasmashell's menus."""

import json
import os
import shutil
import subprocess
import threading

from gi.repository import Gio, GLib

from .base import Host, wait_until
from .gnome import GnomeWaylandHost
from .status_notifier import StatusNotifierHost
from .sway import SwayWaylandHost

WIDTH, HEIGHT = 1024, 768
DISPLAY = "wayland-quorvel"
KEYS = {"Escape": 1, "Return": 28}  # Linux input event codes

# Run in KWin; prints the windows but the desktop, bottom first, on one line after the marker.
WINDOWS = """print("%s " + JSON.stringify(workspace.clientList().filter(w => !w.desktopWindow)
    .sort((a, b) => a.stackingOrder - b.stackingOrder).map(w => [w.internalId.toString(), w.x,
        w.y, w.width, w.height, w.active, w.caption, w.dock, w.popupWindow && !w.tooltip])));"""


class KdeWaylandHost(StatusNotifierHost, Host):
    name = "kde-wayland"
    icon_area = (WIDTH // 2, HEIGHT - 44, WIDTH, HEIGHT)  # the tray, not the launchers
    packages = ("kwin-wayland", "plasma-workspace", "plasma-desktop", "plasma-wayland-protocols",
                "libwayland-dev", "qtwayland5", "qt6-wayland", "at-spi2-core", "gir1.2-atspi-2.0",
                "python3-pil", "dbus-daemon")
    helpers = ()
    # The same as theirs: the alert is the active window with a title, above the others.
    alert, windows_above = GnomeWaylandHost.alert, GnomeWaylandHost.windows_above
    # and the same pointer client, with keys that KWin's fake input takes.
    move, click, _pointer_do = (SwayWaylandHost.move, SwayWaylandHost.click,
                                SwayWaylandHost._pointer_do)
    press_default_button = SwayWaylandHost.press_default_button

    def start(self):
        self.env.update(XDG_CURRENT_DESKTOP="KDE", KDE_FULL_SESSION="true",
                        KDE_SESSION_VERSION="5", XDG_SESSION_TYPE="wayland",
                        QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=DISPLAY,
                        KWIN_WAYLAND_NO_PERMISSION_CHECKS="1",
                        KWIN_SCREENSHOT_NO_PERMISSION_CHECKS="1",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.start_bus()
        # The installed binary carries a file capability, which a test session's loader refuses.
        kwin = shutil.copy("/usr/bin/kwin_wayland", self.root)
        self.kwin = self.serve("kwin_wayland", [
            kwin, "--virtual", "--width", str(WIDTH), "--height", str(HEIGHT), "--socket", DISPLAY,
            "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"])
        socket = os.path.join(self.env["XDG_RUNTIME_DIR"], DISPLAY)
        self.until_ready(lambda: os.path.exists(socket) and self._kwin_ready(), "KWin", 30)
        built = shutil.which(os.environ.get("QUORVEL_VIRTUAL_POINTER", "virtual_pointer"))
        if not built:
            raise self.did_not_start("no virtual pointer: build the virtual_pointer target and "
                                     "name it in QUORVEL_VIRTUAL_POINTER")
        self.pointer = self._start_helper("virtual-pointer", [built, str(WIDTH), str(HEIGHT)])
        self.menus = self._start_helper("atspi-menus", [
            "/usr/bin/python3", os.path.join(os.path.dirname(__file__), "atspi_menus.py"),
            "plasmashell"])
        if self.menus.stdout.readline() != b"ready\n":
            raise self.did_not_start("the AT-SPI menu reader did not start")
        self.start_panel()

    def _kwin_ready(self):
        try:
            return self.call("org.kde.KWin", "/Scripting", "org.freedesktop.DBus.Peer", "Ping") == ()
        except GLib.Error:
            return False

    def _start_helper(self, name, argv):
        """A helper that answers each line on its stdin with one line, for the whole session."""
        with open(os.path.join(self.logs, f"{name}.log"), "ab") as log:
            helper = subprocess.Popen(argv, env=self.env, stdin=subprocess.PIPE,
                                      stdout=subprocess.PIPE, stderr=log)
        self.helpers += (helper,)
        return helper

    def start_panel(self):
        self.panel = self.serve("plasmashell", ["plasmashell", "--no-respawn"])
        self.until_ready(lambda: self.watcher_ready() and self.panel_shown(),
                         "the panel with its system tray", 60)

    def panel_shown(self):
        return any(w[7] for w in self.windows())

    def stop(self):
        for helper in self.helpers:  # each ends at the end of its input
            helper.stdin.close()
            helper.wait(10)
        super().stop()

    def windows(self):
        """(id, x, y, width, height, active, caption, dock, popup) of the windows, bottom first."""
        marker = f"quorvel-windows-{os.urandom(4).hex()}"
        path = os.path.join(self.root, f"{marker}.js")
        with open(path, "w") as f:
            f.write(WINDOWS % marker)
        script = self.call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "loadScript",
                           "(ss)", path, marker)[0]
        self.call("org.kde.KWin", f"/{script}", "org.kde.kwin.Script", "run")

        def printed():
            with open(self.kwin.log, errors="replace") as log:
                return next((line for line in log if marker in line), None)
        line = wait_until(printed, "KWin's script", 5, step=0.02)
        self.call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "unloadScript", "(s)",
                  marker)
        found = line.split(marker, 1)[1].strip()
        if not found.startswith("["):
            raise RuntimeError(f"KWin's script failed: {line}")
        return [tuple(w) for w in json.loads(found)]

    def screenshot(self, path):
        from PIL import Image  # only the Wayland hosts need it

        read_end, write_end = os.pipe()
        chunks = []
        reader = threading.Thread(target=lambda: chunks.extend(iter(
            lambda: os.read(read_end, 1 << 20), b"")))
        reader.start()
        fds = Gio.UnixFDList()
        fds.append(write_end)  # a copy: KWin's end, which it closes when it has written
        os.close(write_end)
        args = GLib.Variant("(iiuua{sv}h)", (0, 0, WIDTH, HEIGHT, {}, 0))
        try:
            reply, _ = self.bus().call_with_unix_fd_list_sync(
                "org.kde.KWin.ScreenShot2", "/org/kde/KWin/ScreenShot2",
                "org.kde.KWin.ScreenShot2", "CaptureArea", args, None, Gio.DBusCallFlags.NONE,
                10000, fds, None)
        finally:
            fds = None
            reader.join()
            os.close(read_end)
        info = reply.unpack()[0]
        Image.frombytes("RGBA", (info["width"], info["height"]), b"".join(chunks), "raw", "BGRA",
                        info["stride"]).convert("RGB").save(path)

    def key(self, name):
        self._pointer_do(f"press {KEYS[name]}", f"release {KEYS[name]}")

    def menu_rows(self):
        """[label, enabled, checked, x, y] of the rows of plasmashell's open menu, from AT-SPI;
        (x, y) is the row's centre in the menu."""
        self.menus.stdin.write(b"rows\n")
        self.menus.stdin.flush()
        return json.loads(self.menus.stdout.readline())

    def menu_geometry(self):
        return next((w[:5] for w in reversed(self.windows()) if w[8]), None)

    def menu_labels(self):
        return [row[0] for row in self.menu_rows()]

    def choose(self, label):
        """Clicks the row once it is enabled, as a person waits while a poll in flight disables
        it for a moment."""
        row = wait_until(lambda: next((row for row in self.menu_rows()
                                       if row[:2] == [label, True]), None),
                         f"an enabled row {label!r} in plasmashell's menu", 5)
        menu = self.menu_geometry()
        self.click(menu[1] + row[3], menu[2] + row[4])

    def close_menu(self):
        self.key("Escape")
        wait_until(lambda: not self.menu_geometry(), "the menu to close", 5)
