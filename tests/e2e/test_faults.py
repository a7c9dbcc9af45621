"""Bad disks and bad input with the real window under Wine, every image
checked afterwards from Linux.

Drives, made here:
    d:  FAT16 "MANY": the entry cases, then 200 writes of random serials
    k:  FAT16 with 4096-byte sectors
    q:  FAT16 whose boot sector lost its extended signature (byte 38 zeroed)
    g:  FAT16 whose boot parameters are garbled after Wine scanned it as FAT
    r:  FAT16, removed after the program built its drive list
    s:  an image of 100 bytes, shorter than one sector
A second run under a Japanese locale (code page 932) types and pastes
double-byte characters into the entry.

    python3 test_faults.py --build <Windows build dir> [--writes N] [--seed N]
"""

import argparse
import os
import random
import re
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import drives  # noqa: E402
import harness  # noqa: E402
import window  # noqa: E402
from drives import boot_form, changed_offsets, fat_serial, fsck_findings, query_form  # noqa: E402

opts = harness.options()
more = argparse.ArgumentParser()
more.add_argument("--writes", type=int, default=200)
more.add_argument("--seed", type=int, default=None)
more = more.parse_known_args()[0]

SLOT = 39  # FAT12/16
MANY_OLD = 0x0D0DA001
SYSTEM_ERROR = re.compile(r"(.*)\n\(Code:(\d{8})\)\n", re.S)
QUERY_FORM = re.compile(r"[0-9a-f]{4}-[0-9a-f]{4}\([0-9a-f]{8}\)")


class Drive:
    def __init__(self, letter, image):
        self.letter, self.image = letter, image


def make_drives(folder):
    fat = lambda name, serial, label, **kw: drives.make_fat(  # noqa: E731
        os.path.join(folder, name), "16", serial, label, "2600", **kw)
    made = {
        "d": fat("many.img", MANY_OLD, "MANY"),
        "k": drives.make_fat(os.path.join(folder, "big.img"), "16", 0x4096ABCD, "BIGSECT",
                             "16384", sector=4096),
        "q": fat("garbage.img", 0x6A4B6A4B, "GARBAGE"),
        "r": fat("gone.img", 0x0000600D, "GONE"),
        "g": fat("garbled.img", 0x6A4B1234, "GARBLED"),
        "s": os.path.join(folder, "short.img"),
    }
    with open(made["q"], "r+b") as f:
        f.seek(38)
        f.write(b"\0")  # no extended boot signature: the serial field is not there
    with open(made["s"], "wb") as f:
        f.write(random.Random(7).randbytes(100))
    return made


def wait_state(win, predicate, timeout=10):
    """The window's state once `predicate` holds (keys reach Wine
    asynchronously), or the last one seen."""
    last = [None]

    def seen():
        last[0] = win.state()
        return predicate(last[0])
    harness._poll(seen, timeout, 0.05)
    return last[0]


def refresh(win, letter):
    """Chooses a drive in the focused selector and leaves it: the refresh."""
    win.choose(letter)
    win.key("Tab")
    return win.state()


def write_typed(win, text):
    win.type(text)
    win.key("Return")
    return win.dialogs(first_wait=2.0)


def check_system_error(t, app, shown, what):
    """One error dialog with the system's text for a non-zero code."""
    texts = window.texts(shown)
    m = SYSTEM_ERROR.fullmatch(texts[0][0]) if len(texts) == 1 and texts[0] else None
    code = int(m.group(2)) if m else 0
    t.check(code != 0 and m.group(1) == app.system_text(code),
            f"{what}: one dialog with the system's text and its code", texts)
    t.check(all(window.dialog_shape_ok(d) for d in shown), f"{what}: the error dialog", shown)


