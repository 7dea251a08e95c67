#!/usr/bin/python3
"""Desktop hosts benchmark: starts each headless tray host, takes a screenshot and stops it, RUNS
times in a row, and prints how long a start takes until the tray is ready, the CPU time of a whole
cycle (every process the host started and reaped), the memory of the session's processes once
ready, and how many cycles failed. A failed cycle prints its reason.

  /usr/bin/python3 bench/desktop/host_cycle_bench.py [RUNS] [module.Class ...]

With no classes it runs the Wayland hosts. Run as root (the sway hosts run as a test user)."""

import importlib
import os
import resource
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))

DEFAULT_HOSTS = ("gnome.GnomeWaylandHost", "sway.SwayWaylandHost", "sway.SwayXwaylandHost")


def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def resident_mib(pids):
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/status") as status:
                total += next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))
        except (OSError, StopIteration):
            pass  # gone, or a kernel thread
    return total / 1024


def cycle(host_class, shot):
    host = host_class()
    cpu, started = cpu_seconds(), time.monotonic()
    try:
        host.start()
        ready = time.monotonic() - started
        host.screenshot(shot)
        if os.path.getsize(shot) == 0:
            raise RuntimeError("an empty screenshot")
        memory = resident_mib(host.session_processes())
    finally:
        host.stop()
    return ready, time.monotonic() - started, cpu_seconds() - cpu, memory


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    names = sys.argv[2:] or DEFAULT_HOSTS
    shots = tempfile.mkdtemp(prefix="host-cycle-")
    for name in names:
        module, _, class_name = name.rpartition(".")
        host_class = getattr(importlib.import_module(f"hosts.{module}"), class_name)
        probe = host_class()
        missing = probe.missing_packages()
        probe.stop()
        if missing:
            print(f"{host_class.name}: skipped, missing {' '.join(missing)}")
            continue
        results, failures = [], 0
        for run in range(runs):
            try:
                results.append(cycle(host_class, f"{shots}/{host_class.name}-{run}.png"))
            except Exception as error:  # noqa: BLE001 - a benchmark counts every failure
                failures += 1
                print(f"{host_class.name}: run {run + 1} failed: {error}")
        if results:
            ready, whole, cpu, memory = zip(*results)
            print(f"{host_class.name}: ready in {statistics.median(ready):.2f} s median "
                  f"({max(ready):.2f} s max); cycle {statistics.median(whole):.2f} s; "
                  f"CPU {statistics.median(cpu):.2f} s per cycle; session "
                  f"{statistics.median(memory):.0f} MiB resident; {failures} of {runs} cycles "
                  "failed")
        else:
            print(f"{host_class.name}: all {runs} cycles failed")
    print(f"screenshots in {shots}")


if __name__ == "__main__":
    main()
