"""Driving the main window as a user does (keys, clicks) and reading it back
through the inspector; pictures read pixel by pixel."""

import collections
import contextlib
import os
import subprocess
import time
from types import SimpleNamespace

import drives
import harness

TYPE_AHEAD_PAUSE = 0.55  # the selector forgets its typed prefix after 500 ms
SETTLE = 0.3             # keys reach Wine asynchronously
HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.environ.get("KESTROVA_SOURCE") or os.path.join(HERE, "..", "..")


class Window:
    def __init__(self, app):
        self.app = app
        self._last_letter = 0.0

    def state(self):
        w = self.app.inspect()
        c = {x["name"]: x for x in w["controls"]}
        return SimpleNamespace(
            selector=c["drvcbDrive"]["text"], fs=c["pnlFileSystem"]["text"],
            label=c["pnlVLBL"]["text"], serial=c["pnlVSN"]["text"],
            entry=c["edtNVSN"]["text"], ok=c["bbnOK"]["enabled"], focus=w["focus_name"],
            combo=c["drvcbDrive"]["combo"], controls=c, window=w)

    def wait_state(self, predicate, timeout=10):
        """The state once `predicate` holds (keys reach Wine
        asynchronously), or the last one seen."""
        last = [None]

        def seen():
            last[0] = self.state()
            return predicate(last[0])
        harness._poll(seen, timeout, 0.05)
        return last[0]

    def after_write(self):
        """Serial, entry, OK and focus once a write has handed the focus
        back to the selector (or the wait gave up)."""
        s = self.wait_state(lambda s: s.focus == "drvcbDrive")
        return [s.serial, s.entry, s.ok, s.focus]

    def panels(self):
        s = self.state()
        return [s.fs, s.label, s.serial]

    def choose(self, letter):
        """Selects a drive by typing its letter into the focused selector;
        waits out the type-ahead pause first so the letter stands alone."""
        wait = self._last_letter + TYPE_AHEAD_PAUSE - time.monotonic()
        if wait > 0:
            time.sleep(wait)
        self.app.key(letter)
        self._last_letter = time.monotonic()
        time.sleep(SETTLE)

    def key(self, *keys):
        self.app.key(*keys)
        time.sleep(SETTLE)

    def type(self, text):
        self.app.type(text)
        time.sleep(SETTLE)

    def click(self, name):
        self.app.click_control(name)
        time.sleep(SETTLE)

    def refresh(self, letter):
        """Chooses a drive and leaves the selector: the refresh runs."""
        self.choose(letter)
        self.key("Tab")

    def quit(self):
        """Alt+Q and the program's end; a hang raises. The exit code, 0 on
        every path, is checked once, in test_window."""
        self.app.key("alt+q")
        return self.app.wait_exit()

    def dialogs(self, first_wait=5.0, more_wait=1.0):
        """Every dialog that opens from now on, in order: each is read, then
        closed with Return (its OK button has the focus). Waits `first_wait`
        for the first and `more_wait` for each further one."""
        seen = []
        wait = first_wait
        while True:
            d = self.app.wait_dialog(wait)
            if d is None:
                return seen
            seen.append(d)
            if not closes(self.app, d, "Return"):
                raise harness.HarnessError(f"Return did not close the dialog {d['texts']!r}")
            wait = more_wait

    def no_dialog(self):
        """The dialogs that open within a short wait (none, if all is well)."""
        return self.dialogs(first_wait=0.8)


@contextlib.contextmanager
def started_in(prefix, opts, letter=None, program=None, caption=harness.CAPTION, shown=True,
               **app_options):
    """The program (opts.app unless told) started with its working
    directory in a drive's root, if one is given: (the App, its Window)
    once the window `caption` is shown, or only made when not `shown`.
    `app_options` go to the App (desktop, env, ...)."""
    cwd = drives.root_of(prefix, letter) if letter else None
    with harness.App(prefix, program or opts.app, cwd=cwd, inspector=opts.inspector,
                     **app_options) as app:
        if shown:
            app.wait_window(caption)
        elif not harness._poll(lambda: app.inspect(caption).get("found"), 30):
            raise harness.HarnessError(f"no window {caption!r} made")
        yield app, Window(app)


@contextlib.contextmanager
def another_program(prefix, desktop, inspector):
    """Wine's Notepad open in the same desktop: the program the user would
    find in front if the window gave its activation away."""
    with harness.App(prefix, "notepad", desktop=desktop, inspector=inspector) as other:
        other.wait_window("Untitled - Notepad")
        yield other


def focus_rect_drawn(picture, rect):
    """Whether a button shows a dotted focus rectangle: its left side, 3
    pixels in (4 inside the default frame), alternates colours."""
    left, top, width, height = rect
    for inset in (3, 4):
        column = [picture.at(left + inset, y) for y in range(top + inset + 1, top + height - inset - 1)]
        if sum(a != b for a, b in zip(column, column[1:])) >= len(column) // 2:
            return True
    return False


def closes(app, dialog, key):
    """Whether the key closes the open dialog within 5 s."""
    app.key(key)
    return harness._poll(
        lambda: all(x["hwnd"] != dialog["hwnd"] for x in app.dialogs()["dialogs"]), 5)


