"""Plays Korvanda's web page through Chromium's accessibility tree alone, as a screen reader
does: it finds the controls by their names, gives them the focus and presses them with Enter
and Space, never by a click on the board. It checks the tab order, a losing row, the answer
shown through the reveal box's field, a winning row, a press on a hole of another row and
on the board under an open message box, the boxes as dialogs that take the focus and give
it back, and that what each row shows agrees with the names."""

import re

import orca_ears
import window_check as board
from window_check import check

COLOURS = {1: "red", 2: "yellow", 3: "green", 4: "blue"}
CODES = {name: code for code, name in COLOURS.items()}
# key, code, Windows key code, text, as Chromium takes them
KEYS = {"Enter": ("Enter", "Enter", 13, "\r"), "Space": (" ", "Space", 32, " "),
        "Tab": ("Tab", "Tab", 9, ""), "Escape": ("Escape", "Escape", 27, "")}
ALT, CTRL, SHIFT = 1, 2, 8
WAIT = 10  # seconds; the copy follows the game at once, only a hung page takes that long


class Tree:
    """The page as Chromium's accessibility tree has it, read over the DevTools protocol."""

    def __init__(self, page):
        self.page = page
        page.send("Accessibility.enable")
        page.send("DOM.enable")

    def nodes(self):
        return [n for n in self.page.send("Accessibility.getFullAXTree")["nodes"]
                if not n.get("ignored")]

    @staticmethod
    def value(node, field):
        return node.get(field, {}).get("value", "")

    @staticmethod
    def prop(node, name):
        return next((p["value"].get("value") for p in node.get("properties", [])
                     if p["name"] == name), None)

    def names(self):
        """Each name's first node: a control's, before the text inside it."""
        found = {}
        for node in self.nodes():
            found.setdefault(self.value(node, "name"), node)
        return found

    def find(self, name, seconds=WAIT):
        """The node of that name, or of a name that the pattern matches, once there."""
        if isinstance(name, str):
            return self.page.wait(lambda: self.names().get(name), seconds)
        return self.page.wait(lambda: next((node for text, node in self.names().items()
                                            if name.fullmatch(text)), None), seconds)

    def focused(self):
        found = [n for n in self.nodes() if self.prop(n, "focused")
                 and self.value(n, "role") != "RootWebArea"]
        return self.value(found[0], "name") if found else None

    def live_text(self):
        nodes = {n["nodeId"]: n for n in self.page.send("Accessibility.getFullAXTree")["nodes"]}
        region = next((n for n in nodes.values() if self.prop(n, "live") == "polite"
                       and not n.get("ignored")), None)
        texts, pending = [], list(region.get("childIds", [])) if region else []
        while pending:
            node = nodes.get(pending.pop(0))
            if node and self.value(node, "role") == "StaticText":
                texts.append(self.value(node, "name"))
            elif node:
                pending[:0] = node.get("childIds", [])
        return " ".join(texts)

    def key(self, name, modifiers=0):
        """A key named in KEYS, or a letter's."""
        key, code, virtual, text = KEYS.get(name) or (name, "Key" + name.upper(),
                                                      ord(name.upper()), "")
        for kind in ("keyDown" if text else "rawKeyDown", "keyUp"):
            self.page.send("Input.dispatchKeyEvent", type=kind, key=key, code=code, text=text,
                           windowsVirtualKeyCode=virtual, modifiers=modifiers)

    def focus(self, name):
        node = self.find(name)
        if node:
            self.page.send("DOM.focus", backendNodeId=node["backendDOMNodeId"])
        return node is not None and self.page.wait(lambda: self.focused() == name, WAIT)

    def press(self, name, key="Enter"):
        """Focuses the control of that name and presses it; False if it is not there."""
        if not self.focus(name):
            return False
        self.key(key)
        return True


def hole_name(row, place, colour):
    return f"Row {row}, hole {place}: {colour}"


def agrees(page, tree, origin, label):
    """Every hole's and every row's marks' name against the board's pixels."""
    client = page.client(origin, label)
    names = tree.names()
    wrong = []
    for row in range(1, 9):
        shown = board.read_row(client, row)
        for place in range(1, 5):
            colour = COLOURS.get(shown[4 - place], "empty")  # column 1 is the rightmost
            if hole_name(row, place, colour) not in names:
                wrong.append(f"row {row} hole {place} shows {colour}")
        black, white, _ = board.marks(client, row)
        if f"Row {row}, box 1: {black} black, {white} white" not in names:
            wrong.append(f"row {row} shows {black} black, {white} white")
    check(not wrong, f"{label}: every hole's and mark's name agrees with the pixels "
          f"{wrong[:3]}")


def choose(tree, code):
    """Selects the colour on the palette with Space, unless it is selected already; True
    when it is selected and a press left the focus on its peg."""
    peg = COLOURS[code].capitalize() + " peg"
    if not tree.find(peg + ", selected", 0.1):
        tree.press(peg, "Space")
        if not tree.page.wait(lambda: tree.focused() == peg + ", selected", WAIT):
            return False
    return bool(tree.find(peg + ", selected"))


