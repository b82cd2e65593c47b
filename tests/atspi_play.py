#!/usr/bin/python3
"""Plays a whole game by keys alone, as a blind player does with Orca started after the game:
Tab and Shift+Tab move the focus, Orca's left click (KP_Divide) presses a peg or a hole, and
after each key what Orca says must tell it once: each stop by a name of its own, the colour
chosen or placed, a row's marks, the result, the message boxes. The accessibility tree gives
the secret and the focus. Everything runs on a private X server with private session and
accessibility buses.

Usage: atspi_play.py GAME. Exits 77 (skipped) when a needed Debian package is absent."""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import orca_ears

SKIPPED = 77
WAIT = 30  # seconds; generous, only a hung bus ever takes that long
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

game = sys.argv[1]
for tool in ("Xvfb", "openbox", "dbus-daemon", "xdotool"):
    if not shutil.which(tool):
        print(f"SKIP: {tool} is not installed")
        sys.exit(SKIPPED)
if not orca_ears.installed():
    print("SKIP: orca is not installed")
    sys.exit(SKIPPED)
if not os.access(LAUNCHER, os.X_OK):
    print("SKIP: at-spi2-core is not installed")
    sys.exit(SKIPPED)
try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
except ImportError:
    print("SKIP: python3-pyatspi is not installed")
    sys.exit(SKIPPED)

COLOURS = ("red", "yellow", "green", "blue")
HOW_TO_PLAY = ("Korvanda is a game based on logic.", "The positions of the boxes do not correspond")
groups = []
runtime = tempfile.mkdtemp(prefix="korvanda-atspi-")


def start(command, env=None, **options):
    process = subprocess.Popen(command, env=env, start_new_session=True,
                               stderr=subprocess.DEVNULL, **options)
    groups.append(process.pid)
    return process


def stop_all():
    for group in reversed(groups):
        try:
            os.killpg(group, signal.SIGTERM)
        except ProcessLookupError:
            pass
    shutil.rmtree(runtime, ignore_errors=True)


def wait_for(what, condition):
    deadline = time.monotonic() + WAIT
    while time.monotonic() < deadline:
        GLib.MainContext.default().iteration(False)
        found = condition()
        if found:
            return found
        time.sleep(0.02)
    raise AssertionError(f"timed out waiting for {what}")


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def bring_up():
    """A private X server, session bus and accessibility bus; returns the environment."""
    read_end, write_end = os.pipe()
    start(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0",
           "640x480x24"], pass_fds=[write_end])
    os.close(write_end)
    with os.fdopen(read_end) as display:
        number = display.readline().strip()
    check(number, "Xvfb did not start")
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address"],
                stdout=subprocess.PIPE, text=True)
    env = dict(os.environ, DISPLAY=f":{number}", XDG_RUNTIME_DIR=runtime,
               DBUS_SESSION_BUS_ADDRESS=bus.stdout.readline().strip(), QT_QPA_PLATFORM="xcb")
    for variable in ("AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY", "QT_ACCESSIBILITY"):
        env.pop(variable, None)
    # The bus launcher registers org.a11y.Bus with accessibility off, as on a desktop where no
    # screen reader runs yet; the registry daemon is started on demand by the accessibility bus.
    start([LAUNCHER, "--launch-immediately", "--a11y=0"], env=env, stdout=subprocess.DEVNULL)
    # A window manager gives the board back the keys when a message box closes.
    managing = os.path.join(runtime, "managing")
    start(["openbox", "--sm-disable", "--startup", f"touch {managing}"],
          env=dict(env, HOME=runtime, XDG_CONFIG_HOME=runtime), stdout=subprocess.DEVNULL)
    wait_for("openbox", lambda: os.path.exists(managing))
    os.environ.update(env)
    return env


def descendants(root):
    found = []
    pending = [root]
    while pending:
        node = pending.pop()
        found.append(node)
        pending.extend(node[i] for i in range(node.childCount))
    return found


