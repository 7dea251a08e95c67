"""What a StatusNotifier host reads from the program over D-Bus: the item, the menu's rows and their
changes, clicks, a host's open menu holding the poll, and registration with a watcher that comes
late, goes and comes back, with never two icons at once."""

import re
import select
import time
import unittest

from gi.repository import GLib

from desktop_session import (BUS, DBUSMENU, HOST, Installation, big_windows, call,
                             item_property, items, press, rows, start_tray_host, start_watcher,
                             tray_icons, wait_until, x)

WATCHER = "org.kde.StatusNotifierWatcher"
DBUS = ("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus")
STOPPED = {"ok": True, "state": "Stopped", "listeners": 0, "configured": True,
           "owned": [False, False], "automatic": False}
RUNNING = {"ok": True, "state": "Running", "listeners": 2, "configured": True,
           "owned": [True, True], "automatic": True, "detail": "Serving <b>2</b> & more"}
watcher_started = False


def set_watcher(present):
    """The stand-in watcher takes or gives up its bus name, as a panel that starts or stops."""
    global watcher_started
    if present and not watcher_started:
        start_watcher()
        watcher_started = True
    elif present:
        call(*DBUS, "RequestName", "(su)", WATCHER, 4)
    elif watcher_started:
        call(*DBUS, "ReleaseName", "(s)", WATCHER)


def stderr_line(program, timeout=5):
    ready, _, _ = select.select([program.stderr], [], [], timeout)
    return program.stderr.readline().decode() if ready else ""


def item_names(program):
    """The bus names of StatusNotifier items that the program owns."""
    owner = call(*DBUS, "GetNameOwner", "(s)", f"org.kde.StatusNotifierItem-{program.pid}-1")[0]
    names = call(*DBUS, "ListNames", "()")[0]
    return [name for name in names if name.startswith("org.kde.StatusNotifierItem")
            and call(*DBUS, "GetNameOwner", "(s)", name)[0] == owner]


def menu_call(method, signature, *args):
    return call(items[-1], item_property("Menu"), DBUSMENU, method, signature, *args)


def raw_labels():
    return [props.get("label") for _, props, _ in menu_call("GetLayout", "(iias)", 0, -1, [])[1][2]]


def row_id(label):
    return next(row for row, shown, _, _ in rows() if shown == label)


def event(row, name):
    menu_call("Event", "(isvu)", row, name, GLib.Variant("i", 0), 0)


