# The program installed in a folder named with spaces and non-ASCII, beside a stand-in control
# script that records each verb with the controller's pid and answers with "<verb>.json" or
# "default.json" when there is one, else runs the demo service's own script beside it.

import json
import os
import shutil
import subprocess
import tempfile

from hosts.base import wait_until

SCRIPT = r"""
const fs = require('fs');
fs.appendFileSync('verbs.log', `${process.ppid} ${process.argv[2]}\n`);
const canned = [process.argv[2], 'default'].map((name) => `${name}.json`).find(fs.existsSync);
if (canned) process.stdout.write(fs.readFileSync(canned));
else require('./demo-control-app.cjs');
"""


class Installation:
    def __init__(self, root, replies=None):
        self.dir = tempfile.mkdtemp(prefix="Quorvel Connect Ä ", dir=root)
        os.mkdir(f"{self.dir}/logs")
        shutil.copy2(os.environ["QUORVEL_CONNECT"], self.dir)
        demo = os.environ["QUORVEL_DEMO_SERVICE"]
        shutil.copy2(f"{demo}/control-app.cjs", f"{self.dir}/demo-control-app.cjs")
        shutil.copy2(f"{demo}/service.cjs", self.dir)
        files = {"control-app.cjs": SCRIPT, "verbs.log": "", **(replies or {})}
        for name, content in files.items():
            self.write(name, content)

    def write(self, name, content):
        with open(f"{self.dir}/{name}", "w", encoding="utf-8") as f:
            f.write(content if isinstance(content, str) else json.dumps(content))

    def remove(self, *names):
        for name in names:
            os.remove(f"{self.dir}/{name}")

    def stop_demo_service(self):
        subprocess.run(["node", "demo-control-app.cjs", "stop"], cwd=self.dir, capture_output=True,
                       timeout=20)

    def launch_in(self, host, *args):
        return host.spawn_program([f"{self.dir}/quorvel-connect", *args], cwd="/")

    def wait_for_status_after(self, verb):
        newest_first = lambda: self.verbs()[::-1]  # noqa: E731
        wait_until(lambda: "status" in newest_first()[:newest_first().index(verb)],
                   f"a status after the {verb}", 15)

    def verbs(self, pid=None):
        with open(f"{self.dir}/verbs.log", encoding="utf-8") as log:
            return [verb for who, verb in map(str.split, log) if pid in (None, int(who))]
