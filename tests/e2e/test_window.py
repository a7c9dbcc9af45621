"""The window as a user first sees it, at 96, 120 and 144 pixels per inch:
layout, captions, glyphs, focus, keys and the end.

At 96 dpi the design's numbers hold; elsewhere the font height is
-11 * dpi / 96 and every length scales by the height of "0" in that Tahoma
over 13. Labels size themselves to their captions, so their sizes are the
texts measured by the inspector in the program's own prefix and font."""

import harness
import layout
import window
from window import Picture

opts = harness.options()
TAB_ORDER = ["drvcbDrive", "edtNVSN", "bbnOK", "bbnQuit"]
DENSITIES = ((96, -11), (120, -14), (144, -17))  # pixels per inch, font height
GREEN, NAVY, MAGENTA, OLIVE = (0, 128, 0), (0, 0, 128), (255, 0, 255), (128, 128, 0)
# Each field and its label: the accessibility layer names a field after the
# static text just above it in z order.
LABELS = {"pnlPlatform": "lblPlattform", "pnlFileSystem": "lblFileSystem", "pnlVLBL": "lblVLBL",
          "pnlVSN": "lblVSN", "drvcbDrive": "lblTargetDrive", "edtNVSN": "lblNVSN"}


def zero_and_label_sizes(t, app, w, dpi, font_height):
    """The height of "0" the lengths scale by, and each label's text size."""
    labels = [c for c in w["controls"] if c["name"].startswith("lbl")]
    m = app.inspector_run("measure", layout.FONT_FACE, font_height, "0",
                          *[c["text"] for c in labels])
    t.equal(m["face"], layout.FONT_FACE, f"{dpi} dpi: the labels' font is Wine's own")
    zero = 13 if dpi == 96 else m["sizes"][0][1]
    return zero, {c["name"]: s for c, s in zip(labels, m["sizes"][1:])}


def check_layout(t, app, w, dpi, font_height):
    t.equal([w["props"]["KestrovaDpi"], w["props"]["KestrovaFontHeight"]], [dpi, font_height],
            f"{dpi} dpi: seen by the program, and its font height")
    zero, sizes = zero_and_label_sizes(t, app, w, dpi, font_height)
    t.equal(w["client"], [layout.scale(v, zero) for v in layout.CLIENT], f"{dpi} dpi: client area")
    by_name = {c["name"]: c for c in w["controls"]}
    for row in layout.controls():
        c = by_name.get(row["name"])
        if not t.check(c is not None, f"{row['name']} exists"):
            continue
        got, want = c["rect"], [layout.scale(v, zero) for v in row["rect"]]
        if row["kind"] == "Label":
            want = want[:2] + sizes[row["name"]]
        elif row["kind"] == "DriveSelector" and dpi != 96:
            got, want = got[:3], want[:3]  # its height follows the font
        t.equal(got, want, f"{row['name']} at {dpi} dpi")