def check_refused(t, win, drive, what, dialog_text, serial_ok):
    """A write that must change nothing: one dialog, `dialog_text`."""
    before = drives.copy(drive.image, "before")
    shown = write_typed(win, "CAFEF00D")
    t.equal(window.texts(shown), [[dialog_text]], f"{what}: one dialog")
    t.check(all(window.dialog_shape_ok(d) for d in shown), f"{what}: the error dialog", shown)
    s = wait_state(win, lambda s: s.focus == "drvcbDrive")
    t.check(serial_ok(s.serial), f"{what}: the serial as the system reports it", s.serial)
    t.equal((s.entry, s.ok, s.focus), ("", False, "drvcbDrive"),
            f"{what}: entry emptied, selector focused")
    t.equal(changed_offsets(before, drive.image), [], f"{what}: the image is unchanged")


# ---- bad disks -------------------------------------------------------------

def short_image(t, app, win, drive):
    """100 bytes: the sector read comes back short. Wine names the volume
    by its fallback, NTFS; the panel takes the query form."""
    s = refresh(win, drive.letter)
    t.equal(window.texts(win.no_dialog()), [], "short image: the refresh shows no dialog")
    t.check(s.fs == "NTFS" and QUERY_FORM.fullmatch(s.serial),
            "short image: Wine's NTFS and the query form", [s.fs, s.serial])
    check_refused(t, win, drive, "short image", app.system_text(30) + "\n(Code:00000030)\n",
                  lambda serial: serial == s.serial)
    t.equal(os.path.getsize(drive.image), 100, "short image: still 100 bytes")


def big_sectors(t, win, drive):
    """4096-byte sectors: Wine reports 512 bytes per sector, so sector 0 is
    read and written as its first 512 bytes; only the slot changes."""
    s = refresh(win, drive.letter)
    t.equal([s.fs, s.label, s.serial], ["FAT", "BIGSECT", boot_form(0x4096ABCD)],
            "4096-byte sectors: refreshed from the boot sector")
    before = drives.copy(drive.image, "before")
    t.equal(window.texts(write_typed(win, "CAFEF00D")), [], "4096-byte sectors: no dialog")
    t.equal(changed_offsets(before, drive.image), list(range(SLOT, SLOT + 4)),
            "4096-byte sectors: cmp -l shows only the four slot bytes")
    t.equal(fat_serial(drive.image), 0xCAFEF00D, "4096-byte sectors: fatlabel reads it")
    t.equal(fsck_findings(drive.image, "FAT16"), [], "4096-byte sectors: fsck.fat -n is clean")


def garbage_boot_sector(t, win, drive):
    """No extended signature: Wine does not take it for FAT and reports NTFS,
    whose slot bytes the refresh shows; the write finds no NTFS field."""
    with open(drive.image, "rb") as f:
        at72 = int.from_bytes(f.read(80)[72:76], "little")
    s = refresh(win, drive.letter)
    t.equal([s.fs, s.serial], ["NTFS", boot_form(at72)],
            "no signature: Wine's NTFS, bytes 72..75 in the boot-sector form")
    check_refused(t, win, drive, "no signature", "No serial number field in the boot sector.",
                  QUERY_FORM.fullmatch)


def garbled_after_scan(t, win, drive):
    """Wine keeps the FAT it scanned at start; the boot parameters are then
    overwritten with noise in which byte 38 is no extended signature. The
    write trusts the sector, not the name: refused, nothing changed."""
    noise = bytearray(random.Random(38).randbytes(51))  # bytes 11..61
    noise[38 - 11] = 0xA5
    with open(drive.image, "r+b") as f:
        f.seek(11)
        f.write(noise)
    s = refresh(win, drive.letter)
    at39 = int.from_bytes(noise[39 - 11:43 - 11], "little")
    t.equal([s.fs, s.label, s.serial], ["FAT", "GARBLED", boot_form(at39)],
            "garbled: Wine's FAT, the noise at 39..42 in the boot-sector form")
    check_refused(t, win, drive, "garbled", "No serial number field in the boot sector.",
                  lambda serial: serial == query_form(0x6A4B1234))


