"""At 120 and 144 pixels per inch the font and the layout scale."""

import harness
import layout

opts = harness.options()


def zero_height_from(client_width):
    # The client width is 394 scaled by the measured height of "0" over 13.
    for h in range(10, 40):
        if layout.scale(394, h) == client_width:
            return h
    return None


def main(t):
    with harness.Display() as d, harness.Prefix(d) as p:
        for dpi, font_height in ((120, -14), (144, -17)):
            p.set_dpi(dpi)
            with harness.App(p, opts.app, inspector=opts.inspector) as app:
                w = app.wait_window()
                t.equal(w["props"]["KestrovaDpi"], dpi, f"the program sees {dpi} dpi")
                t.equal(w["props"]["KestrovaFontHeight"], font_height, f"font height at {dpi}")
                h = zero_height_from(w["client"][0])
                if t.check(h is not None and h > 13, f"layout scaled at {dpi}", str(w["client"])):
                    t.equal(w["client"][1], layout.scale(168, h), f"client height at {dpi}")
                    by_name = {c["name"]: c for c in w["controls"]}
                    for row in layout.controls():
                        c = by_name[row["name"]]
                        want = [layout.scale(v, h) for v in row["rect"]]
                        got = c["rect"] if row["kind"] != "Label" else c["rect"][:2]
                        want = want if row["kind"] != "Label" else want[:2]
                        if row["kind"] == "DriveSelector":
                            got, want = got[:3], want[:3]  # its height follows the font
                        t.equal(got, want, f"{row['name']} at {dpi} dpi")
                app.key("alt+q")
                t.equal(app.wait_exit(), 0, f"exit code at {dpi}")


harness.run(main)
