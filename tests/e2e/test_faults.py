"""Bad disks and bad input with the real window under Wine, every image
checked afterwards from Linux.

Drives, made here:
    d:  FAT16 "MANY": the entry cases, then 50 writes of random serials
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
import tempfile
import time
from collections import namedtuple

import drives
import harness
import window
from drives import Changes, Volume, boot_form, fat_serial, query_form

opts = harness.options()
more = argparse.ArgumentParser()
more.add_argument("--writes", type=int, default=50)
more.add_argument("--seed", type=int, default=None)
more = more.parse_known_args()[0]

# The FAT16 drives, by letter; k: has 4096-byte sectors.
FAT16 = {letter: Volume(letter, "FAT16", "hd", label, "FAT", 39, old) for letter, label, old in (
    ("d", "MANY", 0x0D0DA001), ("k", "BIGSECT", 0x4096ABCD), ("q", "GARBAGE", 0x6A4B6A4B),
    ("r", "GONE", 0x0000600D), ("g", "GARBLED", 0x6A4B1234))}
MANY = FAT16["d"]
QUERY_FORM = re.compile(r"[0-9a-f]{4}-[0-9a-f]{4}\([0-9a-f]{8}\)")
NO_FIELD = "No serial number field in the boot sector."
# Noise over g:'s boot parameters (bytes 11..61), with no extended
# signature at 38.
NOISE = bytes(0xA5 if i == 38 - 11 else b for i, b in enumerate(random.Random(38).randbytes(51)))


def make_drives(folder):
    """The images by letter: the FAT16 ones, q:'s extended signature
    zeroed, and s:, 100 bytes of noise."""
    made = {letter: drives.make_fat(os.path.join(folder, f"{letter}.img"), "16", v.old, v.label,
                                    *(("16384", 4096) if letter == "k" else ("2600",)))
            for letter, v in FAT16.items()}
    with open(made["q"], "r+b") as f:
        f.seek(38)
        f.write(b"\0")  # no extended boot signature: the serial field is not there
    made["s"] = os.path.join(folder, "s.img")
    with open(made["s"], "wb") as f:
        f.write(random.Random(7).randbytes(100))
    return made


def matches(actual, expected):
    """Whether values meet their expectations: a pattern matches as a whole,
    None matches anything."""
    if isinstance(expected, list):
        return len(actual) == len(expected) and all(map(matches, actual, expected))
    if isinstance(expected, re.Pattern):
        return bool(expected.fullmatch(actual))
    return expected is None or actual == expected


def check_matches(t, actual, expected, what):
    return t.check(matches(actual, expected), what, f"expected {expected!r}, got {actual!r}")


# ---- bad disks -------------------------------------------------------------

# A bad disk, refreshed and then written CAFEF00D. `spoil` runs first, once
# Wine has scanned the drive; the refresh shows `panels` and no dialog; the
# write shows the error `dialog` (a system error code or a text; None: it
# writes); afterwards the serial panel reads `after` (None: as refreshed).
BadDisk = namedtuple("BadDisk", "what letter spoil panels dialog after")


def garble(prefix, image):
    with open(image, "r+b") as f:
        f.seek(11)
        f.write(NOISE)


def remove(prefix, image):
    for path in (image, os.path.join(drives.root_of(prefix, "r"), ".volume.img")):
        if os.path.exists(path):
            os.remove(path)


def bad_disks(made):
    with open(made["q"], "rb") as f:
        at72 = int.from_bytes(f.read(76)[72:], "little")
    at39 = int.from_bytes(NOISE[39 - 11:43 - 11], "little")
    k, r = FAT16["k"], FAT16["r"]
    return [
        # 100 bytes: the sector read comes back short. Wine names the volume
        # by its fallback, NTFS; the panel takes the query form.
        BadDisk("short image", "s", None, ["NTFS", None, QUERY_FORM], 30, None),
        # 4096-byte sectors: Wine reports 512 bytes per sector, so sector 0
        # is read and written as its first 512 bytes; only the slot changes.
        BadDisk("4096-byte sectors", "k", None, ["FAT", k.label, boot_form(k.old)], None,
                query_form(k.old)),
        # No extended signature: Wine does not take it for FAT and reports
        # NTFS, whose slot bytes the refresh shows; the write finds no field.
        BadDisk("no signature", "q", None, ["NTFS", None, boot_form(at72)], NO_FIELD, QUERY_FORM),
        # Wine keeps the FAT it scanned at start, then the boot parameters
        # turn to noise. The write trusts the sector, not the name.
        BadDisk("garbled", "g", garble, ["FAT", "GARBLED", boot_form(at39)], NO_FIELD,
                query_form(FAT16["g"].old)),
        # The image goes after the list was built: Wine still reports the
        # volume it scanned at start, and the raw open fails: Wine finds no
        # device there (66, bad device type).
        BadDisk("removed", "r", remove, ["FAT", r.label, query_form(r.old)], 66,
                query_form(r.old)),
    ]


def bad_disk(t, app, prefix, win, row):
    """Checks one bad disk's refresh, write and image."""
    image = prefix.drives[row.letter]
    if row.spoil:
        row.spoil(prefix, image)
    changes = Changes(image) if os.path.exists(image) else None
    win.refresh(row.letter)
    refreshed = win.panels()
    window.no_dialog(t, win, f"{row.what}: the refresh")
    check_matches(t, refreshed, row.panels, f"{row.what}: the panels")
    check_write(t, app, win, row)
    after = refreshed[2] if row.after is None else row.after
    check_matches(t, win.after_write(), [after, "", False, "drvcbDrive"],
                  f"{row.what}: the reported serial, entry emptied, selector focused")
    if changes is None:
        t.check(not os.path.exists(image), f"{row.what}: the write created no file")
    elif row.dialog is None:
        drives.check_written(t, FAT16[row.letter], changes, 0xCAFEF00D, row.what)
    else:
        t.equal(changes.offsets(), [], f"{row.what}: the image is unchanged")


