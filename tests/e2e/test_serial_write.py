"""Typing, pasting and writing serial numbers with the real window under
Wine, checked afterwards on the images from Linux.

The drives are those of drives.py. The first run is on Wine's default NT
version, started in d:'s root; the second on Windows 98, started in e:'s,
after a server restart so that Wine reports the serials written.

    python3 test_serial_write.py --build <Windows build dir>
"""

import os
import shutil
import subprocess
import tempfile
import time

import drives
import harness
import window
from drives import Changes, boot_form, query_form
from window import Picture

opts = harness.options()
WM_SYSCHAR = 0x0106
D, E, F, N = (drives.BY_LETTER[x] for x in "defn")
# What is typed for each drive; every byte differs from the old serial.
TYPED = {"d": "CAFEF00D", "e": "0badcafe", "f": "FEEDF00D", "n": "5eedf00e"}
NEW = {letter: int(text, 16) for letter, text in TYPED.items()}


def entry_and_ok(win):
    s = win.state()
    return s.entry, s.ok


def entry_rule(t, win, prefix):
    """7 characters leave OK off, the 8th turns it on, deleting one turns it
    off again; a 9th is refused whether typed or pasted."""
    win.key("Tab")
    t.equal(win.state().focus, "edtNVSN", "Tab moves into the entry")
    win.type("1234567")
    t.equal(entry_and_ok(win), ("1234567", False), "7 characters: OK disabled")
    win.type("8")
    t.equal(entry_and_ok(win), ("12345678", True), "8 characters: OK enabled")
    win.key("BackSpace")
    t.equal(entry_and_ok(win), ("1234567", False), "back to 7: OK disabled")
    win.type("a")
    t.equal(entry_and_ok(win), ("1234567a", True), "8 again: OK enabled")
    win.type("9")
    t.equal(entry_and_ok(win), ("1234567a", True), "a typed 9th character is refused")
    # One clipboard text for both pastes: Wine may keep a text it has read.
    with window.Clipboard(prefix.env, "CAFEF00D9"):
        win.key("ctrl+v")
        t.equal(entry_and_ok(win), ("1234567a", True), "a paste into a full entry is refused")
        win.key("ctrl+a", "BackSpace")
        t.equal(entry_and_ok(win), ("", False), "emptied: OK disabled")
        win.key("ctrl+v")
        t.equal(entry_and_ok(win), ("CAFEF00D", True), "a 9-character paste keeps 8")
    window.no_dialog(t, win, "typing and pasting")


def click_from_selector(t, win):
    """OK enabled and the selector focused: a mouse press on OK refreshes
    first, the refresh empties the entry and disables OK, and nothing is
    written."""
    changes = Changes(D.image)
    win.key("shift+Tab")
    s = win.state()
    t.equal((s.focus, s.entry, s.ok), ("drvcbDrive", "CAFEF00D", True),
            "back in the selector, the entry keeps its text and OK its state")
    win.click("bbnOK")
    s = win.state()
    t.equal((s.entry, s.ok), ("", False), "the press on OK refreshed first")
    t.equal(s.focus, "drvcbDrive", "the disabled OK handed the focus to the selector")
    window.no_dialog(t, win, "the press")
    t.equal(changes.offsets(), [], "the press wrote nothing")
    keyboard_after_the_press(t, win)


def keyboard_after_the_press(t, win):
    """The keyboard still works: a plain q is no Alt+Q, Tab reaches the
    entry, and a system character q without the Alt bit quits nothing."""
    win.key("q")
    t.check(win.app.inspect().get("found"), "a plain q leaves the window open")
    win.key("Tab")
    win.type("12")
    s = win.state()
    t.equal((s.focus, s.entry), ("edtNVSN", "12"), "Tab reaches the entry, and typing works")
    win.key("ctrl+a", "BackSpace")
    t.check(win.app.post(WM_SYSCHAR, ord("q"), 0), "WM_SYSCHAR q without bit 29 posted")
    time.sleep(2.5)  # a close would have ended the window by now
    t.check(win.app.inspect().get("found"), "a WM_SYSCHAR q without the Alt bit quits nothing")
    win.key("shift+Tab")


def after_write(t, win, serial_text, what):
    t.equal(win.after_write(), [serial_text, "", False, "drvcbDrive"],
            f"{what}: serial as the system reports it, entry emptied, selector focused")


