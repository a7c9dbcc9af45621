"""The harness and the inspector against the stand-in window: versions,
DPI, an image-backed drive, keys, clicks, a message box, pictures and exit
codes all reach or come back from a real Wine program.

usage: test_harness.py --build WINDOWS_BUILD_DIR
       (or --app, --inspector and --fixture: fixture_window.exe)
"""

import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

opts = harness.options()


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    return list(struct.unpack(">II", head[16:24]))


def mean_rg(path):
    out = harness._run(["convert", path, "-format", "%[fx:mean.r] %[fx:mean.g]", "info:"]).stdout
    return [float(v) for v in out.split()]


def texts(app):
    w = app.inspect()
    return {c["name"]: c["text"] for c in w["controls"]}, w


def first_run(t, display):
    with harness.Prefix(display) as p:
        p.set_version("win98")
        image = os.path.join(p.tmp, "fat16.img")
        subprocess.run(["mkfs.fat", "-C", "-F", "16", "-n", "KESTROVA", "-i", "1234abcd",
                        image, "16384"], check=True, capture_output=True)
        t.equal(p.map_drive("d", image, "hd"), image, "image linked, not copied")
        with harness.App(p, opts.fixture, "--drive", "d", inspector=opts.inspector) as app:
            w = app.wait_window()
            t.equal(w["screen"], [1024, 768], "screen size")
            left, top, width, height = w["rect"]
            t.near([left + width / 2, top + height / 2], [512, 384], 1, "window centred")
            t.equal(w["props"]["KestrovaDpi"], 96, "default DPI")
            t.equal(w["focus_name"], "edtNVSN", "focus read across processes")

            text, _ = texts(app)
            t.equal(text["pnlPlatform"], "1 4.10", "win98 version seen by the program")
            t.equal([text["pnlVLBL"], text["pnlVSN"], text["pnlFileSystem"]],
                    ["KESTROVA", "1234-ABCD", "FAT"], "volume of the image drive")
            t.equal(text["sttCompiler"], "fixture \u00e9\u4e2d", "UTF-8 text")
            combo = app.control("drvcbDrive")["combo"]
            t.check("D:" in combo["items"] and combo["items"][combo["current"]] == "D:",
                    "drive list and selection", combo)

            t.equal(app.control("edtNVSN")["limit"], 8, "edit limit")
            app.type("abcdef1234")
            t.equal(app.control("edtNVSN")["text"], "ABCDEF12", "typed keys reach the edit")
            app.key("Tab")
            t.equal(app.inspect()["focus_name"], "bbnOK", "Tab moves the focus")

            app.click_control("bbnOK")
            box = app.wait_dialog()
            t.check(box is not None, "click opens the message box")
            if box:
                t.equal(box["texts"], ["Fixture error text."], "message text")
                t.check(box["has_error_icon"], "error icon")
                t.equal([(b["text"], b["default"]) for b in box["buttons"]], [("OK", True)],
                        "buttons")
                t.equal(box["owner"], w["hwnd"], "owner")
                main = [o for o in app.dialogs()["others"] if o["hwnd"] == w["hwnd"]]
                t.equal([o["enabled"] for o in main], [False], "main window disabled")
                shot = app.screenshot(harness.artifact("box.png"))
                t.equal(png_size(shot), [1024, 768], "screenshot size")
                cut = app.crop(shot, harness.artifact("window.png"), left, top, width, height)
                t.equal(png_size(cut), [width, height], "crop size")
                r, g = mean_rg(app.crop(shot, harness.artifact("icon.png"), *box["icon_screen"]))
                t.check(r > g + 0.2, "icon_screen frames the red error icon", (r, g))
                app.key("Return")
                t.check(harness._poll(lambda: not app.dialogs()["dialogs"], 5),
                        "Return closes the box")
            app.key("alt+q")
            t.equal(app.wait_exit(), 0, "exit code 0")


def second_run(t, display):
    with harness.Prefix(display) as p:
        p.set_version("nt40")
        p.set_dpi(120)
        with harness.App(p, opts.fixture, "--exit", "3", inspector=opts.inspector) as app:
            w = app.wait_window()
            t.equal(w["props"]["KestrovaDpi"], 120, "DPI set in the registry")
            t.equal(texts(app)[0]["pnlPlatform"], "2 4.0", "nt40 version")
            app.click_control("bbnQuit")
            t.equal(app.wait_exit(), 3, "program's exit code comes through wine")
            missing = app.inspector_run("window", "no such window")
            t.equal(missing, {"found": False, "caption": "no such window"}, "not found")
            r = harness._run(p.command(opts.inspector, "window"), env=p.env, check=False)
            t.equal(r.returncode, 2, "usage error")


def main(t):
    if not (opts.inspector and opts.fixture):
        harness.skip("--build, or --inspector and --fixture, are needed")
    with harness.Display() as display:
        first_run(t, display)
        second_run(t, display)


harness.run(main)
