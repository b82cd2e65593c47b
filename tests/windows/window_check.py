#!/usr/bin/python3
"""Starts Korvanda.exe under Wine on a private X server and checks it from outside, as a
player would meet it: the window and its client area, the board drawn, a row played by
clicks and scored, and the menu shortcuts with the focus on Command1 and in the reveal box.

Usage: window_check.py KORVANDA_EXE SHOT_DIR WINDOW_STYLES_EXE. Needs Xvfb, openbox,
xdotool, xwininfo, ImageMagick and scripts/wine-run. Screenshots of each step go to
SHOT_DIR; WINDOW_STYLES_EXE reads the window's styles as Windows keeps them."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
WINE_RUN = ROOT / "scripts" / "wine-run"
CLIENT = (261, 438)
BACKGROUND = (224, 224, 224)
GROUND = (80, 91, 97)
PEGS = {1: (252, 0, 25), 2: (252, 248, 0), 3: (35, 255, 0), 4: (0, 27, 251)}
BLACK, WHITE, BLANK = (0, 0, 0), (253, 252, 255), (181, 181, 181)
REVEAL_CODE = "tiv33vit"
# The window styles of a fixed single border with a caption, a system menu and a
# minimize box, and no sizing border or maximize box.
WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00020000, 0x00010000
failures = []
passed = 0


def check(ok, what):
    global passed
    passed += 1 if ok else 0
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


# Positions in the client area, in pixels, as the board is laid out.
def hole(column, row):
    left = 24 * (5 - column)
    return (40 + left, 8) if row == 0 else (left, 392 - 40 * (row - 1))


def centre(rect_origin):
    return rect_origin[0] + 13, rect_origin[1] + 13


def palette(code):
    return 221, 40 + 32 * (code - 1)


def feedback_inner(box):
    row, place = box // 4 + 1, box % 4
    return 128 + 16 * (place % 2) + 4, 392 - 40 * (row - 1) + 16 * (place // 2) + 4


def score(secret, guess):
    black = sum(s == g for s, g in zip(secret, guess))
    common = sum(min(secret.count(c), guess.count(c)) for c in PEGS)
    return black, common - black


class Display:
    """A private X server, on the first free display, large enough for the window at twice
    the scale."""

    def __init__(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            self.name = ":" + pipe.readline().strip()

    def stop(self):
        self.xvfb.terminate()
        self.xvfb.wait()


class Screen:
    def __init__(self, shots):
        self.shots = shots
        self.server = Display()
        self.display = self.server.name
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.game = None
        self.window = None
        # A window manager gives the focus to each new window, as on a desktop.
        self.home = tempfile.mkdtemp(prefix="korvanda-wine-")
        managing = Path(self.home) / "managing"
        self.wm = subprocess.Popen(
            ["openbox", "--sm-disable", "--startup", f"touch {managing}"],
            env=dict(self.env, HOME=self.home, XDG_CONFIG_HOME=self.home),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not managing.exists() and time.monotonic() < deadline:
            time.sleep(0.05)

    def run(self, *args):
        return subprocess.run(args, env=self.env, check=True, capture_output=True,
                              text=True).stdout

    def start(self, exe, scale="1"):
        self.game = subprocess.Popen([str(WINE_RUN), exe],
                                     env=dict(self.env, QT_SCALE_FACTOR=scale))
        self.window = self.find(" Korvanda", 90)
        time.sleep(2)  # lets Wine finish its first paint

    def find(self, title, seconds=20):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                    "^" + re.escape(title) + "$"], env=self.env,
                                   capture_output=True, text=True).stdout.split()
            if found:
                return found[0]
            time.sleep(0.3)
        return None

    def gone(self, window, seconds=10):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            # A destroyed window makes xwininfo fail; an unmapped one is not viewable.
            info = subprocess.run(["xwininfo", "-id", window], env=self.env,
                                  capture_output=True, text=True)
            if info.returncode != 0 or "IsViewable" not in info.stdout:
                return True
            time.sleep(0.3)
        return False

    def geometry(self, window):
        info = self.run("xwininfo", "-id", window)
        field = lambda name: int(re.search(name + r":\s+(-?\d+)", info).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"))

    def shot(self, name):
        path = self.shots / (name + ".png")
        self.run("import", "-window", "root", str(path))
        ppm = subprocess.run(["convert", str(path), "ppm:-"], check=True,
                             capture_output=True).stdout
        header = ppm.split(b"\n", 3)
        width, height = map(int, header[1].split())
        return Image(width, height, header[3])

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "120", *keys)
        time.sleep(0.8)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "120", text)
        time.sleep(0.8)

    def click(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y), "click", "1")
        time.sleep(0.4)

    def stop(self):
        if self.game and self.game.poll() is None:
            self.game.kill()
        # Ends the Wine session of the game's prefix, and every process left in it; the web
        # check uses this screen for the Linux program on a machine that may have no Wine.
        prefix = os.environ.get("WINEPREFIX", str(ROOT / "build" / "windows" / "wine"))
        if shutil.which("wineserver"):
            subprocess.run(["wineserver", "-k"], env=dict(self.env, WINEPREFIX=prefix),
                           stderr=subprocess.DEVNULL)
        self.wm.terminate()
        self.server.stop()
        shutil.rmtree(self.home, ignore_errors=True)


class Image:
    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])


class Client:
    """The client area of the game's window in a screenshot."""

    def __init__(self, image, origin):
        self.image, self.origin = image, origin

    def at(self, point):
        return self.image.at(self.origin[0] + point[0], self.origin[1] + point[1])

    def colour_code(self, point):
        found = [code for code, rgb in PEGS.items() if self.at(point) == rgb]
        return found[0] if found else None