class StatusNotifierTest(unittest.TestCase):
    def launch(self, install):
        program = install.launch()
        self.addCleanup(lambda: (program.kill(), program.wait()))
        return program

    def test_registers_whenever_a_watcher_appears_and_one_icon_shows(self):
        set_watcher(False)
        install = Installation({"default.json": STOPPED})
        program = self.launch(install)
        self.assertIn("the icon will appear when one is", stderr_line(program))
        start_tray_host()
        wait_until(lambda: len(tray_icons()) == 1, "the XEmbed icon while there is no watcher")
        announced = []
        BUS.signal_subscribe(None, "org.freedesktop.DBus.Properties", "PropertiesChanged",
                             "/StatusNotifierItem", None, 0,
                             lambda _, sender, *args: announced.append((sender, args[3].unpack())))
        identity = ("org.kde.StatusNotifierItem", {"Id": "org.quorvel.connect.menu",
                                                   "Menu": "/MenuBar"}, [])
        for restart in range(2):
            items.clear()
            announced.clear()
            set_watcher(True)
            wait_until(lambda: items, f"registration with watcher {restart + 1}")
            # A host that lost Id and Menu from its cache while it set the item up gets them again.
            wait_until(lambda: (items[-1], identity) in announced, "Id and Menu announced", 3)
            wait_until(lambda: not tray_icons(), "the XEmbed icon to go")
            self.assertEqual(len(set(items)), 1)
            self.assertEqual(len(item_names(program)), 1, "one item, not Qt's own as well")
            wait_until(lambda: rows()[0][1] == "QUORVEL Connect · Stopped", "the menu's rows")
            set_watcher(False)
            wait_until(lambda: len(tray_icons()) == 1, "the XEmbed icon without the watcher")
        set_watcher(True)
        wait_until(lambda: items and not tray_icons(), "the item back with the watcher")

        program.kill()
        program.wait()
        second = self.launch(Installation({"default.json": STOPPED}))  # watcher and tray both there
        wait_until(lambda: items, "registration at start")
        time.sleep(1)
        self.assertEqual((tray_icons(), len(item_names(second))), ([], 1))

    def test_host_reads_the_item_literal_rows_and_every_change(self):
        set_watcher(True)
        install = Installation({"default.json": STOPPED})
        program = self.launch(install)
        wait_until(lambda: rows()[0][1] == "QUORVEL Connect · Stopped", "the first reply")
        expected = {"Category": "ApplicationStatus", "Id": "org.quorvel.connect.menu",
                    "Title": "QUORVEL Connect", "Status": "Active", "ItemIsMenu": True,
                    "ToolTip": ("", [], "Stopped", "")}
        for name, value in expected.items():
            self.assertEqual(item_property(name), value, name)
        self.assertEqual(item_names(program), [f"org.kde.StatusNotifierItem-{program.pid}-1"])
        pixmaps = {width: bytes(pixels) for width, _, pixels in item_property("IconPixmap")}
        self.assertEqual(sorted(pixmaps), [16, 22, 24, 32, 48, 64])
        disc = (32 * 64 + 10) * 4  # a pixel of the blue disc, as A, R, G, B
        self.assertEqual(pixmaps[64][disc:disc + 4], bytes([0xFF, 0x1F, 0x6F, 0xEB]))

        updates = []
        BUS.signal_subscribe(None, DBUSMENU, "ItemsPropertiesUpdated", None, None, 0,
                             lambda *args: updates.append(args[5].unpack()[0]))
        install.write("default.json", RUNNING)
        wait_until(lambda: rows()[0][1] == "QUORVEL Connect · Running", "the next reply", 7)
        changed = {row: props for update in updates for row, props in update}
        for label, enabled, checked in [("QUORVEL Connect · Running", False, None),
                                        ("2 connected listeners", False, None),
                                        ("Start QUORVEL Connect", False, None),
                                        ("Stop QUORVEL Connect…", True, None),
                                        ("Open Dashboard", True, None),
                                        ("Start automatically when I sign in", True, True)]:
            row = row_id(label)
            self.assertIn(row, changed, label)
            self.assertEqual(changed[row]["enabled"], enabled, label)
            if checked is not None:
                self.assertEqual(changed[row]["toggle-state"], int(checked), label)
        self.assertEqual(item_property("ToolTip")[2], "Serving <b>2</b> & more")
        self.assertNotIn(row_id("Open Logs"), changed, "only rows that changed")

        for word, label in [("R&D snake_case", "QUORVEL Connect · R&D snake__case"),
                            ("_ __ & && <b>x</b> Ünï …", "QUORVEL Connect · __ ____ & && <b>x</b> Ünï …")]:
            install.write("default.json", {**STOPPED, "state": word})
            wait_until(lambda: raw_labels()[0] == label, f"the headline for {word!r}", 7)

    def test_before_any_reply_the_check_box_is_there_and_off_x11_activate_fails(self):
        """Hosts decide once, when they first read a row, whether it can be checked. Where we
        cannot place a menu of our own, a host that opens its menu when Activate fails must see
        the failure."""
        set_watcher(True)
        install = Installation({"control-app.cjs": "setInterval(() => {}, 1000);"})  # no reply
        HOST.program_env = lambda: {**HOST.env, "QT_QPA_PLATFORM": "offscreen"}
        self.launch(install)
        del HOST.program_env
        wait_until(lambda: items, "registration")
        self.assertEqual(rows()[9][1:], ("Start automatically when I sign in", True, False))
        with self.assertRaisesRegex(GLib.Error, "NotSupported"):
            call(items[-1], "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate",
                 "(ii)", 5, 5)

    def test_clicks_run_enabled_rows_only_and_an_open_host_menu_holds_the_poll(self):
        set_watcher(True)
        install = Installation({"default.json": STOPPED, "start.json": RUNNING})
        program = self.launch(install)
        wait_until(lambda: rows()[0][1] == "QUORVEL Connect · Stopped", "the first reply")
        event(0, "opened")  # as a host does before a click: no poll can make the program busy
        time.sleep(1.5)  # for a poll already under way
        for label in ("Stop QUORVEL Connect…", "Open Dashboard", "-"):
            event(row_id(label), "clicked")  # disabled rows and a separator: nothing happens
        event(row_id("Start QUORVEL Connect"), "clicked")
        wait_until(lambda: "start" in install.verbs(program.pid), "the start command")
        self.assertEqual((install.verbs(program.pid).count("stop"), big_windows()), (0, []))
        with self.assertRaises(GLib.Error):
            event(999, "clicked")

        polls = len(install.verbs())
        time.sleep(5.5)  # a tick falls due
        self.assertEqual(len(install.verbs()), polls, "no poll while the host shows the menu")
        event(0, "closed")
        wait_until(lambda: len(install.verbs()) == polls + 1, "the held tick", 2)

        # A host that asks us to open the menu, on X11: below the point at the top of the screen.
        call(items[-1], "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate", "(ii)",
             790, 5)
        menu = wait_until(big_windows, "our menu")[0]
        top = int(re.search(r"Position: \d+,(\d+)", x("xdotool", "getwindowgeometry", menu))[1])
        self.assertGreater(top, 5)
        press(menu, "Escape")


if __name__ == "__main__":
    unittest.main(verbosity=2)
