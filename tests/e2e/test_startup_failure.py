"""A failure in the start-up is shown with nothing left pointing at the
destroyed window object. In the program's test build the drop-down list
refuses its items (KESTROVA_REFUSE_LIST_ADD), so the first build of the
drive list stops with the out-of-resources error; or the main window
cannot be made at all (KESTROVA_REFUSE_WINDOW). The exception box then
shows its text readably and stays until it is closed, the window is never
shown, and the process exits 0. The test build counts the messages that
reach a window object after it is gone and prints the count as it ends;
it must be 0.

    python3 test_startup_failure.py --build <Windows build dir>
"""

import time

import harness
import window
from window import Picture

opts = harness.options()
TITLE = "KESTROVA FOR WINDOWS"
# Each switch of the test build, and the text of the exception box it leads to.
FAILURES = (("KESTROVA_REFUSE_LIST_ADD", "行を挿入できません."),
            ("KESTROVA_REFUSE_WINDOW", "Can not create the main window."))
GONE = "messages to gone window objects:"
# What only the test build may carry: its switches and its count.
TEST_BUILD_ONLY = (b"KESTROVA_REFUSE_LIST_ADD", b"KESTROVA_UNREADY_DRIVES",
                   b"KESTROVA_REFUSE_WINDOW", GONE.encode())


def no_trace_in_the_shipped_program(t):
    with open(opts.app, "rb") as f:
        shipped = f.read()
    with open(opts.faults, "rb") as f:
        test_build = f.read()
    for text in TEST_BUILD_ONLY:
        t.check(text in test_build and text not in shipped,
                f"{text.decode()!r}: in the test build only")


def check_box(t, app, message, shot_name):
    d = app.wait_dialog()
    if not window.check_error_box(t, [d] if d else [], message, f"the exception box {message}",
                                  caption=TITLE):
        return None
    shot = Picture(app.screenshot(harness.artifact(shot_name)))
    left, top, width, _ = d["rect"]
    icon_left, icon_top, icon_width, icon_height = d["icon_screen"]
    text = (icon_left + icon_width + 4, icon_top, left + width - icon_left - icon_width - 12,
            icon_height)
    # Nine different characters and a stop; a font without them draws one box.
    t.check(window.distinct_shapes(shot, text) >= 6, f"{message}: drawn readably")
    shown = [o for o in app.dialogs()["others"] if o["class"] == "TfrmMain" and o["visible"]]
    t.equal(shown, [], f"{message}: the window is never shown")
    return d


def failed_start(t, prefix, switch, message):
    with window.started_in(prefix, opts, program=opts.faults, caption=TITLE, desktop="1024x768",
                           env={switch: "1"}) as (app, _):
        d = check_box(t, app, message, f"box-{switch.lower()}.png")
        time.sleep(2)
        t.check(d and app.dialogs()["dialogs"], f"{message}: the box stays until it is closed")
        app.key("Return")
        app.wait_exit()  # a hang raises
        err = app.output()[1]
        t.check(f"{GONE} 0\n" in err, f"{message}: no message reached a destroyed window object",
                err.strip()[-200:])


def main(t):
    no_trace_in_the_shipped_program(t)
    with harness.Display() as display, harness.Prefix(display) as prefix:
        for switch, message in FAILURES:
            failed_start(t, prefix, switch, message)


harness.run(main)
