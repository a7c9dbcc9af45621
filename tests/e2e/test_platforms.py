"""Every Windows version Wine can pretend to be shows its platform text."""

import harness

opts = harness.options()
EXPECTED = {
    "win31": "Windows3.1(WIN32s)",
    "win95": "Windows95",
    "win98": "Windows98",
    "winme": "WindowsMe",
    "nt40": "WindowsNT4.0",
    "win2k": "WindowsNT5.0",
    "winxp": "WindowsNT5.1",
    "win7": "WindowsNT6.1",
    "win10": "WindowsNT10.0",  # the manifest lists Windows 10 as supported
}


def main(t):
    with harness.Display() as d, harness.Prefix(d) as p:
        for version, text in EXPECTED.items():
            p.set_version(version)
            with harness.App(p, opts.app, inspector=opts.inspector) as app:
                app.wait_window()
                for dialog in app.dialogs()["dialogs"]:
                    app.key("Return")  # a refresh of the start drive may report it
                t.equal(app.control("pnlPlatform")["text"], text, f"platform on {version}")
                app.key("alt+q")
                t.equal(app.wait_exit(), 0, f"exit code on {version}")


harness.run(main)