def check_board(client, label):
    lines_ok = all(client.at((20, 104 + 40 * j)) == BLACK for j in range(9)) and all(
        client.at((x, 300)) == BLACK for x in (16, 160))
    check(lines_ok, label + ": the eleven lines of the board")
    check(client.at((175, 300)) == BACKGROUND and client.at((5, 5)) == BACKGROUND,
          label + ": the window's back colour")
    pegs_ok = all(client.at(centre(palette(code))) == PEGS[code] and
                  client.at((palette(code)[0] + 2, palette(code)[1] + 2)) == GROUND
                  for code in PEGS)
    check(pegs_ok, label + ": the palette pegs")
    message = {client.at((x, y)) for x in range(16, 161) for y in range(40, 73)}
    check(BLACK in message and (0, 192, 0) in message, label + ": the message, green on black")


def client_origin(screen, label):
    x, y, width, height = screen.geometry(screen.window)
    menu_bar = height - CLIENT[1]
    check(width == CLIENT[0] and 15 <= menu_bar <= 40,
          f"{label}: the window is {width} x {height}: a {CLIENT[0]} x {CLIENT[1]} client "
          f"area below a menu bar {menu_bar} px high")
    return x, y + menu_bar


def read_row(client, row):
    return [client.colour_code(centre(hole(column, row))) for column in range(1, 5)]


def marks(client, row):
    found = [client.at(feedback_inner(4 * (row - 1) + place)) for place in range(4)]
    return found.count(BLACK), found.count(WHITE), found.count(BLANK)


def play_row(screen, origin, guess):
    """Clicks the palette and the holes of the current row, column by column."""
    for column, code in enumerate(guess, start=1):
        px, py = centre(palette(code))
        screen.click(origin[0] + px, origin[1] + py)
        hx, hy = centre(hole(column, 1))
        screen.click(origin[0] + hx, origin[1] + hy)
    time.sleep(0.5)


def check_window_styles(screen, reader):
    """The border, the title-bar buttons and the system menu as Windows keeps them, and a
    maximize and a new size, each asked for from outside and refused."""
    out = screen.run(str(WINE_RUN), reader, " Korvanda")
    read = {line.split()[0]: [int(v, 16) if line.startswith("style") else int(v)
                              for v in line.split()[1:]] for line in out.splitlines()}
    style = read["style"][0]
    check(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX) ==
          WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX and not style & WS_THICKFRAME and
          not style & WS_MAXIMIZEBOX, f"the window has a caption, a system menu and a minimize "
          f"box, and neither a sizing border nor a maximize box (style {style:08x})")
    check(read["sizeitem"] == [0], "its system menu offers no Size")
    client = read["client"]
    check(read["maximized"] == [0] + client, f"it refuses a maximize (client {client})")
    check(read["resized"] == client, f"it refuses a new size of 640 x 720: client {client}")
    return client


