#!/usr/bin/python3
"""Plays Korvanda's web page as a player would, with one set of expectations in three
engines: Debian's Chromium, headless, over the DevTools protocol; Firefox ESR over
WebDriver BiDi and WebKitGTK's MiniBrowser over the W3C WebDriver, each on a private X
server with software GL (headless Firefox offers no WebGL). In each: the page served on
127.0.0.1, the board's pixels against the desktop program's, a row played and scored by
clicks, the reveal box, the message boxes, New Game and Exit, a new release taken, and the
installed page started again with the network gone and with it hanging. In Chromium
also: a phone played by taps, a browser without WebGL and a program file cut short.

Usage: web_check.py WEB_DIR SHOT_DIR [LINUX_PROGRAM]. With LINUX_PROGRAM the client area
is compared with that program's, shown on a private X server. WEB_CHECK_ENGINES, a list
such as "chromium firefox", plays the page in those engines only."""

import base64
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request
from pathlib import Path

import websocket

ROOT = Path(__file__).resolve().parents[2]
sys.path[:0] = [str(ROOT / "tests" / "windows"), str(ROOT / "tests")]
import orca_ears  # noqa: E402  a real screen reader, Orca, in a private desktop
import window_check as board  # noqa: E402  the board's positions, colours and checks
import page_accessibility  # noqa: E402  the page played through its accessibility tree
from window_check import CLIENT, Display, check  # noqa: E402

DESKTOP, PHONE = (1024, 768, 1), (360, 640, 3)
# The text controls, whose glyphs the two font rasterisers may draw apart.
TEXT_AREAS = ((16, 40, 145, 33), (197, 8, 49, 19))
# The page's ground, behind its notes, in korvanda.css.
NOTE_GROUND = (51, 51, 51)
ENGINE_NAMES = {"chromium": "Chromium", "firefox": "Firefox", "webkit": "WebKit"}
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
# The end of the program unwinds its call stack with emscripten's ExitStatus, no fault.
EXIT_STATUS = ("ExitStatus", "Program terminated with exit(0)")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait(ready, seconds):
    return orca_ears.poll(ready, seconds, step=0.2)


class Browser:
    """One browser with one page, as the checks drive it. Each engine's driver gives
    load(url=None) (the page anew without url), navigate(url) (without waiting) and
    reopen(url) (the page's window closed, as a player closes it, and url opened in a new
    one: a page that is only left may wait in the back-forward cache, still holding its
    release), png(), press(start, end, clicks, touch) in CSS pixels, key(key, code,
    modifiers, text), eval(expression) awaited, errors(), requests() (their addresses),
    cookies() and close()."""

    scale = 1
    wait = staticmethod(wait)

    def __init__(self, shots, name):
        self.shots, self.name = shots, name

    def shot(self, name=None):
        png = self.png()
        if name:
            (self.shots / f"{self.name}-{name}.png").write_bytes(png)
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
        self.press((x, y), (x, y), touch=touch)

    def drag(self, start, end, clicks=1):
        """Presses at start and releases at end, in CSS pixels: the second of two at one
        place is a double click."""
        self.press(start, end, clicks)

    def type(self, text):
        for char in text:
            code = ("Digit" if char.isdigit() else "Key") + char.upper()
            self.key(char, code, text=char)

    def shown(self, element):
        return self.eval(f"!document.getElementById('{element}').hidden")

    def note(self):
        return self.eval("document.body.innerText")

    def installability_errors(self):
        """What keeps the browser from offering to install the page, where it says."""
        return None


