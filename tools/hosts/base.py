"""What every headless tray host offers the desktop tests, the run command's tour and the benchmark:
a private session (runtime folder, HOME, session bus, display) with one tray host in it, servers
whose stderr is kept in files, and a stop that waits for every process it started to exit."""

import os
import shutil
import signal
import subprocess
import tempfile
import time


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
    """A process of the session: stdout as asked, stderr into a file that failures quote."""

    def __init__(self, name, argv, env, log_dir, **popen):
        self.name = name
        self.log = os.path.join(log_dir, f"{name}.log")
        with open(self.log, "ab") as log:
            self.process = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL,
                                            stdout=popen.pop("stdout", subprocess.DEVNULL),
                                            stderr=log, **popen)

    def running(self):
        return self.process.poll() is None

    def tail(self, lines=12):
        with open(self.log, errors="replace") as log:
            text = "".join(log.readlines()[-lines:]).rstrip()
        status = "running" if self.running() else f"exited {self.process.returncode}"
        return f"--- {self.name} ({status}), end of its stderr ---\n{text or '(empty)'}"

    def stop(self, timeout=10):
        """Terminates it and waits for it to exit: a server still dying can remove what the next
        one on the same display number has just created."""
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
    icon_area = (0, 0, 0, 0)  # where the panel shows icons: left, top, right, bottom
    reads_labels = True  # False where the menu is the program's own, with nothing to read
    # True where the host opens its own menu with a corner on the pointer, over the icon
    menu_at_pointer = False
    packages = ()  # Debian packages it needs; a host lacking one is skipped, never passed

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix=f"quorvel-{self.name or 'host'}-")
        self.logs = os.path.join(self.root, "logs")
        self.servers = []
        home = os.path.join(self.root, "home")
        runtime = os.path.join(self.root, "runtime")
        for folder in (self.logs, home, f"{home}/.config", f"{home}/.local/share", f"{home}/.cache"):
            os.makedirs(folder)
        os.makedirs(runtime, mode=0o700)
        drop = ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME",
                "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP",
                "XDG_SESSION_TYPE", "DESKTOP_SESSION")
        # Set before the bus starts: the services it activates inherit its environment.
        self.env = {k: v for k, v in os.environ.items() if k not in drop}
        self.env.update(HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=f"{home}/.config",
                        XDG_DATA_HOME=f"{home}/.local/share", XDG_CACHE_HOME=f"{home}/.cache",
                        NO_AT_BRIDGE="1")

    def missing_packages(self):
        def installed(package):
            query = subprocess.run(["dpkg-query", "-W", "-f=${Status}", package],
                                   capture_output=True, text=True)
            return query.stdout == "install ok installed"
        return [package for package in self.packages if not installed(package)]

    # --- the session ----------------------------------------------------------------------------

    def serve(self, name, argv, **popen):
        self.servers.append(Server(name, argv, self.env, self.logs, **popen))
        return self.servers[-1]

    def did_not_start(self, why):
        tails = "\n".join(server.tail() for server in self.servers)
        return HostDidNotStart(f"the tray host did not start: {why}\n{tails}")

    def until_ready(self, predicate, what, timeout=15):
        """Waits for the host to be ready; raises HostDidNotStart, with its servers' stderr, when
        it is not in time or one of them exits on the way."""
        def ready_or_dead():
            dead = [server.name for server in self.servers if not server.running()]
            if dead:
                raise self.did_not_start(f"{', '.join(dead)} exited while waiting for {what}")
            return predicate()
        try:
            return wait_until(ready_or_dead, what, timeout)
        except TimeoutError as error:
            raise self.did_not_start(str(error)) from None

    def start_bus(self):
        bus = self.serve("dbus-daemon", ["dbus-daemon", "--session", "--nofork",
                                         "--print-address=1"], stdout=subprocess.PIPE)
        address = bus.process.stdout.readline().decode().strip()
        if not address:
            raise self.did_not_start("the session bus printed no address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def session_processes(self):
        """Processes started in this session, bus-activated ones included: those whose
        environment names our runtime folder."""
        marker = f"XDG_RUNTIME_DIR={self.env['XDG_RUNTIME_DIR']}".encode()
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/environ", "rb") as environ:
                    if marker in environ.read().split(b"\0") and int(pid) != os.getpid():
                        found.append(int(pid))
            except OSError:
                pass
        return found

    # --- the interface the matrix drives --------------------------------------------------------

    def start(self):
        raise NotImplementedError

    def program_folder(self):
        """Where the program's installation is laid out; the program's user may use it."""
        return self.root

    def program_env(self):
        return dict(self.env)

    def spawn_program(self, argv, cwd):
        return subprocess.Popen(argv, cwd=cwd, env=self.program_env(), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def screenshot(self, path):
        raise NotImplementedError

    def click(self, x, y, button="left"):
        raise NotImplementedError

    def menu_geometry(self):
        """(id, x, y, width, height) of a menu opened since the last click, or None."""
        raise NotImplementedError

    def close_menu(self):
        raise NotImplementedError

    def alert(self):
        """(id, x, y, width, height) of the program's alert window, or None."""
        raise NotImplementedError

    def windows_above(self, alert):
        """The windows that cover part of the alert, as (id, x, y, width, height)."""
        raise NotImplementedError

    def menu_labels(self):
        """The open menu's labels as the host shows them, separators as "-"; None where the menu
        is the program's own and the host has nothing to read. The caller opens the menu."""
        raise NotImplementedError

    def choose(self, label):
        raise NotImplementedError

    def press_default_button(self):
        raise NotImplementedError

    def start_panel(self):
        """Starts the panel in the running session (self.panel) and waits until it is ready."""
        raise NotImplementedError

    def stop_panel(self):
        self.panel.stop()
        self.servers.remove(self.panel)

    def restart_panel(self):
        self.stop_panel()
        self.start_panel()

    def stop(self):
        """Stops everything started, newest first, waiting for each; then whatever the bus
        activated for this session."""
        for server in reversed(self.servers):
            server.stop()
        self.servers.clear()
        for sig in (signal.SIGTERM, signal.SIGKILL):
            for pid in self.session_processes():
                try:
                    os.kill(pid, sig)
                except ProcessLookupError:
                    pass
            try:
                wait_until(lambda: not self.session_processes(), "the session to end", 5)
                break
            except TimeoutError:
                continue
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