def main():
    env = bring_up()
    import pyatspi  # reads the environment of the private buses

    focus = []  # names of the controls that took the focus

    def listen(event):
        if event.detail1:
            focus.append(event.source.name)

    pyatspi.Registry.registerEventListener(listen, "object:state-changed:focused")
    player = start([game], env=env, stdout=subprocess.DEVNULL)
    window = wait_for("the game's window", lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--pid", str(player.pid)], env=env,
        capture_output=True, text=True).stdout.split())[0]
    # The screen reader starts after the game, and switches accessibility on.
    subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "/org/a11y/bus",
                    "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                    "string:IsEnabled", "variant:boolean:true"], env=env, check=True)

    orca = orca_ears.Orca(env, runtime, start)
    desktop = pyatspi.Registry.getDesktop(0)

    def application():
        for i in range(desktop.childCount):
            app = desktop[i]
            if app is not None and app.name == "Korvanda" and app.childCount:
                return app
        return None

    app = wait_for("the game on the accessibility bus", application)

    def control(name):
        return wait_for(name, lambda: next(
            (node for node in descendants(app) if node.name == name), None))

    def key(name, *expected, focus_to=None):
        """Presses a key; Orca must then say each expected text once, and say nothing twice."""
        orca.said()
        focused = len(focus)
        subprocess.run(["xdotool", "key", name], env=env, check=True)
        if focus_to is not None:
            wait_for(f"the focus to move on {name}", lambda: len(focus) > focused and focus[-1])
            check(focus[-1] == focus_to, f"{name} went to {focus[-1]!r}, not {focus_to!r}")
            expected += (focus_to,)
        spoken = orca.after(expected, settle=0.5)
        check(spoken is not None, f"after {name} Orca did not say all of {expected}: "
              f"{orca.spoken[-6:]}")
        for text in expected:
            times = sum(text in line for line in spoken)
            check(times == 1, f"after {name} Orca said {text!r} {times} times: {spoken}")
        repeated = {line for line in spoken if spoken.count(line) > 1}
        check(not repeated, f"after {name} Orca said {repeated} twice: {spoken}")
        return spoken

    stops = ["Reveal code"] + [f"{c.capitalize()} peg" for c in COLOURS]
    for row in range(1, 9):
        stops += [f"Row {row}, hole {place}: empty" for place in range(1, 5)]
        stops += [f"Row {row}, box {box}: 0 black, 0 white" for box in range(1, 5)]
    at = -1  # the stop that has the focus, -1 for Command1

    def go(stop):
        """Tabs to the stop whose name begins with stop, hearing each stop on the way."""
        nonlocal at
        target = next(i for i, name in enumerate(stops) if name.startswith(stop))
        while at != target:
            step = 1 if target > at else -1
            at += step
            key("Tab" if step > 0 else "shift+Tab", focus_to=stops[at])

    def press(*expected):
        key("KP_Divide", *expected)

    check(control("Row 3, box 1: 0 black, 0 white").queryAction().nActions == 0,
          "a feedback box offers an action")
    check(control("Answer, hole 1: hidden"), "the hidden answer is named")

    subprocess.run(["xdotool", "windowfocus", "--sync", window], env=env, check=True)

    # The reveal box tells the secret only while it holds the code; it is given the code
    # over AT-SPI, away from the focus, so that Orca has nothing to say.
    reveal = control("Reveal code").queryEditableText()
    reveal.setTextContents("tiv33vit")
    secret = [wait_for(f"answer hole {place}", lambda: next(
        (m.group(1) for m in (re.fullmatch(rf"Answer, hole {place}: ({'|'.join(COLOURS)})",
                                           node.name or "") for node in descendants(app)) if m),
        None)) for place in range(1, 5)]
    reveal.setTextContents("")
    control("Answer, hole 4: hidden")

    # The first row: one colour four times, which the secret holds fewest times.
    miss = min(COLOURS, key=secret.count)
    rows = [[miss] * 4, secret]
    chosen = None
    for row, guess in enumerate(rows, start=1):
        for place, colour in enumerate(guess, start=1):
            peg = f"{colour.capitalize()} peg"
            if colour != chosen:
                go(peg)
                press(f"{peg}, selected")
                stops[at] = f"{peg}, selected"
                if chosen:
                    stops[stops.index(f"{chosen.capitalize()} peg, selected")] = \
                        f"{chosen.capitalize()} peg"
                chosen = colour
            go(f"Row {row}, hole {place}:")
            filled = f"Row {row}, hole {place}: {colour}"
            if place < 4:
                press(filled)
            else:
                black = sum(g == c for g, c in zip(guess, secret))
                white = sum(min(guess.count(c), secret.count(c)) for c in COLOURS) - black
                marks = f"{black} black, {white} white"
                press(filled, f"Row {row}: {marks}", *(
                    ["You guessed the pattern!!!", f"Answer, hole 1: {secret[0]}"]
                    if black == 4 else []))
                for box in range(1, 5):
                    stops[stops.index(f"Row {row}, box {box}: 0 black, 0 white")] = \
                        f"Row {row}, box {box}: {marks}"
            stops[at] = filled
    # Where Am I tells the hole once.
    key("KP_Enter", stops[at])

    # Each box is read once, whole; when it closes the focus is back where it was.
    for shortcut, texts in (("ctrl+h", ("How to Play...", *HOW_TO_PLAY)),
                            ("ctrl+a", ("About...", "This program was created by:"))):
        key(shortcut, *texts, "OK")
        key("Return", stops[at])
    print("ok: a whole game played by keys, each change heard once from Orca")


try:
    main()
except AssertionError as failure:
    print(f"FAIL: {failure}")
    sys.exit(1)
finally:
    stop_all()
