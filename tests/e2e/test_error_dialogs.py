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
import tempfile

import drives
import harness
import window
from window import Picture

opts = harness.options()
THEMES = r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager"
DESKTOP = "1024x768"
# What a label over the client panel is filled with: the panel's colour
# where visual styles are on, Wine's button face where they are off.
LABEL_FILL = {"on": window.PANEL_FILL, "off": window.BUTTON_FACE}
CAPTION_HEIGHT = 18  # Wine's caption bar, below the 3-pixel frame
BST_FOCUS = 8


def red_pixels(picture, rect):
    return sum(1 for row in picture.block(*rect) for r, g, b in row if r > 170 and g < 90 and b < 90)


def check_dialog(t, app, code, what):
    """The dialog now open, checked while it is; returns it."""
    d = app.wait_dialog()
    if not window.check_error_box(t, [d] if d else [], window.system_error(app, code), what):
        return None
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
    with window.started_in(prefix, opts, "d", program=opts.faults, shown=False, desktop=DESKTOP,
                           env={"KESTROVA_UNREADY_DRIVES": "D"}) as (app, win):
        d = check_dialog(t, app, 21, what)
        t.check(not app.inspect()["visible"], f"{what}: the window not shown yet")
        if d:
            t.check(window.closes(app, d, "Return"), f"{what}: Enter closes it")
        t.check(harness._poll(lambda: app.inspect().get("visible"), 10), f"{what}: then shown")
        win.quit()


def label_fill(t, app, styles):
    shot = Picture(app.screenshot(harness.artifact(f"styles-{styles}.png")))
    t.equal(shot.commonest(*app.control("lblPlattform")["screen"]), LABEL_FILL[styles],
            f"styles {styles}: label fill")


def after_an_empty_drive(t, prefix, styles):
    """With another program's window open behind it, the empty floppy a:
    chosen and left: after its dialog the window is in front again, the
    entry has the focus and the keys, sent to whatever has the focus,
    reach it."""
    what = f"styles {styles}, empty a:"
    # The other program's start made the desktop; a second would end it.
    with window.another_program(prefix, DESKTOP, opts.inspector), \
            window.started_in(prefix, opts, "d") as (app, win):
        t.check(app.inspect()["foreground"], f"{what}: the window starts in front")
        label_fill(t, app, styles)
        win.refresh("a")
        d = check_dialog(t, app, 3, what)
        # Wine's task dialog takes Enter only (see above).
        key = "Escape" if styles == "off" else "Return"
        if d:
            t.check(window.closes(app, d, key), f"{what}: {key} closes it")
        t.check(harness._poll(lambda: app.inspect()["foreground"], 3),
                f"{what}: the window is in front again, not the other program")
        win.type("ab")
        s = win.state()
        t.equal((s.focus, s.entry), ("edtNVSN", "ab"), f"{what}: afterwards typing reaches the entry")
        no_focus_left_on_ok(t, app, win, what)
        win.quit()


def ok_focus(app, shot_name):
    """OK's focus bit (BM_GETSTATE) and whether it draws a focus rectangle."""
    ok = app.control("bbnOK")
    shot = Picture(app.screenshot(harness.artifact(shot_name)))
    return bool(ok["button_state"] & BST_FOCUS), window.focus_rect_drawn(shot, ok["screen"])


def no_focus_left_on_ok(t, app, win, what):
    """A mouse press on OK with the selector focused refreshes d: inside
    OK's own focus change and hands the focus back to the selector: OK keeps
    no focus state, then or after eight characters more; on the keyboard's
    Tab it has both."""
    win.key("shift+Tab")
    win.refresh("d")
    win.type("CAFEF00D")
    win.key("shift+Tab")
    win.click("bbnOK")
    name = what.replace(" ", "-").replace(",", "").replace(":", "")
    s = win.state()
    t.equal((s.focus, s.entry, s.ok), ("drvcbDrive", "", False), f"{what}: the press refreshed d:")
    t.equal(ok_focus(app, f"{name}-pressed.png"), (False, False), f"{what}: no focus left on OK")
    win.key("Tab")
    win.type("12345678")
    t.equal(ok_focus(app, f"{name}-typed.png"), (False, False), f"{what}: none after typing either")
    win.key("Tab")
    t.equal(ok_focus(app, f"{name}-tabbed.png"), (True, True), f"{what}: OK focused by Tab shows it")


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