def check_write(t, app, win, row):
    win.type("CAFEF00D")
    win.key("Return")
    shown = win.dialogs(first_wait=2.0)
    if row.dialog is None:
        t.equal(window.texts(shown), [], f"{row.what}: written with no dialog")
    else:
        text = window.system_error(app, row.dialog) if isinstance(row.dialog, int) else row.dialog
        window.check_error_box(t, shown, text, row.what)


# ---- entry -----------------------------------------------------------------

def empty_entry(t, win):
    """Enter with an empty entry, in the entry and in the selector: OK is
    disabled, so nothing runs."""
    changes = Changes(MANY.image)
    win.key("Tab")
    win.key("Return")
    s = win.state()
    t.equal((s.focus, s.entry, s.ok), ("edtNVSN", "", False), "empty entry: Enter does nothing")
    win.key("shift+Tab")
    win.key("Return")
    window.no_dialog(t, win, "empty entry: either Enter")
    t.equal(changes.offsets(), [], "empty entry: nothing written")


def long_paste(t, prefix, win):
    """5000 characters pasted: the entry keeps the first 8 and writes them."""
    text = "c0ffee42" + "".join(random.Random(42).choice("0123456789abcdefXYZ -")
                                for _ in range(4992))
    changes = Changes(MANY.image)
    win.key("Tab")
    with window.Clipboard(prefix.env, text):
        win.key("ctrl+v")
    s = win.state()
    t.equal((s.entry, s.ok), ("c0ffee42", True), "long paste: the first 8 characters, OK on")
    win.key("Return")
    window.no_dialog(t, win, "long paste: written")
    drives.check_written(t, MANY, changes, 0xC0FFEE42, "long paste")


def non_hex(t, win):
    """Characters that are no hexadecimal digits count as 0."""
    win.key("Tab")
    t.equal(win.panels()[2], boot_form(0xC0FFEE42), "non-hex: the refresh reads the last write")
    changes = Changes(MANY.image)
    win.type("zz12-g34")
    win.key("Return")
    window.no_dialog(t, win, "non-hex: written")
    drives.check_written(t, MANY, changes, 0x00120034, "non-hex: zz12-g34 as 00120034")


# ---- many writes -------------------------------------------------------------

