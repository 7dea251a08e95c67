# Runs a program in a headless host's session until its icon shows, then stops it and the
# session, waiting for every process to exit.
#
# PYTHONPATH=tools /usr/bin/python3 -m hosts HOST PROGRAM [ARG ...]
#
# Exit status: 0 the icon showed, 1 the icon did not show (the program's stderr follows),
# 2 the tray host did not start (its servers' stderr follows).

import sys

from . import host_class
from .base import HostDidNotStart, wait_until


def main(name, argv):
    try:
        with host_class(name)() as host:
            program = host.spawn_program(argv, cwd="/")
            try:
                wait_until(lambda: host.icon() or program.poll() is not None, "the icon", 10)
            except TimeoutError:
                pass
            shown = bool(host.icon())
            program.terminate()
            _, stderr = program.communicate(timeout=10)
            if not shown:
                print(f"the icon did not dock (the program exited {program.returncode}):\n"
                      f"{stderr.decode(errors='replace')}", file=sys.stderr)
                return 1
            return 0
    except HostDidNotStart as error:
        print(error, file=sys.stderr)
        return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2:]))
