"""The form layout as the window code has it, read from ui/layout.h so that
the end-to-end tests and the program share one table."""

import os
import re

_ROW = re.compile(
    r'\{id\w+, "(?P<name>\w+)", ControlKind::(?P<kind>\w+), id(?P<parent>\w+),\s*'
    r'\{(?P<rect>[-\d, ]+)\},\s*(?P<caption>"(?:[^"\\]|\\.)*"|nullptr),\s*(?P<tab>-?\d+)\}')


def _parent_name(raw):
    if raw == "None":
        return None
    return raw[0].lower() + raw[1:]


def controls(source=None):
    source = source or os.environ.get("KESTROVA_SOURCE") or \
        os.path.join(os.path.dirname(__file__), "..", "..")
    with open(os.path.join(source, "ui", "layout.h"), encoding="utf-8") as f:
        text = f.read()
    rows = []
    for m in _ROW.finditer(text):
        caption = m["caption"]
        rows.append({
            "name": m["name"],
            "kind": m["kind"],
            "parent": _parent_name(m["parent"]),
            "rect": [int(v) for v in m["rect"].split(",")],
            "caption": None if caption == "nullptr" else caption[1:-1],
            "tab": int(m["tab"]),
        })
    if len(rows) < 19:
        raise RuntimeError(f"read only {len(rows)} controls from ui/layout.h")
    return rows


def scale(length, zero_height):
    """One length scaled by zero_height / 13, rounded half away from zero."""
    if zero_height == 13:
        return length
    n = length * zero_height
    return (n + 6) // 13 if n >= 0 else -((-n + 6) // 13)
