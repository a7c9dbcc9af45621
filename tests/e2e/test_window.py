"""The window as a user first sees it: layout, captions, focus, keys, exit."""

import harness
import layout

opts = harness.options()
TAB_ORDER = ["drvcbDrive", "edtNVSN", "bbnOK", "bbnQuit"]
# The captioned labels' widths in Wine's own Tahoma at 96 dpi; the stand-in
# Wine picks when it does not find that font draws each wider (52 to 134).
TAHOMA_WIDTHS = {"lblPlattform": 46, "lblFileSystem": 61, "lblVLBL": 74, "lblVSN": 95,
                 "lblTargetDrive": 68, "lblNVSN": 121}
# Each field and its label: the accessibility layer names a field after the
# static text just above it in z order.
LABELS = {"pnlPlatform": "lblPlattform", "pnlFileSystem": "lblFileSystem", "pnlVLBL": "lblVLBL",
          "pnlVSN": "lblVSN", "drvcbDrive": "lblTargetDrive", "edtNVSN": "lblNVSN"}


def check_layout(t, w):
    t.equal(w["caption"], "Kestrova For Win9x/NT", "window caption")
    t.equal(w["client"], [394, 168], "client area at 96 dpi")
    t.equal(w["props"]["KestrovaFontHeight"], -11, "font height")
    by_name = {c["name"]: c for c in w["controls"]}
    for row in layout.controls():
        c = by_name.get(row["name"])
        if not t.check(c is not None, f"{row['name']} exists"):
            continue
        t.equal(c["parent_name"], row["parent"] or "", f"{row['name']} parent")
        left, top, width, height = row["rect"]
        if row["kind"] == "Label":
            # Labels size themselves to their caption from their left edge.
            t.equal(c["rect"][:2], [left, top], f"{row['name']} position")
            t.equal(c["rect"][3], 13, f"{row['name']} height")
        else:
            t.equal(c["rect"], [left, top, width, height], f"{row['name']} rectangle")
        if row["caption"] is not None and row["name"] not in ("pnlFileSystem", "pnlVLBL", "pnlVSN"):
            expected = "WindowsNT6.1" if row["name"] == "pnlPlatform" else row["caption"]
            t.equal(c["text"], expected, f"{row['name']} caption")
    t.equal({name: by_name[name]["rect"][2] for name in TAHOMA_WIDTHS if name in by_name},
            TAHOMA_WIDTHS, "labels drawn in Wine's Tahoma")
    t.equal(by_name["edtNVSN"].get("limit"), 8, "entry takes at most 8 characters")
    t.check(not by_name["bbnOK"]["enabled"], "OK starts disabled")
    t.check(by_name["sttCompiler"]["text"].startswith("MinGW-w64 GCC "), "compiler line")
    stops = [c["name"] for c in sorted(w["controls"], key=lambda c: c["zorder"])
             if c["tabstop"] and c["parent_name"] == "nxpClient"]
    t.equal(stops, TAB_ORDER, "tab stops in tab order")


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


def check_centred(t, w):
    left, top, width, height = w["rect"]
    sw, sh = w["screen"]
    t.equal([left, top], [max(0, (sw - width) // 2), max(0, (sh - height) // 2)],
            "centred on the screen")


def check_tab_cycle(t, app):
    t.equal(app.inspect()["focus_name"], "drvcbDrive", "the selector starts with the focus")
    seen = []
    for _ in range(4):
        app.key("Tab")
        seen.append(app.inspect()["focus_name"])
    t.equal(seen, ["edtNVSN", "bbnQuit", "drvcbDrive", "edtNVSN"], "Tab skips the disabled OK")
    app.key("shift+Tab")
    t.equal(app.inspect()["focus_name"], "drvcbDrive", "Shift+Tab goes back")


def check_escape_does_nothing(t, app):
    app.key("Escape")
    w = app.inspect()
    t.check(app.running() and w.get("found"), "Escape leaves the window open")
    t.equal(w["focus_name"], "drvcbDrive", "Escape moves no focus")
    t.equal(app.dialogs()["dialogs"], [], "Escape opens nothing")


def check_glyphs(t, app, shot):
    ok = app.control("bbnOK")
    quit_ = app.control("bbnQuit")
    crop_ok = app.crop(shot, shot.replace(".png", "-ok.png"), *ok["screen"])
    crop_quit = app.crop(shot, shot.replace(".png", "-quit.png"), *quit_["screen"])
    t.check(not harness.has_color(crop_ok, (0, 128, 0)), "the disabled OK shows no green glyph")
    t.check(harness.has_color(crop_quit, (0, 0, 128)), "the Quit glyph has its navy frame")
    t.check(harness.has_color(crop_quit, (255, 0, 255)), "the Quit glyph has its magenta door")
    t.check(not harness.has_color(crop_quit, (128, 128, 0)), "olive is transparent")


def main(t):
    with harness.Display() as d, harness.Prefix(d) as p:
        with harness.App(p, opts.app, inspector=opts.inspector) as app:
            w = app.wait_window()
            check_layout(t, w)
            check_screen_reader(t, app, w)
            check_centred(t, w)
            shot = app.screenshot(f"{opts.artifacts}/window.png")
            check_glyphs(t, app, shot)
            check_tab_cycle(t, app)
            check_escape_does_nothing(t, app)
            app.key("alt+q")
            t.equal(app.wait_exit(), 0, "Alt+Q closes with exit code 0")
        with harness.App(p, opts.app, inspector=opts.inspector) as app:
            app.wait_window()
            app.key("Tab", "Tab")
            t.equal(app.inspect()["focus_name"], "bbnQuit", "Quit focused")
            app.key("Return")
            t.equal(app.wait_exit(), 0, "Enter on a focused Quit closes with exit code 0")


harness.run(main)