def check_captions(t, w):
    t.equal(w["caption"], "Kestrova For Win9x/NT", "window caption")
    by_name = {c["name"]: c for c in w["controls"]}
    for row in layout.controls():
        c = by_name[row["name"]]
        t.equal(c["parent_name"], row["parent"] or "", f"{row['name']} parent")
        if row["caption"] is not None and row["name"] not in ("pnlFileSystem", "pnlVLBL", "pnlVSN"):
            expected = "WindowsNT6.1" if row["name"] == "pnlPlatform" else row["caption"]
            t.equal(c["text"], expected, f"{row['name']} caption")
    t.equal(by_name["edtNVSN"].get("limit"), 8, "entry takes at most 8 characters")
    t.check(not by_name["bbnOK"]["enabled"], "OK starts disabled")
    t.check(by_name["sttCompiler"]["text"].startswith("MinGW-w64 GCC "), "compiler line")
    stops = [c["name"] for c in sorted(w["controls"], key=lambda c: c["zorder"])
             if c["tabstop"] and c["parent_name"] == "nxpClient"]
    t.equal(stops, TAB_ORDER, "tab stops in tab order")
    left, top, width, height = w["rect"]
    sw, sh = w["screen"]
    t.equal([left, top], [max(0, (sw - width) // 2), max(0, (sh - height) // 2)],
            "centred on the screen")


def check_screen_reader(t, app, w):
    """Labels as a screen reader meets them; Wine names only the entry by
    its label, so for the other fields their places are checked."""
    sibling = {(c["parent"], c["zorder"]): c["name"] for c in w["controls"]}
    above = {c["name"]: sibling.get((c["parent"], c["zorder"] - 1))
             for c in w["controls"] if c["name"] in LABELS}
    t.equal(above, LABELS, "each label just above its field in z order")
    heard = app.inspector_run("accessible", w["hwnd"])["controls"]
    harness.log("a screen reader hears: " + " | ".join(str(c["accessible_name"]) for c in heard))
    names = {c["name"]: c["accessible_name"] for c in heard}
    t.equal(names.get("edtNVSN"), "New Volume Serial No.:", "the entry is named by its label")
    t.equal({c["class"] for c in heard if c["name"][:3] in ("lbl", "stt")}, {"Static"},
            "labels are the system's static text")


def button_colours(app, name, shot_name):
    shot = Picture(app.screenshot(harness.artifact(shot_name)))
    return shot.colours(*app.control(name)["screen"])


def check_glyphs(t, app, win):
    """Each glyph in its colours, its transparent olive never drawn; OK's
    green only while it is enabled."""
    quit_ = button_colours(app, "bbnQuit", "window.png")
    t.check(NAVY in quit_ and MAGENTA in quit_, "the Quit glyph: its navy frame and magenta door")
    t.check(OLIVE not in quit_, "the Quit glyph: olive is transparent")
    t.check(GREEN not in button_colours(app, "bbnOK", "window.png"),
            "the disabled OK shows no green glyph")
    win.key("Tab")
    win.type("12345678")
    t.check(GREEN in button_colours(app, "bbnOK", "window-ok.png"),
            "the enabled OK shows its green glyph")
    win.key("shift+Tab")


def check_keys(t, app, win):
    t.equal(app.inspect()["focus_name"], "drvcbDrive", "the selector starts with the focus")
    seen = []
    for _ in range(4):
        win.key("Tab")
        seen.append(app.inspect()["focus_name"])
    t.equal(seen, ["edtNVSN", "bbnQuit", "drvcbDrive", "edtNVSN"], "Tab skips the disabled OK")
    win.key("shift+Tab")
    t.equal(app.inspect()["focus_name"], "drvcbDrive", "Shift+Tab goes back")
    win.key("Escape")
    w = app.inspect()
    t.check(app.running() and w.get("found"), "Escape leaves the window open")
    t.equal(w["focus_name"], "drvcbDrive", "Escape moves no focus")
    t.equal(app.dialogs()["dialogs"], [], "Escape opens nothing")


def main(t):
    with harness.Display() as d, harness.Prefix(d) as p:
        for dpi, font_height in DENSITIES:
            p.set_dpi(dpi)
            with harness.App(p, opts.app, inspector=opts.inspector) as app:
                w = app.wait_window()
                win = window.Window(app)
                check_layout(t, app, w, dpi, font_height)
                if dpi == 96:
                    # What every check of an absent window rests on.
                    t.equal(app.inspector_run("window", "no such window"),
                            {"found": False, "caption": "no such window"}, "the inspector: not found")
                    check_captions(t, w)
                    check_screen_reader(t, app, w)
                    check_keys(t, app, win)
                    check_glyphs(t, app, win)
                    # The program returns 0 on every path: this catches a
                    # crash, whose code Wine passes on.
                    t.equal(win.quit(), 0, "Alt+Q closes with exit code 0")
                else:
                    win.key("Tab", "Tab")
                    t.equal(app.inspect()["focus_name"], "bbnQuit", "Quit focused")
                    win.key("Return")
                    app.wait_exit()  # Enter on a focused Quit closes


harness.run(main)
