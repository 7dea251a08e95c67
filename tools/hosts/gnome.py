# GNOME Shell 43 headless on Wayland with the AppIndicator extension as the tray host. A test-only
# extension turns on unsafe mode, so that clicks go in through a Clutter virtual pointer over Eval,
# the open menu is read over Eval, and screenshots come from the shell's Screenshot interface.

import json
import os
import shutil

from gi.repository import GLib

from .accessibility import Row
from .base import TITLE, Host, wait_until
from .status_notifier import StatusNotifierHost
from .x11 import overlap

APPINDICATOR = "ubuntu-appindicators@ubuntu.com"
UNSAFE_MODE = "gnome-unsafe-mode@quorvel.test"
WIDTH, HEIGHT = 1280, 800
DISPLAY = "wayland-quorvel"

# Evaluated in the shell; each defines nothing global but the one virtual pointer and keyboard.
POINTER = """(() => {
  const {Clutter, GLib} = imports.gi;
  const seat = Clutter.get_default_backend().get_default_seat();
  global._testPointer ||= seat.create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
  global._testKeyboard ||= seat.create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);
  const now = GLib.get_monotonic_time();
  %s
  return true;
})()"""

OPEN_MENU = """(() => {
  const PopupMenu = imports.ui.popupMenu;
  const menu = imports.ui.main.panel.menuManager.activeMenu;
  if (!menu || !menu.isOpen) return null;
  const [x, y] = menu.box.get_transformed_position();
  const [width, height] = menu.box.get_transformed_size();
  const rows = menu._getMenuItems().filter(item => item.visible).map(item => {
    const [rx, ry] = item.get_transformed_position();
    const [rw, rh] = item.get_transformed_size();
    const separator = item instanceof PopupMenu.PopupSeparatorMenuItem;
    return [separator ? '-' : item.label.text, separator || item.reactive,
            item._ornament === PopupMenu.Ornament.CHECK || null, [rx + rw / 2, ry + rh / 2]];
  });
  return {x, y, width, height, rows};
})()"""

# Our item among the panel's indicators, by the name the extension gives it: not by its colour.
ICON = """(() => {
  const icon = Object.values(imports.ui.main.panel.statusArea).find(
    indicator => indicator?.mapped && indicator.accessible_name === '%s');
  const place = icon ? [...icon.get_transformed_position(), ...icon.get_transformed_size()] : [];
  return place.every(Number.isFinite) && place[2] > 0 ? place : null;  // placed, not on its way
})()"""
PANEL = "[...imports.ui.main.panel.get_transformed_position(), " \
        "...imports.ui.main.panel.get_transformed_size()]"
STARTED = "!imports.ui.main.layoutManager._startingUp"
SETTLED = ("!imports.ui.main.overview.visible && "
           "!imports.ui.main.overview.animationInProgress")

# Bottom first, as they are stacked; the id stays while a window is placed and moved.
WINDOWS = """global.get_window_actors().map(actor => {
  const window = actor.meta_window, frame = window.get_frame_rect();
  return [window.get_id(), frame.x, frame.y, frame.width, frame.height, window.has_focus(),
          window.get_title()];
})"""


class EvalFailed(Exception):
    pass


