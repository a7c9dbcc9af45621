"""Runs kestrova.exe under Wine with demo disk images as its drives.

With a reachable display the window opens there until it is closed; without
one it runs on Xvfb, leaves a screenshot and prints where."""

import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import harness  # noqa: E402

# letter, Wine drive type, file system, label, serial
DEMO_DRIVES = [
    ("a", "floppy", "12", "FLOPPY", "0a1b2c3d", 1440),
    ("d", "hd", "16", "KESTROVA16", "1234abcd", 32768),
    ("e", "hd", "32", "KESTROVA32", "5678ef01", 66000),
    ("f", "hd", "ntfs", "KESTROVANT", "9abc2345", 16384),
    ("g", "cdrom", None, None, None, 0),
]


def make_image(path, fs, label, serial, kib):
    if os.path.exists(path):
        return  # keep what an earlier run wrote, so it can be checked
    if fs == "ntfs":
        subprocess.run(["truncate", "-s", f"{kib}K", path], check=True)
        subprocess.run(["mkntfs", "-F", "-f", "-q", "-L", label, path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["ntfslabel", f"--new-serial={serial}", path], check=True,
                       stdout=subprocess.DEVNULL)
    else:
        subprocess.run(["mkfs.fat", "-C", "-F", fs, "-n", label, "-i", serial, path,
                        str(kib)], check=True, stdout=subprocess.DEVNULL)


class RealDisplay:
    env = {"DISPLAY": os.environ.get("DISPLAY", "")}

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        pass


def display_reachable():
    if not os.environ.get("DISPLAY"):
        return False
    return subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True).returncode == 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--app", required=True)
    ap.add_argument("--inspector", required=True)
    ap.add_argument("--out", default="out/demo")
    opts = ap.parse_args()
    out = os.path.abspath(opts.out)
    harness.use_program(opts.app)
    os.makedirs(out, exist_ok=True)
    real = display_reachable()
    with (RealDisplay() if real else harness.Display()) as display, \
            harness.Prefix(display) as prefix:
        for letter, kind, fs, label, serial, kib in DEMO_DRIVES:
            image = None
            if fs:
                image = os.path.join(out, f"{letter}-fat{fs}.img" if fs != "ntfs" else f"{letter}-ntfs.img")
                make_image(image, fs, label, serial, kib)
            prefix.map_drive(letter, image, kind)
        cwd = os.path.join(prefix.path, "drives", "d")
        with harness.App(prefix, os.path.abspath(opts.app), cwd=cwd,
                         inspector=os.path.abspath(opts.inspector)) as app:
            app.wait_window(timeout=60)
            if real:
                print("Kestrova is running; close its window to end.")
                app.proc.wait()
                return 0
            shot = app.screenshot(os.path.join(out, "kestrova.png"))
            print(f"Screenshot: {shot}")
            app.key("alt+q")
            return app.wait_exit()


if __name__ == "__main__":
    sys.exit(main())
