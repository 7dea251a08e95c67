# A pointer and a keyboard for a wlroots session with no input device: a small
# zwlr_virtual_pointer_v1 client of ours, and wtype, both kept for the whole session, since a client
# that sees the seat's keyboard come and go with each key typed misses the keys.

import os
import shutil
import subprocess

BUTTONS = {"left": 272, "right": 273, "middle": 274}  # Linux input event codes


class VirtualInput:
    def __init__(self, host, width, height, keyboard=True):
        self.host = host
        built = shutil.which(os.environ.get("QUORVEL_VIRTUAL_POINTER", "virtual_pointer"))
        if not built:
            raise host.did_not_start("no virtual pointer: build the virtual_pointer target and "
                                     "name it in QUORVEL_VIRTUAL_POINTER")
        # A copy the session's user may run, wherever the build folder is.
        self.pointer = host.serve("virtual-pointer", [shutil.copy(built, host.root), str(width),
                                                       str(height)],
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        if keyboard:  # KWin has no virtual keyboard: its fake input, in the pointer client, types
            host.serve("virtual-keyboard", ["wtype", "-s", "3600000"])  # an hour, then it exits

    def do(self, *commands):
        process = self.pointer.process
        for command in commands:
            process.stdin.write(f"{command}\n".encode())
            process.stdin.flush()
            answer = process.stdout.readline().decode().strip()
            if answer != "ok":
                raise RuntimeError(f"the virtual pointer answered {answer!r} to {command!r}")

    def move(self, x, y):
        self.do(f"move {round(x)} {round(y)}")

    def click(self, x, y, button="left"):
        # Hover first: GTK menus take a click only on the row the pointer has entered.
        self.move(x, y)
        self.do(f"press {BUTTONS[button]}", f"release {BUTTONS[button]}")

    def key(self, *keys):
        argv = ["wtype"]
        for key in keys:
            argv += ["-k", key]
        subprocess.run(argv, env=self.host.env, check=True, capture_output=True, timeout=10,
                       **self.host.as_user())
