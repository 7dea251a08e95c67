# KDE Plasma 5 on Wayland: KWin's virtual backend and plasmashell, whose panel's tray is the
# StatusNotifier host. KWin's own test switches let the session's clients use fake input (clicks,
# keys) and screenshots; a KWin script tells the windows; the accessibility tree reads
# plasmashell's icon and menus, placed by the windows KWin reports, since a Wayland client cannot
# know where its own windows lie.

import json
import os
import shutil

from gi.repository import GLib

from .accessibility import Row
from .base import Host, wait_until
from .gnome import GnomeWaylandHost
from .status_notifier import StatusNotifierHost
from .wayland_input import VirtualInput

WIDTH, HEIGHT = 1024, 768
DISPLAY = "wayland-quorvel"

# Run in KWin; prints the windows but the desktop, bottom first, on one line after the marker.
WINDOWS = """print("%s " + JSON.stringify(workspace.clientList().filter(w => !w.desktopWindow)
    .sort((a, b) => a.stackingOrder - b.stackingOrder).map(w => [w.internalId.toString(), w.x,
        w.y, w.width, w.height, w.active, w.caption, w.dock, w.popupWindow && !w.tooltip])));"""


class KdeWaylandHost(StatusNotifierHost, Host):
    name = "kde-wayland"
    packages = ("kwin-wayland", "plasma-workspace", "plasma-desktop", "qtwayland5", "qt6-wayland",
                "at-spi2-core", "gir1.2-atspi-2.0", "dbus-daemon")
    # The same as GNOME's: the alert is the active window with a title, above the others.
    alert, windows_above = GnomeWaylandHost.alert, GnomeWaylandHost.windows_above

    def start(self):
        self.env.update(XDG_CURRENT_DESKTOP="KDE", KDE_FULL_SESSION="true",
                        KDE_SESSION_VERSION="5", XDG_SESSION_TYPE="wayland",
                        QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=DISPLAY,
                        KWIN_WAYLAND_NO_PERMISSION_CHECKS="1",
                        KWIN_SCREENSHOT_NO_PERMISSION_CHECKS="1")
        # Do not disturb: KWin's note of each screenshot saved would cover the windows shown.
        with open(os.path.join(self.env["XDG_CONFIG_HOME"], "plasmanotifyrc"), "w") as f:
            f.write("[DoNotDisturb]\nUntil=2099,1,1,0,0,0\n")
        self.start_bus()
        # The installed binary carries a file capability, which a test session's loader refuses.
        kwin = shutil.copy("/usr/bin/kwin_wayland", self.root)
        self.kwin = self.serve("kwin_wayland", [
            kwin, "--virtual", "--width", str(WIDTH), "--height", str(HEIGHT), "--socket", DISPLAY,
            "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"])
        socket = os.path.join(self.env["XDG_RUNTIME_DIR"], DISPLAY)
        self.until_ready(lambda: os.path.exists(socket) and self._kwin_ready(), "KWin", 30)
        self.input = VirtualInput(self)
        # Listening before plasmashell starts: it reads at its start which events anyone wants.
        self.accessible()
        self.start_panel()

    def _kwin_ready(self):
        try:
            return self.call("org.kde.KWin", "/Scripting", "org.freedesktop.DBus.Peer", "Ping") == ()
        except GLib.Error:
            return False

    def start_panel(self):
        self.panel = self.serve("plasmashell", ["plasmashell", "--no-respawn"])
        self.until_ready(lambda: self.watcher_ready() and self.panel_geometry(),
                         "the panel with its system tray", 60)

    def windows(self):
        # (id, x, y, width, height, active, caption, dock, popup) of the windows, bottom first.
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

    def panel_geometry(self):
        return next((w[:5] for w in self.windows() if w[7]), None)

    def menu_geometry(self):
        return next((w[:5] for w in reversed(self.windows()) if w[8]), None)

    def menu_rows(self):
        # Plasma's open menu from its tree; each row's place within the menu, moved to where
        # KWin shows the menu.
        shown, window = self.accessible().menu_geometry(), self.menu_geometry()
        if not shown or not window:
            return []
        dx, dy = window[1] - shown[1], window[2] - shown[2]
        return [Row(*row[:3], row.centre and (row.centre[0] + dx, row.centre[1] + dy))
                for row in self.accessible().menu_rows()]

    def screenshot(self, path):
        # KWin writes the PNG itself, into a file of its own choosing.
        shutil.move(self.call("org.kde.KWin", "/Screenshot", "org.kde.kwin.Screenshot",
                              "screenshotFullscreen", "(b)", False)[0], path)

    def click(self, x, y, button="left"):
        self.input.click(x, y, button)

    def key(self, *keys):
        self.input.key(*keys)

    def close_menu(self):
        self.key("Escape")
        wait_until(lambda: not self.menu_geometry(), "the menu to close", 5)
