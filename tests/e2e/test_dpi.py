"""At 120 and 144 pixels per inch the font and the layout scale: the font
height is -11 * dpi / 96, and every length scales by the height of "0" in
that Tahoma over 13, measured by the inspector in the same prefix."""

import harness
import layout

opts = harness.options()


def check_scaled_layout(t, w, dpi, zero, sizes):
    """`sizes`: each label's text measured in the scaled Tahoma."""
    t.equal(w["client"], [layout.scale(v, zero) for v in layout.CLIENT], f"client area at {dpi}")
    by_name = {c["name"]: c for c in w["controls"]}
    for row in layout.controls():
        c = by_name[row["name"]]
        want = [layout.scale(v, zero) for v in row["rect"]]
        got = c["rect"]
        if row["kind"] == "Label":
            # Sized to their caption from their left edge.
            want = want[:2] + sizes[row["name"]]
        elif row["kind"] == "DriveSelector":
            got, want = got[:3], want[:3]  # its height follows the font
        t.equal(got, want, f"{row['name']} at {dpi} dpi")


def main(t):
    with harness.Display() as d, harness.Prefix(d) as p:
        for dpi, font_height in ((120, -14), (144, -17)):
            p.set_dpi(dpi)
            with harness.App(p, opts.app, inspector=opts.inspector) as app:
                w = app.wait_window()
                t.equal(w["props"]["KestrovaDpi"], dpi, f"the program sees {dpi} dpi")
                t.equal(w["props"]["KestrovaFontHeight"], font_height, f"font height at {dpi}")
                labels = [c for c in w["controls"] if c["name"].startswith("lbl")]
                m = app.inspector_run("measure", layout.FONT_FACE, font_height, "0",
                                      *[c["text"] for c in labels])
                t.equal(m["face"], layout.FONT_FACE, f"the inspector measured {layout.FONT_FACE}")
                zero = m["sizes"][0][1]
                if t.check(zero > 13, f"the scaled font's 0 is taller at {dpi}", str(zero)):
                    sizes = {c["name"]: s for c, s in zip(labels, m["sizes"][1:])}
                    check_scaled_layout(t, w, dpi, zero, sizes)
                app.key("alt+q")
                t.equal(app.wait_exit(), 0, f"exit code at {dpi}")


harness.run(main)
