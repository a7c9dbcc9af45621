"""The drives the window tests run on: disk images made by the real Linux
tools at test time, mapped into one Wine prefix, and ways to read them back.

    a:  floppy, empty
    d:  hard disk, FAT16 labelled DATA16
    e:  hard disk, FAT32 labelled DATA32
    f:  hard disk, NTFS labelled NTVOL
    g:  CD, empty
    h:  CD, an ISO 9660 disc labelled DISC
    n:  network type, backed by a FAT16 image labelled NETVOL
"""

import os
import re
import shutil
import struct
import subprocess

import harness

NTFS_HIGH = 0x5EED5EED  # the NTFS serial's upper half, which no write may touch
TOOLS = ("mkfs.fat", "mkntfs", "ntfslabel", "genisoimage", "cmp", "fatlabel", "blkid",
         "fsck.fat", "ntfsinfo", "truncate", "chattr")


class Volume:
    def __init__(self, letter, kind, wine_type, label, fs_name, slot, old):
        self.letter, self.kind, self.wine_type = letter, kind, wine_type
        self.label, self.fs_name, self.slot = label, fs_name, slot
        self.old = old  # the serial it is made with; each volume's differs
        self.image = None  # the file Wine reads and writes

    @property
    def index(self):
        return ord(self.letter) - ord("a")


VOLUMES = [
    Volume("d", "FAT16", "hd", "DATA16", "FAT", 39, 0x0D16A001),
    Volume("e", "FAT32", "hd", "DATA32", "FAT32", 67, 0x0E32B002),
    Volume("f", "NTFS", "hd", "NTVOL", "NTFS", 72, 0x0F17C003),
    Volume("n", "FAT16", "network", "NETVOL", "FAT", 39, 0x0A11D004),
]
BY_LETTER = {v.letter: v for v in VOLUMES}
EMPTY = {"a": "floppy", "g": "cdrom"}
CD = "h"
CD_LABEL = "DISC"


def sh(*cmd):
    r = subprocess.run(cmd, capture_output=True, text=True)
    ok = r.returncode == 0 or (r.returncode == 1 and cmd[0] == "cmp")
    if not ok:
        raise harness.HarnessError(f"{cmd!r} exited {r.returncode}: {r.stdout}{r.stderr}")
    return r.stdout


def require_tools():
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        raise harness.HarnessError(f"missing tools: {', '.join(missing)}")


def make_image(folder, volume):
    path = os.path.join(folder, f"{volume.letter}-{volume.kind.lower()}.img")
    if volume.kind == "NTFS":
        sh("truncate", "-s", "2M", path)
        sh("mkntfs", "-F", "-f", "-Q", "-q", "-L", volume.label, path)
        sh("ntfslabel", f"--new-serial={NTFS_HIGH:08X}{volume.old:08X}", path)
        return path
    bits, kib = {"FAT12": ("12", "1440"), "FAT16": ("16", "2600"),
                 "FAT32": ("32", "34000")}[volume.kind]
    return make_fat(path, bits, volume.old, volume.label, kib)


def make_fat(path, bits, serial, label, kib, sector=512):
    sh("mkfs.fat", "-C", "-F", bits, "-S", str(sector), "-s", "1", "-i", f"{serial:08X}",
       "-n", label, path, kib)
    return path


def set_fat_label(path, raw):
    """Writes a FAT12/16 label as raw bytes (mkfs.fat encodes no double-byte
    code page): in the boot sector and in the root directory's label entry."""
    raw = raw.ljust(11, b" ")
    with open(path, "r+b") as f:
        boot = f.read(512)
        sector, _, reserved, fats, entries = struct.unpack_from("<HBHBH", boot, 11)
        root = (reserved + fats * struct.unpack_from("<H", boot, 22)[0]) * sector
        f.seek(root)
        directory = f.read(entries * 32)
        label = next(i for i in range(0, len(directory), 32) if directory[i + 11] == 0x08)
        for offset in (43, root + label):
            f.seek(offset)
            f.write(raw)


def make_iso(folder, label):
    root = os.path.join(folder, "disc")
    os.makedirs(root, exist_ok=True)
    with open(os.path.join(root, "readme.txt"), "w") as f:
        f.write("a file on the disc\n")
    path = os.path.join(folder, "disc.iso")
    sh("genisoimage", "-quiet", "-V", label, "-o", path, root)
    return path


