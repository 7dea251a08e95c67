# The headless tray hosts by the names the matrix, `python3 -m hosts` and the benchmarks use.

import importlib

HOSTS = {"trayer": "trayer.Trayer", "xfce": "xfce.Xfce", "kde": "kde.Kde",
         "kde-wayland": "kde_wayland.KdeWaylandHost", "gnome-wayland": "gnome.GnomeWaylandHost",
         "sway-wayland": "sway.SwayWaylandHost", "sway-xwayland": "sway.SwayXwaylandHost"}


def host_class(name):
    module, _, name = HOSTS[name].partition(".")
    return getattr(importlib.import_module(f".{module}", __name__), name)
