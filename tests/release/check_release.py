#!/usr/bin/env python3
"""Reads a release (the dist/ of scripts/release.sh) back and checks it
against this run's build trees, the project version in CMakeLists.txt and
the last commit:

  - SHA256SUMS covers the two zips and the two programs, and holds;
  - each zip holds <download>/kestrova.exe and <download>/README.txt, in
    that order, dated the commit's time, with the same permissions;
  - the program in the zip, the one beside it and the build tree's
    kestrova.exe, which the tests ran, are the same bytes;
  - its PE type, its time stamp (the commit's), its version resource, and
    its manifest: the program's own identity names its architecture and
    the version, the Common-Controls dependency its architecture or "*";
  - README.txt is plain ASCII with CRLF line endings and names the
    version, the commit, the oldest Windows and the certutil command.

    /usr/bin/python3 tests/release/check_release.py [--dist dist]

Needs python3-pefile (apt's python3). Exits 1 on any failed check.
"""

import argparse
import hashlib
import os
import re
import subprocess
import sys
import time
import xml.etree.ElementTree as ET
import zipfile

import pefile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402

# Download, build tree, PE type, manifest architecture, oldest Windows.
DOWNLOADS = (
    ("win32", "build/win", "PE32 GUI for Intel 80386", "x86", "Windows 2000"),
    ("win64", "build/win64", "PE32+ GUI for x86-64", "amd64", "Windows XP x64 Edition"),
)
ASM = {"asm": "urn:schemas-microsoft-com:asm.v1"}
RT_MANIFEST = 24


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        return re.search(r"project\(kestrova VERSION ([0-9.]+)", f.read()).group(1)


def git(*args):
    return subprocess.run(["git", "-C", ROOT, *args], check=True, capture_output=True,
                          text=True).stdout.strip()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def check_sums(t, dist, version):
    expected = sorted([f"kestrova-{version}-win32.zip", f"kestrova-{version}-win64.zip",
                       "win32/kestrova.exe", "win64/kestrova.exe"])
    sums = dict(reversed(line.split("  ", 1)) for line in
                read(os.path.join(dist, "SHA256SUMS")).decode().splitlines())
    t.equal(sorted(sums), expected, "SHA256SUMS covers the zips and the programs")
    for path, digest in sums.items():
        t.equal(hashlib.sha256(read(os.path.join(dist, path))).hexdigest(), digest,
                f"SHA256SUMS holds for {path}")


def check_identity(t, name, tree, released):
    built = os.path.join(ROOT, tree, "kestrova.exe")
    if t.check(read(built) == released, f"{name}: the released program is {built}, byte for byte"):
        return
    if git("status", "--porcelain"):
        print(f"  the working tree has uncommitted changes: {tree} may hold them, the release"
              " (built from the last commit) does not; commit them and run again")
    else:
        print(f"  {tree} is not this commit's build (run scripts/build.sh), or the build"
              " is not reproducible")


def check_zip(t, name, path, stamp):
    with zipfile.ZipFile(path) as archive:
        entries = archive.infolist()
        t.equal([e.filename for e in entries], [f"{name}/kestrova.exe", f"{name}/README.txt"],
                f"{name}: zip entries and their order")
        t.equal({e.date_time for e in entries}, {stamp}, f"{name}: zip entries dated the commit")
        t.equal({oct(e.external_attr >> 16) for e in entries}, {"0o100644"},
                f"{name}: zip permissions")
        return [archive.read(e) for e in entries]


def resources(program, type_id):
    for kind in program.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id == type_id:
            for entry in kind.directory.entries:
                for language in entry.directory.entries:
                    data = language.data.struct
                    yield program.get_data(data.OffsetToData, data.Size)


def check_manifest(t, name, program, arch, version4):
    manifests = list(resources(program, RT_MANIFEST))
    if not t.equal(len(manifests), 1, f"{name}: one manifest"):
        return
    root = ET.fromstring(manifests[0])
    own = root.find("asm:assemblyIdentity", ASM)
    t.equal((own.get("processorArchitecture"), own.get("version")), (arch, version4),
            f"{name}: the manifest's own identity")
    dependencies = root.findall("asm:dependency/asm:dependentAssembly/asm:assemblyIdentity", ASM)
    controls = [a for a in dependencies if a.get("name") == "Microsoft.Windows.Common-Controls"]
    t.check(len(controls) == 1 and controls[0].get("processorArchitecture") in (arch, "*"),
            f"{name}: the Common-Controls dependency is {arch} or *",
            str([c.attrib for c in controls]))


def check_program(t, download, path, version4, epoch):
    name, _, kind, arch, _ = download
    program = pefile.PE(path)
    t.equal(harness.pe.Header(path).describe(), kind, f"{name}: PE type")
    t.equal(program.FILE_HEADER.TimeDateStamp, epoch, f"{name}: PE time stamp is the commit's")
    fixed = program.VS_FIXEDFILEINFO[0]
    for field, ms, ls in (("FILEVERSION", fixed.FileVersionMS, fixed.FileVersionLS),
                          ("PRODUCTVERSION", fixed.ProductVersionMS, fixed.ProductVersionLS)):
        t.equal(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}", version4, f"{name}: {field}")
    strings = {k.decode(): v.decode() for info in program.FileInfo[0]
               for table in getattr(info, "StringTable", []) for k, v in table.entries.items()}
    t.equal((strings.get("FileVersion"), strings.get("ProductVersion")), (version4, version4),
            f"{name}: version strings")
    check_manifest(t, name, program, arch, version4)


def check_readme(t, download, text, version, commit):
    name, oldest = download[0], download[4]
    t.check(text.isascii(), f"{name}: README.txt is ASCII")
    t.check(text.count(b"\n") == text.count(b"\r\n") > 0, f"{name}: README.txt has CRLF endings")
    for words in (f"Kestrova {version}", commit, oldest, "certutil -hashfile kestrova.exe SHA256"):
        t.check(words.encode() in text, f"{name}: README.txt names {words}")


def main(t, dist):
    version = project_version()
    version4 = ".".join((version.split(".") + ["0"] * 4)[:4])
    commit, epoch = git("log", "-1", "--format=%H %ct").split()
    epoch = int(epoch)
    stamp = time.gmtime(epoch - epoch % 2)[:6]  # zip times count in 2 s steps
    check_sums(t, dist, version)
    for download in DOWNLOADS:
        name, tree = download[:2]
        archive = os.path.join(dist, f"kestrova-{version}-{name}.zip")
        exe, readme = check_zip(t, name, archive, stamp)
        beside = os.path.join(dist, name, "kestrova.exe")
        t.check(exe == read(beside), f"{name}: the zip holds {name}/kestrova.exe")
        check_identity(t, name, tree, exe)
        check_program(t, download, beside, version4, epoch)
        check_readme(t, download, readme, version, commit)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", default=os.path.join(ROOT, "dist"))
    args = parser.parse_args()
    checks = harness.Checks()
    main(checks, args.dist)
    sys.exit(checks.report())
