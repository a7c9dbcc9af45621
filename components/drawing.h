// Drawing steps the client panel and the window's own controls share
// (Windows build).
#pragma once

#include "components/color_schemes.h"
#include "os/gui.h"

namespace components {

inline COLORREF ToColorRef(Rgb c) { return RGB(c.red, c.green, c.blue); }

// Fills `rect` with one colour, through a brush made and freed here.
inline void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  const os::GuiApi& gui = os::Gui();
  HBRUSH brush = gui.CreateSolidBrush(color);
  gui.FillRect(dc, &rect, brush);
  gui.DeleteObject(brush);
}

}  // namespace components
