"""The error dialog on both of its paths, inside a Wine desktop so that Wine
draws the title bars: the task dialog where visual styles are on, the
system's message box where they are off (one prefix setting each).

On each path, one dialog during start-up (the test build's unready start
drive), before the window is shown, and one from the refresh of the empty
floppy a:. Each has the caption "エラー" drawn readably, the error icon,
one OK button that is the default, the exact text, and the place in the
middle of the screen, and the program's windows are disabled while it is
open. Afterwards the keyboard reaches the window again.

Escape closes the message box. Wine 8.0's task dialog ignores Escape when
it has no Cancel button, although the dialog allows cancelling (its
IsDialogMessage sends IDCANCEL, which names none of its buttons); there
Enter closes it.

    python3 test_error_dialogs.py --build <Windows build dir>
"""

import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import drives  # noqa: E402
import harness  # noqa: E402
import window  # noqa: E402
from window import Picture  # noqa: E402

opts = harness.options()
THEMES = r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager"
DESKTOP = "1024x768"
# What a label over the client panel is filled with: the panel's colour
# where visual styles are on, Wine's button face where they are off.
LABEL_FILL = {"on": (227, 239, 255), "off": (245, 245, 245)}
CAPTION_HEIGHT = 18  # Wine's caption bar, below the 3-pixel frame


def expected_text(app, code):
    return f"{app.system_text(code)}\n(Code:{code:08d})\n"


def red_pixels(picture, rect):
    return sum(1 for row in picture.block(*rect) for r, g, b in row if r > 170 and g < 90 and b < 90)


def check_dialog(t, app, code, what):
    """The dialog now open, checked while it is; returns it."""
    d = app.wait_dialog()
    if not t.check(d is not None, f"{what}: a dialog"):
        return None
    t.equal(d["caption"], "エラー", f"{what}: caption")
    t.equal(d["texts"], [expected_text(app, code)], f"{what}: the exact text")
    t.equal([(b["text"], b["default"]) for b in d["buttons"]], [("OK", True)],
            f"{what}: one OK button, the default")
    left, top, width, height = d["rect"]
    t.near([left + width / 2, top + height / 2], [512, 384], 1, f"{what}: centred on the screen")
    main = [o["enabled"] for o in app.dialogs()["others"] if o["class"] == "TfrmMain"]
    t.equal(main, [False], f"{what}: the window disabled while it is open")
    name = "".join(c if c.isalnum() else "-" for c in what)
    shot = Picture(app.screenshot(harness.artifact(f"{name}.png")))
    caption = (left + 3, top + 3, width - 30, CAPTION_HEIGHT)
    # Three different characters; a font without them draws one box thrice.
    t.check(window.distinct_shapes(shot, caption) >= 3, f"{what}: the caption drawn readably")
    t.check(red_pixels(shot, d["icon_screen"]) >= 40, f"{what}: the error icon's red cross")
    return d


def during_start_up(t, prefix, styles):
    """The test build's start drive d: is not ready: its dialog comes
    before the window is shown, which stays disabled meanwhile."""
    what = f"styles {styles}, start-up"
    with harness.App(prefix, opts.faults, cwd=drives.root_of(prefix, "d"), desktop=DESKTOP,
                     inspector=opts.inspector, env={"KESTROVA_UNREADY_DRIVES": "D"}) as app:
        # Made but not shown, so there is no visible window to wait for.
        if not harness._poll(lambda: app.inspect().get("found"), 30):
            raise harness.HarnessError(f"{what}: no window made")
        d = check_dialog(t, app, 21, what)
        t.check(not app.inspect()["visible"], f"{what}: the window not shown yet")
        if d:
            t.check(window.closes(app, d, "Return"), f"{what}: Enter closes it")
        t.check(harness._poll(lambda: app.inspect().get("visible"), 10), f"{what}: then shown")
        app.key("alt+q")
        t.equal(app.wait_exit(), 0, f"{what}: Alt+Q, exit code 0")


def label_fill(t, app, styles):
    shot = Picture(app.screenshot(harness.artifact(f"styles-{styles}.png")))
    t.equal(shot.commonest(*app.control("lblPlattform")["screen"]), LABEL_FILL[styles],
            f"styles {styles}: label fill")


def after_an_empty_drive(t, prefix, styles):
    """The empty floppy a: chosen and left: after its dialog the entry has
    the focus, typing reaches it, and Alt+Q quits."""
    what = f"styles {styles}, empty a:"
    with harness.App(prefix, opts.app, cwd=drives.root_of(prefix, "d"), desktop=DESKTOP,
                     inspector=opts.inspector) as app:
        app.wait_window()
        win = window.Window(app)
        label_fill(t, app, styles)
        win.choose("a")
        win.key("Tab")
        d = check_dialog(t, app, 3, what)
        # Wine's task dialog takes Enter only (see above).
        key = "Escape" if styles == "off" else "Return"
        if d:
            t.check(window.closes(app, d, key), f"{what}: {key} closes it")
        win.type("ab")
        s = win.state()
        t.equal((s.focus, s.entry), ("edtNVSN", "ab"), f"{what}: afterwards typing reaches the entry")
        app.key("alt+q")
        t.equal(app.wait_exit(), 0, f"{what}: Alt+Q, exit code 0")


def main(t):
    drives.require_tools()
    with tempfile.TemporaryDirectory(prefix="kestrova-dialogs-") as folder, \
            harness.Display() as display, harness.Prefix(display) as prefix:
        fat = drives.make_fat(os.path.join(folder, "d.img"), "16", 0x0D16A001, "DATA16", "2600")
        prefix.map_drives({"d": (fat, "hd"), "a": (None, "floppy")})
        for styles, active in (("on", "1"), ("off", "0")):
            prefix.reg_add(THEMES, "ThemeActive", active)
            prefix.kill()
            during_start_up(t, prefix, styles)
            after_an_empty_drive(t, prefix, styles)


harness.run(main)
