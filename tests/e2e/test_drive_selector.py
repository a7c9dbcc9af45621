"""The drive selector on real drives under Wine, and the refresh it drives.

Drives (see drives.py): an empty floppy a:, FAT16 d:, FAT32 e:, NTFS f:, an
empty CD g:, an ISO 9660 disc h:, a network-type n: backed by a FAT image,
besides Wine's own c: and z:. The program starts with its working
directory in f:'s root, inside a Wine desktop so screenshots have frames.
Then, under a Japanese locale, a FAT16 j: with a double-byte label.

    python3 test_drive_selector.py --build <Windows build dir>
"""

import os
import re
import shutil
import tempfile
import time

import drives
import harness
import layout
import window
from window import Picture

opts = harness.options()

# letter, item text (a pattern for Wine's own drives), glyph
LIST = [
    ("a", "a:", "FLOPPY"),
    ("c", r"c: \[[^]]*\]", "HARD"),
    ("d", "d: [data16]", "HARD"),
    ("e", "e: [data32]", "HARD"),
    ("f", "f: [ntvol]", "HARD"),
    ("g", "g: []", "CDROM"),
    ("h", "h: [disc]", "CDROM"),
    ("n", "n: [netvol]", "NETWORK"),  # Wine knows no connection: the label stands in
    ("z", r"z: \[[^]]*\]", "HARD"),
]
BLUE = window.GLYPH_TRANSPARENT
WHITE = (255, 255, 255)
ITEM_HEIGHT = 13
ROWS = 8


def text_matches(letter, pattern, text):
    return re.fullmatch(pattern, text) is not None if letter in "cz" else text == pattern


def check_start(t, win):
    """Started in f:'s root: f: is current and already refreshed."""
    s = win.state()
    t.equal(s.selector, "f: [ntvol]", "start: the working directory's drive is current")
    f = drives.BY_LETTER["f"]
    t.equal([s.fs, s.label, s.serial], ["NTFS", "NTVOL", drives.boot_form(f.old)],
            "start: f: refreshed before the first look")
    t.equal((s.focus, s.ok, s.entry), ("drvcbDrive", False, ""),
            "start: selector focused, OK disabled, entry empty")


def check_list(t, win):
    s = win.state()
    combo = s.combo
    t.equal(combo["count"], len(LIST), "one item per listed drive")
    items = combo["items"]
    t.check(len(items) == len(LIST) and all(text_matches(letter, pattern, text)
                                            for text, (letter, pattern, _) in zip(items, LIST)),
            "item texts, in drive-letter order", repr(items))
    t.equal(combo["item_height"], ITEM_HEIGHT, "item height: the Tahoma cell")


def list_window(app):
    lists = [o for o in app.dialogs()["others"] if o["class"] == "ComboLBox" and o["visible"]]
    return lists[0]["rect"] if lists else None