def play_row(tree, row, guess):
    """Places each colour with Enter; True when each press renamed the pressed hole."""
    heard = True
    for place, code in enumerate(guess, start=1):
        heard &= choose(tree, code) and tree.press(hole_name(row, place, "empty")) and bool(
            tree.find(hole_name(row, place, COLOURS[code])))
    return heard


def marks_name(tree, row):
    """The row's marks as a press tells them."""
    box = next((n for n in tree.names() if n.startswith(f"Row {row}, box 1: ")), None)
    return box and f"Row {row}: " + box.split(": ", 1)[1]


def play(page):
    """Plays the page, loaded anew, through its accessibility tree."""
    page.load()
    origin = page.find_board()
    if not check(origin is not None, "screen reader: the page is loaded anew and painted"):
        return
    tree = Tree(page)
    names = tree.find("Reveal code") and tree.names()
    holes = [n for n in names if re.fullmatch(r"Row \d, hole \d: empty", n)]
    marks = [n for n in names if re.fullmatch(r"Row \d, box \d: 0 black, 0 white", n)]
    pegs = [n for n in names if n.endswith(" peg")]
    roles = {tree.value(names[n], "role") for n in holes + pegs}
    check(len(holes) == 32 and len(marks) == 32 and len(pegs) == 4 and roles == {"button"}
          and tree.value(names["Reveal code"], "role") == "textbox"
          and "Choose colors (---->) and click on the holes below." in names
          and not any(n.startswith("Answer, hole") for n in names),
          f"screen reader: the tree names {len(pegs)} pegs and {len(holes)} holes as buttons, "
          f"{len(marks)} mark boxes, the reveal box as a text field and the message; "
          "the hidden answer is not there")

    # Tab goes through the board in the order of play, then the menus; Shift+Tab back.
    expected = ["Reveal code"] + [COLOURS[c].capitalize() + " peg" for c in COLOURS]
    for row in range(1, 9):
        expected += [hole_name(row, p, "empty") for p in range(1, 5)]
        expected += [f"Row {row}, box {box}: 0 black, 0 white" for box in range(1, 5)]
    expected += ["New Game", "Exit", "How to Play Korvanda", "About Korvanda"]
    tree.focus("Reveal code")
    order = [tree.focused()]
    for _ in expected[1:]:
        tree.key("Tab")
        order.append(tree.focused())
    tree.key("Tab", SHIFT)
    stop = next((i for i, (a, b) in enumerate(zip(order, expected)) if a != b), None)
    check(order == expected and tree.focused() == expected[-2],
          "screen reader: Tab goes through the reveal box, the palette, each row's holes and "
          "marks from the bottom up and the menus' commands, Shift+Tab back "
          f"(first difference at stop {stop}: {order[stop] if stop is not None else ''})")

    # A click on the board's reveal box moves the game's focus, and the browser's with it.
    tree.focus("Red peg")
    page.click(origin, (221, 17))
    check(page.wait(lambda: tree.focused() == "Reveal code", WAIT),
          "screen reader: a click on the reveal box gives its field the browser's focus")

    # A losing row; should it win by chance, New Game from the menu and another.
    for _ in range(3):
        tree.press("New Game")
        tree.find(hole_name(1, 1, "empty"))
        heard = play_row(tree, 1, [1, 1, 2, 2])
        result = marks_name(tree, 1)
        if result != "Row 1: 4 black, 0 white":
            break
    told = tree.live_text()
    check(heard and told == f"{hole_name(1, 4, 'yellow')}; {result}",
          f"screen reader: each press keeps the focus and renames its hole, and the last "
          f"tells the hole and the row's marks, even none, politely: {told!r}")
    agrees(page, tree, origin, "screen-reader-losing-row")

    # The answer through the reveal box's field.
    tree.focus("Reveal code")
    page.type(board.REVEAL_CODE)
    answer = [tree.find(re.compile(rf"Answer, hole {p}: (red|yellow|green|blue)"))
              for p in range(1, 5)]
    secret = [CODES[tree.value(n, "name").split(": ")[1]] for n in answer if n]
    client = page.client(origin, "screen-reader-revealed")
    check(len(secret) == 4 and board.read_row(client, 0) == secret[::-1],
          f"screen reader: the reveal code typed into the field shows the answer {secret}, "
          "as the pixels do")
    if len(secret) != 4:
        return

    heard = play_row(tree, 2, secret)
    told = tree.live_text()
    check(heard and tree.find("You guessed the pattern!!!") and told.startswith(
          f"{hole_name(2, 4, COLOURS[secret[3]])}; Row 2: 4 black, 0 white; "
          "You guessed the pattern!!!"), f"screen reader: the winning row is told, politely: "
          f"{told!r}")
    agrees(page, tree, origin, "screen-reader-winning-row")

    # A press on a hole of another row does what a click does: the peg goes into the
    # current row, and that is told.
    choose(tree, 4)
    tree.press(hole_name(6, 2, "empty"))
    check(tree.find(hole_name(3, 2, "blue")) and hole_name(3, 2, "blue") in tree.live_text()
          and tree.focused() == hole_name(6, 2, "empty"),
          "screen reader: a press on a hole of row 6 places the peg in row 3, as a click "
          "does, and tells it")

    # A box is a dialog that takes the focus and gives it back; the board under it takes
    # no press.
    before = page.client(origin)
    tree.press("How to Play Korvanda")
    dialog = tree.find("How to Play...")
    check(dialog and tree.value(dialog, "role") in ("dialog", "alertdialog") and
          tree.value(dialog, "description").startswith("Korvanda is a game based on logic.")
          and tree.value(dialog, "description").endswith("do not correspond to the "
                                                         "positions of the holes.")
          and page.wait(lambda: tree.focused() == "OK", WAIT),
          "screen reader: How to Play is a dialog with its title and whole text, and its OK "
          "has the focus")
    for modifiers in (SHIFT, 0):
        tree.key("Tab", modifiers)
    check(tree.focused() == "OK", "screen reader: Tab and Shift+Tab keep the focus in the box")
    page.eval("for (const b of document.querySelectorAll('#board-copy button'))"
              " if (b.textContent === 'Row 4, hole 1: empty') b.click()")
    tree.key("Escape")
    check(page.wait(lambda: tree.focused() == "How to Play Korvanda", WAIT)
          and not tree.find("How to Play...", 0.5) and tree.find(hole_name(3, 1, "empty"))
          and page.client(origin).image.data == before.image.data,
          "screen reader: Escape closes it, the focus is back on its command, and a press on "
          "the board meanwhile placed nothing")
    tree.focus(hole_name(3, 3, "empty"))
    tree.key("a", CTRL)
    check(tree.find("About...") and page.wait(lambda: tree.focused() == "OK", WAIT),
          "screen reader: Ctrl+A on a hole opens About, and its OK has the focus")
    tree.key("Enter")
    check(page.wait(lambda: tree.focused() == hole_name(3, 3, "empty"), WAIT),
          "screen reader: Enter on OK closes it, and the hole has the focus again")
    tree.key("h", ALT)
    focused = page.wait(lambda: tree.focused() == "How to Play Korvanda", WAIT)
    tree.key("a")
    check(focused and tree.find("About...") and page.wait(lambda: tree.focused() == "OK", WAIT),
          "screen reader: Alt+H goes to the Help menu's first command, and its letter A opens "
          "About")
    tree.key("Space")
    check(page.wait(lambda: tree.focused() == "How to Play Korvanda", WAIT),
          "screen reader: Space on OK closes it")

    errors = [m["params"]["args"][0].get("value") for m in page.events
              if m.get("method") == "Runtime.consoleAPICalled" and m["params"]["type"] == "error"]
    check(not errors, f"screen reader: no error in the console {errors[:1]}")


