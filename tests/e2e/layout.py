"""The main window's layout as its design gives it, written out here so
that a wrong number in the program's own table fails the tests. Lengths
are pixels at 96 pixels per inch: left, top, width, height in the parent."""

CLIENT = [394, 168]
FONT_FACE = "Tahoma"

# name, kind, parent, rectangle, caption (None where the program words it)
_ROWS = [
    ("nxpClient", "ClientPanel", None, (0, 0, 394, 168), ""),
    ("grpbSystemInformation", "GroupBox", "nxpClient", (6, 6, 225, 68), "System Information."),
    ("lblPlattform", "Label", "grpbSystemInformation", (13, 16, 44, 13), "Platform:"),
    ("pnlPlatform", "BevelPanel", "grpbSystemInformation", (67, 13, 148, 20),
     "Please Wait Moment..."),
    ("lblFileSystem", "Label", "grpbSystemInformation", (3, 42, 58, 13), "File System:"),
    ("pnlFileSystem", "BevelPanel", "grpbSystemInformation", (67, 38, 148, 20),
     "Please Wait Moment..."),
    ("lblVLBL", "Label", "nxpClient", (240, 3, 66, 13), "Volume Label:"),
    ("pnlVLBL", "BevelPanel", "nxpClient", (240, 19, 148, 20), "Please Wait Moment..."),
    ("lblVSN", "Label", "nxpClient", (240, 42, 87, 13), "Volume Serial No.:"),
    ("pnlVSN", "BevelPanel", "nxpClient", (240, 58, 148, 20), "Please Wait Moment..."),
    ("lblTargetDrive", "Label", "nxpClient", (10, 86, 64, 13), "Target Drive:"),
    ("drvcbDrive", "DriveSelector", "nxpClient", (138, 80, 151, 19), None),
    ("lblNVSN", "Label", "nxpClient", (10, 106, 111, 13), "New Volume Serial No.:"),
    ("edtNVSN", "Edit", "nxpClient", (138, 102, 148, 21), ""),
    ("bbnOK", "GlyphButton", "nxpClient", (310, 86, 72, 33), "OK"),
    ("bbnQuit", "GlyphButton", "nxpClient", (310, 125, 72, 33), "(&Q)uit"),
    ("lblCredit", "Label", "nxpClient", (17, 125, 264, 13), None),
    ("lblHomePage", "Label", "nxpClient", (42, 138, 203, 13), None),
    ("sttCompiler", "StaticText", "nxpClient", (55, 150, 203, 17), None),
]


def controls():
    return [{"name": name, "kind": kind, "parent": parent, "rect": list(rect), "caption": caption}
            for name, kind, parent, rect, caption in _ROWS]


def scale(length, zero_height):
    """One length scaled by zero_height / 13, rounded half away from zero."""
    n = length * zero_height
    return (n + 6) // 13 if n >= 0 else -((-n + 6) // 13)
