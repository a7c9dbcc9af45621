"""The window in Windows' high-contrast colour sets, black and white, with
visual styles on and off: each of its 14 texts (six labels, three free
lines, the group box's caption, four bevelled panels) measured from a
screenshot must read at 4.5:1 or better (WCAG's least for normal text).

Wine reads the system colours from HKCU\\Control Panel\\Colors when a
program starts, and never reports the high-contrast flag. The test build's
KESTROVA_HIGH_CONTRAST reports it on while a file exists: in one case the
file appears while the program runs, and after the setting-change message
Windows would send, the window shows no colour of its own, only the
system's, with no restart. Wine gives a running program no new colours
(SetSysColors from another program changes nothing in it), so a change of
colours or visual styles while the program runs is shown by the unit tests
on the simulated machine.

    python3 test_high_contrast.py --build <Windows build dir>
"""

import os

import drives
import harness
import layout
import window
from window import Picture

opts = harness.options()
THEMES = r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager"
COLOURS = r"HKEY_CURRENT_USER\Control Panel\Colors"
BLACK, WHITE = "0 0 0", "255 255 255"
SCHEMES = {
    "High Contrast Black": {"Window": BLACK, "WindowText": WHITE, "ButtonFace": BLACK,
                            "ButtonText": WHITE, "GrayText": "63 242 63",
                            "Hilight": "26 235 255", "HilightText": BLACK},
    "High Contrast White": {"Window": WHITE, "WindowText": BLACK, "ButtonFace": WHITE,
                            "ButtonText": BLACK, "GrayText": "96 0 0",
                            "Hilight": "55 0 110", "HilightText": WHITE},
}
# visual styles, colours; in the last the flag is switched on while it runs
CASES = [(styles, scheme) for styles in ("on", "off") for scheme in SCHEMES]
FLAG_CASE = ("on", "High Contrast White")
WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST = 0x001A, 0x0043
LABELS = ("lblPlattform", "lblFileSystem", "lblVLBL", "lblVSN", "lblTargetDrive", "lblNVSN",
          "lblCredit", "lblHomePage", "sttCompiler")
PANELS = ("pnlPlatform", "pnlFileSystem", "pnlVLBL", "pnlVSN")
GROUP = "grpbSystemInformation"
GROUP_CAPTION_LEFT = 10  # the caption's text starts 8 + 2 pixels in
BEVELS = 2               # the panels' two one-pixel bevels
# The window's own colours: the panel's light blue, the glyphs' green, navy
# and magenta, the drive glyphs' silver.
FIXED = {window.PANEL_FILL: "light blue", (0, 128, 0): "green", (0, 0, 128): "navy",
         (255, 0, 255): "magenta", (192, 192, 192): "silver"}


def luminance(colour):
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = map(linear, colour)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)))
    return (lb + 0.05) / (la + 0.05)


def text_contrast(shot, rect):
    """The ink's contrast on what lies behind it: the commonest colour is
    the background, the ink the frequent colour furthest from it (a few
    pixels of one colour are the edges of smoothed strokes)."""
    counts = {}
    for row in shot.block(*rect):
        for p in row:
            counts[p] = counts.get(p, 0) + 1
    background = max(counts, key=counts.get)
    frequent = [p for p, n in counts.items() if n >= 8 and p != background]
    if not frequent:
        return 1.0
    ink = max(frequent, key=lambda p: sum((a - b) ** 2 for a, b in zip(p, background)))
    return contrast(ink, background)


def text_rects(app, w):
    """Each text's rectangle on the screen, by the control that shows it."""
    by_name = {c["name"]: c for c in w["controls"]}
    rects = {name: by_name[name]["screen"] for name in LABELS}
    for name in PANELS:
        left, top, width, height = by_name[name]["screen"]
        rects[name] = [left + BEVELS, top + BEVELS, width - 2 * BEVELS, height - 2 * BEVELS]
    caption = by_name[GROUP]["text"]
    size = app.inspector_run("measure", layout.FONT_FACE, -11, caption)["sizes"][0]
    left, top = by_name[GROUP]["screen"][:2]
    rects[GROUP] = [left + GROUP_CAPTION_LEFT, top, *size]
    return rects


def set_colours(prefix, colours):
    """The system colours of the next program started; None removes them
    (the prefix keeps them otherwise)."""
    names = colours or SCHEMES["High Contrast Black"]
    lines = ["REGEDIT4", "", f"[{COLOURS}]"]
    lines += [f'"{name}"=' + (f'"{colours[name]}"' if colours else "-") for name in names]
    reg = os.path.join(prefix.tmp, "colours.reg")
    with open(reg, "w") as f:
        f.write("\r\n".join(lines) + "\r\n")
    prefix.wine("reg", "import", reg)


def check_texts(t, app, what):
    """Every text's ink against what lies behind it."""
    w = app.inspect()
    name = what.replace(", ", "-").replace(" ", "-")
    shot = Picture(app.screenshot(harness.artifact(f"{name}.png")))
    ratios = {n: text_contrast(shot, rect) for n, rect in text_rects(app, w).items()}
    harness.log(f"{what}: " + ", ".join(f"{n} {r:.2f}" for n, r in ratios.items()))
    for n, r in ratios.items():
        t.check(r >= 4.5, f"{what}: {n} reads", f"{r:.2f}:1")


def fixed_colours(app):
    shot = Picture(app.screenshot(harness.artifact("flag-switched.png")))
    shown = shot.colours(*app.control("nxpClient")["screen"])
    return {name for colour, name in FIXED.items() if colour in shown}


def switch_flag_on(t, app, flag_file, what):
    """The flag switched on while the program runs: no colour of the
    window's own is left once the message has come, and every text reads."""
    with open(flag_file, "w"):
        pass
    t.check(app.send(WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST), f"{what}: the change told")
    harness._poll(lambda: not fixed_colours(app), 5)
    t.equal(fixed_colours(app), set(), f"{what}: no colour of the window's own")
    check_texts(t, app, what)


def check_case(t, prefix, styles, scheme):
    what = f"styles {styles}, {scheme}"
    flag_file = os.path.join(prefix.tmp, "high-contrast")
    program, env = opts.app, {}
    if (styles, scheme) == FLAG_CASE:
        program = opts.faults
        env = {"KESTROVA_HIGH_CONTRAST": "Z:" + flag_file.replace("/", "\\")}
    with window.started_in(prefix, opts, "d", program=program, env=env) as (app, win):
        check_texts(t, app, what)
        if env:
            switch_flag_on(t, app, flag_file, what + ", flag switched on")
        win.quit()


def main(t):
    drives.require_tools()
    with harness.Display() as display, harness.Prefix(display) as prefix:
        # Started in d:, whose label gives every panel a text.
        image = drives.make_fat(os.path.join(prefix.tmp, "d.img"), "16", 0x0D16A001, "DATA16",
                                "2600")
        prefix.map_drive("d", image)
        try:
            for styles, scheme in CASES:
                prefix.reg_add(THEMES, "ThemeActive", "1" if styles == "on" else "0")
                set_colours(prefix, SCHEMES[scheme])
                prefix.kill()
                check_case(t, prefix, styles, scheme)
        finally:
            set_colours(prefix, None)


harness.run(main)