def message_box_opens_and_closes(screen, keys, title, where):
    screen.key(keys)
    box = screen.find(title, 15)
    if check(box is not None, f"{keys} with the focus {where} opens \"{title}\""):
        box_name = title.strip(".").replace(" ", "-").lower()
        screen.shot(f"{box_name}-focus-{where.replace(' ', '-').lower()}")
        screen.key("Return")
        check(screen.gone(box), f"Enter closes \"{title}\"")


def main():
    exe, shots, reader = sys.argv[1], Path(sys.argv[2]), sys.argv[3]
    shots.mkdir(parents=True, exist_ok=True)
    screen = Screen(shots)
    try:
        screen.start(exe)
        if not check(screen.window is not None, "Korvanda.exe opens its window under Wine"):
            return 1
        origin = client_origin(screen, "at start")
        client = Client(screen.shot("start"), origin)
        check_board(client, "at start")
        check(read_row(client, 1) == [None] * 4 and
              all(client.at(centre(hole(c, r))) == BLACK for c in range(1, 5)
                  for r in range(1, 9)), "at start: every hole is empty")
        check(all(marks(client, row) == (0, 0, 4) for row in range(1, 9)),
              "at start: every feedback box is blank")
        client_size = check_window_styles(screen, reader)
        # Wine's window manager may leave the restored window where the maximize put it.
        origin = client_origin(screen, "after the refused maximize and size")

        message_box_opens_and_closes(screen, "ctrl+h", "How to Play...", "on Command1")
        message_box_opens_and_closes(screen, "ctrl+a", "About...", "on Command1")

        # The secret, read from the answer row that the reveal code shows.
        screen.key("Tab")
        screen.type(REVEAL_CODE)
        client = Client(screen.shot("revealed"), origin)
        secret = read_row(client, 0)
        check(None not in secret, f"the reveal code shows the answer row: {secret}")
        if None in secret:
            return 1
        guess = secret[1:] + secret[:1]
        if guess == secret:
            guess = [secret[0] % 4 + 1] + secret[1:]
        play_row(screen, origin, guess)
        client = Client(screen.shot("row-played"), origin)
        check(read_row(client, 1) == guess, f"clicks put the guess {guess} into row 1")
        black, white = score(secret, guess)
        check(marks(client, 1) == (black, white, 4 - black - white),
              f"row 1 is marked {black} black, {white} white")

        message_box_opens_and_closes(screen, "ctrl+h", "How to Play...", "in the reveal box")
        message_box_opens_and_closes(screen, "ctrl+a", "About...", "in the reveal box")
        screen.key("ctrl+n")
        client = Client(screen.shot("new-game-reveal-box"), origin)
        check(read_row(client, 1) == [None] * 4 and marks(client, 1) == (0, 0, 4),
              "ctrl+n with the focus in the reveal box starts a new game")

        screen.key("shift+Tab")
        play_row(screen, origin, [1, 2, 3, 4])
        screen.key("ctrl+n")
        client = Client(screen.shot("new-game-command1"), origin)
        check(read_row(client, 1) == [None] * 4,
              "ctrl+n with the focus on Command1 starts a new game")
        screen.key("ctrl+x")
        check(screen.gone(screen.window), "ctrl+x with the focus on Command1 ends the program")
        screen.game.wait(timeout=20)

        # At twice the scale the border stays fixed, and the client area, menu bar included,
        # is twice as large in device pixels.
        screen.start(exe, scale="2")
        check(check_window_styles(screen, reader) == [2 * n for n in client_size],
              f"at scale 2 the client area is {[2 * n for n in client_size]}")
        screen.key("Tab")
        screen.key("ctrl+x")
        check(screen.gone(screen.window), "ctrl+x with the focus in the reveal box ends it")
    finally:
        screen.stop()
    print(f"window: {passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
