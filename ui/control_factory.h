// Making the main window's controls from the layout table: their window
// classes and styles, the free-text lines, the font and the scaling for the
// screen's density (Windows build).
#pragma once

#include <map>
#include <memory>

#include "components/nx_panel.h"
#include "os/gdi.h"
#include "ui/layout.h"
#include "ui/window_colors.h"

namespace ui {

// The window's font for the screen's density, and the height of "0" in it
// that every length scales by.
struct ScreenFont {
  os::UniqueFont font;
  int dpi = 96;
  int zeroHeight = kDesignZeroHeight;
};
ScreenFont MakeScreenFont();

// Every control of the layout table, made on `window` in the table's order,
// which is their z order; the OK button starts disabled.
class MainControls {
 public:
  MainControls(HINSTANCE instance, HWND window, const ScreenFont& font);
  MainControls(const MainControls&) = delete;
  MainControls& operator=(const MainControls&) = delete;

  HWND operator[](ControlId id) const { return controls_.at(id); }
  // The glyph bitmap of a glyph button.
  HBITMAP Glyph(ControlId button) const;
  // The colours chosen, for the controls painted here and nxpClient.
  void Color(const WindowColors& colors);
  // The same after `message` changed them, every control repainted.
  void Recolor(const WindowColors& colors, UINT message);

 private:
  HWND Make(const ControlLayout& layout);
  HWND MakeClientPanel(const Rect& rect);

  HINSTANCE instance_;
  HWND window_;
  HFONT font_;
  int zeroHeight_;
  std::map<int, HWND> controls_;
  std::unique_ptr<components::TNxPanel> nxpClient_;
  os::UniqueBitmap glyphOK_;
  os::UniqueBitmap glyphClose_;
};

}  // namespace ui
