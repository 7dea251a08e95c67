#!/usr/bin/python3
# The program on one real tray host run headless, checked as a person sees it: the checks below,
# in order, each reading what the host shows (its drawing, or its own model of its panel and
# menus), never the program's export read back. A host whose packages are missing is skipped
# (exit 77) with the reason; a check that cannot apply to a host is n/a with the reason, and
# neither counts as passed. A host that does not come up fails with its servers' stderr.
#
# real_panels_test.py HOST     (a name in hosts.HOSTS; ctest runs one entry per host)

import os
import subprocess
import sys
import tempfile
import time
import traceback

sys.path[:0] = [os.path.dirname(os.path.abspath(__file__)),
                os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools")]
from hosts import host_class  # noqa: E402
from hosts.base import HostDidNotStart, wait_until  # noqa: E402
from installation import Installation  # noqa: E402

SHOTS = os.environ.get("QUORVEL_SCREENSHOTS", tempfile.gettempdir()) + "/real-panels"
ADMIN = "http://127.0.0.1:8080/admin"
START, QUIT = "Start QUORVEL Connect", "Quit QUORVEL Connect…"
TRICKY = "R&D snake_case…"
STOPPED = {"ok": True, "state": "Stopped", "listeners": 0, "configured": True}
FAILED = {"ok": False, "error": "Port 8080 is taken by another program."}
SLOW = 30  # a loaded machine's host may take this long to draw; how long it took is printed
SKIPPED = 77  # ctest's SKIP_RETURN_CODE for this test


def menu_rows(state):
    # The 13 rows for a reply with nothing owned and automatic start on:
    # (label, enabled, checked or None).
    rows = [(f"QUORVEL Connect · {state}", False), ("0 connected listeners", False), ("-", True),
            (START, state == "Stopped"), ("Stop QUORVEL Connect…", False), ("-", True),
            ("Open Dashboard", False), ("Show Listener QR Code", False), ("-", True),
            ("Start automatically when I sign in", True), ("Open Logs", True), ("-", True),
            (QUIT, True)]
    return [(label, enabled, True if label.startswith("Start automatically") else None)
            for label, enabled in rows]


def http_status(url):
    return subprocess.run(["curl", "-s", "-o", "/dev/null", "-w", "%{http_code}", "--max-time",
                           "2", url], capture_output=True, text=True).stdout


class Run:
    # The program in one host's session, and what the checks share: its icon's centre, the
    # screenshots, the menus opened.

    def __init__(self, host, install):
        self.host, self.install = host, install
        self.shot, self.last, self.reopened, self.icon = 0, None, 0, None
        self.launched = time.monotonic()
        self.program = install.launch_in(host)

    def screenshot(self, what):
        # Numbered in order, one file per step; a step polled again overwrites its own.
        if what != self.last:
            self.shot, self.last = self.shot + 1, what
        self.host.screenshot(f"{SHOTS}/{self.host.name}-{self.shot:02}-{what}.png")

    def wait_for_icon(self, since):
        # Waits until the host shows our icon; keeps its centre and says how long it took.
        try:
            x, y, width, height = wait_until(self.host.icon, "the icon", SLOW, step=0.2)
        except TimeoutError:
            self.screenshot("no-icon")
            raise AssertionError(f"the host showed no icon within {SLOW} s") from None
        self.icon = (x + width // 2, y + height // 2)
        self.screenshot("icon")
        return f"PASS ({time.monotonic() - since:.1f} s)"

    def open_menu(self, button):
        # A panel whose toolkit has only just joined the accessibility bus may show its first
        # menu before it has learnt that anyone listens, and never announce it. With no menu seen
        # after 5 s, the host is photographed, the menu closed and opened once more, and the
        # host's line in the output says so: a menu that never opens still fails.
        for wait in (5, 10):
            self.host.click(*self.icon, button=button)
            try:
                menu = wait_until(self.host.menu_geometry, "a menu", wait, step=0.2)
                break
            except TimeoutError:
                if wait == 10:
                    raise AssertionError(f"no menu opened on a {button} click") from None
                self.screenshot(f"no-menu-{button}")
                self.host.close_menu()
                self.reopened += 1
        self.screenshot(f"menu-{button}")
        return menu

    def rows(self):
        # The menu's rows as the host shows them, read from the menu opened as a person would.
        self.open_menu("right")
        try:
            return [row[:3] for row in wait_until(self.host.menu_rows, "the menu's rows", 5)]
        finally:
            self.host.close_menu()

    def headline(self, state):
        shown = []
        try:
            wait_until(lambda: shown.append(self.rows()[0][0]) or
                       shown[-1] == f"QUORVEL Connect · {state}", f"the headline {state}", 15,
                       step=0.5)
        except TimeoutError:
            raise AssertionError(f"the headline reads {shown[-1]!r}, not {state!r}") from None


# --- the checks, each given the run and returning None (a pass), "PASS (…)" or "n/a: why" ------

def the_icon_shows(run):
    return run.wait_for_icon(run.launched)


def right_click_opens_a_menu(run):
    run.open_menu("right")
    run.host.close_menu()


def left_click_menu_touches_the_panel(run):
    # The menu touches the panel's edge next to the icon, as a host's own menus do: beside the
    # panel, never over it or the icon, and within the icon's column.
    host, menu = run.host, run.open_menu("left")
    host.close_menu()
    _, x, y, width, height = menu
    _, panel_y, _, panel_height = host.panel_geometry()[-4:]
    assert width < 600 and height < 600, f"a full-screen menu {menu}"
    if host.menu_gap is None:
        return "n/a: the host opens its menu at the pointer (it is not full screen)"
    gap = y - (panel_y + panel_height) if panel_y == 0 else panel_y - (y + height)
    assert -1 <= gap <= host.menu_gap, \
        f"the menu {menu} is {gap} px from the panel's edge, {host.panel_geometry()}"
    assert x <= run.icon[0] <= x + width, f"the menu {menu} is not next to the icon {run.icon}"


def failing_start_alert_on_top(run):
    host = run.host
    run.open_menu("right")
    host.choose(START)
    alert = wait_until(host.alert, "the failure alert", 10)
    run.screenshot("alert")
    covering = host.windows_above(alert)
    host.answer_alert("Return")
    wait_until(lambda: not host.alert(), "OK to dismiss the alert", 5)
    run.install.wait_for_status_after("start")
    assert not covering, f"the alert {alert} is covered by {covering}"


def rows_exact(run):
    if run.host.menu_unreadable:
        return run.host.menu_unreadable
    run.install.write("default.json", {**STOPPED, "state": TRICKY, "automatic": True})
    run.headline(TRICKY)
    shown = run.rows()
    assert shown == menu_rows(TRICKY), f"the host shows {shown}"


def icon_back_after_panel_restart(run):
    run.host.restart_panel()
    return run.wait_for_icon(time.monotonic())


def start_runs_the_demo_service(run):
    host = run.host
    run.install.remove("default.json", "start.json")  # the demo service's script answers
    if not host.menu_unreadable:
        run.headline("Stopped")
    run.open_menu("right")
    host.choose(START)
    wait_until(lambda: http_status(ADMIN) == "200", "the demo service to answer", 15)
    if host.menu_unreadable:
        run.install.wait_for_status_after("start")  # a click while it runs is dropped
        return f"{host.menu_unreadable} (start ran; the service answers)"
    run.headline("Running")


def quit_cancel_keeps_stop_stops(run):
    host, program = run.host, run.program
    for keys in (["Return"], ["Tab", "space"]):  # Cancel, the default; then Stop
        run.open_menu("right")
        host.choose(QUIT)
        wait_until(host.alert, "the quit confirmation", 10)
        run.screenshot("quit-confirmation")
        host.answer_alert(*keys)
        if keys == ["Return"]:
            wait_until(lambda: not host.alert(), "Cancel to close the confirmation", 5)
            assert program.poll() is None and http_status(ADMIN) == "200", \
                "Cancel quit or stopped the service"
    assert program.wait(15) == 0, f"the program exited {program.returncode}"
    assert http_status(ADMIN) == "000", "the service still answers"


def icon_shown_by_a_later_panel(run):
    if run.program.poll() is None:
        run.program.terminate()
        run.program.wait(10)
    run.host.stop_panel()
    late = run.install.launch_in(run.host)
    try:
        time.sleep(1)
        run.host.start_panel()
        return run.wait_for_icon(time.monotonic())
    finally:
        late.terminate()
        late.communicate(timeout=10)


CHECKS = (  # the first must pass for the others to run: they click the icon it found
    ("the icon shows", the_icon_shows),
    ("right click opens the menu", right_click_opens_a_menu),
    ("left click: the menu touches the panel next to the icon", left_click_menu_touches_the_panel),
    ("a failing start shows the alert on top; OK dismisses it", failing_start_alert_on_top),
    ("rows exact, with _ & …, enabled flags, the check mark", rows_exact),
    ("icon back after a panel restart", icon_back_after_panel_restart),
    ("Start runs the demo service; the headline reads Running", start_runs_the_demo_service),
    ("Quit: Cancel keeps all; Stop stops the service, exits 0", quit_cancel_keeps_stop_stops),
    ("started before the panel: the icon shows", icon_shown_by_a_later_panel),
)


def run_checks(host, install):
    # "PASS", "FAIL: why" or "n/a: why" by check; a failed check does not stop the next.
    run, results = Run(host, install), {}
    try:
        for name, check in CHECKS:
            try:
                results[name] = check(run) or "PASS"
            except Exception as error:  # noqa: BLE001 - a failed check must not stop the others
                results[name] = f"FAIL: {error or type(error).__name__}"
                traceback.print_exc()
                if not run.icon:
                    break
                try:
                    host.close_menu()
                except Exception:  # noqa: BLE001 - the check's own failure is what counts
                    pass
    finally:
        if run.reopened:
            print(f"{host.name}: a menu was seen only when opened again, {run.reopened} time(s)")
        if run.program.poll() is None:
            run.program.terminate()
        stderr = run.program.communicate(timeout=10)[1].decode(errors="replace")
        install.stop_demo_service()
        if any(outcome.startswith("FAIL") for outcome in results.values()):
            print(f"--- {host.name}: the program's stderr ---\n{stderr}")
    return results


def main(name):
    os.makedirs(SHOTS, exist_ok=True)
    host = host_class(name)()
    missing = host.missing_packages()
    if missing:
        host.stop()
        print(f"{name}: SKIPPED: not installed: {' '.join(missing)}")
        return SKIPPED
    started = time.monotonic()
    try:
        with host:
            results = run_checks(host, Installation(host.program_folder(),
                                                    {"default.json": STOPPED,
                                                     "start.json": FAILED}))
    except HostDidNotStart as error:
        results = {"the tray host starts": f"FAIL: {error}"}
    print(f"\n{name}: {time.monotonic() - started:.1f} s")
    for check, outcome in results.items():
        print(f"  {check:58} {outcome}")
    return 1 if any(outcome.startswith("FAIL") for outcome in results.values()) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
