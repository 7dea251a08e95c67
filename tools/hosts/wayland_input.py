# A pointer and a keyboard for KWin's virtual backend, which has no input device of its own and
# no package to drive its org_kde_kwin_fake_input: a client that speaks the Wayland wire protocol
# on KWin's socket. Every action ends with a roundtrip, so KWin has received it before the caller
# looks.

import os
import socket
import struct

BUTTONS = {"left": 272, "right": 273, "middle": 274}  # Linux input event codes
KEYS = {"Escape": 1, "Tab": 15, "Return": 28, "space": 57}
PRESSED, RELEASED = 1, 0

# Opcodes: a request's or an event's index among its interface's requests or events, in the XMLs
# of wayland.xml (wl_display v1, wl_registry v1, wl_callback v1) and plasma-wayland-protocols'
# fake-input.xml (org_kde_kwin_fake_input v4).
DISPLAY = 1  # the wl_display object's fixed id
SYNC, GET_REGISTRY = 0, 1  # wl_display requests
ERROR = 0  # wl_display event: object_id, code, message
BIND = 0  # wl_registry request: name, then an untyped new_id (interface, version, id)
GLOBAL = 0  # wl_registry event: name, interface, version
AUTHENTICATE, FAKE_BUTTON, FAKE_MOTION_ABSOLUTE, KEYBOARD_KEY = 0, 2, 9, 10  # fake input v4


class CompositorError(RuntimeError):
    """The compositor closed the connection or refused a request."""


def string(body, offset):
    # A wire string at offset, and the offset after it: its length with the terminating NUL,
    # the bytes, padding to 4.
    end = offset + 4 + struct.unpack_from("=I", body, offset)[0]
    return body[offset + 4:end - 1].decode(errors="replace"), end + -end % 4


class VirtualInput:
    def __init__(self, host):
        self.last_id, self.globals = DISPLAY, {}
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            self.socket.connect(os.path.join(host.env["XDG_RUNTIME_DIR"],
                                             host.env["WAYLAND_DISPLAY"]))
            self.registry = self.send(DISPLAY, GET_REGISTRY, self.new_id())
            self.roundtrip()
            if self.globals.get("org_kde_kwin_fake_input", (0, 0))[1] < 4:
                raise CompositorError("the compositor offers no fake input")
            self.fake = self.bind("org_kde_kwin_fake_input", 4)
            # KWin 5.27 grants every client that asks; before that, it drops its events.
            self.send(self.fake, AUTHENTICATE, "tests", "headless desktop tests")
            self.roundtrip()  # the seat has its pointer before the first action
        except (OSError, CompositorError) as error:
            self.socket.close()
            raise host.did_not_start(f"no virtual input: {error}") from None

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

    def act(self, *request):
        self.send(self.fake, *request)
        self.roundtrip()

    def click(self, x, y, button="left"):
        self.act(FAKE_MOTION_ABSOLUTE, round(x) * 256, round(y) * 256)  # wl_fixed: 24.8
        for state in (PRESSED, RELEASED):
            self.act(FAKE_BUTTON, BUTTONS[button], state)

    def key(self, *keys):
        for key in keys:
            for state in (PRESSED, RELEASED):
                self.act(KEYBOARD_KEY, KEYS[key], state)