def map_all(prefix, folder):
    """Makes every image and maps every drive, in one go."""
    layout = {letter: (None, kind) for letter, kind in EMPTY.items()}
    for v in VOLUMES:
        layout[v.letter] = (make_image(folder, v), v.wine_type)
    layout[CD] = (make_iso(folder, CD_LABEL), "cdrom")
    used = prefix.map_drives(layout)
    for v in VOLUMES:
        v.image = used[v.letter]
    return used


def root_of(prefix, letter):
    """A Unix directory whose Wine path is the drive's root."""
    return os.path.join(prefix.path, "drives", letter)


# ---- reading the images back ------------------------------------------------

def copy(image, suffix):
    return shutil.copyfile(image, f"{image}.{suffix}")


def changed_offsets(before, after):
    """The offsets of the bytes that differ, and of those one file has past
    the other's end (cmp -l lists only the common part)."""
    differ = [int(line.split()[0]) - 1 for line in sh("cmp", "-l", before, after).splitlines()]
    sizes = sorted((os.path.getsize(before), os.path.getsize(after)))
    return differ + list(range(*sizes))


class Changes:
    """What the actions after it change in an image: a copy is taken when
    it is made, and offsets() compares the image with that copy."""

    def __init__(self, image):
        self.image = image
        self.before = copy(image, "before")

    def offsets(self):
        return changed_offsets(self.before, self.image)


def slot_offsets(volume):
    """The four bytes of the boot sector a write of the serial changes."""
    return list(range(volume.slot, volume.slot + 4))


def blkid_serial(image):
    """The volume serial (FAT) or 64-bit serial (NTFS) as blkid reads it."""
    return sh("blkid", "-p", "-o", "value", "-s", "UUID", image).strip()


def blkid_form(volume, serial):
    """How blkid prints a volume's serial once `serial` is written: the FAT
    serial's halves, or NTFS's 64 bits with the upper half kept."""
    if volume.kind == "NTFS":
        return f"{NTFS_HIGH:08X}{serial:08X}"
    return f"{serial >> 16:04X}-{serial & 0xFFFF:04X}"


def check_written(t, volume, changes, serial, what):
    """Checks an image after `serial` was written to it: only the slot's
    four bytes changed, and the Linux tools read the volume and the serial."""
    t.equal(changes.offsets(), slot_offsets(volume),
            f"{what}: cmp -l shows only the four bytes from {volume.slot}")
    t.equal(blkid_serial(volume.image), blkid_form(volume, serial),
            f"{what}: blkid reads the new serial (NTFS: its upper half kept)")
    if volume.kind == "NTFS":
        t.equal(ntfs_volume_name(volume.image), volume.label,
                f"{what}: ntfsinfo still reads the volume and its name")
    else:
        t.equal(fat_serial(volume.image), serial, f"{what}: fatlabel reads the new serial")
        t.equal(fsck_findings(volume.image, volume.kind), [], f"{what}: fsck.fat -n is clean")


def ntfs_volume_name(image):
    """The volume name ntfsinfo reads, which it finds only when the boot
    sector and the MFT still make sense; else what went wrong."""
    r = subprocess.run(["ntfsinfo", "-m", image], capture_output=True, text=True)
    names = [line.strip()[len("Volume Name: "):] for line in r.stdout.splitlines()
             if line.strip().startswith("Volume Name: ")]
    return names[0] if r.returncode == 0 and names else f"none, ntfsinfo exited {r.returncode}"


def fat_serial(image):
    return int(sh("fatlabel", "-i", image).strip().splitlines()[-1], 16)


def fsck_findings(path, kind):
    """What fsck.fat -n reports beyond a clean volume: on FAT32 the backup
    boot sector may differ in the serial bytes only, which no write touches."""
    r = subprocess.run(["fsck.fat", "-n", path], capture_output=True, text=True)
    allowed = (r"^fsck\.fat ", r" files, ",
               r"^There are differences between boot sector and its backup\.$",
               r"^This is mostly harmless\. Differences: \(offset:original/backup\)$",
               r"^  67:\w\w/\w\w, 68:\w\w/\w\w, 69:\w\w/\w\w, 70:\w\w/\w\w$",
               r"^  Not automatically fixing this\.$")
    if kind != "FAT32":
        allowed = allowed[:2]
    findings = [line for line in (r.stdout + r.stderr).splitlines()
                if not any(re.search(p, line) for p in allowed)]
    return (["exit %d" % r.returncode] if r.returncode else []) + findings


def query_form(serial):
    return f"{serial >> 16:04x}-{serial & 0xFFFF:04x}({serial:08x})"


def boot_form(serial):
    return f"{serial >> 16:04x}-{serial & 0xFFFF:04x}[{serial:08x}]"
