// How TNxPanel paints, as geometry and colour: the window class
// (components/nx_panel.cpp) draws what these functions work out.
#pragma once

#include <vector>

#include "components/color_schemes.h"

namespace components {

enum TNxPanelBackgroundStyle { pbControl, pbHorzGradient, pbSolid, pbTransparent, pbVertGradient };

enum TPanelBorder : unsigned { boBottom = 1, boLeft = 2, boRight = 4, boTop = 8 };
using TPanelBorders = unsigned;
inline constexpr TPanelBorders kAllBorders = boBottom | boLeft | boRight | boTop;

struct TNxMargins {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct PanelRect {
  int left, top, right, bottom;
  bool operator==(const PanelRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// A straight line that does not include its end point.
struct PanelLine {
  int x1, y1, x2, y2;
  bool operator==(const PanelLine& o) const {
    return x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2;
  }
};

// The client rectangle less the pen width on every side that has a line.
PanelRect InnerRect(int width, int height, TPanelBorders borders, int penWidth);

// The frame lines, left, top, bottom and right, for the borders present.
std::vector<PanelLine> FrameLines(int width, int height, TPanelBorders borders, int penWidth);

// The fill: the scheme's button face when the colours adapt, else Color.
Rgb PanelFillColor(bool adaptiveColors, TColorScheme scheme, Rgb color);

// Column (or row) `offset` of a gradient `length` long, from the window
// colour to the fill colour.
Rgb GradientColor(Rgb window, Rgb fill, int offset, int length);

// Where children are aligned: the client area inset by the margins.
PanelRect AlignmentRect(const PanelRect& client, const TNxMargins& margins);

// Automatic sizing: the caption's extent plus the margins.
struct PanelSize {
  int width, height;
};
PanelSize AutoSizeFor(int captionWidth, int captionHeight, const TNxMargins& margins);

}  // namespace components
