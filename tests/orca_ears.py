"""A real Orca, with its default settings, in a private session that the caller has set up
(X server, session bus, accessibility bus): what it says is read from its debug output, and
no sound device is needed."""

import os
import re
import shutil
import subprocess
import threading
import time
import tty

# An utterance in Orca's debug output, whose lines after the first are indented; it ends
# where the voice follows.
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*)'(?: ?\{| voice=)", re.DOTALL)


def installed():
    return shutil.which("orca") is not None


class Orca:
    def __init__(self, env, folder, start):
        """Starts Orca with start(command, env=..., **options), which the caller stops, and
        waits until it is ready."""
        home = os.path.join(folder, "orca-home")
        os.makedirs(home)
        # Settings of this user live under HOME and the XDG folders: none are read.
        env = dict(env, HOME=home, XDG_CONFIG_HOME=f"{home}/config",
                   XDG_DATA_HOME=f"{home}/data", XDG_CACHE_HOME=f"{home}/cache")
        # Orca writes its debug output line by line only to a terminal. Its end stays open
        # here too, so that the terminal does not hang up before Orca opens it.
        reader, self.terminal = os.openpty()
        tty.setraw(self.terminal)
        start(["orca", "--debug-file", os.ttyname(self.terminal)], env=env,
              stdout=subprocess.DEVNULL)
        self.spoken = []
        self.heard = 0
        threading.Thread(target=self._listen, args=(reader,), daemon=True).start()
        if not self.after(["Screen reader on."]):
            raise AssertionError("Orca did not start")

    def _listen(self, reader):
        pending = b""
        utterance = None
        while True:
            try:
                chunk = os.read(reader, 65536)
            except OSError:
                return
            if not chunk:
                return
            *lines, pending = (pending + chunk).split(b"\n")
            for line in lines:
                line = line.decode(errors="replace")
                if "SPEECH OUTPUT: '" in line:
                    utterance = line
                elif utterance is not None:
                    utterance += "\n" + line.strip()
                found = utterance and SPOKEN.search(utterance)
                if found:
                    self.spoken.append(found.group(1))
                    utterance = None

    def said(self):
        """What Orca said since the last call."""
        new, self.heard = self.spoken[self.heard:], len(self.spoken)
        return new

    def after(self, expected, wait=30, settle=1.0):
        """What Orca says until each text of expected has been said, and for settle seconds
        more, so that a repetition is heard too; None when it does not say them all within
        wait seconds."""
        spoken = []
        deadline = time.monotonic() + wait
        while time.monotonic() < deadline:
            spoken += self.said()
            if all(any(text in line for line in spoken) for text in expected):
                time.sleep(settle)
                return spoken + self.said()
            time.sleep(0.1)
        return None
