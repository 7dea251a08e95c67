#!/usr/bin/python3
"""Desktop benchmark: the controller (against a trivial, fast control script) side by side with a
minimal Qt 6 tray program that has the same 13-row menu and no logic, in one Xvfb, with either a
StatusNotifier watcher of our own on the session bus (the default, as on current desktops) or
trayer (an XEmbed tray).

  /usr/bin/python3 bench/desktop/tray_bench.py BUILD_DIR [IDLE_SECONDS] [sni|xembed]

Prints, for each program: time from start to the icon shown (registered with the watcher, or
docked in the tray; median of several runs, the same polling for both), resident memory (VmRSS)
once idle, and CPU time (utime+stime of the program's own process, so the control script's
children are not counted) over IDLE_SECONDS (default 60) and within one quiet stretch between two
polls."""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

from gi.repository import GLib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools"))
from hosts.status_notifier import WATCHER, StatusNotifierHost  # noqa: E402
from hosts.trayer import Trayer  # noqa: E402

RUNS = 7
# Answers at once, and notes when it ran so that a quiet stretch between two polls can be found.
TRIVIAL_SCRIPT = ("require('fs').appendFileSync(__dirname + '/polls.log', Date.now() + '\\n');\n"
                  'process.stdout.write(\'{"ok":true,"state":"Stopped","listeners":0,'
                  '"owned":[false,false],"configured":true}\');\n')
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


class Session(StatusNotifierHost, Trayer):
    """A private Xvfb and session bus, with trayer or a StatusNotifier watcher of our own."""


def start_session(host):
    session = Session()
    session.start_display()
    session.start_bus()
    if host == "sni":
        start_watcher(session)
    else:
        session.start_panel()
    return session


registrations = []  # (time, the registering connection's pid)


def start_watcher(session):
    """Notes when each item registers with the stand-in watcher, and from which process."""
    bus = session.bus()

    def on_register(connection, sender, path, interface, signal, args):
        pid = connection.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                   "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                                   GLib.Variant("(s)", (args[0],)), None, 0, -1, None).unpack()[0]
        registrations.append((time.monotonic(), pid))

    bus.signal_subscribe(None, WATCHER, "StatusNotifierItemRegistered", None, None, 0, on_register)
    threading.Thread(target=GLib.MainLoop().run, daemon=True).start()
    session.start_stand_in_watcher()


def x_tree(env):
    return subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True,
                          text=True).stdout


def docked_icons(env, instance):
    return sum(1 for line in x_tree(env).splitlines()
               if f'("{instance}"' in line and "22x22" in line)


def wait_for(predicate, timeout):
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() > deadline:
            raise RuntimeError("timed out")
        time.sleep(0.005)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS  # utime + stime


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def icon_shown(host, env, instance, process):
    if host == "sni":
        return any(pid == process.pid for _, pid in registrations)
    return docked_icons(env, instance) > 0


def time_to_icon(argv, instance, env, host):
    started = time.monotonic()
    process = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        wait_for(lambda: icon_shown(host, env, instance, process), 20)
    except RuntimeError:
        raise RuntimeError(f"{instance}: no icon after 20 s; registrations {registrations}")
    if host == "sni":
        elapsed = next(at for at, pid in registrations if pid == process.pid) - started
    else:
        elapsed = time.monotonic() - started
    return process, elapsed


def stop(process, env, instance, host):
    process.terminate()
    process.wait(5)
    if host == "xembed":
        wait_for(lambda: docked_icons(env, instance) == 0, 10)


def main():
    build = sys.argv[1]
    idle_seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    host = sys.argv[3] if len(sys.argv) > 3 else "sni"
    root = tempfile.mkdtemp(prefix="quorvel-bench-")
    install = os.path.join(root, "install")
    os.makedirs(os.path.join(install, "logs"))
    ours = os.path.join(install, "quorvel-connect")
    shutil.copy2(os.path.join(build, "platform/qt/quorvel-connect"), ours)
    with open(os.path.join(install, "control-app.cjs"), "w") as script:
        script.write(TRIVIAL_SCRIPT)
    minimal = os.path.join(build, "bench/desktop/minimal_tray_bench")
    programs = {"quorvel-connect": ([ours], "quorvel-connect"),
                "minimal Qt tray": ([minimal], "minimal_tray_bench")}

    session = start_session(host)
    env = session.program_env()
    try:
        startup = {name: [] for name in programs}
        for _ in range(RUNS):  # alternating, so both see the same machine
            for name, (argv, instance) in programs.items():
                process, elapsed = time_to_icon(argv, instance, env, host)
                startup[name].append(elapsed)
                stop(process, env, instance, host)

        running = {name: time_to_icon(argv, instance, env, host)[0]
                   for name, (argv, instance) in programs.items()}
        time.sleep(6)  # past the first poll tick
        rss = {name: rss_kib(p.pid) for name, p in running.items()}
        cpu_before = {name: cpu_seconds(p.pid) for name, p in running.items()}
        time.sleep(idle_seconds)
        cpu_idle = {name: cpu_seconds(p.pid) - cpu_before[name] for name, p in running.items()}
        # One quiet stretch: from 0.5 s after a poll to 1 s before the next.
        polls = os.path.join(install, "polls.log")
        seen = os.path.getsize(polls)
        wait_for(lambda: os.path.getsize(polls) > seen, 10)
        time.sleep(0.5)
        quiet_start = {name: cpu_seconds(p.pid) for name, p in running.items()}
        time.sleep(3.5)
        cpu_quiet = {name: cpu_seconds(p.pid) - quiet_start[name] for name, p in running.items()}
        for process in running.values():
            process.terminate()
            process.wait(5)
    finally:
        session.stop()
        shutil.rmtree(root, ignore_errors=True)

    print(f"host: {'StatusNotifier watcher' if host == 'sni' else 'XEmbed tray (trayer)'}")
    print(f"{'':18} {'start to icon (median of ' + str(RUNS) + ')':>32} {'VmRSS idle':>12} "
          f"{'CPU over ' + str(idle_seconds) + ' s':>14} {'CPU in 3.5 s quiet':>19}")
    for name in programs:
        print(f"{name:18} {statistics.median(startup[name]) * 1000:29.0f} ms "
              f"{rss[name] / 1024:9.1f} MiB {cpu_idle[name] * 1000:11.0f} ms "
              f"{cpu_quiet[name] * 1000:16.0f} ms")
    ours_name, minimal_name = list(programs)
    print(f"ratio start-up {statistics.median(startup[ours_name]) / statistics.median(startup[minimal_name]):.2f}x, "
          f"memory {rss[ours_name] / rss[minimal_name]:.2f}x (target: at most 1.1x each)")
    print("start-up runs (ms):")
    for name in programs:
        print(f"  {name:18} " + " ".join(f"{t * 1000:.0f}" for t in startup[name]))


if __name__ == "__main__":
    main()
