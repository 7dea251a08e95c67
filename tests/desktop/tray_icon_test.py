"""Under an XEmbed tray host: of ten copies one runs on, its icon appears once a tray host starts,
no poll goes out while its menu is open; a later copy exits silently. Both buttons are checked on
the real panels."""

import time
import unittest

from desktop_session import (Installation, big_windows, press, screenshot, start_tray_host,
                             tray_icons, wait_until, x)


class TrayIconTest(unittest.TestCase):
    def test_one_copy_one_icon_and_no_poll_while_its_menu_is_open(self):
        install = Installation({"default.json": {"ok": True, "state": "Stopped", "listeners": 0}})
        copies = [install.launch() for _ in range(10)]
        wait_until(lambda: sum(c.poll() is not None for c in copies) == 9, "nine copies to exit")
        survivor = next(c for c in copies if c.poll() is None)
        for copy in set(copies) - {survivor}:
            self.assertEqual((copy.returncode, copy.stderr.read()), (0, b""))
        wait_until(lambda: install.verbs(survivor.pid), "the first status without a tray")
        start_tray_host()
        wait_until(tray_icons, "the icon")

        x("xdotool", "mousemove", "--window", tray_icons()[0], "11", "11", "click", "1")
        menu = wait_until(big_windows, "the menu")[0]
        polls = len(install.verbs())
        time.sleep(10.5)  # two ticks fall due
        screenshot("menu-open", crop="340x260+684+0")
        self.assertEqual(len(install.verbs()), polls, "no status poll while the menu is open")
        press(menu, "Escape")
        wait_until(lambda: len(install.verbs()) == polls + 1, "the missed ticks", 2)

        for args in ([], ["--auto-start"]):
            second = install.launch(*args)
            self.assertEqual(second.communicate(timeout=5), (None, b""), "silently")
            self.assertEqual(second.returncode, 0)
        self.assertEqual(len(tray_icons()), 1)
        self.assertEqual(install.verbs(), install.verbs(survivor.pid), "no command from the rest")


if __name__ == "__main__":
    unittest.main(verbosity=2)
