"""A real Orca, with its default settings, in a private session (X server, session bus,
accessibility bus, window manager): what it says is read from its debug output, and no sound
device is needed. A player plays a whole game by keys alone and checks what Orca says after
each key, in the desktop program or in a browser."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import tty

WAIT = 30  # seconds; generous, only a hung bus ever takes that long
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
COLOURS = ("red", "yellow", "green", "blue")
HOW_TO_PLAY = ("How to Play...", "Korvanda is a game based on logic.",
               "The positions of the boxes do not correspond")
ABOUT = ("About...", "This program was created by:")

# An utterance in Orca's debug output, whose lines after the first are indented; it ends
# where the voice follows.
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*)'(?: ?\{| voice=)", re.DOTALL)


def missing():
    """What the session and Orca need that is not installed, or None."""
    for tool in ("Xvfb", "openbox", "dbus-daemon", "xdotool", "orca"):
        if not shutil.which(tool):
            return tool
    return None if os.access(LAUNCHER, os.X_OK) else "at-spi2-core"


def poll(condition, seconds=WAIT, step=0.02):
    """condition()'s first true value within seconds, or None."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(step)
    return None


def wait_for(what, condition):
    found = poll(condition)
    if not found:
        raise AssertionError(f"timed out waiting for {what}")
    return found


class Session:
    """A private X server, session bus and accessibility bus, with accessibility off as on a
    desktop where no screen reader runs yet, and a window manager, which gives each new
    window the keys. start() runs a process in it; stop() ends them all."""

    def __init__(self, screen="640x480x24"):
        self.groups = []
        self.runtime = tempfile.mkdtemp(prefix="korvanda-atspi-")
        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0",
                    screen], pass_fds=[write_end])
        os.close(write_end)
        with os.fdopen(read_end) as display:
            self.display = ":" + display.readline().strip()
        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address"],
                         stdout=subprocess.PIPE, text=True)
        self.env = dict(os.environ, DISPLAY=self.display, XDG_RUNTIME_DIR=self.runtime,
                        DBUS_SESSION_BUS_ADDRESS=bus.stdout.readline().strip(),
                        QT_QPA_PLATFORM="xcb")
        for variable in ("AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY", "QT_ACCESSIBILITY"):
            self.env.pop(variable, None)
        # The registry daemon is started on demand by the accessibility bus.
        self.start([LAUNCHER, "--launch-immediately", "--a11y=0"], env=self.env,
                   stdout=subprocess.DEVNULL)
        managing = os.path.join(self.runtime, "managing")
        self.start(["openbox", "--sm-disable", "--startup", f"touch {managing}"],
                   env=dict(self.env, HOME=self.runtime, XDG_CONFIG_HOME=self.runtime),
                   stdout=subprocess.DEVNULL)
        wait_for("openbox", lambda: os.path.exists(managing))

    def start(self, command, env=None, **options):
        process = subprocess.Popen(command, env=env, start_new_session=True,
                                   stderr=subprocess.DEVNULL, **options)
        self.groups.append(process)
        return process

    def enable_accessibility(self):
        """Switches accessibility on, as a screen reader's start does."""
        subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "/org/a11y/bus",
                        "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                        "string:IsEnabled", "variant:boolean:true"], env=self.env, check=True)

    def key(self, keys):
        """Presses keys such as ctrl+h as a player does: the modifiers first, released last.
        (xdotool's own key releases them first, and Orca takes the letter alone.)"""
        names = keys.split("+")
        subprocess.run(["xdotool", *(a for n in names for a in ("keydown", n)),
                        *(a for n in reversed(names) for a in ("keyup", n))],
                       env=self.env, check=True)

    def stop(self):
        for process in reversed(self.groups):
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            # Orca will not start while another, even one not yet reaped, is there.
            try:
                process.wait(WAIT)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        shutil.rmtree(self.runtime, ignore_errors=True)


