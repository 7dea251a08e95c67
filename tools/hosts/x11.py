# A host on a private Xvfb: the display number comes back through -displayfd, so no two sessions
# ever race for one, and the server is waited for when it stops. Clicks go in with xdotool,
# screenshots come from import.

import os
import re
import subprocess

from .base import Host, wait_until

WIDTH, HEIGHT = 1024, 768


def overlap(a, b):
    # Whether two (window, x, y, width, height) rectangles share a pixel.
    return (a[1] < b[1] + b[3] and b[1] < a[1] + a[3] and a[2] < b[2] + b[4]
            and b[2] < a[2] + a[4])


class XvfbHost(Host):
    # Its root window is white, so that screenshots do not sit on black.

    def start_display(self, *options):
        read_end, write_end = os.pipe()
        xvfb = self.serve("Xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                   f"{WIDTH}x{HEIGHT}x24", "-nolisten", "tcp", "-wr", *options],
                          pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise self.did_not_start(f"Xvfb gave no display number ({xvfb.tail()})")
        self.env["DISPLAY"] = f":{number}"

    def program_env(self):
        return {**self.env, "QT_QPA_PLATFORM": "xcb"}

    def x(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True,
                              timeout=20).stdout

    def screenshot(self, path):
        self.x("import", "-window", "root", path)

    def click(self, x, y, button="left"):
        number = {"left": 1, "middle": 2, "right": 3}[button]
        self.before_click = {w[0] for w in self.visible_windows()}
        self.x("xdotool", "mousemove", str(x), str(y), "click", str(number))

    def menu_geometry(self):
        # The largest window taller than an icon that was not shown before the last click.
        before = getattr(self, "before_click", set())
        new = [w for w in self.visible_windows() if w[0] not in before and w[4] > 60]
        return max(new, key=lambda w: w[3] * w[4]) if new else None

    def close_menu(self):
        # A click on the bare left edge, where no menu or window lies, as a person dismisses
        # a menu whatever drew it.
        self.x("xdotool", "mousemove", "1", str(HEIGHT // 2), "click", "1")
        wait_until(lambda: not self.menu_geometry() or self.alert(), "the menu to close", 5)

    def key(self, *keys, window=None):
        # Keys into window, or else into the program's alert.
        window = window or (self.alert() or [None])[0]
        focus = ["windowfocus", "--sync", window] if window else []
        self.x("xdotool", *focus, "key", "--clearmodifiers", *keys)

    def visible_windows(self, *match):
        # (window, x, y, width, height) of the viewable windows that match xdotool's search.
        return self.geometries("search", "--onlyvisible", *(match or ("--name", "")), "%@")

    def geometries(self, *windows):
        out = self.x("xdotool", *windows[:-1], "getwindowgeometry", windows[-1])
        found = re.findall(r"Window (\d+)\n\s*Position: (-?\d+),(-?\d+).*\n\s*Geometry: (\d+)x(\d+)",
                           out)
        return [(window, *map(int, rest)) for window, *rest in found]

    def windows_above(self, window):
        # The visible top-level windows stacked above window that cover part of it. A desktop
        # window does not count: with no window manager here, nothing keeps it at the bottom.
        tree = self.x("xwininfo", "-root", "-children")
        order = [str(int(w, 16)) for w in re.findall(r"^\s+(0x[0-9a-f]+)", tree, re.M)]
        return [w for w in self.visible_windows() if w[0] in order and overlap(w, window)
                and order.index(w[0]) > order.index(window[0])
                and "_NET_WM_WINDOW_TYPE_DESKTOP" not in self.x("xprop", "-id", w[0],
                                                                 "_NET_WM_WINDOW_TYPE")]

    def alert(self):
        # Our alert window, if one is shown: the program's only top-level window apart from
        # the icon and the menu, and the only one with a title.
        return next((w for w in self.visible_windows("--classname", "quorvel-connect")
                     if w[4] > 60 and self.x("xdotool", "getwindowname", w[0]).strip()), None)
