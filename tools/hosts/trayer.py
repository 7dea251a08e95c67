# trayer, an XEmbed tray on the top edge of a bare Xvfb. It draws the icon and nothing else:
# the menu is the program's own Qt menu, and it has no StatusNotifier support at all.

import re

from .x11 import XvfbHost


class Trayer(XvfbHost):
    name = "trayer"
    packages = ("xvfb", "trayer", "xdotool", "x11-utils", "imagemagick", "at-spi2-core",
                "gir1.2-atspi-2.0")

    def start(self):
        self.start_display()
        self.start_bus()
        # Listening before the program starts: Qt reads which events are listened to as it joins
        # the accessibility bus, and only then asks to hear of new listeners, so one that
        # registers in between (as a loaded machine made likely) never hears of its menus.
        self.accessible()
        self.start_panel()

    def start_panel(self):
        self.panel = self.serve("trayer", [
            "trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height",
            "24", "--SetDockType", "true", "--transparent", "false", "--tint", "0xf2f2f2"])
        self.until_ready(self.panel_geometry, "trayer's panel window")

    def panel_geometry(self):
        return next(iter(self.visible_windows("--classname", "panel")), None)

    def icon(self):
        # Our docked icon's window: the X server's own record of what trayer embedded, nested in
        # trayer's window, where a window left behind by a panel that quit is not.
        tree = self.x("xwininfo", "-root", "-tree")
        docked = re.findall(r'^ {8,}(0x\w+) .*\("quorvel-connect".* (?:2[24]|3[02])x(?:2[24]|3[02])',
                            tree, re.M)
        return docked and self.geometries(docked[0])[0][1:]
