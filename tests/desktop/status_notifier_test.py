# What a StatusNotifier host reads from the program over D-Bus, on a private bus with a stand-in
# watcher, and trayer for the XEmbed fallback: the item, the menu's rows and their changes, clicks,
# an open menu (the host's or our own) holding the poll, one copy of ten, and registration with a
# watcher that comes late, goes and comes back, with exactly one icon at any time.

import atexit
import os
import select
import sys
import threading
import time
import unittest

from gi.repository import GLib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools"))
from hosts.base import wait_until  # noqa: E402
from hosts.status_notifier import DBUSMENU, StatusNotifierHost  # noqa: E402
from hosts.trayer import Trayer  # noqa: E402
from installation import Installation  # noqa: E402

DBUS = ("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus")
STOPPED = {"ok": True, "state": "Stopped", "listeners": 0, "configured": True,
           "owned": [False, False], "automatic": False}
RUNNING = {"ok": True, "state": "Running", "listeners": 2, "configured": True,
           "owned": [True, True], "automatic": True, "detail": "Serving <b>2</b> & more"}


class Session(StatusNotifierHost, Trayer):
    # trayer's session, its panel started when a test asks, and a stand-in watcher, started
    # afresh (no item registered) whenever a test wants one.
    watcher = None

    def items(self):
        return wait_until(super().items, "a StatusNotifierItem")

    def set_watcher(self, present):
        # As a panel that stops or starts: the watcher's bus name goes or comes.
        if self.watcher:
            self.watcher.stop()
            self.servers.remove(self.watcher)
        self.watcher = present and self.start_stand_in_watcher()

    def our_menu(self):
        return next((w for w in self.visible_windows("--classname", "quorvel-connect")
                     if w[4] > 60), None)


HOST = Session()
HOST.start_display()
HOST.start_bus()
atexit.register(HOST.stop)
threading.Thread(target=GLib.MainLoop().run, daemon=True).start()  # the signals subscribed to


def headline():
    return HOST.layout()[0][1]


def row_id(label):
    return next(row for row, shown, _, _ in HOST.layout() if shown == label)


def event(row, name):
    HOST.call(HOST.items()[-1], HOST.item_property("Menu"), DBUSMENU, "Event", "(isvu)", row, name,
              GLib.Variant("i", 0), 0)


def item_names(program):
    # The bus names of StatusNotifier items that the program owns.
    call = HOST.call
    owner = call(*DBUS, "GetNameOwner", "(s)", f"org.kde.StatusNotifierItem-{program.pid}-1")[0]
    return [name for name in call(*DBUS, "ListNames", "()")[0]
            if name.startswith("org.kde.StatusNotifierItem")
            and call(*DBUS, "GetNameOwner", "(s)", name)[0] == owner]


