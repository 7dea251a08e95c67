"""The whole program against control scripts that fail: a failed command shows the alert and the
program runs on; unreadable output shows "Needs attention"; text from the script shows literally."""

import time
import unittest

from desktop_session import DesktopSession, wait_until

STOPPED = {"ok": True, "state": "Stopped", "detail": "Idle.", "listeners": 2,
           "owned": [True, True], "configured": True, "automatic": False}


class FailingScriptTest(unittest.TestCase):
    def test_a_failed_start_shows_the_alert_and_the_program_runs_on(self):
        with DesktopSession("failed-start", tray="sni") as desktop:
            install = desktop.installation().with_logging_script({
                "default": STOPPED,
                "start": {"ok": False, "error": "Port 8080 is taken by another program."},
            })
            program = desktop.launch(install)
            desktop.wait_for_headline("QUORVEL Connect · Stopped")
            desktop.choose("Start QUORVEL Connect")
            alert = desktop.wait_for_alert()
            desktop.screenshot("failure-alert")
            self.assertEqual(desktop.headline(), "QUORVEL Connect · Starting…")
            polls = install.verb_names().count("status")
            desktop.press(alert, "Return")
            desktop.wait_until_closed()
            # One fresh status right after the alert, then the headline follows it.
            desktop.wait_for_headline("QUORVEL Connect · Stopped")
            self.assertEqual(install.verb_names().count("status"), polls + 1)
            self.assertIsNone(program.poll(), "the program keeps running")

    def test_unreadable_output_and_a_missing_script_read_as_needs_attention(self):
        for label, setup in (
            ("garbage", lambda install: install.with_logging_script({"default": "not json {"})),
            ("no-script", lambda install: install),
        ):
            with self.subTest(label), DesktopSession(f"unreadable-{label}", tray="sni") as desktop:
                install = setup(desktop.installation())
                program = desktop.launch(install)
                desktop.wait_for_headline("QUORVEL Connect · Needs attention")
                self.assertEqual(desktop.rows()[1]["label"], "Listener count unavailable")
                tool_tip = str(desktop.item_property("ToolTip")[2])
                self.assertEqual(tool_tip, "Unable to read service status. Check that Node.js "
                                           "and the application are installed.")
                quit_row = desktop.row("Quit QUORVEL Connect…")
                self.assertTrue(quit_row["enabled"])
                # Nothing owned: Quit ends the program at once, without asking.
                desktop.choose("Quit QUORVEL Connect…")
                self.assertEqual(program.wait(timeout=10), 0)

    def test_texts_from_the_script_show_literally(self):
        with DesktopSession("literal-texts", tray="xembed") as desktop:
            install = desktop.installation().with_logging_script({"default": {
                "ok": True, "state": "R&D <b>bold</b>", "detail": "A & B <i>x</i>",
                "listeners": 1, "owned": [False, False]}})
            desktop.launch(install)
            desktop.wait_for_icon()
            wait_until(lambda: install.verb_names(), 10, what="the first status")
            time.sleep(0.5)
            desktop.click_icon(1)
            desktop.wait_for_menu()
            time.sleep(0.3)
            desktop.screenshot("literal-texts-menu", crop="340x260+460+0")

        with DesktopSession("literal-texts-sni", tray="sni") as desktop:
            install = desktop.installation().with_logging_script({"default": {
                "ok": True, "state": "R&D <b>bold</b>", "detail": "A & B <i>x</i>",
                "listeners": 1}})
            desktop.launch(install)
            desktop.wait_for_headline("QUORVEL Connect · R&D <b>bold</b>")
            self.assertEqual(desktop.rows()[1]["label"], "1 connected listener")


if __name__ == "__main__":
    unittest.main(verbosity=2)