def texts(dialogs):
    return [d["texts"] for d in dialogs]


def no_dialog(t, win, what):
    """Checks that no dialog opens within a short wait."""
    return t.equal(texts(win.no_dialog()), [], f"{what}: no dialog")


def system_error(app, code):
    """The program's text for a system error code, worded by the prefix's
    Windows."""
    return f"{app.system_text(code)}\n(Code:{code:08d})\n"


def check_error_box(t, shown, text, what, caption="エラー"):
    """Checks that `shown` is one error box, as the program shows them: its
    caption, exactly `text`, the error icon and one OK button, the default,
    with the focus."""
    seen = [(d["caption"], d["texts"], d["has_error_icon"],
             [(b["text"], b["default"], b["focused"]) for b in d["buttons"]]) for d in shown]
    return t.equal(seen, [(caption, [text], True, [("OK", True, True)])], f"{what}: one error box")


# ---- pictures ---------------------------------------------------------------

# The client panel's surface, which labels show through them while visual
# styles are on; Wine's button face, which they are filled with otherwise.
PANEL_FILL = (227, 239, 255)
BUTTON_FACE = (245, 245, 245)
GLYPH_TRANSPARENT = (0, 0, 255)  # the drive glyphs' see-through colour

class Picture:
    """An image's pixels as (r, g, b) tuples."""

    def __init__(self, path):
        size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True,
                              text=True, check=True).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                             check=True).stdout
        self.raw = raw

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.raw[i:i + 3])

    def block(self, x, y, width, height):
        return [[self.at(x + i, y + j) for i in range(width)] for j in range(height)]

    def colours(self, x, y, width, height):
        return {p for row in self.block(x, y, width, height) for p in row}

    def commonest(self, x, y, width, height):
        """The colour most pixels of the area have: what it is filled with."""
        counts = collections.Counter(p for row in self.block(x, y, width, height) for p in row)
        return counts.most_common(1)[0][0]


def glyph_shapes(picture, left, top, width, height, far=160):
    """The shapes drawn in an area, split at columns without ink: each the
    set of its ink pixels (away from the area's commonest colour) relative
    to its left edge. A text in a font that lacks its characters is a row
    of one shape, the missing-glyph box, again and again."""
    background = picture.commonest(left, top, width, height)

    def ink(x, y):
        return sum(abs(a - b) for a, b in zip(picture.at(x, y), background)) > far

    shapes, shape, start = [], set(), None
    for i in range(width + 1):
        column = {j for j in range(height) if i < width and ink(left + i, top + j)}
        if column and start is None:
            start = i
        if column:
            shape |= {(i - start, j) for j in column}
        elif start is not None:
            shapes.append(frozenset(shape))
            shape, start = set(), None
    return shapes


def distinct_shapes(picture, rect):
    return len(set(glyph_shapes(picture, *rect)))


def glyph(name):
    """A drive glyph from the program's resources, as rows of pixels."""
    return Picture(os.path.join(SOURCE, "res", f"{name.lower()}.bmp")).block(0, 0, 16, 11)


def on_background(rows, background, transparent=GLYPH_TRANSPARENT):
    """How a glyph looks drawn on `background`."""
    return [[background if p == transparent else p for p in row] for row in rows]


def block_difference(actual, expected):
    """A short account of where two blocks of pixels differ ("" if nowhere)."""
    diffs = [(x, y, a, e) for y, (ra, re_) in enumerate(zip(actual, expected))
             for x, (a, e) in enumerate(zip(ra, re_)) if a != e]
    if not diffs:
        return ""
    x, y, a, e = diffs[0]
    return f"{len(diffs)} pixels differ, first at ({x}, {y}): {a} instead of {e}"


def find_block(picture, rows, left, top, width, height):
    """Where within the area the block of pixels stands, or None."""
    h, w = len(rows), len(rows[0])
    for y in range(top, top + height - h + 1):
        for x in range(left, left + width - w + 1):
            if all(picture.at(x + i, y + j) == rows[j][i] for j in range(h) for i in range(w)):
                return x, y
    return None


# ---- the X clipboard ---------------------------------------------------------

class Clipboard:
    """Holds `text` on the X clipboard (xclip stays its owner in the
    foreground) until the block ends; Wine's paste asks the owner.
    Wine re-reads the X clipboard at most every two seconds and pastes what
    it read last until then, so a new text is given that long to arrive."""

    WINE_REFRESH = 2.2

    def __init__(self, env, text):
        self.env, self.text = env, text
        self.proc = None

    def __enter__(self):
        self.proc = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard"],
                                     stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, env=self.env)
        self.proc.stdin.write(self.text.encode())
        self.proc.stdin.close()

        def owned():
            r = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                               env=self.env, timeout=5)
            return r.returncode == 0 and r.stdout.decode() == self.text
        if not harness._poll(owned, 5):
            raise harness.HarnessError("xclip did not take the clipboard")
        time.sleep(self.WINE_REFRESH)
        return self

    def __exit__(self, *exc):
        harness._stop(self.proc)
