#!/usr/bin/env python3
"""Start-up under Wine: kestrova.exe against the bare window program of
tools/bench/bare_window.cpp (the same controls, stock classes, the same
manifest), in alternating runs on one Xvfb display and one prefix; prints
each run, the medians and the fastest runs, and their ratios. A figure, not
a test: it never fails on the ratio.

    python3 tools/bench/startup.py [--build build/win] [--runs 9] [--warm-up 2] [--gap 3]

What one run measures: from starting `wine PROGRAM` to the inspector seeing
the program's window visible (it polls every 50 ms), with the inspector
already waiting and the wineserver already up, so that neither's start-up is
counted. The platform panel is then checked to be filled (both programs fill
it before they show the window), and Quit is clicked. Drives: the prefix's
own; the programs start in C:\, so kestrova.exe's first refresh reads C:.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402

PROGRAMS = (("kestrova.exe", harness.CAPTION), ("kestrova_bare_window.exe", "Kestrova Bare Window"))
INITIAL = "Please Wait Moment..."


def one_run(prefix, inspector, exe, caption):
    """Seconds to a visible window, and the platform panel's text then."""
    waiting = subprocess.Popen(prefix.command(inspector, "wait", caption, "30000"), env=prefix.env,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    time.sleep(2.0)  # the inspector is up and polling
    start = time.monotonic()
    # Started in C:\ (the prefix's drive_c), whose drive the refresh then reads.
    program = subprocess.Popen(prefix.command(exe), env=prefix.env, cwd=os.path.join(prefix.path, "drive_c"),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               stdin=subprocess.DEVNULL)
    try:
        out, _ = waiting.communicate(timeout=60)
        seconds = time.monotonic() - start
        window = json.loads(out)
        if not window.get("found"):
            raise harness.HarnessError(f"{exe}: no window {caption!r}")
        controls = {c.get("name"): c for c in window.get("controls", [])}
        panel = controls.get("pnlPlatform", {}).get("text", "")
        # Quit, as a user would: a killed program leaves the server slower.
        left, top, width, height = controls["bbnQuit"]["screen"]
        # Without --sync: it waits for a motion, and none comes when the
        # pointer is already there.
        subprocess.run(["xdotool", "mousemove", str(left + width // 2), str(top + height // 2),
                        "sleep", "0.2", "click", "1", "mousemove", "0", "0"], env=prefix.env,
                       check=True)
        program.wait(15)
        return seconds, panel
    finally:
        harness._stop(program)  # by its own pid, if Quit did not end it
        if waiting.poll() is None:
            harness._stop(waiting)


def measure(prefix, inspector, exes, args, times):
    """Alternating runs, the order swapped each round; warm-up rounds first."""
    for run in range(-args.warm_up, args.runs):
        order = exes if run % 2 == 0 else exes[::-1]
        for exe, caption in order:
            seconds, panel = one_run(prefix, inspector, exe, caption)
            time.sleep(args.gap)  # the previous program is gone from the server
            if run < 0:
                continue
            filled = panel not in ("", INITIAL)
            print(f"run {run + 1} {os.path.basename(exe):26s} {seconds * 1000:7.0f} ms  "
                  f"platform panel {panel!r}{'' if filled else '  (NOT FILLED)'}", flush=True)
            times[exe].append(seconds)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "win"))
    parser.add_argument("--runs", type=int, default=9)
    # Wine goes on working for a second or two after a program ends; a run
    # started in that time took twice as long, whichever program it was.
    parser.add_argument("--gap", type=float, default=3.0,
                        help="seconds between runs, for Wine to settle")
    parser.add_argument("--warm-up", type=int, default=2,
                        help="runs of each first, not counted: Wine loads its DLLs cold")
    args = parser.parse_args()
    opts = harness.options(["--build", args.build])
    exes = [(os.path.join(os.path.abspath(args.build), name), caption)
            for name, caption in PROGRAMS]
    for exe, _ in exes:
        if not os.path.exists(exe):
            sys.exit(f"missing {exe}: build the Windows tree first")
    times = {exe: [] for exe, _ in exes}
    with harness.Display() as display, harness.Prefix(display) as prefix:
        # Holds the wineserver and Wine's desktop process up for the whole
        # measurement, so that no run pays for starting them again.
        keeper = subprocess.Popen(prefix.command(opts.inspector, "wait", "no such window", "3600000"),
                                  env=prefix.env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        try:
            measure(prefix, opts.inspector, exes, args, times)
        finally:
            harness._stop(keeper)
    kestrova, bare = (times[exe] for exe, _ in exes)
    pairs = [k / b for k, b in zip(kestrova, bare)]
    # The delays this machine adds only ever lengthen a run, so the fastest
    # run of each is the steadiest figure; the medians are printed beside it.
    print(f"median start-up: kestrova.exe {statistics.median(kestrova) * 1000:.0f} ms, bare window "
          f"{statistics.median(bare) * 1000:.0f} ms; ratio of medians "
          f"{statistics.median(kestrova) / statistics.median(bare):.2f}, median of the "
          f"{len(pairs)} paired ratios {statistics.median(pairs):.2f}")
    print(f"fastest start-up: kestrova.exe {min(kestrova) * 1000:.0f} ms, bare window "
          f"{min(bare) * 1000:.0f} ms; ratio {min(kestrova) / min(bare):.2f} (goal <= 1.2)")


if __name__ == "__main__":
    main()
