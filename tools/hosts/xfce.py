# xfce4-panel with its systray plugin, which hosts StatusNotifier items and XEmbed icons alike,
# as one panel along the top edge of a bare Xvfb; xfconfd starts on the session bus by itself.

import os
import re

from .status_notifier import StatusNotifierHost
from .x11 import XvfbHost


PANEL_CONFIG = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
"""


class Xfce(StatusNotifierHost, XvfbHost):
    name = "xfce"
    packages = ("xvfb", "xfce4-panel", "xfconf", "xdotool", "x11-utils", "imagemagick",
                "at-spi2-core", "gir1.2-atspi-2.0")
    choose = StatusNotifierHost.send_click
    menu_unreadable = "n/a: xfce's tray draws its menus in a plugin wrapper that the panel's " \
                      "accessibility tree does not reach"

    def start(self):
        folder = f"{self.env['XDG_CONFIG_HOME']}/xfce4/xfconf/xfce-perchannel-xml"
        os.makedirs(folder)
        with open(f"{folder}/xfce4-panel.xml", "w") as config:
            config.write(PANEL_CONFIG)
        self.start_display()
        self.start_bus()
        self.start_panel()

    def start_panel(self):
        self.panel = self.serve("xfce4-panel", ["xfce4-panel", "--disable-wm-check"])
        self.until_ready(self.watcher_ready, "the panel's StatusNotifierWatcher")

    def panel_geometry(self):
        return next(iter(self.visible_windows("--classname", "xfce4-panel")), None)

    def icon(self):
        # The tray plugin's window in the panel, as the X server places it, once it holds an
        # icon; the plugin wrapper that draws the icons is out of the accessibility tree's reach.
        tree = self.x("xwininfo", "-root", "-tree")
        plug = re.search(r'^ {8,}(0x\w+) "wrapper-2.0".* (?:1[6-9]|[2-9]\d)x\d+\+', tree, re.M)
        return plug and self.items() and self.geometries(plug[1])[0][1:]
