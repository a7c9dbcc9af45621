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
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import drives  # noqa: E402
import harness  # noqa: E402
import window  # noqa: E402
from drives import boot_form, query_form  # noqa: E402

opts = harness.options()
WM_SYSCHAR = 0x0106
D, E, F, N = (drives.BY_LETTER[x] for x in "defn")
NEW = {"d": 0xCAFEF00D, "e": 0x0BADCAFE, "f": 0xFEEDF00D, "n": 0x5EEDF00E}  # every byte differs from the old


def state_of(win):
    s = win.state()
    return s, (s.entry, s.ok)


def entry_rule(t, win, prefix):
    """7 characters leave OK off, the 8th turns it on, deleting one turns it
    off again; a 9th is refused whether typed or pasted."""
    win.key("Tab")
    t.equal(win.state().focus, "edtNVSN", "Tab moves into the entry")
    win.type("1234567")
    t.equal(state_of(win)[1], ("1234567", False), "7 characters: OK disabled")
    win.type("8")
    t.equal(state_of(win)[1], ("12345678", True), "8 characters: OK enabled")
    win.key("BackSpace")
    t.equal(state_of(win)[1], ("1234567", False), "back to 7: OK disabled")
    win.type("a")
    t.equal(state_of(win)[1], ("1234567a", True), "8 again: OK enabled")
    win.type("9")
    t.equal(state_of(win)[1], ("1234567a", True), "a typed 9th character is refused")
    # One clipboard text for both pastes: Wine may keep a text it has read.
    with window.Clipboard(prefix.env, "CAFEF00D9"):
        win.key("ctrl+v")
        t.equal(state_of(win)[1], ("1234567a", True), "a paste into a full entry is refused")
        win.key("ctrl+a", "BackSpace")
        t.equal(state_of(win)[1], ("", False), "emptied: OK disabled")
        win.key("ctrl+v")
        t.equal(state_of(win)[1], ("CAFEF00D", True), "a 9-character paste keeps 8")
    t.equal(window.texts(win.no_dialog()), [], "typing and pasting show no dialog")


def click_from_selector(t, win):
    """OK enabled and the selector focused: a mouse press on OK refreshes
    first, the refresh empties the entry and disables OK, and nothing is
    written."""
    before = drives.copy(D.image, "click")
    win.key("shift+Tab")
    s = win.state()
    t.equal((s.focus, s.entry, s.ok), ("drvcbDrive", "CAFEF00D", True),
            "back in the selector, the entry keeps its text and OK its state")
    win.click("bbnOK")
    s = win.state()
    t.equal((s.entry, s.ok), ("", False), "the press on OK refreshed first")
    t.equal(s.focus, "drvcbDrive", "the disabled OK handed the focus to the selector")
    t.equal(window.texts(win.no_dialog()), [], "no dialog from the press")
    t.equal(drives.changed_offsets(before, D.image), [], "the press wrote nothing")
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


def check_image(t, volume, before, what):
    t.equal(drives.changed_offsets(before, volume.image), list(range(volume.slot, volume.slot + 4)),
            f"{what}: cmp -l shows only the four bytes from {volume.slot}")
    t.equal(f"{drives.serial_on_image(volume):08x}", f"{NEW[volume.letter]:08x}",
            f"{what}: the Linux tools read the new serial")


def after_write(t, win, serial_text, what):
    s = win.state()
    t.equal((s.serial, s.entry, s.ok, s.focus), (serial_text, "", False, "drvcbDrive"),
            f"{what}: serial as the system reports it, entry emptied, selector focused")


def write_fat16(t, win):
    """d: chosen, CAFEF00D typed, Enter in the entry."""
    win.click("edtNVSN")
    before = drives.copy(D.image, "before")
    win.type("CAFEF00D")
    win.key("Return")
    t.equal(window.texts(win.no_dialog()), [], "FAT16: written with no dialog")
    # Wine keeps reporting the serial it read when its server started.
    after_write(t, win, query_form(D.old), "FAT16")
    check_image(t, D, before, "FAT16")
    win.key("Tab")
    t.equal(win.panels(), ["FAT", "DATA16", boot_form(NEW["d"])],
            "FAT16: the next refresh reads the new serial from the boot sector")


def write_fat32_from_selector(t, win):
    """Enter in the closed selector, on a drive chosen but not yet
    refreshed: the write goes to that drive while the panels still show
    the drive refreshed last."""
    before_d = drives.copy(D.image, "before-e")
    before = drives.copy(E.image, "before")
    win.type("0badcafe")
    win.key("shift+Tab")
    win.choose("e")
    t.equal(win.panels(), ["FAT", "DATA16", boot_form(NEW["d"])], "FAT32: e: chosen, not refreshed")
    win.key("Return")
    t.equal(window.texts(win.no_dialog()), [], "FAT32: written with no dialog")
    s = win.state()
    t.equal([s.fs, s.label, s.serial], ["FAT", "DATA16", query_form(E.old)],
            "FAT32: only the serial panel follows, with e:'s reported serial")
    t.equal((s.entry, s.ok, s.focus), ("", False, "drvcbDrive"), "FAT32: entry emptied")
    check_image(t, E, before, "FAT32")
    t.equal(drives.changed_offsets(before_d, D.image), [], "FAT32: d: untouched")
    win.key("Tab")
    t.equal(win.panels(), ["FAT32", "DATA32", boot_form(NEW["e"])], "FAT32: refreshed")
    win.key("shift+Tab")