class StatusNotifierTest(unittest.TestCase):
    def launch(self, install, *args):
        program = install.launch_in(HOST, *args)
        self.addCleanup(lambda: (program.kill(), program.wait(), program.stderr.close()))
        return program

    def test_one_copy_of_ten_and_one_icon_as_watchers_come_and_go(self):
        HOST.set_watcher(False)
        install = Installation(HOST.root, {"default.json": STOPPED})
        copies = [self.launch(install) for _ in range(10)]
        wait_until(lambda: sum(c.poll() is not None for c in copies) == 9, "nine copies to exit")
        program = next(c for c in copies if c.poll() is None)
        for copy in set(copies) - {program}:
            self.assertEqual((copy.returncode, copy.stderr.read()), (0, b""))
        self.assertTrue(select.select([program.stderr], [], [], 5)[0], "a line on stderr")
        self.assertIn(b"the icon will appear when one is", program.stderr.readline())
        HOST.start_panel()
        icon = wait_until(HOST.icon, "the XEmbed icon while there is no watcher")

        HOST.click(icon[0] + icon[2] // 2, icon[1] + icon[3] // 2)
        menu = wait_until(HOST.our_menu, "our menu")
        polls = len(install.verbs())
        time.sleep(5.5)  # a tick falls due
        self.assertEqual(len(install.verbs()), polls, "no status poll while our menu is open")
        HOST.key("Escape", window=menu[0])
        wait_until(lambda: len(install.verbs()) == polls + 1, "the held tick", 4)
        for args in ([], ["--auto-start"]):
            later = install.launch_in(HOST, *args)
            self.assertEqual(later.communicate(timeout=10), (None, b""), "silently")
            self.assertEqual(later.returncode, 0)
        self.assertEqual(install.verbs(), install.verbs(program.pid), "no command from the rest")

        announced = []
        HOST.bus().signal_subscribe(
            None, "org.freedesktop.DBus.Properties", "PropertiesChanged", "/StatusNotifierItem",
            None, 0, lambda _, sender, *args: announced.append((sender, args[3].unpack())))
        identity = ("org.kde.StatusNotifierItem", {"Id": "org.quorvel.connect.menu",
                                                   "Menu": "/MenuBar"}, [])
        for restart in range(2):
            announced.clear()
            HOST.set_watcher(True)
            item = HOST.items()[-1]
            # A host that lost Id and Menu from its cache while it set the item up gets them again.
            wait_until(lambda: (item, identity) in announced, "Id and Menu announced", 5)
            wait_until(lambda: not HOST.icon(), "the XEmbed icon to go")
            self.assertEqual((len(set(HOST.items())), len(item_names(program))), (1, 1),
                             "one item, not Qt's own as well")
            wait_until(lambda: headline() == "QUORVEL Connect · Stopped", "the menu's rows")
            HOST.set_watcher(False)
            wait_until(HOST.icon, "the XEmbed icon without the watcher")

        program.kill()
        program.wait()
        HOST.set_watcher(True)
        second = self.launch(Installation(HOST.root, {"default.json": STOPPED}))  # both there
        HOST.items()
        time.sleep(1)
        self.assertEqual((bool(HOST.icon()), len(item_names(second))), (False, 1))
        HOST.set_watcher(False)
        wait_until(HOST.icon, "the XEmbed icon when the watcher present at start leaves")

    def test_host_reads_the_item_literal_rows_and_every_change(self):
        HOST.set_watcher(True)
        install = Installation(HOST.root, {"default.json": STOPPED})
        program = self.launch(install)
        wait_until(lambda: headline() == "QUORVEL Connect · Stopped", "the first reply")
        expected = {"Category": "ApplicationStatus", "Id": "org.quorvel.connect.menu",
                    "Title": "QUORVEL Connect", "Status": "Active", "ItemIsMenu": True,
                    "ToolTip": ("", [], "Stopped", "")}
        for name, value in expected.items():
            self.assertEqual(HOST.item_property(name), value, name)
        self.assertEqual(item_names(program), [f"org.kde.StatusNotifierItem-{program.pid}-1"])
        pixmaps = {width: bytes(pixels) for width, _, pixels in HOST.item_property("IconPixmap")}
        self.assertEqual(sorted(pixmaps), [16, 22, 24, 32, 48, 64])
        disc = (32 * 64 + 10) * 4  # a pixel of the blue disc, as A, R, G, B
        self.assertEqual(pixmaps[64][disc:disc + 4], bytes([0xFF, 0x1F, 0x6F, 0xEB]))
        self.assertEqual([row[2:] for row in HOST.layout() if row[1].startswith("Start auto")],
                         [(True, False)], "a check mark row, unticked")

        updates = []
        HOST.bus().signal_subscribe(None, DBUSMENU, "ItemsPropertiesUpdated", None, None, 0,
                                    lambda *args: updates.append(args[5].unpack()[0]))
        install.write("default.json", RUNNING)
        wait_until(lambda: headline() == "QUORVEL Connect · Running", "the next reply", 15)
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
        self.assertEqual(HOST.item_property("ToolTip")[2], "Serving <b>2</b> & more")
        self.assertNotIn(row_id("Open Logs"), changed, "only rows that changed")

    def test_before_any_reply_the_check_box_is_there_and_off_x11_activate_fails(self):
        # Hosts decide once, when they first read a row, whether it can be checked. Where we
        # cannot place a menu of our own, a host that opens its menu when Activate fails must see
        # the failure.
        HOST.set_watcher(True)
        install = Installation(HOST.root, {"control-app.cjs": "setInterval(() => {}, 1000);"})
        HOST.program_env = lambda: {**HOST.env, "QT_QPA_PLATFORM": "offscreen"}
        self.launch(install)
        del HOST.program_env
        self.assertEqual([row[1:] for row in HOST.layout() if row[1].startswith("Start auto")],
                         [("Start automatically when I sign in", True, False)])
        with self.assertRaisesRegex(GLib.Error, "NotSupported"):
            HOST.call(HOST.items()[-1], "/StatusNotifierItem", "org.kde.StatusNotifierItem",
                      "Activate", "(ii)", 5, 5)

    def test_clicks_run_enabled_rows_only_and_an_open_host_menu_holds_the_poll(self):
        HOST.set_watcher(True)
        install = Installation(HOST.root, {"default.json": STOPPED, "start.json": RUNNING})
        program = self.launch(install)
        wait_until(lambda: headline() == "QUORVEL Connect · Stopped", "the first reply")
        event(0, "opened")  # as a host does before a click: no poll can make the program busy
        time.sleep(1.5)  # for a poll already under way
        for label in ("Stop QUORVEL Connect…", "Open Dashboard", "-"):
            event(row_id(label), "clicked")  # disabled rows and a separator: nothing happens
        event(row_id("Start QUORVEL Connect"), "clicked")
        wait_until(lambda: "start" in install.verbs(program.pid), "the start command")
        self.assertEqual((install.verbs(program.pid).count("stop"), HOST.our_menu()), (0, None))
        with self.assertRaises(GLib.Error):
            event(999, "clicked")

        polls = len(install.verbs())
        time.sleep(5.5)  # a tick falls due
        self.assertEqual(len(install.verbs()), polls, "no poll while the host shows the menu")
        event(0, "closed")
        wait_until(lambda: len(install.verbs()) == polls + 1, "the held tick", 4)

        # A host that asks us to open the menu, on X11: below the point at the top of the screen.
        HOST.call(HOST.items()[-1], "/StatusNotifierItem", "org.kde.StatusNotifierItem",
                  "Activate", "(ii)", 790, 5)
        menu = wait_until(HOST.our_menu, "our menu")
        self.assertGreater(menu[2], 5)
        HOST.key("Escape", window=menu[0])


if __name__ == "__main__":
    unittest.main(verbosity=2)
