#include "components/color_schemes.h"

#include <algorithm>
#include <vector>

namespace components {
namespace {

// One row per scheme, one colour per element in element order. The panel
// face (seBtnFace) is fixed; the rest follow one pattern in every scheme so
// that the collection's other components look alike whichever is chosen:
// the background gradient runs from the face to a slightly deeper tone, the
// borders, shadows, tree lines and splitter are the scheme's chrome colour,
// headers are the accent with white text, and selections are the same pale
// amber in every scheme, so a selected item reads the same everywhere.

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kAmber{255, 231, 162};
constexpr Rgb kAmberBorder{229, 195, 101};
constexpr Rgb kAmberHighlight{255, 213, 140};

constexpr Rgb kOfficeFace{240, 241, 242};

// face, deeper face, chrome, accent, inactive accent
struct Palette {
  Rgb face, deeper, chrome, accent, inactive;
};

constexpr Palette kPalettes[] = {
    /* csDefault: never looked up */ {kOfficeFace, kOfficeFace, kOfficeFace, kOfficeFace, kOfficeFace},
    /* csBlack */ {kOfficeFace, {213, 216, 221}, {145, 153, 164}, {83, 83, 83}, {145, 153, 164}},
    /* csBlue */ {{227, 239, 255}, {191, 219, 255}, {101, 147, 207}, {21, 66, 139}, {141, 178, 227}},
    /* csSilver */ {kOfficeFace, {221, 224, 229}, {165, 172, 181}, {76, 83, 92}, {165, 172, 181}},
    /* csBlue2010 */ {kOfficeFace, {219, 230, 244}, {167, 171, 176}, {43, 87, 154}, {132, 157, 189}},
    /* csSilver2010 */ {kOfficeFace, {228, 230, 232}, {182, 186, 191}, {59, 59, 59}, {160, 160, 160}},
};

Rgb ElementColor(const Palette& p, TColorSchemeElement element) {
  switch (element) {
    case seBackgroundGradientStart: case seBtnFace: case seTabFace: case seToolbarGradientStart:
      return p.face;
    case seBackgroundGradientEnd: case seBtnFaceDark: case seToolbarGradientEnd:
    case seSplitterGradientStart:
      return p.deeper;
    case seBorder: case seBtnShadow: case seTabBorder: case seTreeLines:
      return p.chrome;
    case seSplitter: case seInactiveHeader: case seSplitterGradientEnd:
      return p.inactive;
    case seHeader: return p.accent;
    case seHeaderFont: case seBtnHighlight: return kWhite;
    case seHighlight: return kAmberHighlight;
    case seHighlightText: return kBlack;
    case seMenuSelection: case seSelection: return kAmber;
    case seMenuSelectionBorder: case seSelectionBorder: return kAmberBorder;
  }
  return p.face;
}

TColorScheme globalScheme = csBlue;

std::vector<SchemeListener*>& Listeners() {
  static std::vector<SchemeListener*> listeners;
  return listeners;
}

}  // namespace

Rgb SchemeColor(TColorSchemeElement element, TColorScheme scheme) {
  if (scheme == csDefault) scheme = globalScheme;
  return ElementColor(kPalettes[scheme], element);
}

TColorScheme GlobalColorScheme() { return globalScheme; }

void SchemeNotification(SchemeListener* listener) { Listeners().push_back(listener); }

void RemoveSchemeNotification(SchemeListener* listener) {
  auto& listeners = Listeners();
  listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

void SetGlobalColorScheme(TColorScheme scheme) {
  globalScheme = scheme == csDefault ? csBlue : scheme;
  for (SchemeListener* listener : Listeners()) listener->SchemeChanged();
}

}  // namespace components
