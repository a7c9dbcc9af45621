"""A failure in the first showing is shown with nothing left pointing at the
destroyed window object. In the program's test build the drop-down list
refuses its items (KESTROVA_REFUSE_LIST_ADD), so the first build of the
drive list stops with the out-of-resources error. The exception box then
shows "行を挿入できません." readably and stays until it is closed, the
window is never shown, and the process exits 0. The test build counts the
messages that reach a window object after it is gone and prints the count
as it ends; it must be 0.

    python3 test_startup_failure.py --build <Windows build dir>
"""

import time

import harness
import window
from window import Picture

opts = harness.options()
TITLE = "KESTROVA FOR WINDOWS"
MESSAGE = "行を挿入できません."
GONE = "messages to gone window objects:"
# What only the test build may carry: its switches and its count.
TEST_BUILD_ONLY = (b"KESTROVA_REFUSE_LIST_ADD", b"KESTROVA_UNREADY_DRIVES", GONE.encode())


def no_trace_in_the_shipped_program(t):
    with open(opts.app, "rb") as f:
        shipped = f.read()
    with open(opts.faults, "rb") as f:
        test_build = f.read()
    for text in TEST_BUILD_ONLY:
        t.check(text in test_build and text not in shipped,
                f"{text.decode()!r}: in the test build only")


def check_box(t, app):
    d = app.wait_dialog()
    if not window.check_error_box(t, [d] if d else [], MESSAGE, "the exception box",
                                  caption=TITLE):
        return None
    shot = Picture(app.screenshot(harness.artifact("box.png")))
    left, top, width, _ = d["rect"]
    icon_left, icon_top, icon_width, icon_height = d["icon_screen"]
    text = (icon_left + icon_width + 4, icon_top, left + width - icon_left - icon_width - 12,
            icon_height)
    # Nine different characters and a stop; a font without them draws one box.
    t.check(window.distinct_shapes(shot, text) >= 6, "the message drawn readably")
    shown = [o for o in app.dialogs()["others"] if o["class"] == "TfrmMain" and o["visible"]]
    t.equal(shown, [], "the window is never shown")
    return d


def main(t):
    no_trace_in_the_shipped_program(t)
    with harness.Display() as display, harness.Prefix(display) as prefix, \
            window.started_in(prefix, opts, program=opts.faults, caption=TITLE, desktop="1024x768",
                              env={"KESTROVA_REFUSE_LIST_ADD": "1"}) as (app, _):
        d = check_box(t, app)
        time.sleep(2)
        t.check(d and app.dialogs()["dialogs"], "the box stays until it is closed")
        app.key("Return")
        app.wait_exit()  # a hang raises
        err = app.output()[1]
        t.check(f"{GONE} 0\n" in err, "no message reached the destroyed window object",
                err.strip()[-200:])


harness.run(main)
