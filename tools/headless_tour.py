#!/usr/bin/python3
"""run.sh's tour with no display: the program from RUN_DIR in trayer's headless session, with
the demo service running and two listeners, its icon and open menu photographed into SHOTS_DIR,
then quit through the menu, which stops the service.

  headless_tour.py RUN_DIR SHOTS_DIR [PROGRAM ARGS ...]"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from hosts.base import HostDidNotStart, wait_until  # noqa: E402
from hosts.trayer import Trayer  # noqa: E402
from hosts.x11 import WIDTH  # noqa: E402


def big_window(host, other_than=None):
    """Our first visible window bigger than the icon: the open menu or an alert."""
    windows = [w for w in host.visible_windows("--classname", "quorvel-connect")
               if w[4] > 60 and w[0] != other_than]
    return windows[0] if windows else None


def tour(host, run_dir, shots, args):
    control = [f"{run_dir}/control-app.cjs"]
    subprocess.run(["node", *control, "start"], env=host.env, stdout=subprocess.DEVNULL,
                   check=True)
    try:
        for number in (1, 2):
            host.serve(f"listener-{number}", ["curl", "-sN", "http://127.0.0.1:8080/events"])
        program = host.spawn_program([f"{run_dir}/quorvel-connect", *args], cwd="/")
        x, y, width, height = wait_until(host.icon, "the tray icon")
        time.sleep(2)  # the first status reply
        os.makedirs(shots, exist_ok=True)
        host.screenshot(f"{shots}/screen.png")
        # The icon enlarged, so that it can be looked at.
        subprocess.run(["convert", f"{shots}/screen.png", "-crop", f"64x32+{WIDTH - 64}+0",
                        "+repage", "-scale", "400%", f"{shots}/tray-icon.png"], check=True)

        host.click(x + width // 2, y + height // 2)
        menu, x, y, _, height = wait_until(lambda: big_window(host), "the menu", 5)
        time.sleep(0.3)
        host.screenshot(f"{shots}/screen.png")
        left = max(x - 24, 0)
        subprocess.run(["convert", f"{shots}/screen.png", "-crop",
                        f"{WIDTH - left}x{y + height + 24}+{left}+0", "+repage",
                        f"{shots}/menu.png"], check=True)
        os.remove(f"{shots}/screen.png")
        print(f"{shots}/tray-icon.png\n{shots}/menu.png")

        # Quit through the menu: the last row, then "Stop QUORVEL Connect" in the confirmation.
        host.key("Up", "Return", window=menu)
        alert = wait_until(lambda: big_window(host, menu), "the quit confirmation", 5)
        host.key("Tab", "space", window=alert[0])
        if program.wait(15) == 0:
            print("QUORVEL Connect quit cleanly.")
    finally:
        subprocess.run(["node", *control, "stop"], env=host.env, capture_output=True)


def main():
    try:
        with Trayer() as host:
            tour(host, sys.argv[1], sys.argv[2], sys.argv[3:])
    except HostDidNotStart as error:
        sys.exit(f"run.sh: {error}")
    except (TimeoutError, subprocess.TimeoutExpired) as error:
        sys.exit(f"run.sh: {error}")


if __name__ == "__main__":
    main()
