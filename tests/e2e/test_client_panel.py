"""The client panel: its pixel tests rendered under Wine, and nxpClient in
the main window filling the client area and framing it through resizing."""

import glob
import os
import subprocess
import time

import harness
import window
from window import Picture

opts = harness.options()
BLACK, FILL = (0, 0, 0), window.PANEL_FILL
WM_SYSCOMMAND, SC_MAXIMIZE, SC_RESTORE = 0x0112, 0xF030, 0xF120


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


def client_fills_the_window(t, app, what):
    w = app.inspect()
    panel = app.control("nxpClient", w)
    t.equal(panel["rect"], [0, 0, *w["client"]], f"nxpClient fills the client area {what}")
    ok = app.control("bbnOK", w)
    t.equal(ok["rect"], [310, 86, 72, 33], f"OK keeps its place {what}")
    return w, panel


def free_colours(w, picture, points):
    """The colours shown at those client-area points that no control
    covers."""
    left, top = next(c for c in w["controls"] if c["name"] == "nxpClient")["screen"][:2]
    boxes = [c["screen"] for c in w["controls"] if c["name"] != "nxpClient" and c["visible"]]
    return {picture.at(left + x, top + y) for x, y in points
            if not any(bx <= left + x < bx + bw and by <= top + y < by + bh
                       for bx, by, bw, bh in boxes)}


def check_frame(t, app, what, old=None):
    """The frame on the client area's outermost pixels; with `old`, the
    smaller client size before, its right and bottom edges now show the
    surface. Returns the client size."""
    time.sleep(0.5)  # the repaint follows the size change
    w, _ = client_fills_the_window(t, app, what)
    width, height = w["client"]
    picture = Picture(app.screenshot(os.path.join(opts.artifacts,
                                                  f"client-panel-{what.replace(' ', '-')}.png")))
    edges = {"column 0": [(0, y) for y in range(height)],
             "row 0": [(x, 0) for x in range(width)],
             "column W-1": [(width - 1, y) for y in range(height)],
             "row H-1": [(x, height - 1) for x in range(width)]}
    if old:
        edges["old column W-1"] = [(old[0] - 1, y) for y in range(1, height - 1)]
        edges["old row H-1"] = [(x, old[1] - 1) for x in range(1, width - 1)]
    for name, points in edges.items():
        want = {FILL} if name.startswith("old") else {BLACK}
        t.equal(free_colours(w, picture, points), want, f"{name} {what} ({width}x{height})")
    return w["client"]


def drag_corner(app, dx, dy):
    """Resizes the window as a user does: its lower-right frame corner
    dragged with the mouse (the Wine desktop draws the frame)."""
    left, top, width, height = app.inspect()["rect"]
    x, y = left + width - 2, top + height - 2
    harness._run(["xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", "1",
                  "mousemove", "--sync", str(x + dx), str(y + dy), "mouseup", "1"],
                 env=app.prefix.env)


def main_window_surface(t, prefix):
    # Inside a Wine desktop: without a window manager a maximised window's
    # X window keeps its old size.
    with harness.App(prefix, opts.app, inspector=opts.inspector, desktop="1024x768") as app:
        app.wait_window()
        _, panel = client_fills_the_window(t, app, "at first")
        shot = Picture(app.screenshot(os.path.join(opts.artifacts, "client-panel.png")))
        corner = shot.colours(*panel["screen"][:2], 4, 4)
        t.check(BLACK in corner and FILL in corner, "the corner: black frame, light-blue surface")
        # In this order each step starts from a frame that was right before
        # it, so each can fail on its own.
        size = check_frame(t, app, "at first")
        drag_corner(app, 150, 120)
        size = check_frame(t, app, "after enlarging", old=size)
        app.post(WM_SYSCOMMAND, SC_MAXIMIZE)
        check_frame(t, app, "after maximising", old=size)
        app.post(WM_SYSCOMMAND, SC_RESTORE)
        t.equal(check_frame(t, app, "after restoring"), size, "restored to the size before")
        drag_corner(app, -190, -160)
        shrunk = check_frame(t, app, "after shrinking")
        t.check(shrunk[0] < size[0] and shrunk[1] < size[1], "the window was shrunk", str(shrunk))
        window.Window(app).quit()


def main(t):
    with harness.Display() as d, harness.Prefix(d) as p:
        panel_pixel_tests(t, p)
        main_window_surface(t, p)


harness.run(main)
