"""What only a real Windows version shows of the platform text: Windows 10,
which the program is told only through its manifest, and one of the 9x
family as Wine reports it. Every other version's text is a row of the unit
tests' platform table."""

import harness
import window

opts = harness.options()
EXPECTED = {
    "win98": "Windows98",
    "win10": "WindowsNT10.0",  # the manifest lists Windows 10 as supported
}


def main(t):
    with harness.Display() as d, harness.Prefix(d) as p:
        for version, text in EXPECTED.items():
            p.set_version(version)
            with harness.App(p, opts.app, inspector=opts.inspector) as app:
                app.wait_window()
                win = window.Window(app)
                window.no_dialog(t, win, f"{version}: start-up")
                t.equal(app.control("pnlPlatform")["text"], text, f"platform on {version}")
                win.quit()


harness.run(main)
