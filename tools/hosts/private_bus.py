# A session bus open to the test, which runs as root, where the session runs as a test user:
# a plain session bus admits its own user only.

import os

BUS_CONFIG = """<busconfig>
  <type>session</type>
  <listen>unix:path=%s</listen>
  <auth>EXTERNAL</auth>
  <standard_session_servicedirs/>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
"""


def start_private_bus(host):
    # Starts it in the host's folder and returns its address once it listens. It activates
    # services with the host's environment.
    socket = os.path.join(host.root, "session-bus")
    with open(f"{socket}.conf", "w") as f:
        f.write(BUS_CONFIG % socket)
    host.serve("session-bus", ["dbus-daemon", "--nofork", "--nopidfile",
                               f"--config-file={socket}.conf"])
    host.until_ready(lambda: os.path.exists(socket), "the session bus")
    return f"unix:path={socket}"