class GnomeWaylandHost(StatusNotifierHost, Host):
    name = "gnome-wayland"
    menu_gap = 8  # the box pointer's arrow keeps the shell's menus apart from the top bar
    packages = ("gnome-shell", "gnome-shell-extension-appindicator", "qt6-wayland", "dbus-daemon")

    def start(self):
        self._write_settings()
        # Without a system bus the shell stops at its login-manager check; an empty one of its
        # own keeps the machine's bus out of the test.
        self.start_bus("system")
        self.env["GSETTINGS_BACKEND"] = "keyfile"
        self.env["XDG_SESSION_TYPE"] = "wayland"
        self.env["XDG_CURRENT_DESKTOP"] = "GNOME"
        self.start_bus()
        self.shell = self.serve("gnome-shell", [
            "gnome-shell", "--headless", "--wayland", "--no-x11", "--virtual-monitor",
            f"{WIDTH}x{HEIGHT}", f"--wayland-display={DISPLAY}"])
        self.until_ready(lambda: self._eval_quietly(STARTED), "GNOME Shell to start", 30)
        # The shell opens the overview at start; a person's desktop shows the windows.
        self.eval("imports.ui.main.overview.hide()")
        self.until_ready(lambda: self.eval(SETTLED), "the overview to close")
        self.start_panel()

    def _eval_quietly(self, script):
        try:
            return self.eval(script)
        except (GLib.Error, EvalFailed):  # not on the bus yet, or not yet in unsafe mode
            return None

    def _write_settings(self):
        home = self.env["HOME"]
        extensions = f"{home}/.local/share/gnome-shell/extensions"
        shutil.copytree(os.path.join(os.path.dirname(__file__), UNSAFE_MODE),
                        f"{extensions}/{UNSAFE_MODE}")
        settings = f"{home}/.config/glib-2.0/settings"
        os.makedirs(settings)
        with open(f"{settings}/keyfile", "w") as f:
            f.write("[org/gnome/shell]\ndisable-user-extensions=false\n"
                    f"enabled-extensions=['{UNSAFE_MODE}']\n"
                    "welcome-dialog-last-shown-version='999'\n"
                    # A plain backdrop, so that nothing but our icon is blue, and no banners
                    # over the panel.
                    "[org/gnome/desktop/background]\npicture-options='none'\n"
                    "primary-color='#3c3c3c'\ncolor-shading-type='solid'\n"
                    "[org/gnome/desktop/notifications]\nshow-banners=false\n")

    def start_panel(self):
        self.eval(f"imports.ui.main.extensionManager.enableExtension('{APPINDICATOR}')")
        self.until_ready(lambda: self.watcher_ready(), "the AppIndicator tray host")

    def stop_panel(self):
        self.eval(f"imports.ui.main.extensionManager.disableExtension('{APPINDICATOR}')")
        self.until_ready(lambda: not self.watcher_ready(),
                         "the AppIndicator tray host to leave")

    def program_env(self):
        return {**self.env, "WAYLAND_DISPLAY": DISPLAY, "QT_QPA_PLATFORM": "wayland"}

    def eval(self, script):
        ok, result = self.call("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval",
                               "(s)", script)
        if not ok:
            raise EvalFailed(result)
        return json.loads(result) if result else None

    def screenshot(self, path):
        ok, _ = self.call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                          "org.gnome.Shell.Screenshot", "Screenshot", "(bbs)", False, False,
                          os.path.abspath(path))
        if not ok:
            raise RuntimeError(f"GNOME Shell took no screenshot\n{self.shell.tail()}")

    def windows(self):
        # The clients' windows, bottom first: (id, x, y, width, height, focused, title).
        return [tuple(window) for window in self.eval(WINDOWS)]

    def windows_above(self, alert):
        stack = [window[:5] for window in self.windows()]
        ids = [window[0] for window in stack]
        above = stack[ids.index(alert[0]) + 1:] if alert[0] in ids else stack
        return [window for window in above if overlap(window, alert)]

    def click(self, x, y, button="left"):
        number = {"left": 1, "middle": 2, "right": 3}[button]
        self.eval(POINTER % f"global._testPointer.notify_absolute_motion(now, {x}, {y});")
        for state in ("PRESSED", "RELEASED"):
            self.eval(POINTER % f"global._testPointer.notify_button(now, {number}, "
                                f"Clutter.ButtonState.{state});")

    def icon(self):
        return self.eval(ICON % TITLE)

    def panel_geometry(self):
        return self.eval(PANEL)

    def menu_geometry(self):
        # The shell's open menu, or else a window of the program's that opened as one.
        menu = self.eval(OPEN_MENU)
        if menu:
            return ("shell menu", menu["x"], menu["y"], menu["width"], menu["height"])
        return next((window[:5] for window in self.windows() if window[3] > 0), None)

    def menu_rows(self):
        # The shell draws the menu itself: its rows read from the shell's own model.
        return [Row(*row) for row in (self.eval(OPEN_MENU) or {"rows": []})["rows"]]

    def alert(self):
        # The focused window with a title, placed and drawn: the alert, when one is shown.
        return next((w[:5] for w in self.windows() if w[6] and w[3] > 0 and w[5]), None)

    def close_menu(self):
        self.eval("imports.ui.main.panel.menuManager.activeMenu?.close()")
        wait_until(lambda: not self.eval(OPEN_MENU), "the menu to close", 5)

    def key(self, *keys):
        for key in keys:
            for state in ("PRESSED", "RELEASED"):
                self.eval(POINTER % f"global._testKeyboard.notify_keyval(now, Clutter.KEY_{key}, "
                                    f"Clutter.KeyState.{state});")