class Orca:
    def __init__(self, session):
        """Starts Orca in the session, which stops it, and waits until it is ready."""
        home = os.path.join(session.runtime, "orca-home")
        os.makedirs(home)
        # Settings of this user live under HOME and the XDG folders: none are read.
        env = dict(session.env, HOME=home, XDG_CONFIG_HOME=f"{home}/config",
                   XDG_DATA_HOME=f"{home}/data", XDG_CACHE_HOME=f"{home}/cache")
        # Orca writes its debug output line by line only to a terminal. Its end stays open
        # here too, so that the terminal does not hang up before Orca opens it.
        reader, self.terminal = os.openpty()
        tty.setraw(self.terminal)
        session.start(["orca", "--debug-file", os.ttyname(self.terminal)], env=env,
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

    def after(self, expected, wait=WAIT, settle=1.0):
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


class Player:
    """Plays by keys, as a blind player does, in the session's window that has the keys;
    focused() names the control that has the focus."""

    def __init__(self, session, orca, focused):
        self.session, self.orca, self.focused = session, orca, focused
        self.stops = ["Reveal code"] + [f"{c.capitalize()} peg" for c in COLOURS]
        for row in range(1, 9):
            self.stops += [f"Row {row}, hole {place}: empty" for place in range(1, 5)]
            self.stops += [f"Row {row}, box {box}: 0 black, 0 white" for box in range(1, 5)]
        self.at = -1  # the stop that has the focus; -1 before the first

    def key(self, name, *expected, focus_to=None):
        """Presses a key; Orca must then say each expected text once, and say nothing twice,
        and the focus must land on the control named focus_to, which Orca says too."""
        self.orca.said()
        self.session.key(name)
        if focus_to is not None:
            poll(lambda: self.focused() == focus_to)
            landed = self.focused()
            if landed != focus_to:
                raise AssertionError(f"{name} went to {landed!r}, not {focus_to!r}")
            expected += (focus_to,)
        spoken = self.orca.after(expected, settle=0.5)
        if spoken is None:
            raise AssertionError(f"after {name} Orca did not say all of {expected}: "
                                 f"{self.orca.spoken[-6:]}")
        for text in expected:
            times = sum(text in line for line in spoken)
            if times != 1:
                raise AssertionError(f"after {name} Orca said {text!r} {times} times: {spoken}")
        repeated = {line for line in spoken if spoken.count(line) > 1}
        if repeated:
            raise AssertionError(f"after {name} Orca said {repeated} twice: {spoken}")

    def go(self, stop):
        """Tabs to the stop whose name begins with stop, hearing each stop on the way."""
        target = next(i for i, name in enumerate(self.stops) if name.startswith(stop))
        while self.at != target:
            step = 1 if target > self.at else -1
            self.at += step
            self.key("Tab" if step > 0 else "shift+Tab", focus_to=self.stops[self.at])

    def play(self, secret, press_peg, press_hole):
        """A whole game: a first row of the colour that the secret holds fewest times, so
        that it earns few marks or none, then the secret; each peg pressed with press_peg,
        each hole with press_hole. Then Where Am I, and both boxes, each read once, whole,
        closed with Enter, with the focus back where it was."""
        miss = min(COLOURS, key=secret.count)
        chosen = None
        for row, guess in enumerate([[miss] * 4, secret], start=1):
            for place, colour in enumerate(guess, start=1):
                peg = f"{colour.capitalize()} peg"
                if colour != chosen:
                    self.go(peg)
                    self.key(press_peg, f"{peg}, selected")
                    self.stops[self.at] = f"{peg}, selected"
                    if chosen:
                        before = f"{chosen.capitalize()} peg"
                        self.stops[self.stops.index(f"{before}, selected")] = before
                    chosen = colour
                self.go(f"Row {row}, hole {place}:")
                filled = f"Row {row}, hole {place}: {colour}"
                if place < 4:
                    self.key(press_hole, filled)
                else:
                    black = sum(g == c for g, c in zip(guess, secret))
                    white = sum(min(guess.count(c), secret.count(c)) for c in COLOURS) - black
                    marks = f"{black} black, {white} white"
                    self.key(press_hole, filled, f"Row {row}: {marks}", *(
                        ["You guessed the pattern!!!", f"Answer, hole 1: {secret[0]}"]
                        if black == 4 else []))
                    for box in range(1, 5):
                        self.stops[self.stops.index(f"Row {row}, box {box}: 0 black, 0 white")] \
                            = f"Row {row}, box {box}: {marks}"
                self.stops[self.at] = filled
        self.key("KP_Enter", self.stops[self.at])
        for shortcut, texts in (("ctrl+h", HOW_TO_PLAY), ("ctrl+a", ABOUT)):
            self.key(shortcut, *texts, "OK")
            self.key("Return", self.stops[self.at])
