"""The volume code through the real Win32 binding, under Wine.

Drives are mapped to FAT12, FAT16, FAT32 and NTFS images made by the real
tools, and to an ISO 9660 disc; tools/volume_driver reads each serial
through the raw volume device and writes a new one, and the images are
then checked from Linux with cmp, fatlabel, blkid, fsck.fat and ntfsinfo.

    python3 test_volume_driver.py --build <Windows build dir>
"""

import os
import tempfile

import drives
import harness
from drives import Changes, Volume, boot_form, query_form

OLD = 0x12345678
NEW = 0xCAFEF00D

# Each volume, made with serial OLD, and the file-system code read for it.
VOLUMES = [
    (Volume("d", "FAT12", "floppy", "FLOPPY", "FAT", 39, OLD), 2),
    (Volume("e", "FAT16", "hd", "DATA16", "FAT", 39, OLD), 2),
    (Volume("f", "FAT32", "hd", "DATA32", "FAT32", 67, OLD), 11),
    (Volume("g", "NTFS", "hd", "NTVOL", "NTFS", 72, OLD), 20),
]


class Driver:
    def __init__(self, prefix, exe):
        self.prefix, self.exe = prefix, exe

    def run(self, *args):
        """The printed values by key, and the dialogs in order."""
        r = self.prefix.wine(self.exe, *args, timeout=60, check=False)
        if r.returncode != 0:
            raise harness.HarnessError(f"volume_driver {args!r} exited {r.returncode}: {r.stderr}")
        values, dialogs = {}, []
        for line in r.stdout.splitlines():
            key, _, value = line.partition("=")
            if key == "dialog":
                dialogs.append(value)
            else:
                values[key] = value
        return values, dialogs


def read_and_write(t, prefix, driver, folder):
    """Each volume read and written on the NT family (Wine's default, 6.1)."""
    for v, _ in VOLUMES:
        v.image = prefix.map_drive(v.letter, drives.make_image(folder, v), v.wine_type)
    for v, code in VOLUMES:
        t.equal(driver.run("query", v.letter),
                ({"filesystem": v.fs_name, "code": str(code), "label": v.label,
                  "serial": query_form(OLD), "boot": boot_form(OLD)}, []),
                f"{v.kind}: query texts and the boot sector read through the raw device, no dialog")
    for v, _ in VOLUMES:
        changes = Changes(v.image)
        values, dialogs = driver.run("write", v.letter, f"{NEW:08x}")
        t.equal((values.get("result"), values.get("boot"), values.get("serial"), dialogs),
                ("1", boot_form(NEW), query_form(OLD), []),
                f"{v.kind}: written with no dialog, sector 0 holds it, the mounted serial kept")
        drives.check_written(t, v, changes, NEW, v.kind)


def remounted(t, prefix, driver):
    """What Wine reports once it has mounted the changed volumes again."""
    prefix.refresh_drives()
    for v, _ in VOLUMES:
        if v.kind == "NTFS":  # Wine takes an NTFS serial from a file the mapping writes
            prefix.map_drive(v.letter, v.image, v.wine_type)
        values, _ = driver.run("query", v.letter)
        t.equal(values.get("serial"), query_form(NEW), f"{v.kind}: reported after a remount")


def cd_and_empty_drive(t, prefix, driver, folder):
    iso = prefix.map_drive("h", drives.make_iso(folder, "DISC"), "cdrom")
    prefix.map_drive("i", None, "floppy")
    values, dialogs = driver.run("query", "h")
    t.equal((values.get("filesystem"), values.get("code"), values.get("boot")),
            ("CDFS", "50", "[--CDFS--]"), "CD: classified and marked")
    changes = Changes(iso)
    values, dialogs = driver.run("write", "h", f"{NEW:08x}")
    t.equal((values.get("result"), dialogs), ("0", []), "CD: the write stops silently")
    t.equal(changes.offsets(), [], "CD: the disc image is unchanged")
    values, dialogs = driver.run("query", "i")
    t.equal(values.get("filesystem"), "NotReady", "empty drive: NotReady")
    # Four accessors, then the boot-sector read's own query; with no sector
    # size from it there is no buffer either.
    t.check(len(dialogs) == 6 and all(d.endswith(r"\n(Code:00000003)\n") for d in dialogs[:5]),
            "empty drive: each query shows the system's error, code 3 under Wine", repr(dialogs))
    t.equal(dialogs[-1:], ["Memory!"], "empty drive: no sector buffer for the read")


def media_id(t, prefix, driver):
    """Wine's 9x device answers success and changes nothing: the read-back
    must catch it. On the NT family the device does not open at all."""
    changes = Changes(VOLUMES[1][0].image)
    failed = ("0", ["Failed in setting of media ID."])
    values, dialogs = driver.run("mediaid", "e", "01020304")
    t.equal((values.get("result"), dialogs), failed,
            "NT family: no 9x device, the failure is shown")
    prefix.set_version("win98")
    values, _ = driver.run("platform")
    t.equal((values.get("platform"), values.get("code")), ("Windows98", "4"), "Windows 98")
    values, dialogs = driver.run("mediaid", "e", "01020304")
    t.equal((values.get("result"), dialogs), failed,
            "Windows 98: a set that changed nothing is reported")
    t.equal(changes.offsets(), [], "Windows 98: Wine left the image as it was")


def main(t):
    drives.require_tools()
    opts = harness.options()
    if not opts.build:
        raise harness.HarnessError("no --build directory")
    exe = os.path.abspath(os.path.join(opts.build, "volume_driver.exe"))
    if not os.path.exists(exe):
        raise harness.HarnessError(f"no {exe}")
    with tempfile.TemporaryDirectory(prefix="kestrova-volumes-") as folder, \
            harness.Display() as display, harness.Prefix(display) as prefix:
        driver = Driver(prefix, exe)
        read_and_write(t, prefix, driver, folder)
        remounted(t, prefix, driver)
        cd_and_empty_drive(t, prefix, driver, folder)
        media_id(t, prefix, driver)


if __name__ == "__main__":
    harness.run(main)
