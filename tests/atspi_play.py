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
import subprocess
import sys

import orca_ears

SKIPPED = 77

game = sys.argv[1]
if orca_ears.missing():
    print(f"SKIP: {orca_ears.missing()} is not installed")
    sys.exit(SKIPPED)
try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
except ImportError:
    print("SKIP: python3-pyatspi is not installed")
    sys.exit(SKIPPED)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def descendants(root):
    found = []
    pending = [root]
    while pending:
        node = pending.pop()
        found.append(node)
        pending.extend(node[i] for i in range(node.childCount))
    return found


def main(session):
    os.environ.update(session.env)
    import pyatspi  # reads the environment of the private buses

    focus = []  # names of the controls that took the focus

    def listen(event):
        if event.detail1:
            focus.append(event.source.name)

    def wait_for(what, condition):
        return orca_ears.wait_for(what, lambda: (GLib.MainContext.default().iteration(False),
                                                 condition())[1])

    def focused():
        GLib.MainContext.default().iteration(False)
        return focus[-1] if focus else None

    pyatspi.Registry.registerEventListener(listen, "object:state-changed:focused")
    player = session.start([game], env=session.env, stdout=subprocess.DEVNULL)
    window = wait_for("the game's window", lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--pid", str(player.pid)], env=session.env,
        capture_output=True, text=True).stdout.split())[0]
    # The screen reader starts after the game, and switches accessibility on.
    session.enable_accessibility()
    orca = orca_ears.Orca(session)
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

    check(control("Row 3, box 1: 0 black, 0 white").queryAction().nActions == 0,
          "a feedback box offers an action")
    check(control("Answer, hole 1: hidden"), "the hidden answer is named")

    subprocess.run(["xdotool", "windowfocus", "--sync", window], env=session.env, check=True)

    # The reveal box tells the secret only while it holds the code; it is given the code
    # over AT-SPI, away from the focus, so that Orca has nothing to say.
    reveal = control("Reveal code").queryEditableText()
    reveal.setTextContents("tiv33vit")
    colours = "|".join(orca_ears.COLOURS)
    secret = [wait_for(f"answer hole {place}", lambda: next(
        (m.group(1) for m in (re.fullmatch(rf"Answer, hole {place}: ({colours})",
                                           node.name or "") for node in descendants(app)) if m),
        None)) for place in range(1, 5)]
    reveal.setTextContents("")
    control("Answer, hole 4: hidden")

    orca_ears.Player(session, orca, focused).play(secret, "KP_Divide", "KP_Divide")
    print("ok: a whole game played by keys, each change heard once from Orca")


session = orca_ears.Session()
try:
    main(session)
except AssertionError as failure:
    print(f"FAIL: {failure}")
    sys.exit(1)
finally:
    session.stop()
