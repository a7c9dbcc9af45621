#!/usr/bin/env python3
"""Prints a build of kestrova.exe's size, PE type and import list and checks
every imported function against tools/bench/win2000_imports.txt: what
Windows 2000 has, for the i686 program, and besides that what Windows XP
x64 Edition, the first 64-bit x86 Windows, has for the x86_64 one (the
entries marked amd64).

    python3 tools/bench/imports.py [--exe build/win/kestrova.exe]
                                   [--expect "PE32 GUI for Intel 80386"]

Exits 1 when an import is not on the list, naming it, or when the program
is not of the expected PE type. The calls the program
looks up at run time (newer Windows only) are not imports; they are listed
from the names the executable carries.
"""

import argparse
import collections
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.dirname(HERE))
import pe  # noqa: E402
RUN_TIME_LOOKUPS = ("TaskDialogIndirect", "IsAppThemed", "WNetGetConnectionA",
                    "SetDefaultDllDirectories", "SetDllDirectoryA")


def imports(exe):
    """{DLL (upper case): [function, ...]} from objdump's import tables."""
    # The x86_64 tools read PE32 and PE32+ alike.
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], check=True,
                          capture_output=True, text=True).stdout
    table = collections.OrderedDict()
    dll = None
    for line in dump.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).upper()
            table[dll] = []
            continue
        # "\t5764c\t   96  InitCommonControlsEx": address, hint, name
        entry = re.match(r"\t[0-9a-f]+\t\s*\d+\s+(\S+)$", line)
        if dll and entry:
            table[dll].append(entry.group(1))
        elif not line.strip():
            dll = None if dll and table[dll] else dll
    return table


def allowed(bits):
    """{(DLL, function)} the program of that word size may import."""
    names = set()
    with open(os.path.join(HERE, "win2000_imports.txt")) as f:
        for line in f:
            fields = line.split("#", 1)[0].split()
            if len(fields) == 2 or (fields[2:] == ["amd64"] and bits == 64):
                names.add((fields[0].upper(), fields[1]))
    return names


OLDEST = {32: "Windows 2000", 64: "Windows XP x64 Edition"}


def check(exe):
    """The program's PE header, its imports {DLL: [function, ...]}, the
    oldest Windows it is checked against, and the imports that Windows lacks
    ("DLL function")."""
    header = pe.Header(exe)
    table = imports(exe)
    known = allowed(header.bits)
    flagged = [f"{dll} {f}" for dll, functions in table.items() for f in functions
               if (dll, f) not in known]
    return header, table, OLDEST[header.bits], flagged


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", default=os.path.join(ROOT, "build", "win", "kestrova.exe"))
    parser.add_argument("--expect", help="the PE type it must be")
    args = parser.parse_args()
    exe = args.exe
    header, table, oldest, flagged = check(exe)
    if args.expect and header.describe() != args.expect:
        print(f"{exe}: a {header.describe()}, NOT a {args.expect}")
        return 1
    size = os.path.getsize(exe)
    print(f"{os.path.relpath(exe, ROOT)}: {header.describe()}, {size} bytes ({size / 1024:.0f} KiB)")
    for dll, functions in table.items():
        print(f"  {dll} ({len(functions)}): {' '.join(functions)}")
    total = sum(len(f) for f in table.values())
    with open(exe, "rb") as f:
        carried = f.read()
    lookups = [name for name in RUN_TIME_LOOKUPS if name.encode() in carried]
    print(f"  looked up at run time, not imported: {', '.join(lookups) or 'none'}")
    if flagged:
        print(f"imports: {total} functions from {len(table)} DLLs; NOT on the list for {oldest}:")
        for name in flagged:
            print(f"  {name}")
        return 1
    print(f"imports: {total} functions from {len(table)} DLLs, every one on the list for {oldest}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
