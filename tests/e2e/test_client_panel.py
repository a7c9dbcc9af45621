"""The client panel: its pixel tests rendered under Wine, and nxpClient in
the main window filling the client area through resizing."""

import glob
import os
import subprocess

import harness

opts = harness.options()


def panel_pixel_tests(t, prefix):
    out = os.path.join(prefix.tmp, "panels")
    os.makedirs(out)
    exe = os.path.join(os.path.dirname(opts.app), "kestrova-panel-test.exe")
    r = subprocess.run(prefix.command(exe, "Z:" + out.replace("/", "\\")), env=prefix.env,
                       capture_output=True, text=True, timeout=120)
    last = (r.stdout.strip().splitlines() or [""])[-1]
    print(r.stdout, end="")
    t.equal(r.returncode, 0, f"panel pixel tests ({last})")
    shots = sorted(glob.glob(os.path.join(out, "*.bmp")))
    t.check(len(shots) >= 9, "every test panel rendered")
    sheet = os.path.join(opts.artifacts, "panels.png")
    subprocess.run(["montage", "-font", "/usr/share/wine/fonts/tahoma.ttf", "-pointsize", "14",
                    "-label", "%t", "-filter", "point", "-resize", "300%", "-geometry", "+8+8",
                    "-background", "#404040", "-fill", "white", *shots, sheet], check=True)
    harness.log(f"contact sheet: {sheet}")


def client_fills_the_window(t, app, what):
    w = app.inspect()
    panel = app.control("nxpClient", w)
    t.equal(panel["rect"], [0, 0, *w["client"]], f"nxpClient fills the client area {what}")
    ok = app.control("bbnOK", w)
    t.equal(ok["rect"], [310, 86, 72, 33], f"OK keeps its place {what}")
    return w, panel


def main_window_surface(t, prefix):
    with harness.App(prefix, opts.app, inspector=opts.inspector) as app:
        app.wait_window()
        w, panel = client_fills_the_window(t, app, "at first")
        shot = app.screenshot(os.path.join(opts.artifacts, "client-panel.png"))
        left, top, width, height = panel["screen"]
        corner = app.crop(shot, shot.replace(".png", "-corner.png"), left, top, 4, 4)
        t.check(harness.has_color(corner, (0, 0, 0)), "black frame at the corner")
        t.check(harness.has_color(corner, (227, 239, 255)), "light-blue surface inside it")
        subprocess.run(["xdotool", "windowsize", "--sync", str(w["x11_window"]), "600", "400"],
                       env=prefix.env, timeout=20, check=False)
        w2, _ = client_fills_the_window(t, app, "after resizing")
        t.check(w2["client"] != w["client"], "the window was resized", str(w2["client"]))
        app.key("alt+q")
        t.equal(app.wait_exit(), 0, "exit code")


def main(t):
    with harness.Display() as d, harness.Prefix(d) as p:
        panel_pixel_tests(t, p)
        main_window_surface(t, p)


harness.run(main)
