# What every headless tray host offers the desktop tests, the run command's tour and the benchmark:
# a private session (runtime folder, HOME, session and accessibility buses, display) with one tray
# host in it, servers whose stderr is kept in files, and a stop that waits for every process it
# started to exit.

import os
import shutil
import signal
import subprocess
import tempfile
import time
from contextlib import suppress

from gi.repository import Gio, GLib

from .accessibility import AccessibleTree


TITLE = "QUORVEL Connect"  # the item's title, by which hosts name its icon


class HostDidNotStart(Exception):
    """The tray host did not come up; the message carries the servers' stderr tails."""


def wait_until(predicate, what, timeout=10.0, step=0.05):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(step)
    return value


class Server:
    # A process of the session: stdout as asked, stderr into a file that failures quote.

    def __init__(self, name, argv, env, log_dir, **popen):
        self.name = name
        self.log = os.path.join(log_dir, f"{name}.log")
        with open(self.log, "ab") as log:
            self.process = subprocess.Popen(argv, env=env, stderr=log, **{
                "stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL, **popen})

    def running(self):
        return self.process.poll() is None

    def tail(self, lines=12):
        with open(self.log, errors="replace") as log:
            text = "".join(log.readlines()[-lines:]).rstrip()
        status = "running" if self.running() else f"exited {self.process.returncode}"
        return f"--- {self.name} ({status}), end of its stderr ---\n{text or '(empty)'}"

    def stop(self, timeout=10):
        # Terminates it and waits for it to exit: a server still dying can remove what the next
        # one on the same display number has just created.
        if self.running():
            self.process.terminate()
            try:
                self.process.wait(timeout)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if self.process.stdout:
            self.process.stdout.close()


class Host:
    name = ""  # the matrix's key for this host
    packages = ()  # Debian packages it needs; a host lacking one is skipped, never passed
    # How far the host's own menu may sit from its panel's edge by design; None where it opens
    # with a corner at the pointer, over the icon
    menu_gap = 0
    menu_unreadable = None  # why, where nothing can read the host's menu as it shows it

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix=f"quorvel-{self.name or 'host'}-")
        self.logs = os.path.join(self.root, "logs")
        self.servers = []
        self.panel = None
        home = os.path.join(self.root, "home")
        runtime = os.path.join(self.root, "runtime")
        for folder in (self.logs, home, f"{home}/.config", f"{home}/.local/share", f"{home}/.cache"):
            os.makedirs(folder)
        os.makedirs(runtime, mode=0o700)
        drop = ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME",
                "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP",
                "XDG_SESSION_TYPE", "DESKTOP_SESSION", "AT_SPI_BUS_ADDRESS", "NO_AT_BRIDGE")
        # Set before the bus starts: the services it activates inherit its environment.
        self.env = {k: v for k, v in os.environ.items() if k not in drop}
        # Qt's programs expose their objects with no screen reader running.
        self.env.update(HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=f"{home}/.config",
                        XDG_DATA_HOME=f"{home}/.local/share", XDG_CACHE_HOME=f"{home}/.cache",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")

    def missing_packages(self):
        return [package for package in self.packages
                if subprocess.run(["dpkg-query", "-W", "-f=${Status}", package],
                                  capture_output=True, text=True).stdout != "install ok installed"]

    # --- the session ----------------------------------------------------------------------------

    def serve(self, name, argv, **popen):
        self.servers.append(Server(name, argv, self.env, self.logs, **popen))
        return self.servers[-1]

    def did_not_start(self, why):
        tails = "\n".join(server.tail() for server in self.servers)
        return HostDidNotStart(f"the tray host did not start: {why}\n{tails}")

    def until_ready(self, predicate, what, timeout=15):
        # Waits for the host to be ready; raises HostDidNotStart, with its servers' stderr, when
        # it is not in time or one of them exits on the way.
        def ready_or_dead():
            dead = [server.name for server in self.servers if not server.running()]
            if dead:
                raise self.did_not_start(f"{', '.join(dead)} exited while waiting for {what}")
            return predicate()
        try:
            return wait_until(ready_or_dead, what, timeout)
        except TimeoutError as error:
            raise self.did_not_start(str(error)) from None

    def start_bus(self, kind="session"):
        # A plain dbus-daemon of the session's kind; as the system bus, it holds nothing.
        bus = self.serve(f"{kind}-bus", ["dbus-daemon", "--session", "--nofork",
                                         "--print-address=1"], stdout=subprocess.PIPE)
        address = bus.process.stdout.readline().decode().strip()
        if not address:
            raise self.did_not_start(f"the {kind} bus printed no address")
        self.env[f"DBUS_{kind.upper()}_BUS_ADDRESS"] = address

    def bus(self):
        if getattr(self, "_bus", None) is None:
            self._bus = Gio.DBusConnection.new_for_address_sync(
                self.env["DBUS_SESSION_BUS_ADDRESS"], Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
        return self._bus

    def call(self, name, path, interface, method, signature=None, *args):
        parameters = GLib.Variant(signature, args) if signature else None
        return self.bus().call_sync(name, path, interface, method, parameters, None,
                                    Gio.DBusCallFlags.NONE, 5000, None).unpack()

    def session_processes(self):
        # Processes started in this session, bus-activated ones included: those whose
        # environment names our runtime folder.
        marker = f"XDG_RUNTIME_DIR={self.env['XDG_RUNTIME_DIR']}".encode()
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            with suppress(OSError), open(f"/proc/{pid}/environ", "rb") as environ:
                if marker in environ.read().split(b"\0") and int(pid) != os.getpid():
                    found.append(int(pid))
        return found

    # --- the interface the matrix drives. Each host defines start; start_panel, which sets
    # self.panel and waits until it is ready; screenshot; click; key; panel_geometry and
    # menu_geometry, an open menu's (id, x, y, width, height); close_menu; alert and
    # windows_above, the alert's rectangle and those of the windows that cover it -------------

    def icon(self):
        # Our icon as the host's accessibility tree places it, (x, y, width, height) or None:
        # found by its name, never by its colour, which another launcher may share.
        return self.accessible().find(TITLE)

    def program_folder(self):
        # Where the program's installation is laid out; the program's user may use it.
        return self.root

    def program_env(self):
        return dict(self.env)

    def spawn_program(self, argv, cwd):
        return subprocess.Popen(argv, cwd=cwd, env=self.program_env(), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def menu_rows(self):
        # The open menu's rows as the host shows them, read from its accessibility tree:
        # (label, enabled, checked or None, centre), "-" labels a separator.
        return self.accessible().menu_rows()

    def accessible(self):
        # Started once the host runs: a Qt 5 host that finds the accessibility bus already there
        # at its start never joins it.
        if getattr(self, "_accessible", None) is None:
            address = self.call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress")[0]
            self._accessible = self.listen(AccessibleTree(address))
        return self._accessible

    def listen(self, tree):
        return tree.listen()

    def choose(self, label):
        # Clicks the row once the host shows it enabled, as a person waits while a poll in
        # flight disables it for a moment.
        row = wait_until(lambda: next((row for row in self.menu_rows()
                                       if row.label == label and row.enabled), None),
                         f"an enabled row {label!r} in the open menu", 10, step=0.2)
        self.click(*row.centre)

    def answer_alert(self, *keys):
        # Types keys into the program's alert once it shows; Return presses its default button.
        wait_until(self.alert, "a focused alert", 10)
        self.key(*keys)

    def stop_panel(self):
        self.panel.stop()
        self.servers.remove(self.panel)

    def restart_panel(self):
        self.stop_panel()
        self.start_panel()

    def stop(self):
        # Stops everything started, newest first, waiting for each; then whatever the bus
        # activated for this session.
        for server in reversed(self.servers):
            server.stop()
        self.servers.clear()
        for sig in (signal.SIGTERM, signal.SIGKILL):
            for pid in self.session_processes():
                with suppress(ProcessLookupError):
                    os.kill(pid, sig)
            with suppress(TimeoutError):
                wait_until(lambda: not self.session_processes(), "the session to end", 5)
                break
        shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
