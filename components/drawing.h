// Drawing steps the client panel and the window's own controls share
// (Windows build).
#pragma once

#include <string_view>

#include "components/color_schemes.h"
#include "os/gdi.h"

namespace components {

inline COLORREF ToColorRef(Rgb c) { return RGB(c.red, c.green, c.blue); }

// Fills `rect` with one colour, through a brush made and freed here.
inline void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  const os::UniqueBrush brush(os::Gui().CreateSolidBrush(color));
  os::Gui().FillRect(dc, &rect, brush.get());
}

// What a text takes in a font: its width, and the font's cell height.
struct TextSize {
  int width;
  int cellHeight;
};

// Measured on the screen, where every window of the program draws.
inline TextSize MeasureText(HFONT font, std::string_view text) {
  const os::GuiApi& gui = os::Gui();
  const os::WindowDC screen;
  const os::Selection selected(screen.get(), font ? static_cast<HGDIOBJ>(font)
                                                  : gui.GetStockObject(DEFAULT_GUI_FONT));
  SIZE extent{};
  gui.GetTextExtentPoint32A(screen.get(), text.data(), static_cast<int>(text.size()), &extent);
  TEXTMETRICA metrics{};
  gui.GetTextMetricsA(screen.get(), &metrics);
  return {static_cast<int>(extent.cx), static_cast<int>(metrics.tmHeight)};
}

// A window class of the program: the arrow cursor, and whatever else is set.
struct WindowClass {
  const char* name;
  WNDPROC proc;
  UINT style = CS_HREDRAW | CS_VREDRAW;  // repainted whole on every size change
  HICON icon = nullptr;
  HICON smallIcon = nullptr;
  HBRUSH background = nullptr;
};

inline void RegisterWindowClass(HINSTANCE instance, const WindowClass& c) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = c.style;
  wc.lpfnWndProc = c.proc;
  wc.hInstance = instance;
  wc.hIcon = c.icon;
  wc.hIconSm = c.smallIcon;
  wc.hCursor = os::Gui().LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = c.background;
  wc.lpszClassName = c.name;
  os::Gui().RegisterClassExA(&wc);
}

}  // namespace components
