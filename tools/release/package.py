#!/usr/bin/env python3
"""Packs a release build into the downloads: each kestrova.exe, a zip of it
with its README.txt, and SHA256SUMS over all four files.

    SOURCE_DATE_EPOCH=<commit time> python3 tools/release/package.py \\
        --src TREE --commit HASH --out dist

TREE is the source tree whose build/win and build/win64 hold kestrova.exe.
What is written depends only on those programs, the commit, its time and
the installed toolchain: zip entries in a fixed order, dated the commit's
time, with fixed permissions.
"""

import argparse
import hashlib
import os
import platform
import shutil
import string
import subprocess
import sys
import textwrap
import time
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "bench"))
import imports  # noqa: E402

# Download, Windows tree, title, and whom it is for: {oldest} is the oldest
# Windows the import check passed it against.
DOWNLOADS = (
    ("win32", "build/win", "32-bit and 64-bit Windows",
     "32-bit Windows, and 64-bit Windows, which runs it as a 32-bit program: "
     "{oldest} and later. The 9x family (Windows 95, 98, Me) is not covered "
     "by that check."),
    ("win64", "build/win64", "64-bit Windows",
     "64-bit x86 Windows only: {oldest} and later. For 32-bit Windows take "
     "kestrova-{version}-win32.zip."),
)
TRIPLES = {32: "i686-w64-mingw32", 64: "x86_64-w64-mingw32"}
CHECKED = ("Every function kestrova.exe imports is present in {oldest}: each was "
           "checked, when this archive was made, against a list taken from the "
           "Windows documentation.")


def project_version(tree):
    """The CMake project version a configured tree was built with."""
    with open(os.path.join(tree, "CMakeCache.txt")) as f:
        for line in f:
            if line.startswith("CMAKE_PROJECT_VERSION:"):
                return line.split("=", 1)[1].strip()
    raise SystemExit(f"{tree}: no project version in CMakeCache.txt")


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout.strip()


def installed_by(path):
    """"package version" of the Debian package that installed a file."""
    package = run("dpkg-query", "-S", os.path.realpath(path)).split(":")[0]
    return f"{package} {run('dpkg-query', '-W', '-f=${Version}', package)}"


def toolchain(triple):
    """The packages that make a program of that MinGW triple."""
    files = [shutil.which(f"{triple}-{tool}") for tool in ("g++", "gcc", "ld")]
    files += [f"/usr/{triple}/lib/libmsvcrt.a", shutil.which("cmake")]
    return [installed_by(f) for f in files]


def system_name():
    with open("/etc/os-release") as f:
        fields = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
    return fields.get("PRETTY_NAME", "Linux").strip('"')


def checked(exe):
    """The program's MinGW triple, and the oldest Windows whose DLLs have
    every function it imports."""
    header, _, oldest, flagged = imports.check(exe)
    if flagged:
        raise SystemExit(f"{exe} imports what {oldest} lacks: {', '.join(flagged)}")
    return TRIPLES[header.bits], oldest


def readme(download, exe, fields):
    """The README.txt of a download, with CRLF line endings."""
    name, _, title, whom = download
    triple, oldest = checked(exe)
    windows = "\n\n".join(textwrap.fill(text.format(oldest=oldest, version=fields["version"]), 73)
                          for text in (whom, CHECKED))
    with open(os.path.join(HERE, "README.txt.in")) as f:
        text = string.Template(f.read()).substitute(
            fields, download=name, title=title, windows=windows,
            toolchain="\n".join("    " + line for line in toolchain(triple)))
    return text.replace("\n", "\r\n").encode("ascii")


def write_zip(path, entries, epoch):
    """A zip of (name, bytes) in the order given, every entry dated the
    commit's time and readable by all, so that its bytes are the same on
    every run."""
    stamp = time.gmtime(epoch)[:6]
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 3  # Unix, so that the permissions below are read
            info.external_attr = 0o100644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def package(src, out, fields, epoch):
    """Writes the downloads into out; returns the paths SHA256SUMS covers."""
    covered = []
    for download in DOWNLOADS:
        name, tree = download[:2]
        exe = os.path.join(out, name, "kestrova.exe")
        os.makedirs(os.path.dirname(exe), exist_ok=True)
        shutil.copyfile(os.path.join(src, tree, "kestrova.exe"), exe)
        with open(exe, "rb") as f:
            program = f.read()
        archive = f"kestrova-{fields['version']}-{name}.zip"
        entries = [(f"{name}/kestrova.exe", program),
                   (f"{name}/README.txt", readme(download, exe, fields))]
        write_zip(os.path.join(out, archive), entries, epoch)
        covered += [archive, f"{name}/kestrova.exe"]
    return sorted(covered)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--src", required=True, help="the tree holding build/win and build/win64")
    parser.add_argument("--commit", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    fields = {"version": project_version(os.path.join(args.src, "build", "win")),
              "commit": args.commit, "system": system_name(),
              "python": platform.python_version(), "zlib": zlib.ZLIB_RUNTIME_VERSION}
    covered = package(args.src, args.out, fields, epoch)
    with open(os.path.join(args.out, "SHA256SUMS"), "w") as f:
        f.writelines(f"{sha256(os.path.join(args.out, path))}  {path}\n" for path in covered)
    for path in (os.path.join(args.out, p) for p in covered + ["SHA256SUMS"]):
        print(f"{path}: {os.path.getsize(path)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
