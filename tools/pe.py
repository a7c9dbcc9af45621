"""What a Windows program's PE header says about it: its machine, whether
it is PE32 or PE32+, and its subsystem. Standard library only."""

import struct

MACHINES = {0x014C: "Intel 80386", 0x8664: "x86-64"}
MAGICS = {0x10B: "PE32", 0x20B: "PE32+"}
SUBSYSTEMS = {2: "GUI", 3: "console"}


class Header:
    def __init__(self, exe):
        with open(exe, "rb") as f:
            head = f.read(4096)
        pe = struct.unpack_from("<I", head, 0x3C)[0] if head[:2] == b"MZ" else -1
        if pe < 0 or head[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{exe} is not a Windows program")
        self.machine = struct.unpack_from("<H", head, pe + 4)[0]
        optional = pe + 24
        # The subsystem sits at the same offset in PE32 and PE32+.
        self.magic, = struct.unpack_from("<H", head, optional)
        self.subsystem, = struct.unpack_from("<H", head, optional + 68)

    @property
    def bits(self):
        return {0x014C: 32, 0x8664: 64}.get(self.machine)

    def describe(self):
        """For example "PE32 GUI for Intel 80386"."""
        return (f"{MAGICS.get(self.magic, hex(self.magic))} "
                f"{SUBSYSTEMS.get(self.subsystem, 'subsystem %d' % self.subsystem)} for "
                f"{MACHINES.get(self.machine, hex(self.machine))}")