def write_chosen(t, win, volume, typed, what, label):
    win.choose(volume.letter)
    win.key("Tab")
    t.equal(win.panels(), [volume.fs_name, label, boot_form(volume.old)], f"{what}: refreshed")
    before = drives.copy(volume.image, "before")
    win.type(typed)
    t.equal(win.state().ok, True, f"{what}: 8 characters enable OK")
    win.key("Return")
    t.equal(window.texts(win.no_dialog()), [], f"{what}: written with no dialog")
    after_write(t, win, query_form(volume.old), what)
    check_image(t, volume, before, what)
    return before


def write_ntfs(t, win):
    write_chosen(t, win, F, "FEEDF00D", "NTFS", "NTVOL")
    uuid = drives.sh("blkid", "-p", "-o", "value", "-s", "UUID", F.image).strip()
    t.equal(uuid, f"{drives.NTFS_HIGH:08X}{NEW['f']:08X}", "NTFS: the serial's upper half kept")
    r = subprocess.run(["ntfsinfo", "-m", F.image], capture_output=True, text=True)
    t.equal(r.returncode, 0, "NTFS: ntfsinfo still reads the volume")


def write_network(t, win):
    """Wine finds no connection for n:, so its item has no "\\\\" and the
    write goes ahead as for a local drive."""
    t.equal([x for x in win.state().combo["items"] if x.startswith("n:")], ["n: [netvol]"],
            "network: listed with its bracketed label")
    write_chosen(t, win, N, "5eedf00e", "network", "NETVOL")


def cd_drive(t, win):
    """A disc: [--CDFS--], and 8 characters do not enable OK."""
    iso = os.path.join(os.path.dirname(D.image), "disc.iso")
    before = drives.copy(iso, "before")
    win.choose(drives.CD)
    win.key("Tab")
    t.equal(win.panels(), ["CDFS", "DISC", "[--CDFS--]"], "CD: refreshed")
    win.type("12345678")
    t.equal(state_of(win)[1], ("12345678", False), "CD: OK stays disabled with 8 characters")
    win.key("Return")
    t.equal(window.texts(win.no_dialog()), [], "CD: Enter does nothing")
    t.equal(win.state().entry, "12345678", "CD: the entry keeps its text")
    t.equal(drives.changed_offsets(before, iso), [], "CD: the disc image is unchanged")
    win.key("shift+Tab")


def immutable_image(t, app, win):
    """An image that cannot be opened for writing: the serial panel takes the
    query form from the system, and the write shows access denied."""
    subprocess.run(["chattr", "+i", D.image], check=True)
    try:
        before = drives.copy(D.image, "immutable")
        win.choose("d")
        win.key("Tab")
        t.equal(win.panels(), ["FAT", "DATA16", query_form(D.old)],
                "immutable: the query form stands in for the unreadable boot sector")
        win.type("DEADBEEF")
        win.key("Return")
        shown = win.dialogs()
        t.equal(window.texts(shown), [[app.system_text(5) + "\n(Code:00000005)\n"]],
                "immutable: one access-denied dialog with its code")
        t.check(all(window.dialog_shape_ok(d) for d in shown), "immutable: the error dialog",
                shown)
        time.sleep(window.SETTLE)
        after_write(t, win, query_form(D.old), "immutable")
        t.equal(drives.changed_offsets(before, D.image), [], "immutable: the image is unchanged")
    finally:
        subprocess.run(["chattr", "-i", D.image], check=True)


def nt_run(t, prefix):
    with window.started_in(prefix, opts, "d") as (app, win):
        t.equal(window.texts(win.no_dialog()), [], "NT: no dialog at start")
        s = win.state()
        t.equal([s.selector, s.fs, s.label, s.serial],
                ["d: [data16]", "FAT", "DATA16", boot_form(D.old)],
                "NT: started in d:'s root, d: is current and refreshed")
        entry_rule(t, win, prefix)
        click_from_selector(t, win)
        write_fat16(t, win)
        write_fat32_from_selector(t, win)
        write_ntfs(t, win)
        write_network(t, win)
        cd_drive(t, win)
        immutable_image(t, app, win)
        app.key("alt+q")
        t.equal(app.wait_exit(), 0, "NT: Alt+Q, exit code 0")


def win98_run(t, prefix):
    """The 9x family: query forms, and a media-ID set that Wine accepts
    without changing anything, which the program's read-back catches."""
    prefix.refresh_drives()
    prefix.set_version("win98")
    with window.started_in(prefix, opts, "e") as (app, win):
        t.equal(window.texts(win.no_dialog()), [], "9x: no dialog at start")
        s = win.state()
        t.equal(s.controls["pnlPlatform"]["text"], "Windows98", "9x: Windows 98")
        t.equal([s.selector, s.fs, s.label, s.serial],
                ["e: [data32]", "FAT32", "DATA32", query_form(NEW["e"])],
                "9x: started in e:'s root, e: current, the serial Wine now reports")
        win.choose("f")
        win.key("Tab")
        t.equal(win.panels(), ["NTFS", "NTVOL", query_form(NEW["f"])], "9x: NTFS query form")
        win.key("shift+Tab")
        win.choose("d")
        win.key("Tab")
        t.equal(win.panels(), ["FAT", "DATA16", query_form(NEW["d"])], "9x: FAT16 query form")
        before = drives.copy(D.image, "mediaid")
        win.type("01020304")
        win.key("Return")
        shown = win.dialogs()
        t.equal(window.texts(shown), [["Failed in setting of media ID."]],
                "9x: the set that changed nothing is reported once")
        time.sleep(window.SETTLE)
        after_write(t, win, query_form(NEW["d"]), "9x")
        t.equal(drives.changed_offsets(before, D.image), [], "9x: the image is byte for byte unchanged")
        app.key("alt+q")
        t.equal(app.wait_exit(), 0, "9x: Alt+Q, exit code 0")


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
