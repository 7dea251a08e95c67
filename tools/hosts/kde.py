# KDE Plasma 5's plasmashell on a bare Xvfb, with its default bottom panel, whose system tray is
# the reference StatusNotifier host. kded5 holds the watcher; the bus starts it, so the session's
# variables are set before the bus, or kded5 writes into the real HOME and the watcher never loads.
# No window manager is needed.

from .status_notifier import StatusNotifierHost
from .x11 import HEIGHT, XvfbHost


class Kde(StatusNotifierHost, XvfbHost):
    name = "kde"
    packages = ("xvfb", "plasma-workspace", "plasma-desktop", "xdotool", "x11-utils",
                "imagemagick", "at-spi2-core", "gir1.2-atspi-2.0")

    def start(self):
        self.env.update(XDG_CURRENT_DESKTOP="KDE", KDE_FULL_SESSION="true",
                        KDE_SESSION_VERSION="5", XDG_SESSION_TYPE="x11", QT_QPA_PLATFORM="xcb")
        self.start_display()
        self.start_bus()
        self.start_panel()
        self.accessible()

    def listen(self, tree):
        # plasmashell's Qt 5 reads which events are listened to as it joins the accessibility
        # bus, and only then asks to hear of new listeners: one that registers in between is
        # never heard of, and no menu ever announced to it. It joins as the bus starts, which our
        # first call does; listening once it has joined is always heard.
        self.until_ready(lambda: "plasmashell" in tree.applications(),
                         "plasmashell on the accessibility bus", 30)
        return tree.listen()

    def start_panel(self):
        self.panel = self.serve("plasmashell", ["plasmashell", "--no-respawn"])
        # A KDE session's window manager leaves the panel out of the work area it publishes, and
        # programs place their menus by it; this session has none, so the host publishes it, by
        # the panel as waited for (a second look, a moment later, once found no panel).
        top, width = self.until_ready(lambda: self.watcher_ready() and self.panel_geometry(),
                                      "the panel with its system tray", 60)[2:4]
        self.x("xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA",
               f"0, 0, {width}, {top}")

    def panel_geometry(self):
        return next((w for w in self.visible_windows("--classname", "plasmashell")
                     if w[2] > HEIGHT - 100 and w[4] < 100), None)
