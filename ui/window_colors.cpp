#include "ui/window_colors.h"

#include <algorithm>
#include <cmath>

#include "os/api.h"

namespace ui {
namespace {

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255};
constexpr double kTextContrast = 4.5;   // WCAG's least for normal text
constexpr double kFrameContrast = 3.0;  // and for the parts of a control

double Linear(std::uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb c) {
  return 0.2126 * Linear(c.red) + 0.7152 * Linear(c.green) + 0.0722 * Linear(c.blue);
}

Rgb SystemColor(int index) { return components::ToRgb(os::Api().GetSysColor(index)); }

bool HighContrastOn() {
  HIGHCONTRASTA contrast{};
  contrast.cbSize = sizeof(contrast);
  return os::Api().SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

double ContrastRatio(Rgb a, Rgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool GlyphInkPixel(Rgb pixel, Rgb transparent) {
  return !(pixel == transparent) && ContrastRatio(pixel, kWhite) >= kFrameContrast;
}

WindowColors ChooseWindowColors(bool highContrast, bool visualStyles, const SystemColors& system) {
  const Rgb scheme = components::SchemeColor(components::seBtnFace, components::csDefault);
  // The scheme's light face suits a dark window text, and nothing else:
  // where the system's ink would not read on it, the face is the system's.
  const bool schemeFace = !highContrast && ContrastRatio(system.windowText, scheme) >= kTextContrast;
  WindowColors c{};
  c.schemeFace = schemeFace;
  c.systemOnly = highContrast;
  c.panelFace = schemeFace ? scheme : system.btnFace;
  // Under visual styles the labels let the panel show through them.
  const bool throughPanel = schemeFace && visualStyles;
  c.labelFace = throughPanel ? scheme : system.btnFace;
  c.labelInk = throughPanel ? system.windowText : system.btnText;
  c.captionFace = system.btnFace;
  c.captionInk = system.btnText;
  // Black wherever it shows; otherwise, and always under the flag, the ink.
  const bool blackShows = ContrastRatio(kBlack, c.panelFace) >= kFrameContrast;
  c.frame = !highContrast && blackShows ? kBlack : system.btnText;
  return c;
}

bool WindowPalette::Changed(UINT message, WPARAM wParam) {
  // A change of the flag comes as a setting change of its own; colours and
  // visual styles have messages of their own.
  const bool changed = message == WM_SYSCOLORCHANGE || message == WM_THEMECHANGED ||
                       (message == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST);
  if (changed) Read();
  return changed;
}

void WindowPalette::Read() {
  const os::Win32Api& api = os::Api();
  const bool visualStyles = api.IsAppThemed != nullptr && api.IsAppThemed();
  colors_ = ChooseWindowColors(
      HighContrastOn(), visualStyles,
      {SystemColor(COLOR_WINDOWTEXT), SystemColor(COLOR_BTNFACE), SystemColor(COLOR_BTNTEXT)});
}

}  // namespace ui
