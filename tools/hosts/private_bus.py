# A bus of a host's own, open to the test: the test runs as root, a session may run as a test
# user.

import os

BUS_CONFIG = """<busconfig>
  <type>%s</type>
  <listen>unix:path=%s</listen>
  <auth>EXTERNAL</auth>
  %s
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
"""


def start_private_bus(host, kind):
    # Starts a dbus-daemon of `kind` ("session" or "system") in the host's folder and returns its
    # address once it listens. A session bus activates services with the host's environment.
    socket = os.path.join(host.root, f"{kind}-bus")
    config = f"{socket}.conf"
    services = "<standard_session_servicedirs/>" if kind == "session" else ""
    with open(config, "w") as f:
        f.write(BUS_CONFIG % (kind, socket, services))
    host.serve(f"{kind}-bus", ["dbus-daemon", "--nofork", "--nopidfile", f"--config-file={config}"])
    host.until_ready(lambda: os.path.exists(socket), f"the {kind} bus")
    return f"unix:path={socket}"
