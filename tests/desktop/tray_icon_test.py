"""The tray icon under an XEmbed tray host: it appears (also when the tray comes later), either
button opens the menu, and the poll timer holds while the menu is open."""

import time
import unittest

from desktop_session import DesktopSession, wait_until

STOPPED = {"ok": True, "state": "Stopped", "detail": "The service is not running.",
           "listeners": 0, "owned": [False, False], "configured": True, "foreign": False,
           "automatic": True}


class TrayIconTest(unittest.TestCase):
    def test_icon_appears_and_either_button_opens_the_menu(self):
        with DesktopSession("tray-icon") as desktop:
            install = desktop.installation().with_logging_script({"default": STOPPED})
            program = desktop.launch(install)
            icon = desktop.wait_for_icon()
            wait_until(lambda: install.verb_names(), 10, what="the first status")
            desktop.screenshot("icon", crop="34x26+766+0")

            for button in (1, 3):
                desktop.click_icon(button)
                menu = desktop.wait_for_menu()
                time.sleep(0.3)
                desktop.screenshot(f"menu-button-{button}", crop="340x260+460+0")
                desktop.press(menu, "Escape")
                desktop.wait_until_closed()

            self.assertEqual(desktop.tray_icons(), [icon], "exactly one icon")
            self.assertIsNone(program.poll(), "still running")
            program.terminate()
            program.wait(5)

    def test_timer_holds_while_the_menu_is_open_and_collapses_missed_ticks(self):
        with DesktopSession("timer-hold") as desktop:
            install = desktop.installation().with_logging_script({"default": STOPPED})
            desktop.launch(install)
            desktop.wait_for_icon()
            # The first poll at start-up, the first tick 5 s later.
            wait_until(lambda: len(install.verbs()) >= 2, 8, what="the first tick")
            desktop.click_icon(1)
            opened = time.time()
            menu = desktop.wait_for_menu()
            polls_when_opened = len(install.verbs())
            time.sleep(11.5)  # two ticks fall due meanwhile
            self.assertEqual(len(install.verbs()), polls_when_opened,
                             "no status poll while the menu is open")
            desktop.press(menu, "Escape")
            closed = time.time()
            wait_until(lambda: len(install.verbs()) == polls_when_opened + 1, 3,
                       what="the one collapsed tick after the menu closed")
            caught_up = install.verbs()[-1][0]
            self.assertGreater(caught_up, opened + 10)
            self.assertLess(caught_up, closed + 2)
            time.sleep(3)
            self.assertEqual(len(install.verbs()), polls_when_opened + 1,
                             "the missed ticks came as one, not as a burst")
            wait_until(lambda: len(install.verbs()) == polls_when_opened + 2, 4,
                       what="the next regular tick, one interval later")

    def test_icon_appears_when_a_tray_host_starts_later(self):
        with DesktopSession("late-tray", tray="none") as desktop:
            install = desktop.installation().with_logging_script({"default": STOPPED})
            program = desktop.launch(install)
            # It runs on without a tray: polls go out.
            wait_until(lambda: install.verb_names(), 10, what="the first status without a tray")
            self.assertEqual(desktop.tray_icons(), [])
            desktop.start_tray_host()
            desktop.wait_for_icon()
            desktop.screenshot("icon-after-late-tray", crop="34x26+766+0")
            program.terminate()
            _, stderr = program.communicate(timeout=5)
            lines = stderr.decode().splitlines()
            self.assertEqual(len(lines), 1, lines)
            self.assertIn("icon will appear when", lines[0])


if __name__ == "__main__":
    unittest.main(verbosity=2)