# The names of the copy's controls, and of the one that has the browser's focus.
NAME = "((e) => e.getAttribute('aria-label') || e.textContent)"
FOCUSED = (f"((e) => e && e.closest('#board-copy') && e.id !== 'board-copy' ? {NAME}(e) : null)"
           "(document.activeElement)")
ANSWER = (f"[...document.querySelectorAll('#board-copy [data-node]')].map({NAME})"
          ".filter((n) => n.startsWith('Answer, hole')).map((n) => n.split(': ')[1])")


def reveal(page, code):
    """Gives the reveal box's field the code, as a typed one, away from the focus."""
    page.eval("(() => { const f = document.querySelector('#board-copy input');"
              f" f.value = {code!r}; f.dispatchEvent(new Event('input', {{bubbles: true}})); }})()")


def hear(page, session, orca):
    """Plays a whole game in the page, which the browser opened in the session, by keys
    alone with Orca listening, as a blind player does, and checks what Orca says after each
    key: Space presses a peg and Enter a hole; then Alt+H goes to How to Play, whose box
    Enter opens and Escape closes."""
    label = f"{page.name.capitalize()} with Orca"
    if not check(page.find_board() is not None, f"{label}: the board is painted"):
        return
    reveal(page, board.REVEAL_CODE)
    # The answer row is in the copy only while it is shown.
    secret = page.wait(lambda: len(page.eval(ANSWER)) == 4, WAIT) and page.eval(ANSWER)
    reveal(page, "")
    if not check(secret and page.wait(lambda: page.eval(ANSWER) == [], WAIT),
                 f"{label}: the reveal code in the field shows the answer {secret}, and "
                 "hides it again"):
        return
    try:
        player = orca_ears.Player(session, orca, lambda: page.eval(FOCUSED))
        player.play(secret, "space", "Return")
        player.key("alt+h", focus_to="How to Play Korvanda")
        player.key("Return", *orca_ears.HOW_TO_PLAY, "OK")
        player.key("Escape", focus_to="How to Play Korvanda")
        heard = None
    except AssertionError as failure:
        heard = failure
    check(heard is None, f"{label}: a whole game by keys alone, each change heard once, "
          f"and Alt+H to How to Play {heard or ''}")
    errors = [error for error in page.errors() if "ExitStatus" not in error]
    check(not errors, f"{label}: no error in the console {errors[:1]}")
