# A pointer and a keyboard for a headless compositor, which has no input device of its own: a
# client that speaks the Wayland wire protocol on the compositor's socket, with wlroots'
# zwlr_virtual_pointer_v1 on sway and KWin's org_kde_kwin_fake_input on Plasma. Every action ends
# with a roundtrip, so the compositor has received it before the caller looks. sway's keyboard is
# wtype, kept for the whole session, since a client that sees the seat's keyboard come and go with
# each key typed misses the keys; KWin's fake input types keys itself.

import os
import socket
import struct
import subprocess
import time

BUTTONS = {"left": 272, "right": 273, "middle": 274}  # Linux input event codes
KEYS = {"Escape": 1, "Tab": 15, "Return": 28, "space": 57}  # for KWin, also Linux codes
PRESSED, RELEASED = 1, 0  # wl_pointer.button_state

# Opcodes: a request's or an event's index among its interface's requests or events, in the XMLs
# of wayland.xml (wl_display v1, wl_registry v1, wl_callback v1), wlroots'
# wlr-virtual-pointer-unstable-v1.xml (zwlr_virtual_pointer_manager_v1 v1, zwlr_virtual_pointer_v1
# v1) and plasma-wayland-protocols' fake-input.xml (org_kde_kwin_fake_input v4).
DISPLAY = 1  # the wl_display object's fixed id
SYNC, GET_REGISTRY = 0, 1  # wl_display requests
ERROR = 0  # wl_display event: object_id, code, message
BIND = 0  # wl_registry request: name, then an untyped new_id (interface, version, id)
GLOBAL = 0  # wl_registry event: name, interface, version
CREATE_VIRTUAL_POINTER = 0  # zwlr_virtual_pointer_manager_v1: seat, id
MOTION_ABSOLUTE, BUTTON, FRAME = 1, 2, 4  # zwlr_virtual_pointer_v1
AUTHENTICATE, FAKE_BUTTON, FAKE_MOTION_ABSOLUTE, KEYBOARD_KEY = 0, 2, 9, 10  # fake input v4


class CompositorError(RuntimeError):
    """The compositor closed the connection or refused a request."""


def string(body, offset):
    # A wire string at offset, and the offset after it: its length with the terminating NUL,
    # the bytes, padding to 4.
    end = offset + 4 + struct.unpack_from("=I", body, offset)[0]
    return body[offset + 4:end - 1].decode(errors="replace"), end + -end % 4


def now_ms():
    # Real milliseconds: clients such as waybar compare a release with its press.
    return time.monotonic_ns() // 1_000_000


class VirtualInput:
    def __init__(self, host, width, height):
        self.host, self.extents, self.last_id, self.globals = host, (width, height), DISPLAY, {}
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            self.socket.connect(os.path.join(host.env["XDG_RUNTIME_DIR"],
                                             host.env["WAYLAND_DISPLAY"]))
            self.registry = self.send(DISPLAY, GET_REGISTRY, self.new_id())
            self.roundtrip()
            if "zwlr_virtual_pointer_manager_v1" in self.globals:
                manager = self.bind("zwlr_virtual_pointer_manager_v1", 1)
                self.pointer = self.send(manager, CREATE_VIRTUAL_POINTER, self.bind("wl_seat", 1),
                                         self.new_id())
            elif self.globals.get("org_kde_kwin_fake_input", (0, 0))[1] >= 4:
                self.pointer, self.fake = None, self.bind("org_kde_kwin_fake_input", 4)
                # KWin 5.27 grants every client that asks; before that, it drops its events.
                self.send(self.fake, AUTHENTICATE, "tests", "headless desktop tests")
            else:
                raise CompositorError("the compositor offers no virtual pointer")
            self.roundtrip()  # the seat has its pointer before the first action
        except (OSError, CompositorError) as error:
            self.socket.close()
            raise host.did_not_start(f"no virtual input: {error}") from None
        if self.pointer:
            host.serve("virtual-keyboard", ["wtype", "-s", "3600000"])  # an hour, then it exits

    def new_id(self):
        self.last_id += 1  # the compositor takes a client's new ids only in sequence
        return self.last_id

    def send(self, target, opcode, *args):
        # A request: the target's id, the message's size and the opcode, then each argument, a
        # 32-bit int (wrapping, as timestamps do) or a string. Returns the last, where a new id is.
        body = b""
        for arg in args:
            if isinstance(arg, str):
                data = arg.encode() + b"\0"
                body += struct.pack("=I", len(data)) + data + b"\0" * (-len(data) % 4)
            else:
                body += struct.pack("=I", arg & 0xFFFFFFFF)
        try:
            self.socket.sendall(struct.pack("=II", target, (8 + len(body)) << 16 | opcode) + body)
        except OSError:
            self.dispatch(None)  # raises the error the compositor sent before it closed, if any
        return args[-1] if args else None

    def bind(self, interface, version):
        name = self.globals[interface][0]
        return self.send(self.registry, BIND, name, interface, version, self.new_id())

    def receive(self, size):
        data = b""
        while len(data) < size:
            try:
                chunk = self.socket.recv(size - len(data))
            except OSError:
                chunk = b""
            if not chunk:
                raise CompositorError("the compositor closed the connection")
            data += chunk
        return data

    def roundtrip(self):
        # Waits until the compositor has handled every request sent: until it has answered a
        # wl_display.sync sent after them.
        self.dispatch(self.send(DISPLAY, SYNC, self.new_id()))

    def dispatch(self, callback):
        # Reads events until the callback is done, raising wl_display.error; keeps the
        # registry's globals, the first of each kind.
        while True:
            sender, word = struct.unpack("=II", self.receive(8))
            body, opcode = self.receive((word >> 16) - 8), word & 0xFFFF
            if sender == DISPLAY and opcode == ERROR:
                target, code = struct.unpack_from("=II", body)
                raise CompositorError(f"protocol error {code} on object {target}: "
                                      f"{string(body, 8)[0]}")
            if sender == self.registry and opcode == GLOBAL:
                interface, offset = string(body, 4)
                self.globals.setdefault(interface, (struct.unpack_from("=I", body)[0],
                                                    struct.unpack_from("=I", body, offset)[0]))
            if sender == callback:  # wl_callback's one event, done
                return

    def act(self, request):
        # Sends a request, ended by a pointer frame on wlroots, and waits for the compositor.
        self.send(*request)
        if self.pointer:
            self.send(self.pointer, FRAME)
        self.roundtrip()

    def move(self, x, y):
        x, y = round(x), round(y)
        self.act((self.pointer, MOTION_ABSOLUTE, now_ms(), x, y, *self.extents) if self.pointer
                 else (self.fake, FAKE_MOTION_ABSOLUTE, x * 256, y * 256))  # wl_fixed: 24.8

    def tap(self, code):
        # Presses and releases a button or, on KWin, a key (a code below 256).
        for state in (PRESSED, RELEASED):
            self.act((self.pointer, BUTTON, now_ms(), code, state) if self.pointer
                     else (self.fake, FAKE_BUTTON if code >= 256 else KEYBOARD_KEY, code, state))

    def click(self, x, y, button="left"):
        # Hover first: GTK menus take a click only on the row the pointer has entered.
        self.move(x, y)
        self.tap(BUTTONS[button])

    def key(self, *keys):
        if not self.pointer:
            for key in keys:
                self.tap(KEYS[key])
            return
        argv = ["wtype"]
        for key in keys:
            argv += ["-k", key]
        subprocess.run(argv, env=self.host.env, check=True, capture_output=True, timeout=10,
                       **self.host.as_user())
