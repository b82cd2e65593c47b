#!/usr/bin/python3
"""Plays Korvanda's web page in Debian's Chromium, headless, as a player would, over the
DevTools protocol: the page served on 127.0.0.1, the board's pixels against the desktop
program's, a row played and scored by clicks, the reveal box, the message boxes, New Game
and Exit, a phone played by taps, and a reload with the server stopped.

Usage: web_check.py WEB_DIR SHOT_DIR [LINUX_PROGRAM]. With LINUX_PROGRAM the client area
is compared with that program's, shown on a private X server."""

import base64
import json
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request
from pathlib import Path

import websocket

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "windows"))
import window_check as board  # noqa: E402  the board's positions, colours and checks
import page_accessibility  # noqa: E402  the page played through its accessibility tree
from window_check import CLIENT, check  # noqa: E402

DESKTOP, PHONE = (1024, 768, 1), (360, 640, 3)
# The text controls, whose glyphs the two font rasterisers may draw apart.
TEXT_AREAS = ((16, 40, 145, 33), (197, 8, 49, 19))


class Page:
    """One Chromium with one page, driven over the DevTools protocol."""

    def __init__(self, shots, screen=DESKTOP, touch=False):
        self.shots, self.scale, self.next_id = shots, screen[2], 0
        self.profile = tempfile.mkdtemp(prefix="korvanda-chromium-")
        self.browser = subprocess.Popen(
            ["chromium", "--headless=new", "--no-sandbox", "--use-angle=swiftshader",
             "--enable-unsafe-swiftshader", "--no-first-run", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--remote-debugging-port=0",
             f"--user-data-dir={self.profile}", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = Path(self.profile) / "DevToolsActivePort"
        self.wait(port_file.exists, 30)
        port = port_file.read_text().split()[0]
        targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list"))
        url = next(t for t in targets if t["type"] == "page")["webSocketDebuggerUrl"]
        self.socket = websocket.create_connection(url, suppress_origin=True, timeout=60)
        self.events = []
        for domain in ("Page", "Runtime", "Network"):
            self.send(domain + ".enable")
        self.send("Emulation.setDeviceMetricsOverride", width=screen[0], height=screen[1],
                  deviceScaleFactor=screen[2], mobile=touch)
        self.send("Emulation.setTouchEmulationEnabled", enabled=touch, maxTouchPoints=1)

    def send(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                return message.get("result", {})
            self.events.append(message)

    def load(self, url=None):
        """Loads url, or the page anew, and waits for its load event."""
        start = len(self.events)
        self.send("Page.navigate", url=url) if url else self.send("Page.reload")
        while not any(m.get("method") == "Page.loadEventFired" for m in self.events[start:]):
            self.events.append(json.loads(self.socket.recv()))

    def eval(self, expression):
        return self.send("Runtime.evaluate", expression=expression, awaitPromise=True,
                         returnByValue=True)["result"].get("value")

    @staticmethod
    def wait(ready, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            found = ready()
            if found:
                return found
            time.sleep(0.2)
        return None

    def shot(self, name=None):
        # A page between two documents has no picture yet.
        png = base64.b64decode(self.wait(lambda: self.send(
            "Page.captureScreenshot", format="png").get("data"), 30))
        if name:
            (self.shots / (name + ".png")).write_bytes(png)
        ppm = subprocess.run(["convert", "png:-", "ppm:-"], input=png, check=True,
                             capture_output=True).stdout
        header = ppm.split(b"\n", 3)
        return board.Image(*map(int, header[1].split()), header[3])

    def find_board(self, seconds=60):
        """The client area's top left in device pixels, found from the red palette peg."""

        def found():
            image = self.shot()
            red, reds, at = bytes(board.PEGS[1]), [], 0
            while (at := image.data.find(red, at)) >= 0:
                if at % 3 == 0:
                    reds.append((at // 3 % image.width, at // 3 // image.width))
                at += 1
            if not reds:
                return None
            right = max(x for x, _ in reds)
            peg = [(x, y) for x, y in reds if x > right - 20 * self.scale]
            x, y = peg[len(peg) // 2]
            # From the peg out to the window's ground: the palette cell's edges.
            while x > 0 and image.at(x - 1, y) != board.BACKGROUND:
                x -= 1
            while y > 0 and image.at(x, y - 1) != board.BACKGROUND:
                y -= 1
            left, top = board.palette(1)
            origin = (x - left * self.scale, y - top * self.scale)
            client = Scaled(image, origin, self.scale)
            return origin if client.at((5, 5)) == board.BACKGROUND else None

        return self.wait(found, seconds)

    def client(self, origin, name=None):
        return Scaled(self.shot(name), origin, self.scale)

    def click(self, origin, point, touch=False):
        x = (origin[0] + point[0] * self.scale) / self.scale
        y = (origin[1] + point[1] * self.scale) / self.scale
        if touch:
            for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
                self.send("Input.dispatchTouchEvent", type=kind, touchPoints=points)
        else:
            for kind in ("mousePressed", "mouseReleased"):
                self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                          clickCount=1)
        time.sleep(0.3)

    def drag(self, start, end, clicks=1):
        """Presses at start and releases at end, in CSS pixels."""
        for kind, (x, y) in (("mousePressed", start), ("mouseMoved", end), ("mouseReleased", end)):
            self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, clickCount=clicks,
                      button="left" if kind != "mouseMoved" else "none")
        time.sleep(0.3)

    def key(self, key, code, modifiers=0, text=""):
        """A key as the page gets it: modifiers 1 Alt, 2 Ctrl."""
        virtual = {"Enter": 13, "Escape": 27}.get(code) or ord(code[-1])
        for kind in ("keyDown" if text else "rawKeyDown", "keyUp"):
            self.send("Input.dispatchKeyEvent", type=kind, key=key, code=code, text=text,
                      windowsVirtualKeyCode=virtual, modifiers=modifiers)
        time.sleep(0.3)

    def type(self, text):
        for char in text:
            code = ("Digit" if char.isdigit() else "Key") + char.upper()
            self.key(char, code, text=char)

    def close(self):
        self.browser.kill()
        self.browser.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


class Scaled(board.Client):
    """The client area, addressed in the window's own pixels whatever the scale."""

    def __init__(self, image, origin, scale):
        super().__init__(image, origin)
        self.scale = scale

    def at(self, point):
        return self.image.at(self.origin[0] + int(point[0] * self.scale),
                             self.origin[1] + int(point[1] * self.scale))


def differing(client, other):
    """The pixels of the client area in which two pictures of it differ, but for the text
    controls, whose glyphs two font rasterisers may draw apart."""
    return [(x, y) for x in range(CLIENT[0]) for y in range(CLIENT[1])
            if client.at((x, y)) != other.at((x, y)) and not any(
                left <= x < left + w and top <= y < top + h for left, top, w, h in TEXT_AREAS)]


def serve(web):
    server = subprocess.Popen([sys.executable, str(ROOT / "scripts" / "serve-web"), web],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return server, server.stdout.readline().strip()


def desktop_client(program):
    """The Linux program's client area, shown on a private X server with openbox."""
    screen = board.Screen(Path(tempfile.mkdtemp()))
    try:
        game = subprocess.Popen([program], env=dict(screen.env, QT_QPA_PLATFORM="xcb"))
        screen.window = screen.find(" Korvanda", 30)
        time.sleep(1)
        origin = board.client_origin(screen, "the Linux program")
        image = screen.shot("linux")
        game.kill()
        return board.Client(image, origin)
    finally:
        screen.stop()


def play(page, origin, guess, touch=False):
    for column, code in enumerate(guess, start=1):
        page.click(origin, board.centre(board.palette(code)), touch)
        page.click(origin, board.centre(board.hole(column, 1)), touch)


def main():
    web, shots = sys.argv[1], Path(sys.argv[2])
    shots.mkdir(parents=True, exist_ok=True)
    server, address = serve(web)
    page = Page(shots)
    try:
        started = time.monotonic()
        page.load(address)
        origin = page.find_board()
        if not check(origin is not None, f"the board is painted, {time.monotonic() - started:.1f} s "
                     "after the page was asked for"):
            return
        client = page.client(origin, "desktop-board")
        board.check_board(client, "the browser")
        check(page.eval("document.title") == "Korvanda" and page.eval(
            "document.querySelector('link[rel=icon]').href.endsWith('korvanda.svg')"),
            "the page is called Korvanda and has the eye as its icon")
        check(page.eval("document.getElementById('status').hidden"), "the loading line is gone")
        if len(sys.argv) > 3:
            differ = differing(client, desktop_client(sys.argv[3]))
            check(not differ, f"the client area is the Linux program's, pixel for pixel, "
                  f"outside the text controls ({len(differ)} pixels differ, first {differ[:3]})")

        # The title bar that Qt draws offers neither a larger nor another size.
        before = page.shot()
        corner = (origin[0] + CLIENT[0] + 2, origin[1] + CLIENT[1] + 2)
        page.drag(corner, (corner[0] + 80, corner[1] + 60))
        title = (origin[0] + CLIENT[0] // 2, origin[1] - 32)
        for clicks in (1, 2):
            page.drag(title, title, clicks)
        check(page.shot().data == before.data, "neither a drag on the window's corner nor a "
              "double click on its title bar changes its size")

        # The reveal box shows the secret; a row played by clicks is scored against it.
        page.click(origin, (221, 17))
        page.type(board.REVEAL_CODE)
        secret = board.read_row(page.client(origin, "revealed"), 0)
        check(None not in secret, f"the reveal code shows the answer row {secret}")
        guess = [secret[1], secret[0], secret[2], 1 if secret[3] != 1 else 2]
        play(page, origin, guess)
        client = page.client(origin, "row-played")
        expected = board.score(secret, guess)
        found = board.marks(client, 1)
        check(board.read_row(client, 1) == guess and found[:2] == expected,
              f"a row played by clicks shows {guess} and is scored {found[:2]}, as expected "
              f"{expected}")

        # The message boxes: modal, the board untouched under them, closed by Enter or Escape.
        before = page.client(origin)
        for keys, closer in ((("h", "KeyH"), ("Escape", "Escape")),
                             (("a", "KeyA"), ("Enter", "Enter"))):
            page.key(*keys, modifiers=2)
            check(differing(page.client(origin, f"box-{keys[0]}"), before),
                  f"Ctrl+{keys[0].upper()} opens a message box over the board")
            page.click(origin, board.centre(board.hole(1, 1)))
            page.key(*closer)
            check(not differing(page.client(origin), before), f"{closer[0]} closes it; a click "
                  "on the board meanwhile placed nothing")

        page.key("n", "KeyN", modifiers=2)
        client = page.client(origin, "new-game")
        check(board.read_row(client, 1) == [None] * 4 and board.marks(client, 1)[2] == 4,
              "Ctrl+N starts a new game: the played row is empty again")
        page_accessibility.play(page)

        check(page.eval("caches.open('korvanda').then(c => c.match('korvanda.wasm'))"
                        ".then(r => r !== undefined)"), "the service worker keeps the program")
        check(page.send("Page.getInstallabilityErrors")["installabilityErrors"] == [],
              "the browser finds the page installable as an app")
        server.terminate()
        server.wait()
        page.load()
        check(page.find_board() is not None, "with the server stopped, the page loads again "
              "and shows the board")

        page.key("f", "KeyF", modifiers=1)
        page.key("x", "KeyX", text="x")
        ended = page.wait(lambda: page.eval(
            "document.getElementById('ended').hidden ? '' : document.body.innerText"), 10)
        check(ended and "Thanks for playing Korvanda." in ended and "Play again" in ended
              and not page.eval("document.getElementById('screen')"),
              f"File, Exit ends the game; the page says {ended!r} and offers to play again")
        page.shot("exited")

        origins = {m["params"]["request"]["url"].split("/")[2] for m in page.events
                   if m.get("method") == "Network.requestWillBeSent"}
        check(origins <= {address.split("/")[2]}, f"every request goes to the page's own "
              f"origin: {sorted(origins)}")
        check(not page.send("Network.getCookies")["cookies"] and page.eval(
            "localStorage.length + sessionStorage.length") == 0, "no cookie, no stored data")
        # Exit unwinds the program's call stack with emscripten's ExitStatus, no fault.
        errors = [m["params"]["exceptionDetails"]["exception"]["description"].split("\n")[0]
                  for m in page.events if m.get("method") == "Runtime.exceptionThrown"]
        errors = [error for error in errors if error != "ExitStatus"]
        check(not errors, f"no script error {errors[:1]}")
    finally:
        page.close()
        server.kill()

    server, address = serve(web)
    phone = Page(shots, PHONE, touch=True)
    try:
        phone.load(address)
        origin = phone.find_board()
        if check(origin is not None, "on a 360 x 640 phone at three device pixels per pixel, "
                 "the board is painted"):
            top = origin[1] - 50 * PHONE[2]
            right, bottom = (origin[0] + CLIENT[0] * PHONE[2], origin[1] + CLIENT[1] * PHONE[2])
            check(origin[0] >= 0 and top >= 0 and right <= 360 * 3 and bottom <= 640 * 3,
                  "the whole window, title bar and menu bar included, is on the page")
            play(phone, origin, [1, 2, 3, 4], touch=True)
            client = phone.client(origin, "phone-row-played")
            found = board.marks(client, 1)
            check(board.read_row(client, 1) == [1, 2, 3, 4] and sum(found) == 4,
                  f"a row played by taps is filled and scored {found}")
    finally:
        phone.close()
        server.kill()

    print(f"{board.passed} passed, {len(board.failures)} failed")
    sys.exit(1 if board.failures else 0)


if __name__ == "__main__":
    main()
