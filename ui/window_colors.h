// The colours the main window paints its own surfaces in: the client panel,
// the labels and free lines, the group box, the bevelled panels and the
// glyph buttons' default frame. Everything else it shows is drawn by the
// system, or by the window in the system's own pairs. Portable: the
// system's colours, its high-contrast flag and whether visual styles are on
// are read through the system table.
#pragma once

#include "components/color_schemes.h"
#include "os/win32_types.h"

namespace ui {

using components::Rgb;

// The system colours the choice rests on.
struct SystemColors {
  Rgb windowText, btnFace, btnText;
};

struct WindowColors {
  Rgb panelFace;                // nxpClient's fill
  Rgb labelFace, labelInk;      // labels, free lines and the group box
  Rgb captionFace, captionInk;  // the bevelled panels
  Rgb frame;                    // nxpClient's frame and the default button's
  bool schemeFace;              // nxpClient keeps its colour scheme's face
  bool systemOnly;              // the flag: glyphs drawn as shapes in the ink
};

// WCAG's contrast ratio of two colours: 1 (the same) to 21 (black on white).
double ContrastRatio(Rgb a, Rgb b);

// Under the high-contrast flag a glyph keeps its shape in the ink of its
// text: its pixels dark enough to read on white are drawn, the rest and its
// transparent colour left to the face.
bool GlyphInkPixel(Rgb pixel, Rgb transparent);

// Under the high-contrast flag only the system's colours, in the pairs it
// defines; otherwise the window's own look, as long as the system's ink
// reads on it.
WindowColors ChooseWindowColors(bool highContrast, bool visualStyles, const SystemColors& system);

// The choice for the system's settings as they are, made again whenever a
// message says that they may have changed.
class WindowPalette {
 public:
  WindowPalette() { Read(); }

  // Whether `message` may change the colours, the visual styles or the
  // high-contrast flag; if so, they have been read and chosen again.
  bool Changed(UINT message, WPARAM wParam);
  const WindowColors& colors() const { return colors_; }

 private:
  void Read();
  WindowColors colors_{};
};

}  // namespace ui
