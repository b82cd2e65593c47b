#!/usr/bin/python3
"""Plays a winning row of the game through the accessibility bus alone, as a screen reader
started after the game does: Tab moves the focus, press actions choose colours and place pegs, and the names and
their change events tell what happened. No mouse event and no other key reaches the game.
Everything runs on a private X server with private session and accessibility buses.

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
for tool in ("Xvfb", "dbus-daemon", "xdotool"):
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

    told = []  # names carried by name-change events, in order
    focus = []  # names of the controls that took the focus

    def listen(event):
        if event.type.startswith("object:property-change:accessible-name"):
            told.append(event.source.name)
        elif event.type.startswith("object:state-changed:focused") and event.detail1:
            focus.append(event.source.name)

    pyatspi.Registry.registerEventListener(
        listen, "object:property-change:accessible-name", "object:state-changed:focused")
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

    def press(name):
        node = control(name)
        told.clear()
        check(node.getRole() == pyatspi.ROLE_PUSH_BUTTON, f"{name}: not a button")
        action = node.queryAction()
        check(action.nActions == 1 and action.getName(0) == "Press", f"{name}: no single press")
        action.doAction(0)
        return node

    def hear(name):
        wait_for(f"a name change to {name!r}", lambda: name in told)

    check(control("Row 3: 0 black, 0 white").queryAction().nActions == 0,
          "a feedback box offers an action")
    check(control("Answer, hole 1: hidden"), "the hidden answer is named")

    # Tab alone: the reveal box, then the palette, each told with its name.
    subprocess.run(["xdotool", "windowfocus", "--sync", window], env=env, check=True)
    check(orca.after(["Korvanda frame", "Command1 push button"]), "Orca did not tell the window")
    for expected in ("Reveal code", "Red peg", "Yellow peg"):
        subprocess.run(["xdotool", "key", "Tab"], env=env, check=True)
        wait_for(f"the focus on {expected!r}", lambda: focus and focus[-1] == expected)

    # The reveal box tells the secret only while it holds the code.
    reveal = control("Reveal code").queryEditableText()
    reveal.setTextContents("tiv33vit")
    secret = [wait_for(f"answer hole {place}", lambda: next(
        (m.group(1) for m in (re.fullmatch(rf"Answer, hole {place}: (red|yellow|green|blue)",
                                           node.name or "") for node in descendants(app)) if m),
        None)) for place in range(1, 5)]
    reveal.setTextContents("")
    control("Answer, hole 4: hidden")

    chosen = None
    for place, colour in enumerate(secret, start=1):
        if colour != chosen:
            press(f"{colour.capitalize()} peg")
            hear(f"{colour.capitalize()} peg, selected")
            chosen = colour
        pressed = press(f"Row 1, hole {place}: empty")
        hear(f"Row 1, hole {place}: {colour}")
    hear("Row 1: 4 black, 0 white")
    hear("You guessed the pattern!!!")
    check("Row 1: 4 black, 0 white" in pressed.description,
          f"the last press told {pressed.description!r}")
    control(f"Answer, hole 1: {secret[0]}")
    print("ok: a winning row played through AT-SPI; heard:", "; ".join(told))


try:
    main()
except AssertionError as failure:
    print(f"FAIL: {failure}")
    sys.exit(1)
finally:
    stop_all()