def write_chosen(t, win, volume):
    """The drive chosen and refreshed, its new serial typed, Enter in the
    entry. Wine keeps reporting the serial it read when its server started;
    the next refresh reads the new one from the boot sector."""
    what = "network" if volume.wine_type == "network" else volume.kind
    win.refresh(volume.letter)
    t.equal(win.panels(), [volume.fs_name, volume.label, boot_form(volume.old)],
            f"{what}: refreshed")
    changes = Changes(volume.image)
    win.type(TYPED[volume.letter])
    t.equal(win.state().ok, True, f"{what}: 8 characters enable OK")
    win.key("Return")
    window.no_dialog(t, win, f"{what}: written")
    after_write(t, win, query_form(volume.old), what)
    drives.check_written(t, volume, changes, NEW[volume.letter], what)
    win.key("Tab")
    t.equal(win.panels(), [volume.fs_name, volume.label, boot_form(NEW[volume.letter])],
            f"{what}: the next refresh reads the new serial from the boot sector")
    win.key("shift+Tab")


def enter_after_a_choice(t, win):
    """Enter in the closed selector, on a drive chosen but not yet
    refreshed, with OK enabled from the drive refreshed last: the panels
    catch up with the chosen drive and nothing is written anywhere."""
    changes = [Changes(v.image) for v in (D, E)]
    win.key("Tab")
    win.type(TYPED["e"])
    win.key("shift+Tab")
    win.choose("e")
    t.equal(win.panels(), ["FAT", "DATA16", boot_form(NEW["d"])], "Enter after a choice: e: chosen")
    win.key("Return")
    window.no_dialog(t, win, "Enter after a choice")
    s = win.state()
    t.equal([s.fs, s.label, s.serial, s.entry, s.ok, s.focus],
            ["FAT32", "DATA32", boot_form(E.old), "", False, "drvcbDrive"],
            "Enter after a choice: e: refreshed instead, entry emptied")
    t.equal([c.offsets() for c in changes], [[], []], "Enter after a choice: nothing written")


def wheel_over_the_selector(t, app, win):
    """OK enabled in the entry, then the wheel turned over the selector,
    which moves on to f: without taking the focus: the panels follow at
    once, since no exit will, and Enter writes nothing."""
    win.refresh("e")
    win.type(TYPED["e"])
    changes = [Changes(v.image) for v in (E, F)]
    app.click_control("drvcbDrive", button=5)  # wheel down, over the selector
    s = win.wait_state(lambda s: s.fs == "NTFS")
    t.equal([s.selector, s.label, s.entry, s.ok, s.focus], ["f: [ntvol]", "NTVOL", "", False, "edtNVSN"],
            "wheel: f: chosen and refreshed, the focus still in the entry")
    win.key("Return")
    window.no_dialog(t, win, "wheel: Enter")
    t.equal([c.offsets() for c in changes], [[], []], "wheel: nothing written")
    win.key("shift+Tab")


