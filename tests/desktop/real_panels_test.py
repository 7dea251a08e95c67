#!/usr/bin/python3
"""The program on real tray hosts run headless, checked as a person sees it: one table of hosts
by checks. A host whose packages are missing is reported SKIPPED with the reason, never passed;
a host that does not come up fails every check with its servers' stderr.

  real_panels_test.py [HOST ...]     (default: every host; QUORVEL_HOSTS="a,b" also selects)"""

import importlib
import os
import sys
import tempfile
import time
import traceback

from PIL import Image

sys.path[:0] = [os.path.dirname(os.path.abspath(__file__)),
                os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools")]
from hosts.base import Host, HostDidNotStart, wait_until  # noqa: E402
from hosts.screen import find_disc  # noqa: E402
from hosts.x11 import overlap  # noqa: E402
from installation import Installation  # noqa: E402

HOST_MODULES = ("trayer", "xfce", "kde", "kde_wayland", "gnome", "sway")
SHOTS = os.environ.get("QUORVEL_SCREENSHOTS", tempfile.gettempdir()) + "/real-panels"
START = "Start QUORVEL Connect"
TRICKY = "R&D snake_case…"
STOPPED = {"ok": True, "state": "Stopped", "listeners": 0, "configured": True}
RUNNING = {"ok": True, "state": "Running", "listeners": 1, "configured": True}
FAILED = {"ok": False, "error": "Port 8080 is taken by another program."}


def menu_rows(state):
    """The 13 rows for a reply with nothing owned: (label, enabled)."""
    return [(f"QUORVEL Connect · {state}", False), ("0 connected listeners", False), ("-", True),
            (START, state == "Stopped"), ("Stop QUORVEL Connect…", False), ("-", True),
            ("Open Dashboard", False), ("Show Listener QR Code", False), ("-", True),
            ("Start automatically when I sign in", True), ("Open Logs", True), ("-", True),
            ("Quit QUORVEL Connect…", True)]


class Check:
    def __init__(self, host):
        self.host = host
        self.shot, self.last = 0, None

    def screenshot(self, what):
        """Numbered in order, one file per step; a step polled again overwrites its own."""
        if what != self.last:
            self.shot, self.last = self.shot + 1, what
        path = f"{SHOTS}/{self.host.name}-{self.shot:02}-{what}.png"
        self.host.screenshot(path)
        return path

    def icon(self, within, since=None):
        """Waits for our disc in the panel's icon area in a screenshot begun within `within` s of
        since (default now); returns its centre and notes when that screenshot began."""
        since = since or time.monotonic()

        def found():
            self.took = time.monotonic() - since
            return find_disc(self.screenshot("icon"), self.host.icon_area)
        try:
            centre = wait_until(found, "the icon", within - (time.monotonic() - since), step=0.2)
        except TimeoutError:
            centre = None
        if not centre or self.took > within:
            raise AssertionError(f"the icon did not show within {within} s")
        return centre

    def open_menu(self, at, button):
        self.host.click(*at, button=button)
        try:
            menu = wait_until(self.host.menu_geometry, "a menu", 5)
        except TimeoutError:
            raise AssertionError(f"no menu opened on a {button} click") from None
        self.screenshot(f"menu-{button}")
        return menu

    def menu_near(self, menu, icon):
        _, x, y, width, height = menu
        screen = Image.open(self.screenshot("menu-left")).size
        assert width < screen[0] * 0.9 and height < screen[1] * 0.9, f"a full-screen menu {menu}"
        gap_x = max(x - icon[0], icon[0] - (x + width), 0)
        gap_y = max(y - icon[1], icon[1] - (y + height), 0)
        assert max(gap_x, gap_y) <= 64, f"the menu {menu} opened far from the icon at {icon}"
        icon_box = (None, icon[0] - 6, icon[1] - 6, 12, 12)
        assert self.host.menu_at_pointer or not overlap(menu, icon_box), \
            f"the menu {menu} covers the icon at {icon}"

    def labels(self, icon):
        """The menu's labels, read from the menu opened as a person would."""
        self.open_menu(icon, "right")
        try:
            return self.host.menu_labels()
        finally:
            self.host.close_menu()

    def headline(self, icon, state, timeout=12):
        shown = []
        try:
            wait_until(lambda: shown.append(self.labels(icon)[0]) or
                       shown[-1] == f"QUORVEL Connect · {state}", f"the headline {state}", timeout,
                       step=0.5)
        except TimeoutError:
            raise AssertionError(f"the headline reads {shown[-1]!r}, not {state!r}") from None


def run_checks(host, install, results):
    """Runs the checks in one session, recording "PASS", "FAIL: why" or "n/a: why" by name."""
    check = Check(host)
    host.enabled_rows = [label for label, enabled in menu_rows("Stopped")
                         if enabled and label != "-"]

    def record(name, body):
        try:
            outcome = body()
            results[name] = outcome or "PASS"
        except Exception as error:  # noqa: BLE001 - a failed check must not stop the others
            results[name] = f"FAIL: {error or type(error).__name__}"
            traceback.print_exc()
            try:
                host.close_menu()
            except Exception:  # noqa: BLE001 - the check's own failure is what counts
                pass

    launched = time.monotonic()
    program = install.launch_in(host)
    try:
        icon = []
        record("icon within 2 s", lambda: icon.append(check.icon(2, launched))
               or f"PASS ({check.took:.1f} s)")
        if not icon:  # late is still better than no further checks
            record("the icon shows at all", lambda: icon.append(check.icon(10, launched))
                   or f"PASS ({check.took:.1f} s)")
            if not icon:
                return

        def right_click():
            check.open_menu(icon[0], "right")
            host.close_menu()

        def left_click():
            check.menu_near(check.open_menu(icon[0], "left"), icon[0])
            host.close_menu()

        def failing_start():
            check.open_menu(icon[0], "right")
            host.choose(START)
            wait_until(host.alert, "the failure alert", 5)
            alert = host.alert()
            check.screenshot("alert")
            covering = host.windows_above(alert)
            host.press_default_button()
            wait_until(lambda: not host.alert(), "OK to dismiss the alert", 5)
            newest_first = lambda: install.verbs()[::-1]  # noqa: E731
            wait_until(lambda: "status" in newest_first()[:newest_first().index("start")],
                       "a status after the start", 5)
            time.sleep(0.3)  # its reply drawn into the menu
            assert not covering, f"the alert {alert} is covered by {covering}"

        def start():
            install.write("start.json", RUNNING)  # a successful reply is shown as the state
            check.open_menu(icon[0], "right")
            host.choose(START)
            wait_until(lambda: install.verbs().count("start") == 2, "the start command", 5)
            install.write("default.json", RUNNING)  # what the next status finds
            if not host.reads_labels:
                return "PASS (start ran; the headline is drawn by our own menu)"
            check.headline(icon[0], "Running")

        def panel_restart():
            install.write("default.json", {**STOPPED, "state": TRICKY})
            host.restart_panel()
            icon[0] = check.icon(5)
            return f"PASS ({check.took:.1f} s)"

        def labels():
            if not host.reads_labels:
                return "n/a: our own Qt menu, whose texts the Qt layer's tests check"
            check.headline(icon[0], TRICKY)
            shown = check.labels(icon[0])
            expected = [label for label, _ in menu_rows(TRICKY)]
            assert shown == expected, f"the host shows {shown}"

        def started_before_panel():
            program.terminate()
            program.wait(10)
            host.stop_panel()
            late = install.launch_in(host)
            try:
                time.sleep(1)
                host.start_panel()
                check.icon(5)
                return f"PASS ({check.took:.1f} s)"
            finally:
                late.terminate()
                late.communicate(timeout=10)

        for name, body in (("right click opens the menu", right_click),
                           ("left click opens the menu near the icon", left_click),
                           ("a failing start shows the alert on top; OK dismisses it",
                            failing_start),
                           ("Start runs start; the headline reads Running", start),
                           ("icon back within 5 s of a panel restart", panel_restart),
                           ("labels exact, with _ & …", labels),
                           ("started before the panel: icon within 5 s", started_before_panel)):
            record(name, body)
    finally:
        if program.poll() is None:
            program.terminate()
        stderr = program.communicate(timeout=10)[1].decode(errors="replace")
        if any(outcome.startswith("FAIL") for outcome in results.values()):
            print(f"--- {host.name}: the program's stderr ---\n{stderr}")


def host_classes(selected):
    for module_name in HOST_MODULES:
        try:
            module = importlib.import_module(f"hosts.{module_name}")
        except ModuleNotFoundError as error:
            if error.name != f"hosts.{module_name}":
                raise
            continue
        for value in vars(module).values():
            if (isinstance(value, type) and issubclass(value, Host) and value.name
                    and value.__module__ == module.__name__
                    and (not selected or value.name in selected)):
                yield value


def main():
    selected = sys.argv[1:] or [n for n in os.environ.get("QUORVEL_HOSTS", "").split(",") if n]
    os.makedirs(SHOTS, exist_ok=True)
    table = {}
    for host_class in host_classes(selected):
        host = host_class()
        missing = host.missing_packages()
        if missing:
            host.stop()
            table[host.name] = {"*": f"SKIPPED: not installed: {' '.join(missing)}"}
            continue
        results = {}
        started = time.monotonic()
        try:
            with host:
                install = Installation(host.program_folder(), {"default.json": STOPPED, "start.json": FAILED})
                run_checks(host, install, results)
        except HostDidNotStart as error:
            results["*"] = f"FAIL: {error}"
        table[host.name] = results
        print(f"{host.name}: {time.monotonic() - started:.1f} s", flush=True)

    passed = failed = skipped = 0
    for name, results in table.items():
        print(f"\n{name}")
        for check, outcome in results.items():
            print(f"  {outcome}" if check == "*" else f"  {check:58} {outcome}")
            passed += outcome.startswith("PASS") or outcome.startswith("n/a")
            failed += outcome.startswith("FAIL")
            skipped += outcome.startswith("SKIPPED")
    print(f"\nreal panels: {passed} passed, {failed} failed, {skipped} skipped")
    return 1 if failed or not table else 0


if __name__ == "__main__":
    sys.exit(main())
