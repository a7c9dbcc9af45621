// The window classes of the main window's controls (Windows build).
#pragma once

#include "os/gui.h"
#include "ui/window_colors.h"

namespace ui {

inline constexpr char kBevelPanelClass[] = "TPanel";
inline constexpr char kGroupBoxClass[] = "TGroupBox";
// Labels are the system's static text, which the accessibility layer knows:
// it names a field after the static text just above it in z order.
inline constexpr char kLabelClass[] = "STATIC";

// Registers the custom classes above, labels apart; a custom control's user
// data holds its font.
void RegisterControlClasses(HINSTANCE instance);

// The colours the controls painted here take from now on (the window
// repaints them).
void SetControlColors(const WindowColors& colors);

// Gives `control` the procedure `proc`. A subclassed control's user data
// holds the procedure it had, to which `proc` passes what it leaves.
void Subclass(HWND control, WNDPROC proc);
WNDPROC SubclassedProc(HWND control);

// Gives a label made of kLabelClass its own painting; the system's Static
// keeps its text, font and the rest.
void SubclassLabel(HWND label);

// The width x height part at (srcX, srcY) of a bitmap of glyphs.
struct GlyphPart {
  HBITMAP bitmap;
  int srcX, srcY, width, height;
};

// Copies the glyph to (x, y), leaving the pixels of the bitmap's transparent
// colour (its bottom-left pixel) unpainted; under the high-contrast flag
// only its shape, in `ink`, the ink of the text beside it.
void DrawGlyph(HDC dc, const GlyphPart& part, int x, int y, COLORREF ink);

// Paints a push button with a glyph left of its caption, the pair centred.
// The glyph bitmap holds the normal glyph and, to its right, the disabled one.
struct GlyphButtonLook {
  HBITMAP glyph;
  bool defaultFrame;  // the thick frame of the button Enter would press
};
void DrawGlyphButton(const DRAWITEMSTRUCT& item, const GlyphButtonLook& look);

}  // namespace ui
