#!/usr/bin/python3
"""Soak benchmark: the real controller in a headless session (Xvfb with trayer's tray) for POLLS
status polls (10 000 unless given), with its clock sped up SPEED times by libfaketime (60 unless
given), which speeds Qt's timers and the runner's time limits alike. Prints the controller's
resident memory, open descriptors and threads at the start and after every thousand polls, then
their growth, and how many runs started and answered (one may be in flight; more would be runs
cut short at a time limit).

The control script answers at once. Unless --real-node is given, node itself is a shell stand-in,
put first on the controller's fixed PATH in a mount namespace of the controller's own: node's
start-up (150 ms and more on a busy 2-core machine) would otherwise set the pace, not the
controller, and 10 000 polls would take hours.

  /usr/bin/python3 bench/desktop/soak_bench.py [--real-node] [PROGRAM] [POLLS] [SPEED]

PROGRAM defaults to build/default/platform/qt/quorvel-connect. Run as root (the mount namespace).
Needs the packages libfaketime, xvfb and trayer (tools/install-deps.sh)."""

import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))

from hosts.trayer import Trayer  # noqa: E402

REPLY = ('{"ok":true,"state":"Running","detail":"Soak test.","listeners":2,'
         '"owned":[true,true],"configured":true,"foreign":false,"automatic":true}')
# Each run appends a byte to runs.log as it starts and one to done.log once it has answered.
SCRIPT = f"""
const fs = require('fs');
fs.appendFileSync('runs.log', 's');
process.stdout.write('{REPLY}');
fs.appendFileSync('done.log', 's');
"""
STAND_IN = f"""#!/bin/sh
printf s >> runs.log; printf '%s' '{REPLY}'; printf s >> done.log
"""


def count(path):
    try:
        return os.path.getsize(path)
    except OSError:
        return 0


def figures(pid):
    with open(f"/proc/{pid}/status") as status:
        fields = dict(line.split(":", 1) for line in status)
    return (int(fields["VmRSS"].split()[0]), len(os.listdir(f"/proc/{pid}/fd")),
            int(fields["Threads"]))


def line(label, sample):
    resident, descriptors, threads = sample
    return (f"{label:>12}  {resident / 1024:8.1f} MiB  {descriptors:4} descriptors  "
            f"{threads:3} threads")


def main():
    arguments = [a for a in sys.argv[1:] if a != "--real-node"]
    real_node = len(arguments) < len(sys.argv) - 1
    program = os.path.abspath(arguments[0] if arguments
                              else "build/default/platform/qt/quorvel-connect")
    polls = int(arguments[1]) if len(arguments) > 1 else 10_000
    speed = arguments[2] if len(arguments) > 2 else "60"
    folder = tempfile.mkdtemp(prefix="quorvel-soak-")
    shutil.copy2(program, folder)
    os.mkdir(f"{folder}/logs")
    os.mkdir(f"{folder}/bin")
    for path, text, mode in ((f"{folder}/control-app.cjs", SCRIPT, 0o644),
                             (f"{folder}/bin/node", STAND_IN, 0o755)):
        with open(path, "w") as f:
            f.write(text)
        os.chmod(path, mode)
    argv = [f"{folder}/quorvel-connect"]
    if not real_node:
        # /usr/local/bin comes before /usr/bin on the controller's PATH.
        argv = ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                'mount --bind "$0" /usr/local/bin && exec "$@"', f"{folder}/bin", *argv]
    # The library for threaded programs: the controller runs the script on a worker thread.
    faketime = glob.glob("/usr/lib/*/faketime/libfaketimeMT.so.1")[0]
    host, controller = Trayer(), None
    try:
        host.start()
        # unshare and sh exec in turn: the pid is the controller's.
        controller = subprocess.Popen(
            argv, cwd="/", stdin=subprocess.DEVNULL,
            env={**host.program_env(), "LD_PRELOAD": faketime, "FAKETIME": f"+0 x{speed}"})
        started = time.monotonic()
        while count(f"{folder}/done.log") < 1:
            time.sleep(0.05)
        print(f"{polls} polls at x{speed}, node {'real' if real_node else 'a stand-in'}: {program}")
        first = sample = figures(controller.pid)
        print(line("start", first))
        for mark in range(1000, polls + 1, 1000):
            while count(f"{folder}/done.log") < mark:
                if controller.poll() is not None:
                    raise SystemExit(f"the controller exited ({controller.returncode})")
                time.sleep(0.2)
            sample = figures(controller.pid)
            print(line(f"{mark} polls", sample), f"  {time.monotonic() - started:6.0f} s",
                  flush=True)
        growth = [after - before for before, after in zip(first, sample)]
        print(f"growth: {growth[0]:+d} KiB resident, {growth[1]:+d} descriptors, "
              f"{growth[2]:+d} threads; {count(f'{folder}/runs.log')} runs started, "
              f"{count(f'{folder}/done.log')} answered; {time.monotonic() - started:.0f} s")
    finally:
        if controller is not None and controller.poll() is None:
            controller.terminate()
            controller.wait(10)
        host.stop()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
