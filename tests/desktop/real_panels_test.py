#!/usr/bin/python3
# The program on real tray hosts run headless, checked as a person sees it: one table of hosts
# by checks, each reading what the host shows (its drawing, or its own model of its panel and
# menus), never the program's export read back. A host whose packages are missing is SKIPPED with
# the reason, a check that cannot apply to a host is n/a with the reason; neither counts as passed.
# A host that does not come up fails with its servers' stderr.
#
# real_panels_test.py [HOST ...]     (default: every host; QUORVEL_HOSTS="a,b" also selects)

import importlib
import os
import subprocess
import sys
import tempfile
import time
import traceback

sys.path[:0] = [os.path.dirname(os.path.abspath(__file__)),
                os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools")]
from hosts.base import Host, HostDidNotStart, wait_until  # noqa: E402
from hosts.x11 import overlap  # noqa: E402
from installation import Installation  # noqa: E402

HOST_MODULES = ("trayer", "xfce", "kde", "kde_wayland", "gnome", "sway")
SHOTS = os.environ.get("QUORVEL_SCREENSHOTS", tempfile.gettempdir()) + "/real-panels"
ADMIN = "http://127.0.0.1:8080/admin"
START, QUIT = "Start QUORVEL Connect", "Quit QUORVEL Connect…"
TRICKY = "R&D snake_case…"
STOPPED = {"ok": True, "state": "Stopped", "listeners": 0, "configured": True}
FAILED = {"ok": False, "error": "Port 8080 is taken by another program."}
SLOW = 30  # a loaded machine's host may take this long to draw; how long it took is printed


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


def centre(rect):
    x, y, width, height = rect
    return x + width // 2, y + height // 2


class Check:
    def __init__(self, host):
        self.host = host
        self.shot, self.last, self.reopened = 0, None, 0

    def screenshot(self, what):
        # Numbered in order, one file per step; a step polled again overwrites its own.
        if what != self.last:
            self.shot, self.last = self.shot + 1, what
        self.host.screenshot(f"{SHOTS}/{self.host.name}-{self.shot:02}-{what}.png")

    def icon(self, since):
        # Waits until the host shows our icon; its centre and the seconds since `since`.
        try:
            rect = wait_until(self.host.icon, "the icon", SLOW, step=0.2)
        except TimeoutError:
            self.screenshot("no-icon")
            raise AssertionError(f"the host showed no icon within {SLOW} s") from None
        self.took = time.monotonic() - since
        self.screenshot("icon")
        return centre(rect)

    def open_menu(self, at, button):
        # A panel whose toolkit has only just joined the accessibility bus may show its first
        # menu before it has learnt that anyone listens, and never announce it. With no menu seen
        # after 5 s, the host is photographed, the menu closed and opened once more, and the
        # host's line in the output says so: a menu that never opens still fails.
        for wait in (5, 10):
            self.host.click(*at, button=button)
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

    def rows(self, icon):
        # The menu's rows as the host shows them, read from the menu opened as a person would.
        self.open_menu(icon, "right")
        try:
            return [row[:3] for row in wait_until(self.host.menu_rows, "the menu's rows", 5)]
        finally:
            self.host.close_menu()

    def headline(self, icon, state):
        shown = []
        try:
            wait_until(lambda: shown.append(self.rows(icon)[0][0]) or
                       shown[-1] == f"QUORVEL Connect · {state}", f"the headline {state}", 15,
                       step=0.5)
        except TimeoutError:
            raise AssertionError(f"the headline reads {shown[-1]!r}, not {state!r}") from None


def touches_panel(host, menu, icon):
    # The menu touches the panel's edge next to the icon, as a host's own menus do: beside the
    # panel, never over it or the icon, and within the icon's column.
    _, x, y, width, height = menu
    _, panel_y, _, panel_height = host.panel_geometry()[-4:]
    assert width < 600 and height < 600, f"a full-screen menu {menu}"
    if host.menu_gap is None:
        return "n/a: the host opens its menu at the pointer (it is not full screen)"
    gap = y - (panel_y + panel_height) if panel_y == 0 else panel_y - (y + height)
    assert -1 <= gap <= host.menu_gap, \
        f"the menu {menu} is {gap} px from the panel's edge, {host.panel_geometry()}"
    assert x <= icon[0] <= x + width, f"the menu {menu} is not next to the icon at {icon}"


def run_checks(host, install, results):
    # Runs the checks in one session, recording "PASS", "FAIL: why" or "n/a: why" by name.
    check = Check(host)

    def record(name, body):
        try:
            results[name] = body() or "PASS"
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
        record("the icon shows", lambda: icon.append(check.icon(launched))
               or f"PASS ({check.took:.1f} s)")
        if not icon:
            return

        def right_click():
            check.open_menu(icon[0], "right")
            host.close_menu()

        def left_click():
            outcome = touches_panel(host, check.open_menu(icon[0], "left"), icon[0])
            host.close_menu()
            return outcome

        def failing_start():
            check.open_menu(icon[0], "right")
            host.choose(START)
            alert = wait_until(host.alert, "the failure alert", 10)
            check.screenshot("alert")
            covering = host.windows_above(alert)
            host.answer_alert("Return")
            wait_until(lambda: not host.alert(), "OK to dismiss the alert", 5)
            install.wait_for_status_after("start")
            assert not covering, f"the alert {alert} is covered by {covering}"

        def labels():
            if host.menu_unreadable:
                return host.menu_unreadable
            install.write("default.json", {**STOPPED, "state": TRICKY, "automatic": True})
            check.headline(icon[0], TRICKY)
            shown = check.rows(icon[0])
            assert shown == menu_rows(TRICKY), f"the host shows {shown}"

        def panel_restart():
            host.restart_panel()
            restarted = time.monotonic()
            icon[0] = check.icon(restarted)
            return f"PASS ({check.took:.1f} s)"

        def start():
            install.remove("default.json", "start.json")  # the demo service's script answers
            if not host.menu_unreadable:
                check.headline(icon[0], "Stopped")
            check.open_menu(icon[0], "right")
            host.choose(START)
            wait_until(lambda: http_status(ADMIN) == "200", "the demo service to answer", 15)
            if host.menu_unreadable:
                install.wait_for_status_after("start")  # a click while it runs is dropped
                return f"{host.menu_unreadable} (start ran; the service answers)"
            check.headline(icon[0], "Running")

        def quit_stops_the_service():
            for keys in (["Return"], ["Tab", "space"]):  # Cancel, the default; then Stop
                check.open_menu(icon[0], "right")
                host.choose(QUIT)
                wait_until(host.alert, "the quit confirmation", 10)
                check.screenshot("quit-confirmation")
                host.answer_alert(*keys)
                if keys == ["Return"]:
                    wait_until(lambda: not host.alert(), "Cancel to close the confirmation", 5)
                    assert program.poll() is None and http_status(ADMIN) == "200", \
                        "Cancel quit or stopped the service"
            assert program.wait(15) == 0, f"the program exited {program.returncode}"
            assert http_status(ADMIN) == "000", "the service still answers"

        def started_before_panel():
            if program.poll() is None:
                program.terminate()
                program.wait(10)
            host.stop_panel()
            late = install.launch_in(host)
            try:
                time.sleep(1)
                host.start_panel()
                check.icon(time.monotonic())
                return f"PASS ({check.took:.1f} s)"
            finally:
                late.terminate()
                late.communicate(timeout=10)

        for name, body in (("right click opens the menu", right_click),
                           ("left click: the menu touches the panel next to the icon", left_click),
                           ("a failing start shows the alert on top; OK dismisses it",
                            failing_start),
                           ("rows exact, with _ & …, enabled flags, the check mark", labels),
                           ("icon back after a panel restart", panel_restart),
                           ("Start runs the demo service; the headline reads Running", start),
                           ("Quit: Cancel keeps all; Stop stops the service, exits 0",
                            quit_stops_the_service),
                           ("started before the panel: the icon shows", started_before_panel)):
            record(name, body)
    finally:
        if check.reopened:
            print(f"{host.name}: a menu was seen only when opened again, {check.reopened} time(s)")
        if program.poll() is None:
            program.terminate()
        stderr = program.communicate(timeout=10)[1].decode(errors="replace")
        install.stop_demo_service()
        if any(outcome.startswith("FAIL") for outcome in results.values()):
            print(f"--- {host.name}: the program's stderr ---\n{stderr}")


def host_classes(selected):
    for module in map(importlib.import_module, (f"hosts.{name}" for name in HOST_MODULES)):
        yield from (value for value in vars(module).values()
                    if isinstance(value, type) and issubclass(value, Host) and value.name
                    and value.__module__ == module.__name__
                    and value.name in (selected or [value.name]))


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
                install = Installation(host.program_folder(),
                                       {"default.json": STOPPED, "start.json": FAILED})
                run_checks(host, install, results)
        except HostDidNotStart as error:
            results["*"] = f"FAIL: {error}"
        table[host.name] = results
        print(f"{host.name}: {time.monotonic() - started:.1f} s", flush=True)

    counts = {"PASS": 0, "FAIL": 0, "n/a": 0, "SKIPPED": 0}
    for name, results in table.items():
        print(f"\n{name}")
        for check, outcome in results.items():
            print(f"  {outcome}" if check == "*" else f"  {check:58} {outcome}")
            counts[next(kind for kind in counts if outcome.startswith(kind))] += 1
    print(f"\nreal panels: {counts['PASS']} passed, {counts['FAIL']} failed, {counts['n/a']} not "
          f"applicable, {counts['SKIPPED']} skipped")
    return 1 if counts["FAIL"] or not table else 0


if __name__ == "__main__":
    sys.exit(main())
