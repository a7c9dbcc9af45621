#!/usr/bin/env python3
"""Makes the fuzzer's seed corpus: real boot sectors from mkfs.fat and mkntfs,
each behind the 14-byte header that boot_sector_fuzzer.cpp describes.

    python3 tests/fuzz/make_corpus.py [--out tests/fuzz/corpus]

The output is committed; run this again only to change the seeds.
"""

import argparse
import os
import struct
import subprocess
import tempfile

# Choices, as indexes into the fuzzer's tables.
SECTOR_512, SECTOR_4096, SECTOR_511, SECTOR_AS_IDENTIFIED = 0, 1, 4, 16
NAME_FROM_IMAGE, NAME_CDFS, NAME_UNKNOWN, NAME_CUSTOM = 0, 4, 10, 11
NT61, WIN98 = 0, 5
WRITE_DROPPED, ONLY_CONFIRMING_READ, READ_FAILS = 1 << 6, 1 << 14, 1 << 2


def header(sector=SECTOR_AS_IDENTIFIED, name=NAME_FROM_IMAGE, faults=0, platform=NT61,
           serial=0xCAFEF00D, custom=b""):
    return (bytes([sector, 0, 0, name]) + struct.pack("<H", faults) + bytes([0, platform]) +
            struct.pack("<I", serial) + bytes([0, len(custom)]) + custom)


def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def fat_image(path, bits, sector, size_kib):
    run("mkfs.fat", "-C", "-F", str(bits), "-S", str(sector), "-s", "1", "-i", "12345678",
        "-n", "SEED", path, str(size_kib))


def ntfs_image(path, sector):
    run("truncate", "-s", "2M", path)
    run("mkntfs", "-F", "-f", "-Q", "-q", "-s", str(sector), "-L", "SEED", path)


def first_bytes(path, count):
    with open(path, "rb") as f:
        return f.read(count)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "corpus"))
    out = parser.parse_args().out
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        images = {}
        for name, bits, sector, kib in (("fat12-512", 12, 512, 1440), ("fat16-512", 16, 512, 2600),
                                        ("fat32-512", 32, 512, 34000),
                                        ("fat16-4096", 16, 4096, 17000),
                                        ("fat32-4096", 32, 4096, 270000)):
            path = os.path.join(tmp, name)
            fat_image(path, bits, sector, kib)
            images[name] = first_bytes(path, sector)
        for name, sector in (("ntfs-512", 512), ("ntfs-4096", 4096)):
            path = os.path.join(tmp, name)
            ntfs_image(path, sector)
            images[name] = first_bytes(path, sector)

    seeds = {name: header() + sector for name, sector in images.items()}
    seeds["fat16-win98"] = header(platform=WIN98) + images["fat16-512"]
    seeds["fat32-dropped-write"] = header(faults=WRITE_DROPPED) + images["fat32-512"]
    seeds["ntfs-confirm-read-fails"] = (header(faults=READ_FAILS | ONLY_CONFIRMING_READ) +
                                        images["ntfs-512"])
    seeds["fat16-odd-sector"] = header(sector=SECTOR_511) + images["fat16-512"]
    seeds["fat12-as-cdfs"] = header(name=NAME_CDFS) + images["fat12-512"]
    seeds["fat32-unknown-name"] = header(name=NAME_UNKNOWN) + images["fat32-512"]
    seeds["ntfs-custom-name"] = header(name=NAME_CUSTOM, custom=b"NTFS") + images["ntfs-512"]
    seeds["fat16-half-sector"] = header(sector=SECTOR_512) + images["fat16-512"][:256]
    for name, data in sorted(seeds.items()):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    print(f"{len(seeds)} seeds in {out}")


if __name__ == "__main__":
    main()