def many_writes(t, win, count, seed):
    """Random serials written one after another through the window, each
    checked on the image: only the slot bytes that differ change, fatlabel
    reads the serial, and the next refresh reads it back."""
    rng = random.Random(seed)
    print(f"many writes: {count}, seed {seed}", flush=True)
    previous = fat_serial(MANY.image)
    bad = []
    start = time.monotonic()
    for i in range(count):
        serial = rng.getrandbits(32)
        text = "".join(c.upper() if rng.random() < 0.5 else c for c in f"{serial:08x}")
        changes = Changes(MANY.image)
        win.app.key("Tab")
        win.app.type(text, delay=15)
        s = win.wait_state(lambda s: s.entry == text and s.ok)
        if s.serial != boot_form(previous) or not s.ok:
            bad.append((i, "before", text, s.serial, s.entry, s.ok))
            break
        win.app.key("Return")
        s = win.wait_state(lambda s: s.entry == "" and s.focus == "drvcbDrive")
        expected_changes = [MANY.slot + j for j in range(4)
                            if (serial >> 8 * j) & 0xFF != (previous >> 8 * j) & 0xFF]
        found = (s.entry, s.serial, changes.offsets(), fat_serial(MANY.image))
        wanted = ("", query_form(MANY.old), expected_changes, serial)
        if found != wanted:
            bad.append((i, text, found, wanted))
            break
        previous = serial
    seconds = time.monotonic() - start
    t.equal(bad, [], f"many writes: every one of {count} written and read back as typed")
    window.no_dialog(t, win, "many writes")
    t.equal(drives.fsck_findings(MANY.image, "FAT16"), [], "many writes: fsck.fat -n is clean")
    t.equal(drives.blkid_serial(MANY.image), drives.blkid_form(MANY, previous),
            "many writes: blkid agrees")
    print(f"many writes: {seconds:.0f} s, {seconds / max(count, 1):.2f} s per write", flush=True)


# ---- runs --------------------------------------------------------------------

def nt_run(t, prefix, made):
    for v in FAT16.values():
        v.image = prefix.drives[v.letter]
    with window.started_in(prefix, opts, "d") as (app, win):
        window.no_dialog(t, win, "at start")
        items = win.state().combo["items"]
        t.check(all(any(x.startswith(f"{letter}:") for x in items) for letter in made),
                "every fault drive is listed", items)
        empty_entry(t, win)
        long_paste(t, prefix, win)
        non_hex(t, win)
        for row in bad_disks(made):
            bad_disk(t, app, prefix, win, row)
        win.choose("d")
        many_writes(t, win, more.writes, more.seed if more.seed is not None
                    else random.randrange(1 << 30))
        win.quit()


def type_each(win, text, tries=3):
    """One character at a time, each awaited before the next and typed
    again if it never arrived: under load, Wine has lost a typed double-byte
    key (the first or the second of a run), while one typed alone arrives.
    What the entry then holds is still checked whole."""
    for c in text:
        before = win.state().entry
        for _ in range(tries):
            win.type(c)
            if harness._poll(lambda: win.state().entry != before, 5):
                break


def japanese_run(t, display, folder):
    """Code page 932: a double-byte character counts two bytes towards the
    eight, and adds no digit, even when its trail byte is an ASCII letter
    (katakana A is 83 41)."""
    jp = Volume("d", "FAT16", "hd", "JP", "FAT", 39, 0x0D16A001)
    jp.image = drives.make_fat(os.path.join(folder, "jp.img"), "16", jp.old, jp.label, "2600")
    display.bind_keys("アイ")
    with harness.Prefix(display, locale="ja_JP.UTF-8") as prefix:
        prefix.map_drives({"d": (jp.image, "hd")})
        with window.started_in(prefix, opts, "d") as (app, win):
            win.key("Tab")
            type_each(win, "アイ12")
            s = win.state()
            t.equal((s.entry, s.ok), ("アイ12", False),
                    "932: two double-byte characters and two digits are 6 bytes, OK off")
            win.type("34")
            t.equal(win.state().ok, True, "932: 8 bytes, OK on")
            changes = Changes(jp.image)
            win.key("Return")
            window.no_dialog(t, win, "932: written")
            drives.check_written(t, jp, changes, 0x00001234, "932: アイ1234 as 00001234")
            win.key("Tab")
            with window.Clipboard(prefix.env, "あいうえおかきく"):
                win.key("ctrl+v")
            # Wine's edit control counts its limit in characters, so all
            # eight arrive: 16 bytes, not 8.
            s = win.state()
            t.equal((s.entry, s.ok), ("あいうえおかきく", False), "932: 8 double-byte characters, OK off")
            win.quit()


def main(t):
    drives.require_tools()
    folder = tempfile.mkdtemp(prefix="kestrova-faults-")
    try:
        made = make_drives(folder)
        with harness.Display() as display:
            with harness.Prefix(display) as prefix:
                prefix.map_drives({letter: (image, "hd") for letter, image in made.items()})
                nt_run(t, prefix, made)
            japanese_run(t, display, folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    harness.run(main)
