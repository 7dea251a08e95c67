"""The whole program against the demo service, through the menu a StatusNotifier host would show:
the rows after the first status, Start, Stop with its confirmation, Quit stopping an owned
service, and "--auto-start"."""

import time
import unittest

from desktop_session import DesktopSession, http_status, wait_until

ADMIN = "http://127.0.0.1:8080/admin"
START = "Start QUORVEL Connect"
STOP = "Stop QUORVEL Connect…"
QUIT = "Quit QUORVEL Connect…"


def summary(rows):
    """Each row as (label, enabled, checked); separators as "-"."""
    return [r if r == "-" else (r["label"], r["enabled"], r["checked"]) for r in rows]


class DemoServiceTest(unittest.TestCase):
    def setUp(self):
        self.assertIsNone(http_status(ADMIN, timeout=0.5), "port 8080 must be free for this test")

    def test_start_stop_and_quit_through_the_menu(self):
        with DesktopSession("demo", tray="sni") as desktop:
            install = desktop.installation().with_demo_service()
            program = desktop.launch(install)
            desktop.wait_for_headline("QUORVEL Connect · Stopped")
            self.assertEqual(summary(desktop.rows()), [
                ("QUORVEL Connect · Stopped", False, None),
                ("0 connected listeners", False, None),
                "-",
                (START, True, None),
                (STOP, False, None),
                "-",
                ("Open Dashboard", False, None),
                ("Show Listener QR Code", False, None),
                "-",
                ("Start automatically when I sign in", True, False),
                ("Open Logs", True, None),
                "-",
                (QUIT, True, None),
            ])
            tool_tip = desktop.item_property("ToolTip")
            self.assertEqual(str(tool_tip[2]), "The demo service is not running.")

            desktop.choose(START)
            desktop.wait_for_headline("QUORVEL Connect · Running")
            self.assertEqual(http_status(ADMIN), 200)
            self.assertEqual(http_status("http://127.0.0.1:8080/admin/qr-code"), 200)
            rows = {r["label"]: r["enabled"] for r in desktop.rows() if r != "-"}
            self.assertEqual([rows[l] for l in (START, STOP, "Open Dashboard",
                                                "Show Listener QR Code")],
                             [False, True, True, True])

            # Stop asks first; Cancel (the default, also Escape) changes nothing.
            desktop.choose(STOP)
            alert = desktop.wait_for_alert()
            desktop.screenshot("stop-confirmation")
            desktop.press(alert, "Escape")
            desktop.wait_until_closed()
            time.sleep(1)
            self.assertEqual(http_status(ADMIN), 200)
            self.assertEqual(install.verb_names().count("stop"), 0)

            # The second button stops it.
            desktop.choose(STOP)
            alert = desktop.wait_for_alert()
            desktop.press(alert, "Tab", "space")
            desktop.wait_for_headline("QUORVEL Connect · Stopped")
            self.assertIsNone(http_status(ADMIN, timeout=0.5))
            self.assertEqual(install.verb_names().count("stop"), 1)

            # Quit with an owned, running service: asks, stops it, exits 0.
            desktop.choose(START)
            desktop.wait_for_headline("QUORVEL Connect · Running")
            desktop.choose(QUIT)
            alert = desktop.wait_for_alert()
            desktop.press(alert, "Tab", "space")
            self.assertEqual(program.wait(timeout=15), 0)
            self.assertIsNone(http_status(ADMIN, timeout=0.5), "the service was stopped first")
            self.assertEqual(install.verb_names().count("stop"), 2)

    def test_auto_start_sends_exactly_one_start(self):
        with DesktopSession("demo-auto-start", tray="sni") as desktop:
            install = desktop.installation().with_demo_service()
            desktop.launch(install, "--auto-start")
            desktop.wait_for_headline("QUORVEL Connect · Running")
            self.assertEqual(http_status(ADMIN), 200)
            time.sleep(6)  # a regular tick later
            names = install.verb_names()
            self.assertEqual(names[:2], ["status", "start"])
            self.assertEqual(names.count("start"), 1)


if __name__ == "__main__":
    unittest.main(verbosity=2)