def removed_image(t, app, prefix, win, drive):
    """The image goes after the list was built: Wine still reports the
    volume it scanned at start, the raw open fails, nothing is created."""
    for path in (drive.image, os.path.join(prefix.path, "drives", drive.letter, ".volume.img")):
        if os.path.exists(path):
            os.remove(path)
    s = refresh(win, drive.letter)
    t.equal(window.texts(win.no_dialog()), [], "removed: the refresh shows no dialog")
    t.equal([s.fs, s.label, s.serial], ["FAT", "GONE", query_form(0x0000600D)],
            "removed: Wine's scanned identity, the query form for the unreadable sector")
    check_system_error(t, app, write_typed(win, "CAFEF00D"), "removed")
    wait_state(win, lambda s: s.focus == "drvcbDrive")
    t.check(not os.path.exists(drive.image), "removed: the write created no file")


# ---- entry -----------------------------------------------------------------

def empty_entry(t, win, drive):
    """Enter with an empty entry, in the entry and in the selector: OK is
    disabled, so nothing runs."""
    before = drives.copy(drive.image, "empty")
    win.key("Tab")
    win.key("Return")
    s = win.state()
    t.equal((s.focus, s.entry, s.ok), ("edtNVSN", "", False), "empty entry: Enter does nothing")
    win.key("shift+Tab")
    win.key("Return")
    t.equal(window.texts(win.no_dialog()), [], "empty entry: no dialog from either Enter")
    t.equal(changed_offsets(before, drive.image), [], "empty entry: nothing written")


def long_paste(t, prefix, win, drive):
    """5000 characters pasted: the entry keeps the first 8 and writes them."""
    text = "c0ffee42" + "".join(random.Random(42).choice("0123456789abcdefXYZ -")
                                for _ in range(4992))
    before = drives.copy(drive.image, "paste")
    win.key("Tab")
    with window.Clipboard(prefix.env, text):
        win.key("ctrl+v")
    s = win.state()
    t.equal((s.entry, s.ok), ("c0ffee42", True), "long paste: the first 8 characters, OK on")
    win.key("Return")
    t.equal(window.texts(win.no_dialog()), [], "long paste: written with no dialog")
    t.equal(changed_offsets(before, drive.image), list(range(SLOT, SLOT + 4)),
            "long paste: only the slot changed")
    t.equal(fat_serial(drive.image), 0xC0FFEE42, "long paste: fatlabel reads c0ffee42")


def non_hex(t, win, drive):
    """Characters that are no hexadecimal digits count as 0."""
    win.key("Tab")
    t.equal(win.panels()[2], boot_form(0xC0FFEE42), "non-hex: the refresh reads the last write")
    t.equal(window.texts(write_typed(win, "zz12-g34")), [], "non-hex: written with no dialog")
    t.equal(fat_serial(drive.image), 0x00120034, "non-hex: zz12-g34 is written as 00120034")


# ---- 200 writes --------------------------------------------------------------

def many_writes(t, win, drive, count, seed):
    """Random serials written one after another through the window, each
    checked on the image: only the slot bytes that differ change, fatlabel
    reads the serial, and the next refresh reads it back."""
    rng = random.Random(seed)
    print(f"many writes: {count}, seed {seed}", flush=True)
    previous = fat_serial(drive.image)
    bad = []
    start = time.monotonic()
    for i in range(count):
        serial = rng.getrandbits(32)
        text = "".join(c.upper() if rng.random() < 0.5 else c for c in f"{serial:08x}")
        before = drives.copy(drive.image, "many")
        win.app.key("Tab")
        win.app.type(text, delay=15)
        s = wait_state(win, lambda s: s.entry == text and s.ok)
        if s.serial != boot_form(previous) or not s.ok:
            bad.append((i, "before", text, s.serial, s.entry, s.ok))
            break
        win.app.key("Return")
        s = wait_state(win, lambda s: s.entry == "" and s.focus == "drvcbDrive")
        expected_changes = [SLOT + j for j in range(4)
                            if (serial >> 8 * j) & 0xFF != (previous >> 8 * j) & 0xFF]
        found = (s.entry, s.serial, changed_offsets(before, drive.image), fat_serial(drive.image))
        wanted = ("", query_form(MANY_OLD), expected_changes, serial)
        if found != wanted:
            bad.append((i, text, found, wanted))
            break
        previous = serial
    seconds = time.monotonic() - start
    t.equal(bad, [], f"many writes: every one of {count} written and read back as typed")
    t.equal(window.texts(win.no_dialog()), [], "many writes: no dialog")
    t.equal(fsck_findings(drive.image, "FAT16"), [], "many writes: fsck.fat -n is clean")
    uuid = drives.sh("blkid", "-p", "-o", "value", "-s", "UUID", drive.image).strip()
    t.equal(uuid, f"{previous >> 16:04X}-{previous & 0xFFFF:04X}", "many writes: blkid agrees")
    print(f"many writes: {seconds:.0f} s, {seconds / max(count, 1):.2f} s per write", flush=True)