def default_frames(app, shot_name):
    """Which glyph buttons wear the thick black default frame."""
    shot = Picture(app.screenshot(harness.artifact(shot_name)))
    framed = []
    for name in ("bbnOK", "bbnQuit"):
        left, top, width, height = app.control(name)["screen"]
        if shot.at(left, top + height // 2) == (0, 0, 0) == shot.at(left + width // 2, top):
            framed.append(name)
    return framed


def empty_drive_then_a_button(t, app, win):
    """Eight characters typed, the empty floppy a: chosen, a press on OK:
    the refresh's one box and nothing written. Then Shift+Tab to Quit: its
    box again, and afterwards only Quit, which has the focus, wears the
    default frame."""
    win.refresh("d")
    win.type(TYPED["d"])
    changes = Changes(D.image)
    win.key("shift+Tab")
    win.choose("a")
    win.click("bbnOK")
    window.check_error_box(t, win.dialogs(), window.system_error(app, 3), "OK after empty a:")
    s = win.wait_state(lambda s: s.focus == "drvcbDrive")
    t.equal([s.fs, s.label, s.entry, s.ok, s.focus], ["NotReady", "DATA16", TYPED["d"], False, "drvcbDrive"],
            "OK after empty a: the panels as refreshed, OK off, the selector focused")
    t.equal(changes.offsets(), [], "OK after empty a: nothing written")
    win.key("shift+Tab")
    window.check_error_box(t, win.dialogs(), window.system_error(app, 3), "Quit after empty a:")
    win.wait_state(lambda s: s.focus == "bbnQuit")
    t.equal(default_frames(app, "quit-after-empty.png"), ["bbnQuit"],
            "Quit after empty a: one default frame, Quit's")
    win.key("Tab")


def network_listed(t, win):
    """Wine finds no connection for n:, so its item has no "\\\\" and the
    write goes ahead as for a local drive."""
    t.equal([x for x in win.state().combo["items"] if x.startswith("n:")], ["n: [netvol]"],
            "network: listed with its bracketed label")


def cd_drive(t, win):
    """A disc: [--CDFS--], and 8 characters do not enable OK."""
    changes = Changes(os.path.join(os.path.dirname(D.image), "disc.iso"))
    win.refresh(drives.CD)
    t.equal(win.panels(), ["CDFS", "DISC", "[--CDFS--]"], "CD: refreshed")
    win.type("12345678")
    t.equal(entry_and_ok(win), ("12345678", False), "CD: OK stays disabled with 8 characters")
    win.key("Return")
    window.no_dialog(t, win, "CD: Enter does nothing")
    t.equal(win.state().entry, "12345678", "CD: the entry keeps its text")
    t.equal(changes.offsets(), [], "CD: the disc image is unchanged")
    win.key("shift+Tab")


def refused_write(t, win, typed, text, serial_text, what):
    """A write that must change nothing on d: one error box with `text`."""
    changes = Changes(D.image)
    win.type(typed)
    win.key("Return")
    window.check_error_box(t, win.dialogs(), text, what)
    after_write(t, win, serial_text, what)
    t.equal(changes.offsets(), [], f"{what}: the image is byte for byte unchanged")


def immutable_image(t, app, win):
    """An image that cannot be opened for writing: the serial panel takes the
    query form from the system, and the write shows access denied."""
    subprocess.run(["chattr", "+i", D.image], check=True)
    try:
        win.refresh("d")
        t.equal(win.panels(), ["FAT", "DATA16", query_form(D.old)],
                "immutable: the query form stands in for the unreadable boot sector")
        refused_write(t, win, "DEADBEEF", window.system_error(app, 5), query_form(D.old),
                      "immutable: access denied")
    finally:
        subprocess.run(["chattr", "-i", D.image], check=True)


def nt_run(t, prefix):
    with window.started_in(prefix, opts, "d") as (app, win):
        window.no_dialog(t, win, "NT: at start")
        s = win.state()
        t.equal([s.selector, s.fs, s.label, s.serial],
                ["d: [data16]", "FAT", "DATA16", boot_form(D.old)],
                "NT: started in d:'s root, d: is current and refreshed")
        entry_rule(t, win, prefix)
        click_from_selector(t, win)
        write_chosen(t, win, D)
        enter_after_a_choice(t, win)
        write_chosen(t, win, E)
        wheel_over_the_selector(t, app, win)
        empty_drive_then_a_button(t, app, win)
        write_chosen(t, win, F)
        network_listed(t, win)
        write_chosen(t, win, N)
        cd_drive(t, win)
        immutable_image(t, app, win)
        win.quit()


def win98_run(t, prefix):
    """The 9x family: query forms, and a media-ID set that Wine accepts
    without changing anything, which the program's read-back catches."""
    prefix.refresh_drives()
    prefix.set_version("win98")
    with window.started_in(prefix, opts, "e") as (app, win):
        window.no_dialog(t, win, "9x: at start")
        s = win.state()
        t.equal(s.controls["pnlPlatform"]["text"], "Windows98", "9x: Windows 98")
        t.equal([s.selector, s.fs, s.label, s.serial],
                ["e: [data32]", "FAT32", "DATA32", query_form(NEW["e"])],
                "9x: started in e:'s root, e: current, the serial Wine now reports")
        win.refresh("f")
        t.equal(win.panels(), ["NTFS", "NTVOL", query_form(NEW["f"])], "9x: NTFS query form")
        win.key("shift+Tab")
        win.refresh("d")
        t.equal(win.panels(), ["FAT", "DATA16", query_form(NEW["d"])], "9x: FAT16 query form")
        refused_write(t, win, "01020304", "Failed in setting of media ID.", query_form(NEW["d"]),
                      "9x: the set that changed nothing, reported once")
        win.quit()


def main(t):
    drives.require_tools()
    if shutil.which("xclip") is None:
        raise harness.HarnessError("xclip is not installed")
    folder = tempfile.mkdtemp(prefix="kestrova-write-")
    try:
        with harness.Display() as display, harness.Prefix(display) as prefix:
            drives.map_all(prefix, folder)
            nt_run(t, prefix)
            win98_run(t, prefix)
    finally:
        for name in os.listdir(folder):
            subprocess.run(["chattr", "-i", os.path.join(folder, name)], capture_output=True)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    harness.run(main)
