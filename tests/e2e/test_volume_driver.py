"""The volume code through the real Win32 binding, under Wine.

Drives are mapped to FAT12, FAT16, FAT32 and NTFS images made by the real
tools, and to an ISO 9660 disc; tools/volume_driver reads each serial
through the raw volume device and writes a new one, and the images are
then checked from Linux with cmp, fatlabel, blkid, fsck.fat and ntfsinfo.

    python3 test_volume_driver.py --build <Windows build dir>
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness
from drives import fsck_findings, make_iso  # noqa: E402

OLD = 0x12345678
NEW = 0xCAFEF00D

# letter, kind, Wine drive type, label, reported name, code, serial offset
VOLUMES = [
    ("d", "FAT12", "floppy", "FLOPPY", "FAT", 2, 39),
    ("e", "FAT16", "hd", "DATA16", "FAT", 2, 39),
    ("f", "FAT32", "hd", "DATA32", "FAT32", 11, 67),
    ("g", "NTFS", "hd", "NTVOL", "NTFS", 20, 72),
]
TOOLS = ("mkfs.fat", "mkntfs", "ntfslabel", "genisoimage", "cmp", "fatlabel", "blkid",
         "fsck.fat", "ntfsinfo", "truncate")


def sh(*cmd):
    r = subprocess.run(cmd, capture_output=True, text=True)
    if r.returncode not in (0, 1) or (r.returncode == 1 and cmd[0] != "cmp"):
        raise harness.HarnessError(f"{cmd!r} exited {r.returncode}: {r.stdout}{r.stderr}")
    return r.stdout


def make_image(folder, kind, label):
    path = os.path.join(folder, kind.lower() + ".img")
    if kind == "NTFS":
        sh("truncate", "-s", "2M", path)
        sh("mkntfs", "-F", "-f", "-Q", "-q", "-L", label, path)
        sh("ntfslabel", f"--new-serial=5EED5EED{OLD:08X}", path)
        return path
    bits, size = {"FAT12": ("12", "1440"), "FAT16": ("16", "2600"), "FAT32": ("32", "34000")}[kind]
    sh("mkfs.fat", "-C", "-F", bits, "-s", "1", "-i", f"{OLD:08X}", "-n", label, path, size)
    return path


def changed_offsets(before, after):
    offsets = []
    for line in sh("cmp", "-l", before, after).splitlines():
        offsets.append(int(line.split()[0]) - 1)
    return offsets


def query_form(serial):
    return f"{serial >> 16:04x}-{serial & 0xFFFF:04x}({serial:08x})"


def display_form(serial):
    return f"{serial >> 16:04x}-{serial & 0xFFFF:04x}[{serial:08x}]"


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


def check_image(t, kind, image, before, offset):
    what = f"{kind}: "
    t.equal(changed_offsets(before, image), list(range(offset, offset + 4)),
            what + "cmp -l lists exactly the four serial bytes")
    if kind == "NTFS":
        uuid = sh("blkid", "-p", "-o", "value", "-s", "UUID", image).strip()
        t.equal(uuid, f"5EED5EED{NEW:08X}", what + "blkid reads the new serial, high half kept")
        r = subprocess.run(["ntfsinfo", "-m", image], capture_output=True, text=True)
        t.equal(r.returncode, 0, what + "ntfsinfo reads the volume")
    else:
        serial = sh("fatlabel", "-i", image).strip().splitlines()[-1]
        t.equal(serial.upper(), f"{NEW:08X}", what + "fatlabel -i reads the new serial")
        uuid = sh("blkid", "-p", "-o", "value", "-s", "UUID", image).strip()
        t.equal(uuid, f"{NEW >> 16:04X}-{NEW & 0xFFFF:04X}", what + "blkid reads the new serial")
        t.equal(fsck_findings(image, kind), [], what + "fsck.fat -n finds nothing else")


def read_and_write(t, prefix, driver, folder):
    """Each volume read and written on the NT family (Wine's default, 6.1)."""
    images = {}
    for letter, kind, wine_type, label, name, code, offset in VOLUMES:
        images[letter] = prefix.map_drive(letter, make_image(folder, kind, label), wine_type)
    for letter, kind, _, label, name, code, offset in VOLUMES:
        values, dialogs = driver.run("query", letter)
        t.equal(values, {"filesystem": name, "code": str(code), "label": label,
                         "serial": query_form(OLD), "boot": display_form(OLD)},
                f"{kind}: query texts and the boot sector read through the raw device")
        t.equal(dialogs, [], f"{kind}: no dialog on reading")
    for letter, kind, _, label, name, code, offset in VOLUMES:
        image = images[letter]
        before = shutil.copy(image, image + ".before")
        values, dialogs = driver.run("write", letter, f"{NEW:08x}")
        t.equal(values.get("result"), "1", f"{kind}: the write went through")
        t.equal(dialogs, [], f"{kind}: no dialog on writing")
        t.equal(values.get("boot"), display_form(NEW), f"{kind}: sector 0 now holds the serial")
        t.equal(values.get("serial"), query_form(OLD), f"{kind}: the mounted serial is kept")
        check_image(t, kind, image, before, offset)
    return images


def remounted(t, prefix, driver, images):
    """What Wine reports once it has mounted the changed volumes again."""
    prefix.refresh_drives()
    for letter, kind, wine_type, *_ in VOLUMES:
        if kind == "NTFS":  # Wine takes an NTFS serial from a file the mapping writes
            prefix.map_drive(letter, images[letter], wine_type)
        values, _ = driver.run("query", letter)
        t.equal(values.get("serial"), query_form(NEW), f"{kind}: reported after a remount")


def cd_and_empty_drive(t, prefix, driver, folder):
    iso = prefix.map_drive("h", make_iso(folder, "DISC"), "cdrom")
    prefix.map_drive("i", None, "floppy")
    values, dialogs = driver.run("query", "h")
    t.equal((values.get("filesystem"), values.get("code"), values.get("boot")),
            ("CDFS", "50", "[--CDFS--]"), "CD: classified and marked")
    before = shutil.copy(iso, iso + ".before")
    values, dialogs = driver.run("write", "h", f"{NEW:08x}")
    t.equal((values.get("result"), dialogs), ("0", []), "CD: the write stops silently")
    t.equal(changed_offsets(before, iso), [], "CD: the disc image is unchanged")
    values, dialogs = driver.run("query", "i")
    t.equal(values.get("filesystem"), "NotReady", "empty drive: NotReady")
    # Four accessors, then the boot-sector read's own query; with no sector
    # size from it there is no buffer either.
    t.check(len(dialogs) == 6 and all(d.endswith(r"\n(Code:00000003)\n") for d in dialogs[:5]),
            "empty drive: each query shows the system's error, code 3 under Wine", repr(dialogs))
    t.equal(dialogs[-1:], ["Memory!"], "empty drive: no sector buffer for the read")


def media_id(t, prefix, driver, images):
    """Wine's 9x device answers success and changes nothing: the read-back
    must catch it. On the NT family the device does not open at all."""
    image = images["e"]
    before = shutil.copy(image, image + ".mid")
    values, dialogs = driver.run("mediaid", "e", "01020304")
    t.equal((values.get("result"), dialogs), ("0", ["Failed in setting of media ID."]),
            "NT family: no 9x device, the failure is shown")
    prefix.set_version("win98")
    values, _ = driver.run("platform")
    t.equal((values.get("platform"), values.get("code")), ("Windows98", "4"), "Windows 98")
    values, dialogs = driver.run("mediaid", "e", "01020304")
    t.equal((values.get("result"), dialogs), ("0", ["Failed in setting of media ID."]),
            "Windows 98: a set that changed nothing is reported")
    t.equal(changed_offsets(before, image), [], "Windows 98: Wine left the image as it was")


def main(t):
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        raise harness.HarnessError(f"missing tools: {', '.join(missing)}")
    opts = harness.options()
    if not opts.build:
        raise harness.HarnessError("no --build directory")
    exe = os.path.abspath(os.path.join(opts.build, "volume_driver.exe"))
    if not os.path.exists(exe):
        raise harness.HarnessError(f"no {exe}")
    folder = tempfile.mkdtemp(prefix="kestrova-volumes-")
    try:
        with harness.Display() as display, harness.Prefix(display) as prefix:
            driver = Driver(prefix, exe)
            images = read_and_write(t, prefix, driver, folder)
            remounted(t, prefix, driver, images)
            cd_and_empty_drive(t, prefix, driver, folder)
            media_id(t, prefix, driver, images)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    harness.run(main)
