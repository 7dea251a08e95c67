"""trayer, an XEmbed tray on the top edge of a bare Xvfb. It draws the icon and nothing else:
the menu is the program's own Qt menu, and it has no StatusNotifier support at all."""

import re

from .x11 import HEIGHT, XvfbHost


class Trayer(XvfbHost):
    name = "trayer"
    packages = ("xvfb", "trayer", "xdotool", "x11-utils", "imagemagick")

    icon_area = (512, 0, 1024, 24)
    reads_labels = False

    def __init__(self, height=24):
        super().__init__()
        self.height = height
        self.panel = None
        self.enabled_rows = []  # set by the caller: our menu gives a host nothing to read

    def start(self):
        self.start_display()
        self.start_bus()
        self.start_panel()

    def start_panel(self):
        self.panel = self.serve("trayer", [
            "trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height",
            str(self.height), "--SetDockType", "true", "--transparent", "false", "--tint",
            "0xf2f2f2"])
        self.until_ready(self.panel_window, "trayer's panel window")

    def panel_window(self):
        tree = self.x("xwininfo", "-root", "-tree")
        return re.search(r'(0x\w+) .*\("panel" "trayer"\)', tree)

    def icons(self):
        """Our docked icons' windows."""
        tree = self.x("xwininfo", "-root", "-tree")
        return re.findall(r'(0x\w+) .*\("quorvel-connect".* (?:2[24]|3[02])x(?:2[24]|3[02])', tree)

    def menu_labels(self):
        return None

    def choose(self, label):
        """Walks our open menu with the keyboard, which skips separators and disabled rows; the
        pointer leaves the menu first, so that no row is current when the walk starts."""
        self.x("xdotool", "mousemove", "0", str(HEIGHT - 1))
        steps = self.enabled_rows.index(label) + 1
        self.key(*["Down"] * steps, "Return")
