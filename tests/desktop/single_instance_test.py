"""One copy per user: a second copy exits at once and silently, before any icon and before any
control command; ten copies started together leave exactly one."""

import subprocess
import time
import unittest

from desktop_session import DesktopSession, wait_until

STOPPED = {"ok": True, "state": "Stopped", "listeners": 0, "owned": [False, False],
           "configured": True}


class SingleInstanceTest(unittest.TestCase):
    def test_a_second_copy_exits_at_once_without_icon_or_command(self):
        with DesktopSession("second-copy") as desktop:
            install = desktop.installation().with_logging_script({"default": STOPPED})
            first = desktop.launch(install)
            desktop.wait_for_icon()
            wait_until(lambda: install.verbs(first.pid), 10, what="the first copy's status")

            for args in ([], ["--auto-start"]):
                started = time.monotonic()
                second = desktop.launch(install, *args)
                _, stderr = second.communicate(timeout=10)
                self.assertEqual(second.returncode, 0)
                self.assertLess(time.monotonic() - started, 5)
                self.assertEqual(stderr, b"", "silently")
                self.assertEqual(install.verbs(second.pid), [], "no control command")
                self.assertEqual(len(desktop.tray_icons()), 1, "no second icon")
            self.assertIsNone(first.poll(), "the first copy runs on")
            self.assertNotIn("start", install.verb_names(), "no start from the --auto-start copy")

    def test_ten_copies_started_together_leave_exactly_one(self):
        with DesktopSession("ten-copies") as desktop:
            install = desktop.installation().with_logging_script({"default": STOPPED})
            copies = [subprocess.Popen([install.program], env=desktop.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                      for _ in range(10)]
            desktop.programs.extend(copies)
            wait_until(lambda: sum(c.poll() is not None for c in copies) == 9, 20,
                       what="nine copies to exit")
            survivors = [c for c in copies if c.poll() is None]
            self.assertEqual(len(survivors), 1)
            self.assertEqual([c.returncode for c in copies if c.poll() is not None], [0] * 9)
            desktop.wait_for_icon()
            wait_until(lambda: install.verbs(), 10, what="the survivor's status")
            time.sleep(1)
            self.assertEqual(len(desktop.tray_icons()), 1)
            self.assertEqual({pid for _, pid, _ in install.verbs()}, {survivors[0].pid})


if __name__ == "__main__":
    unittest.main(verbosity=2)