class Socket:
    """Commands over the websocket self.socket, as DevTools and WebDriver BiDi take them: each
    answered by the message with its id, the events between kept in self.events."""

    def send(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                return message.get("result", {})
            self.events.append(message)


class Page(Socket, Browser):
    """One Chromium with one page, driven over the DevTools protocol."""

    def __init__(self, shots, screen=DESKTOP, touch=False, flags=(), session=None,
                 url="about:blank"):
        """Headless, or with a window in session, a private desktop's, with its accessibility
        tree for the screen reader there; the page at url."""
        super().__init__(shots, "chromium" + ("-phone" if touch else ""))
        self.scale, self.next_id = screen[2], 0
        self.profile = tempfile.mkdtemp(prefix="korvanda-chromium-")
        shown = ("--force-renderer-accessibility", f"--window-size={screen[0]},{screen[1]}")
        self.browser = subprocess.Popen(
            ["chromium", *(shown if session else ["--headless=new"]), "--no-sandbox",
             "--use-angle=swiftshader",
             "--enable-unsafe-swiftshader", "--no-first-run", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--remote-debugging-port=0",
             f"--user-data-dir={self.profile}", *flags, url],
            env=session.env if session else None, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        port_file = Path(self.profile) / "DevToolsActivePort"
        self.wait(port_file.exists, 30)
        self.devtools = f"http://127.0.0.1:{port_file.read_text().split()[0]}"
        self.screen, self.touch, self.events = screen, touch, []
        targets = json.load(urllib.request.urlopen(self.devtools + "/json/list"))
        self.attach(next(t for t in targets if t["type"] == "page")["id"])

    def attach(self, target):
        self.socket = websocket.create_connection(f"{self.devtools.replace('http', 'ws')}"
                                                  f"/devtools/page/{target}",
                                                  suppress_origin=True, timeout=60)
        for domain in ("Page", "Runtime", "Network"):
            self.send(domain + ".enable")
        self.send("Emulation.setDeviceMetricsOverride", width=self.screen[0],
                  height=self.screen[1], deviceScaleFactor=self.screen[2], mobile=self.touch)
        self.send("Emulation.setTouchEmulationEnabled", enabled=self.touch, maxTouchPoints=1)

    def reopen(self, url):
        opened = self.send("Target.createTarget", url="about:blank")["targetId"]
        self.send("Page.close")
        self.socket.close()
        self.attach(opened)
        self.load(url)

    def load(self, url=None):
        """Loads url, or the page anew, and waits for its load event."""
        start = len(self.events)
        self.send("Page.navigate", url=url) if url else self.send("Page.reload")
        while not any(m.get("method") == "Page.loadEventFired" for m in self.events[start:]):
            self.events.append(json.loads(self.socket.recv()))

    def navigate(self, url):
        """Asks for url without waiting for it."""
        self.send("Page.navigate", url=url)

    def eval(self, expression):
        return self.send("Runtime.evaluate", expression=expression, awaitPromise=True,
                         returnByValue=True)["result"].get("value")

    def png(self):
        # A page between two documents has no picture yet.
        return base64.b64decode(self.wait(lambda: self.send(
            "Page.captureScreenshot", format="png").get("data"), 30))

    def press(self, start, end, clicks=1, touch=False):
        if touch:
            for kind, points in (("touchStart", [{"x": start[0], "y": start[1]}]),
                                 ("touchEnd", [])):
                self.send("Input.dispatchTouchEvent", type=kind, touchPoints=points)
        else:
            for kind, (x, y) in (("mousePressed", start), ("mouseMoved", end),
                                 ("mouseReleased", end)):
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

    def errors(self):
        thrown = [m["params"]["exceptionDetails"]["exception"]["description"].split("\n")[0]
                  for m in self.events if m.get("method") == "Runtime.exceptionThrown"]
        logged = [" ".join(str(a.get("value", a.get("description"))) for a in m["params"]["args"])
                  for m in self.events if m.get("method") == "Runtime.consoleAPICalled"
                  and m["params"]["type"] == "error"]
        return thrown + logged

    def requests(self):
        return [m["params"]["request"]["url"] for m in self.events
                if m.get("method") == "Network.requestWillBeSent"]

    def cookies(self):
        return self.send("Network.getCookies")["cookies"]

    def installability_errors(self):
        return self.send("Page.getInstallabilityErrors")["installabilityErrors"]

    def close(self):
        self.browser.kill()
        self.browser.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


# The W3C WebDriver's input actions, which WebDriver BiDi shares: the keys that are no
# characters, as code points of its own, and the modifiers by the bits of Browser.key.
WEBDRIVER_KEYS = {"Enter": "\ue007", "Escape": "\ue00c"}
WEBDRIVER_MODIFIERS = {1: "\ue00a", 2: "\ue009"}


class WebDriver(Browser):
    """What the Firefox and WebKit drivers share: the input actions of the W3C WebDriver,
    and the private X server that each runs on, with software GL."""

    def __init__(self, shots, name, display, env=None):
        super().__init__(shots, name)
        self.env = dict(env or os.environ, DISPLAY=display, LIBGL_ALWAYS_SOFTWARE="1")

    def press(self, start, end, clicks=1, touch=False):
        del clicks  # a second press at one place soon after the first is a double click
        at = lambda point: {"type": "pointerMove", "x": round(point[0]), "y": round(point[1]),
                            "origin": "viewport"}
        self.perform({"type": "pointer", "id": "pointer",
                      "parameters": {"pointerType": "touch" if touch else "mouse"},
                      "actions": [at(start), {"type": "pointerDown", "button": 0}, at(end),
                                  {"type": "pointerUp", "button": 0}]})
        time.sleep(0.3)

    def key(self, key, code, modifiers=0, text=""):
        del text  # the key's value is its text
        held = [value for bit, value in WEBDRIVER_MODIFIERS.items() if modifiers & bit]
        value = WEBDRIVER_KEYS.get(code, key)
        self.perform({"type": "key", "id": "keyboard", "actions": [
            *({"type": "keyDown", "value": v} for v in held),
            {"type": "keyDown", "value": value}, {"type": "keyUp", "value": value},
            *({"type": "keyUp", "value": v} for v in reversed(held))]})
        time.sleep(0.3)


class Firefox(Socket, WebDriver):
    """Firefox ESR, driven over WebDriver BiDi on its remote agent's websocket."""

    def __init__(self, shots, display, env=None, url="about:blank"):
        super().__init__(shots, "firefox", display, env)
        self.profile = tempfile.mkdtemp(prefix="korvanda-firefox-")
        port = free_port()
        self.browser = subprocess.Popen(
            ["firefox-esr", f"--remote-debugging-port={port}", "--profile", self.profile,
             "--no-remote", "--new-instance", url],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)

        def connect():
            try:
                return websocket.create_connection(f"ws://127.0.0.1:{port}/session",
                                                   suppress_origin=True, timeout=60)
            except OSError:
                return None

        self.socket, self.next_id, self.events = self.wait(connect, 60), 0, []
        self.send("session.new", capabilities={})
        self.context = self.send("browsingContext.getTree")["contexts"][0]["context"]
        self.send("session.subscribe", events=["log.entryAdded", "network.beforeRequestSent"])
        self.send("browsingContext.setViewport", context=self.context,
                  viewport={"width": DESKTOP[0], "height": DESKTOP[1]})

    def load(self, url=None):
        if url:
            self.send("browsingContext.navigate", context=self.context, url=url,
                      wait="complete")
        else:
            self.send("browsingContext.reload", context=self.context, wait="complete")

    def navigate(self, url):
        self.send("browsingContext.navigate", context=self.context, url=url, wait="none")

    def reopen(self, url):
        opened = self.send("browsingContext.create", type="tab")["context"]
        self.send("browsingContext.close", context=self.context)
        self.context = opened
        self.send("browsingContext.setViewport", context=self.context,
                  viewport={"width": DESKTOP[0], "height": DESKTOP[1]})
        self.load(url)

    def eval(self, expression):
        answer = self.send("script.evaluate", expression=expression, awaitPromise=True,
                           target={"context": self.context})
        return plain(answer["result"]) if answer.get("type") == "success" else None

    def png(self):
        return base64.b64decode(self.send("browsingContext.captureScreenshot",
                                          context=self.context)["data"])

    def perform(self, source):
        self.send("input.performActions", context=self.context, actions=[source])

    def errors(self):
        return [m["params"]["text"] for m in self.events
                if m.get("method") == "log.entryAdded" and m["params"]["level"] == "error"]

    def requests(self):
        return [m["params"]["request"]["url"] for m in self.events
                if m.get("method") == "network.beforeRequestSent"]

    def cookies(self):
        return self.send("storage.getCookies")["cookies"]

    def close(self):
        # Firefox may start itself anew, as on its first start after an install, in the
        # session of the first.
        os.killpg(self.browser.pid, signal.SIGKILL)
        self.browser.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def plain(value):
    """A value as WebDriver BiDi serialises it, as Python's."""
    kind, inner = value["type"], value.get("value")
    if kind in ("array", "set"):
        return [plain(item) for item in inner]
    if kind == "object":
        return {key: plain(item) for key, item in inner}
    return inner


RESOURCES = "performance.getEntriesByType('resource').map((entry) => entry.name)"


class WebKit(WebDriver):
    """WebKitGTK's MiniBrowser in automation mode, driven by WebKitWebDriver over the W3C
    WebDriver's HTTP. That protocol reports neither the page's console nor its requests:
    errors are caught by listeners that each load adds to the page once it has loaded, so
    an error while the page loads is seen only by what it leaves on the screen; requests
    are read from each loaded page's resource timing."""

    def __init__(self, shots, display):
        super().__init__(shots, "webkit", display)
        port = free_port()
        self.driver = subprocess.Popen(["WebKitWebDriver", f"--port={port}"], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.base = f"http://127.0.0.1:{port}"
        options = {"binary": MINIBROWSER, "args": ["--automation"]}
        session = self.wait(lambda: self.call("POST", "/session", {"capabilities": {
            "alwaysMatch": {"webkitgtk:browserOptions": options}}}), 60)
        self.base += "/session/" + session["sessionId"]
        self.seen, self.caught = [], []
        self.size()

    def size(self):
        """The window's size for a viewport of the desktop's, whatever MiniBrowser's bars
        take."""
        self.call("POST", "/window/rect", {"width": DESKTOP[0], "height": DESKTOP[1]})
        bars = DESKTOP[1] - self.eval("innerHeight")
        self.call("POST", "/window/rect", {"width": DESKTOP[0], "height": DESKTOP[1] + bars})

    def reopen(self, url):
        self.leave()
        opened = self.call("POST", "/window/new", {"type": "window"})["handle"]
        self.call("DELETE", "/window")
        self.call("POST", "/window", {"handle": opened})
        self.size()
        self.load(url)

    def call(self, method, path, body=None):
        request = urllib.request.Request(
            self.base + path, method=method, headers={"Content-Type": "application/json"},
            data=None if body is None else json.dumps(body).encode())
        try:
            with urllib.request.urlopen(request, timeout=120) as answer:
                return json.load(answer)["value"]
        except (urllib.error.URLError, ConnectionError):
            return None

    def load(self, url=None):
        self.leave()
        if url:
            self.call("POST", "/url", {"url": url})
        else:
            self.call("POST", "/refresh", {})
        self.listen()

    def navigate(self, url):
        self.leave()
        threading.Thread(target=self.call, args=("POST", "/url", {"url": url}),
                         daemon=True).start()

    def leave(self):
        """Keeps what the page now shown requested and caught before another replaces it."""
        self.seen += self.eval(RESOURCES) or []
        self.caught += self.eval("window.korvandaCheckErrors") or []

    def listen(self):
        self.eval("""window.korvandaCheckErrors = [];
            addEventListener('error', (event) => korvandaCheckErrors.push(event.message));
            addEventListener('unhandledrejection',
                (event) => korvandaCheckErrors.push(String(event.reason)));
            const logged = console.error.bind(console);
            console.error = (...args) => { korvandaCheckErrors.push(args.join(' '));
                                           logged(...args); }""")

    def eval(self, expression):
        return self.call("POST", "/execute/async", {"args": [], "script": (
            f"const done = arguments[0]; Promise.resolve({expression})"
            ".then(done, () => done(null));")})

    def png(self):
        return base64.b64decode(self.call("GET", "/screenshot"))

    def perform(self, source):
        self.call("POST", "/actions", {"actions": [source]})

    def errors(self):
        return self.caught + (self.eval("window.korvandaCheckErrors") or [])

    def requests(self):
        return self.seen + (self.eval(RESOURCES) or [])

    def cookies(self):
        return self.call("GET", "/cookie") or []

    def close(self):
        self.call("DELETE", "")
        self.driver.kill()
        self.driver.wait()


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


def sent_bytes(log_path, name=""):
    """The bodies' sizes that the server's log gives for each request of a file, or of
    every file."""
    return [int(line.rsplit(" ", 1)[1]) for line in Path(log_path).read_text().splitlines()
            if f'"GET /{name}' in line and line.rsplit(" ", 1)[1].isdigit()]


def coding_sent(web, log_path, name="korvanda.wasm"):
    """The coding in which the server last sent a file: br, gzip or plain."""
    sizes = {(web / (name + suffix)).stat().st_size: coding
             for suffix, coding in (("", "plain"), (".gz", "gzip"), (".br", "br"))}
    sent = [size for size in sent_bytes(log_path, name + " ") if size]
    return sizes.get(sent[-1]) if sent else None


def serve(web, port=0, log=None):
    """Serves web on 127.0.0.1; with log, writes a line there for each request."""
    server = subprocess.Popen(
        [sys.executable, str(ROOT / "scripts" / "serve-web"), str(web), str(port)],
        stdout=subprocess.PIPE, stderr=log or subprocess.DEVNULL, text=True)
    return server, server.stdout.readline().strip()


class Hanging:
    """Takes connections on a port and never answers, as a captive portal or a dead mobile
    link does."""

    def __init__(self, port):
        self.socket = socket.create_server(("127.0.0.1", port))
        self.held = []
        threading.Thread(target=self.hold, daemon=True).start()

    def hold(self):
        while True:
            try:
                self.held.append(self.socket.accept()[0])
            except OSError:
                return

    def close(self):
        # Wakes the accept that waits, which a close alone leaves listening.
        self.socket.shutdown(socket.SHUT_RDWR)
        self.socket.close()
        for connection in self.held:
            connection.close()


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


def release(web):
    """The cache of the release that the page's service worker keeps, as its build
    stamped it."""
    return (web / "service-worker.js").read_text().split('const CACHE = "', 1)[1].split('"')[0]


def publish_next_release(web):
    """Changes one file of the served page and stamps its service worker anew, as the
    build does."""
    with open(web / "korvanda.css", "a") as css:
        css.write("/* the next release */\n")
    subprocess.run(["cmake", f"-DPAGE={web}", "-P",
                    str(ROOT / "packaging" / "web" / "ServiceWorker.cmake")], check=True)


NEXT_RELEASE_RUNS = ("fetch('korvanda.css').then((r) => r.text())"
                     ".then((text) => text.includes('the next release'))")


def play_page(page, web, linux):
    """The expectations that hold in every engine, played on a copy of the page that its
    own server serves, which the check stops, replaces by one that never answers and by
    a new release."""
    label = ENGINE_NAMES[page.name]
    log_path = Path(tempfile.mkdtemp()) / "requests.log"
    log = open(log_path, "w")
    server, address = serve(web, log=log)
    port = int(address.rstrip("/").rsplit(":", 1)[1])
    try:
        started = time.monotonic()
        page.load(address)
        origin = page.find_board()
        if not check(origin is not None, f"{label}: the board is painted, "
                     f"{time.monotonic() - started:.1f} s after the page was asked for"):
            return
        client = page.client(origin, "desktop-board")
        board.check_board(client, label)
        check(coding_sent(web, log_path) in ("br", "gzip"), f"{label}: the program came "
              f"compressed ({coding_sent(web, log_path)})")
        check(page.eval("document.title") == "Korvanda" and page.eval(
            "document.querySelector('link[rel=icon]').href.endsWith('korvanda.svg')"),
            f"{label}: the page is called Korvanda and has the eye as its icon")
        check(not page.shown("status"), f"{label}: the loading line is gone")
        if linux:
            differ = differing(client, linux)
            check(not differ, f"{label}: the client area is the Linux program's, pixel for "
                  f"pixel, outside the text controls ({len(differ)} pixels differ, first "
                  f"{differ[:3]})")

        # The title bar that Qt draws offers neither a larger nor another size.
        before = page.shot()
        corner = (origin[0] + CLIENT[0] + 2, origin[1] + CLIENT[1] + 2)
        page.drag(corner, (corner[0] + 80, corner[1] + 60))
        title = (origin[0] + CLIENT[0] // 2, origin[1] - 32)
        for clicks in (1, 2):
            page.drag(title, title, clicks)
        check(page.shot().data == before.data, f"{label}: neither a drag on the window's "
              "corner nor a double click on its title bar changes its size")

        # The reveal box shows the secret; a row played by clicks is scored against it.
        page.click(origin, (221, 17))
        page.type(board.REVEAL_CODE)
        secret = board.read_row(page.client(origin, "revealed"), 0)
        check(None not in secret, f"{label}: the reveal code shows the answer row {secret}")
        guess = [secret[1], secret[0], secret[2], 1 if secret[3] != 1 else 2]
        play(page, origin, guess)
        client = page.client(origin, "row-played")
        expected = board.score(secret, guess)
        found = board.marks(client, 1)
        check(board.read_row(client, 1) == guess and found[:2] == expected,
              f"{label}: a row played by clicks shows {guess} and is scored {found[:2]}, as "
              f"expected {expected}")

        # The message boxes: modal, the board untouched under them, closed by Enter or Escape.
        before = page.client(origin)
        for keys, closer in ((("h", "KeyH"), ("Escape", "Escape")),
                             (("a", "KeyA"), ("Enter", "Enter"))):
            page.key(*keys, modifiers=2)
            check(differing(page.client(origin, f"box-{keys[0]}"), before),
                  f"{label}: Ctrl+{keys[0].upper()} opens a message box over the board")
            page.click(origin, board.centre(board.hole(1, 1)))
            page.key(*closer)
            check(not differing(page.client(origin), before), f"{label}: {closer[0]} closes "
                  "it; a click on the board meanwhile placed nothing")

        page.key("n", "KeyN", modifiers=2)
        client = page.client(origin, "new-game")
        check(board.read_row(client, 1) == [None] * 4 and board.marks(client, 1)[2] == 4,
              f"{label}: Ctrl+N starts a new game: the played row is empty again")
        # Only Chromium lets a check read the tree that a screen reader reads.
        if isinstance(page, Page):
            page_accessibility.play(page)

        kept = page.wait(lambda: page.eval(
            "navigator.serviceWorker.ready.then(() => caches.keys())"
            ".then((names) => Promise.all(names.map((name) => caches.open(name)"
            ".then((cache) => cache.match('korvanda.wasm')).then((wasm) => [name, !!wasm]))))"),
            60)
        check(kept == [[release(web), True]], f"{label}: the service worker "
              f"keeps the program in one cache, of this release: {kept}")
        install_errors = page.installability_errors()
        if install_errors is not None:
            check(install_errors == [], f"{label}: the browser finds the page installable "
                  "as an app")

        # A new release is fetched in the background; the page that runs goes on with the
        # files of its own, and the next start, once no page of the old one is open, runs
        # the new one alone.
        publish_next_release(web)
        page.load()
        waiting = page.wait(lambda: page.eval(
            "navigator.serviceWorker.ready.then((r) => !!r.waiting)"), 60)
        check(page.find_board() is not None and waiting and page.eval(NEXT_RELEASE_RUNS) is
              False, f"{label}: a new release is fetched in the background while the page "
              "goes on with the files of the release it started with")
        page.reopen(address)
        kept = page.eval("caches.keys()")
        check(page.find_board() is not None and page.eval(NEXT_RELEASE_RUNS) and
              kept == [release(web)], f"{label}: the next start runs the new release, whose "
              f"cache alone is left: {kept}")

        # The installed page starts from its own copy, at once with the network gone and
        # within seconds with it hanging.
        server.terminate()
        server.wait()
        for network, stand_in in (("gone", None), ("hanging", Hanging)):
            hanging = stand_in(port) if stand_in else None
            started = time.monotonic()
            page.load()
            origin = page.find_board(30)
            check(origin is not None, f"{label}: with the network {network}, the installed "
                  f"page starts again and shows the board, {time.monotonic() - started:.1f} s "
                  "after the reload")
            if hanging:
                hanging.close()
        if origin is None:
            return

        page.key("f", "KeyF", modifiers=1)
        page.key("x", "KeyX", text="x")
        ended = page.wait(lambda: page.shown("ended") and page.note(), 10)
        check(ended and "Thanks for playing Korvanda." in ended and "Play again" in ended
              and not page.eval("document.getElementById('screen')"),
              f"{label}: File, Exit ends the game; the page says {ended!r} and offers to "
              "play again")
        page.shot("exited")

        origins = {url.split("/")[2] for url in page.requests() if "://" in url}
        check(origins <= {address.split("/")[2]}, f"{label}: every request goes to the "
              f"page's own origin: {sorted(origins)}")
        log.close()
        missing = [line for line in log_path.read_text().splitlines() if '" 404 ' in line]
        check(not missing, f"{label}: the server had every file the page asked for {missing}")
        check(not page.cookies() and page.eval(
            "localStorage.length + sessionStorage.length") == 0,
            f"{label}: no cookie, no stored data")
        errors = [error for error in page.errors() if not error.startswith(EXIT_STATUS)]
        check(not errors, f"{label}: no script error {errors[:1]}")
    finally:
        page.close()
        server.kill()
        log.close()
        shutil.rmtree(log_path.parent, ignore_errors=True)


def play_phone(web, shots):
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
            client = phone.client(origin, "row-played")
            found = board.marks(client, 1)
            check(board.read_row(client, 1) == [1, 2, 3, 4] and sum(found) == 4,
                  f"a row played by taps is filled and scored {found}")
    finally:
        phone.close()
        server.kill()


def cannot_start(page, label, why, shot):
    """The page's own note that the game cannot start, in its colours, with no board."""
    note = page.wait(lambda: page.shown("failed") and page.note(), 60)
    image = page.shot(shot)
    check(note and "Korvanda cannot start in this browser." in note and why in note and
          "another browser" in note and "desktop program" in note and
          not page.eval("document.getElementById('screen')") and
          image.at(5, 5) == NOTE_GROUND and page.find_board(0.1) is None,
          f"{label}: the page says, in its own words and colours, {note!r}")


def play_faults(web, shots):
    """A browser without WebGL, and a program file cut short in transfer."""
    server, address = serve(web)
    page = Page(shots, flags=("--disable-3d-apis", "--disable-webgl"))
    try:
        page.load(address)
        cannot_start(page, "Chromium without WebGL", "WebGL, which this browser has turned "
                     "off or does not offer", "without-webgl")
    finally:
        page.close()
        server.kill()

    # A browser that takes no coding gets the plain program, and plays.
    log_path = Path(tempfile.mkdtemp()) / "requests.log"
    server, address = serve(web, log=open(log_path, "w"))
    page = Page(shots)
    try:
        page.send("Network.setExtraHTTPHeaders", headers={"Accept-Encoding": "identity"})
        page.load(address)
        check(page.find_board() is not None and coding_sent(web, log_path) == "plain",
              "Chromium asking for no coding gets the plain program and shows the board")
    finally:
        page.close()
        server.kill()

    # Cut short as sent, whichever coding the browser takes: plain, brotli or gzip.
    sent = [web / name for name in ("korvanda.wasm", "korvanda.wasm.br", "korvanda.wasm.gz")]
    whole = [file.read_bytes() for file in sent]
    for file, data in zip(sent, whole):
        file.write_bytes(data[:len(data) // 2])
    server, address = serve(web)
    page = Page(shots)
    try:
        page.load(address)
        cannot_start(page, "A program file cut short", "Reload the page to fetch it again",
                     "program-cut-short")
        # The worker's install, which found the file cut short, has ended.
        check(page.eval(
            "navigator.serviceWorker.register('service-worker.js').then((r) => new Promise("
            "(done) => { const w = r.installing || r.waiting || r.active;"
            " const ended = () => ['redundant', 'activated'].includes(w.state);"
            " if (ended()) done(w.state);"
            " else w.addEventListener('statechange', () => ended() && done(w.state)); }))"
            ".then((state) => caches.keys().then((names) => [state, names]))") ==
            ["redundant", []], "nothing of a release with a file cut short is kept")
        for file, data in zip(sent, whole):
            file.write_bytes(data)
        page.load()
        check(page.find_board() is not None, "once the whole file is served, a reload "
              "fetches it again and shows the board")
    finally:
        page.close()
        server.kill()


def play_heard(web, shots, engines):
    """Chromium and Firefox on a private desktop where a real Orca listens: a whole game by
    keys alone in each."""
    missing = orca_ears.missing()
    if not check(not missing, "Orca can listen to the page" +
                 (f": {missing} is not installed" if missing else "")):
        return
    server, address = serve(web)
    session = orca_ears.Session("1280x1024x24")
    try:
        session.enable_accessibility()
        orca = orca_ears.Orca(session)
        for engine in [e for e in ("chromium", "firefox") if e in engines]:
            print(f"== The page in {ENGINE_NAMES[engine]}, with Orca", flush=True)
            page = (Page(shots, session=session, url=address) if engine == "chromium" else
                    Firefox(shots, session.display, session.env, address))
            try:
                page_accessibility.hear(page, session, orca)
            finally:
                page.close()
    finally:
        session.stop()
        server.kill()


def main():
    web, shots = Path(sys.argv[1]), Path(sys.argv[2])
    shots.mkdir(parents=True, exist_ok=True)
    engines = os.environ.get("WEB_CHECK_ENGINES", "chromium firefox webkit").split()
    linux = desktop_client(sys.argv[3]) if len(sys.argv) > 3 else None
    display = Display() if {"firefox", "webkit"} & set(engines) else None
    # Each engine plays its own copy, which the check changes into a new release.
    copies = Path(tempfile.mkdtemp(prefix="korvanda-web-"))
    try:
        for engine in engines:
            print(f"== The page in {ENGINE_NAMES[engine]}", flush=True)
            copy = copies / engine
            shutil.copytree(web, copy)
            if engine == "chromium":
                play_page(Page(shots), copy, linux)
                play_phone(web, shots)
                play_faults(copies / engine, shots)
            else:
                play_page({"firefox": Firefox, "webkit": WebKit}[engine](shots, display.name),
                          copy, linux)
        play_heard(web, shots, engines)
    finally:
        if display:
            display.stop()
        shutil.rmtree(copies, ignore_errors=True)

    print(f"{board.passed} passed, {len(board.failures)} failed")
    sys.exit(1 if board.failures else 0)


if __name__ == "__main__":
    main()