# ---- runs --------------------------------------------------------------------

def nt_run(t, prefix):
    d, g, k, q, r, s = (Drive(x, prefix.drives[x]) for x in "dgkqrs")
    with window.started_in(prefix, opts, "d") as (app, win):
        t.equal(window.texts(win.no_dialog()), [], "no dialog at start")
        items = win.state().combo["items"]
        t.check(all(any(x.startswith(f"{letter}:") for x in items) for letter in "dgkqrs"),
                "every fault drive is listed", items)
        empty_entry(t, win, d)
        long_paste(t, prefix, win, d)
        non_hex(t, win, d)
        short_image(t, app, win, s)
        big_sectors(t, win, k)
        garbage_boot_sector(t, win, q)
        garbled_after_scan(t, win, g)
        removed_image(t, app, prefix, win, r)
        win.choose("d")
        many_writes(t, win, d, more.writes, more.seed if more.seed is not None
                    else random.randrange(1 << 30))
        app.key("alt+q")
        t.equal(app.wait_exit(), 0, "Alt+Q, exit code 0")


def japanese_run(t, display, folder):
    """Code page 932: a double-byte character counts two bytes towards the
    eight, and adds no digit, even when its trail byte is an ASCII letter
    (katakana A is 83 41)."""
    image = drives.make_fat(os.path.join(folder, "jp.img"), "16", 0x0D16A001, "JP", "2600")
    with harness.Prefix(display, locale="ja_JP.UTF-8") as prefix:
        prefix.map_drives({"d": (image, "hd")})
        with window.started_in(prefix, opts, "d") as (app, win):
            win.key("Tab")
            win.type("アイ12")
            s = win.state()
            t.equal((s.entry, s.ok), ("アイ12", False),
                    "932: two double-byte characters and two digits are 6 bytes, OK off")
            win.type("34")
            t.equal(win.state().ok, True, "932: 8 bytes, OK on")
            app.screenshot(harness.artifact("japanese.png"))
            before = drives.copy(image, "before")
            win.key("Return")
            t.equal(window.texts(win.no_dialog()), [], "932: written with no dialog")
            t.equal(fat_serial(image), 0x00001234, "932: アイ1234 is written as 00001234")
            t.equal(changed_offsets(before, image), [SLOT, SLOT + 1, SLOT + 2, SLOT + 3],
                    "932: only the slot changed")
            win.key("Tab")
            with window.Clipboard(prefix.env, "あいうえおかきく"):
                win.key("ctrl+v")
            # Wine's edit control counts its limit in characters, so all
            # eight arrive: 16 bytes, not 8.
            s = win.state()
            t.equal((s.entry, s.ok), ("あいうえおかきく", False), "932: 8 double-byte characters, OK off")
            app.key("alt+q")
            t.equal(app.wait_exit(), 0, "932: Alt+Q, exit code 0")


def main(t):
    drives.require_tools()
    folder = tempfile.mkdtemp(prefix="kestrova-faults-")
    try:
        made = make_drives(folder)
        with harness.Display() as display:
            with harness.Prefix(display) as prefix:
                prefix.map_drives({letter: (image, "hd") for letter, image in made.items()})
                nt_run(t, prefix)
            japanese_run(t, display, folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    harness.run(main)
