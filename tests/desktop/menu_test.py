"""The whole program through the menu that a StatusNotifier host shows, against the demo service.
A failing script's alert is checked on the real panels."""

import time
import unittest

from desktop_session import (Installation, big_windows, choose, http_status, item_property, press,
                             rows, screenshot, start_watcher, wait_for_headline, wait_until)

ADMIN = "http://127.0.0.1:8080/admin"
START = "Start QUORVEL Connect"
STOP = "Stop QUORVEL Connect…"
QUIT = "Quit QUORVEL Connect…"


def setUpModule():
    start_watcher()


def answer_alert(name, *keys):
    alert = wait_until(big_windows, "an alert")[0]
    screenshot(name)
    press(alert, *keys)


class MenuTest(unittest.TestCase):
    def test_demo_service_start_stop_quit_and_auto_start(self):
        install = Installation()
        program = install.launch()
        self.addCleanup(program.kill)
        wait_for_headline("QUORVEL Connect · Stopped")
        self.assertEqual([row[1:] for row in rows()], [
            ("QUORVEL Connect · Stopped", False, None),
            ("0 connected listeners", False, None),
            ("-", True, None),
            (START, True, None),
            (STOP, False, None),
            ("-", True, None),
            ("Open Dashboard", False, None),
            ("Show Listener QR Code", False, None),
            ("-", True, None),
            ("Start automatically when I sign in", True, False),
            ("Open Logs", True, None),
            ("-", True, None),
            (QUIT, True, None),
        ])
        self.assertEqual(item_property("ToolTip")[2], "The demo service is not running.")
        choose(START)
        wait_for_headline("QUORVEL Connect · Running")
        self.assertEqual(http_status(ADMIN), "200")

        choose(STOP)
        wait_until(big_windows, "the stop confirmation")
        verbs = install.verbs()
        time.sleep(5.5)  # a tick falls due while the alert runs, and waits for it
        self.assertEqual(install.verbs(), verbs)
        answer_alert("stop-confirmation", "Escape")  # Cancel: the default and escape button
        time.sleep(1)
        self.assertEqual((http_status(ADMIN), install.verbs()), ("200", verbs + ["status"]))
        choose(STOP)
        answer_alert("stop-confirmation", "Tab", "space")
        wait_for_headline("QUORVEL Connect · Stopped")
        self.assertEqual((http_status(ADMIN), install.verbs().count("stop")), ("000", 1))

        choose(START)
        wait_for_headline("QUORVEL Connect · Running")
        choose(QUIT)  # with an owned service running: asks, stops it, exits 0
        answer_alert("quit-confirmation", "Tab", "space")
        self.assertEqual(program.wait(timeout=15), 0)
        self.assertEqual((http_status(ADMIN), install.verbs().count("stop")), ("000", 2))

        program = install.launch("--auto-start")
        self.addCleanup(program.kill)
        wait_for_headline("QUORVEL Connect · Running")
        wait_until(lambda: install.verbs(program.pid)[:3] == ["status", "start", "status"],
                   "one start, then the next tick's status although the host never closed the menu")


if __name__ == "__main__":
    unittest.main(verbosity=2)