def rows_drawn_wrong(shot, rect, first, selected, glyphs):
    """The visible rows of the open list whose pixels are wrong: the glyph
    at R.left + 2 with its blue made transparent, the text in its colour,
    the current row on the highlight and the others on white. The places
    are the unit tests'; only the pixels are checked here."""
    left, top = rect[0] + 1, rect[1] + 1  # inside the list's border
    wrong = []
    for row in range(ROWS):
        letter, _, name = LIST[first + row]
        r_top = top + row * ITEM_HEIGHT
        background = shot.at(left + 1, r_top + ITEM_HEIGHT // 2)
        glyph = shot.block(left + 2, r_top + 1, 16, 11)
        text = shot.block(left + 22, r_top + 1, 20, ITEM_HEIGHT - 2)
        ink = sum(p != background for line in text for p in line)
        on_highlight = background not in (WHITE, BLUE)
        if (window.block_difference(glyph, window.on_background(glyphs[name], background))
                or ink < 10 or on_highlight != (first + row == selected)):
            wrong.append(letter)
    return wrong


def check_open_list(t, app, win, glyphs):
    """Dropped with Alt+Down: 8 rows as wide as the selector, every glyph."""
    before = win.panels()
    combo = win.state().controls["drvcbDrive"]["screen"]
    win.key("alt+Down")
    rect = list_window(app)
    if not t.check(rect is not None, "Alt+Down opens the list"):
        return
    t.equal([rect[0], rect[2]], [combo[0], combo[2]], "the open list is as wide as the selector")
    t.equal(rect[1], combo[1] + combo[3], "the open list hangs below the field")
    t.equal(rect[3], ROWS * ITEM_HEIGHT + 2, "at most 8 rows shown at once")
    for key, first, selected in (("Home", 0, 0), ("End", len(LIST) - ROWS, len(LIST) - 1)):
        win.key(key)
        shot = Picture(app.screenshot(harness.artifact(f"list-{key}.png")))
        t.equal(rows_drawn_wrong(shot, rect, first, selected, glyphs), [],
                f"list after {key}: every row's glyph, text and background")
    win.key("Escape")
    t.check(not win.state().combo["dropped"], "Escape closes the list")
    t.equal(win.panels(), before, "picking in the list refreshes nothing")


def field_glyph(app, win, glyphs, name, shot=None):
    """The glyph as the closed field shows it: where, and on what."""
    shot = shot or Picture(app.screenshot(harness.artifact("field.png")))
    x, y, w, h = win.state().controls["drvcbDrive"]["screen"]
    rows = glyphs[name]
    for bg in {shot.at(x + 4, y + h // 2), shot.at(x + 3, y + h // 2)}:
        at = window.find_block(shot, window.on_background(rows, bg), x, y, w, h)
        if at:
            return at[0] - x, at[1] - y, bg
    return None


def refresh_of(t, app, win, glyphs, letter, name, expected):
    """Choose `letter`, which changes nothing yet; leave the selector, which
    refreshes the three panels with no dialog."""
    before = win.panels()
    win.choose(letter)
    s = win.state()
    t.check(s.selector.startswith(letter + ":"), f"{letter}: chosen by typing its letter",
            s.selector)
    t.equal([s.fs, s.label, s.serial], before, f"{letter}: choosing alone refreshes nothing")
    at = field_glyph(app, win, glyphs, name)
    if t.check(at is not None, f"{letter}: the closed field shows the {name} glyph"):
        t.check(at[2] != BLUE, f"{letter}: no blue around the field's glyph", at)
    win.key("Tab")
    s = win.state()
    t.equal([s.fs, s.label, s.serial], expected, f"{letter}: leaving the selector refreshes")
    t.equal((s.focus, s.ok, s.entry), ("edtNVSN", False, ""), f"{letter}: entry focused, OK off")
    window.no_dialog(t, win, letter)
    win.key("shift+Tab")


def empty_drive(t, app, win, letter, kept):
    """An empty drive: one dialog with the system's text and Wine's code 3,
    "NotReady", and the label and serial of the drive before it."""
    win.choose(letter)
    win.app.key("Tab")
    window.check_error_box(t, win.dialogs(), window.system_error(app, 3), letter)
    time.sleep(window.SETTLE)
    s = win.state()
    t.equal([s.fs, s.label, s.serial], ["NotReady"] + kept,
            f"{letter}: NotReady; label and serial kept")
    t.equal(s.focus, "edtNVSN", f"{letter}: the focus went on to the entry")
    win.key("shift+Tab")


def ink_after_text(app, win, glyphs, text):
    """The columns of the closed field that hold ink right of `text`, the
    item's text as the window's font measures it, up to the drop button."""
    shot = Picture(app.screenshot(harness.artifact("field-932.png")))
    x, y, w, h = win.state().controls["drvcbDrive"]["screen"]
    gx, _, background = field_glyph(app, win, glyphs, "HARD", shot)
    width = app.inspector_run("measure", layout.FONT_FACE, -11, text)["sizes"][0][0]
    right = x + gx + 20 + width  # the text starts 20 pixels after the glyph
    return [i for i in range(right + 1, x + w - 21)
            if any(shot.at(i, j) != background for j in range(y + 3, y + h - 3))]


def double_byte_label(t, display, folder, glyphs):
    """Code page 932: a label of double-byte characters whose trail bytes are
    ASCII capitals (アイウ is 83 41 83 43 83 45), with the list's item
    lengths overstated as Windows may overstate them there (the program's
    test build): the item is the label alone, read back and drawn."""
    image = drives.make_fat(os.path.join(folder, "j.img"), "16", 0x0D16A00B, "LABEL", "2600")
    drives.set_fat_label(image, "アイウ".encode("cp932"))
    with harness.Prefix(display, locale="ja_JP.UTF-8") as prefix:
        prefix.map_drives({"j": (image, "hd")})
        with window.started_in(prefix, opts, "j", program=opts.faults,
                               env={"KESTROVA_OVERSTATED_LENGTHS": "1"}) as (app, win):
            s = win.state()
            t.equal((s.selector, s.label), ("j: [アイウ]", "アイウ"),
                    "932: the item and the label panel, trail bytes unchanged")
            win.key("Tab")  # the field without the highlight and the focus frame
            t.equal(ink_after_text(app, win, glyphs, "j: [アイウ]"), [],
                    "932: nothing drawn after the item's text")
            win.quit()


def main(t):
    drives.require_tools()
    glyphs = {name: window.glyph(name) for name in ("FLOPPY", "HARD", "NETWORK", "CDROM", "RAM")}
    folder = tempfile.mkdtemp(prefix="kestrova-selector-")
    try:
        with harness.Display() as display:
            with harness.Prefix(display) as prefix:
                drives.map_all(prefix, folder)
                with harness.App(prefix, opts.app, cwd=drives.root_of(prefix, "f"),
                                 inspector=opts.inspector, desktop="1024x768") as app:
                    app.wait_window()
                    win = window.Window(app)
                    window.no_dialog(t, win, "start")
                    check_start(t, win)
                    check_list(t, win)
                    check_open_list(t, app, win, glyphs)
                    d, e, n = (drives.BY_LETTER[x] for x in "den")
                    refresh_of(t, app, win, glyphs, "d", "HARD",
                               ["FAT", "DATA16", drives.boot_form(d.old)])
                    refresh_of(t, app, win, glyphs, "e", "HARD",
                               ["FAT32", "DATA32", drives.boot_form(e.old)])
                    refresh_of(t, app, win, glyphs, "n", "NETWORK",
                               ["FAT", "NETVOL", drives.boot_form(n.old)])
                    refresh_of(t, app, win, glyphs, "h", "CDROM", ["CDFS", "DISC", "[--CDFS--]"])
                    empty_drive(t, app, win, "g", ["DISC", "[--CDFS--]"])
                    refresh_of(t, app, win, glyphs, "d", "HARD",
                               ["FAT", "DATA16", drives.boot_form(d.old)])
                    empty_drive(t, app, win, "a", ["DATA16", drives.boot_form(d.old)])
                    # Alt+Q from the selector on an empty drive: a refresh would
                    # show a dialog and keep the window open.
                    win.choose("g")
                    app.key("alt+q")
                    harness._poll(lambda: not app.running() or app.dialogs()["dialogs"], 10)
                    t.check(not app.running(), "Alt+Q closes at once, with no refresh")
                prefix.set_virtual_desktop(None)
            double_byte_label(t, display, folder, glyphs)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    harness.run(main)
