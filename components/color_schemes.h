// The component collection's shared colour schemes.
#pragma once

#include <cstdint>

namespace components {

// A colour as red, green and blue.
struct Rgb {
  std::uint8_t red, green, blue;
  bool operator==(const Rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

// A COLORREF (0x00bbggrr) as red, green and blue.
inline Rgb ToRgb(std::uint32_t colorRef) {
  return {static_cast<std::uint8_t>(colorRef & 0xFF),
          static_cast<std::uint8_t>((colorRef >> 8) & 0xFF),
          static_cast<std::uint8_t>((colorRef >> 16) & 0xFF)};
}

enum TColorScheme { csDefault, csBlack, csBlue, csSilver, csBlue2010, csSilver2010 };

enum TColorSchemeElement {
  seBackgroundGradientStart,
  seBackgroundGradientEnd,
  seBorder,
  seBtnFace,
  seBtnFaceDark,
  seBtnShadow,
  seBtnHighlight,
  seHeader,
  seHeaderFont,
  seHighlight,
  seHighlightText,
  seInactiveHeader,
  seMenuSelection,
  seMenuSelectionBorder,
  seSelection,
  seSelectionBorder,
  seSplitter,
  seTabFace,
  seTabBorder,
  seToolbarGradientStart,
  seToolbarGradientEnd,
  seTreeLines,
  seSplitterGradientStart,
  seSplitterGradientEnd,
};
inline constexpr int kSchemeElementCount = seSplitterGradientEnd + 1;

// The table entry, with csDefault resolved to the global scheme.
Rgb SchemeColor(TColorSchemeElement element, TColorScheme scheme);

// The scheme csDefault stands for; starts as csBlue.
TColorScheme GlobalColorScheme();

// Controls that repaint when the global scheme changes.
class SchemeListener {
 public:
  virtual ~SchemeListener() = default;
  virtual void SchemeChanged() = 0;
};
void SchemeNotification(SchemeListener* listener);
void RemoveSchemeNotification(SchemeListener* listener);
void SetGlobalColorScheme(TColorScheme scheme);

}  // namespace components
