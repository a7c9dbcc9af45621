#include "components/nx_panel_paint.h"

#include <cmath>

namespace components {

PanelRect InnerRect(int width, int height, TPanelBorders borders, int penWidth) {
  PanelRect r{0, 0, width, height};
  if (borders & boLeft) r.left += penWidth;
  if (borders & boTop) r.top += penWidth;
  if (borders & boRight) r.right -= penWidth;
  if (borders & boBottom) r.bottom -= penWidth;
  return r;
}

std::vector<PanelLine> FrameLines(int width, int height, TPanelBorders borders, int penWidth) {
  // A wide pen spreads around its line as the platform draws it: the near
  // edges sit at half the width, truncated, the far ones at half rounded up.
  const int half = penWidth / 2;
  const int far = (penWidth + 1) / 2;
  std::vector<PanelLine> lines;
  if (borders & boLeft) lines.push_back({half, 0, half, height});
  if (borders & boTop) lines.push_back({0, half, width, half});
  if (borders & boBottom) lines.push_back({0, height - far, width, height - far});
  if (borders & boRight) lines.push_back({width - far, 0, width - far, height - 1});
  return lines;
}

Rgb PanelFillColor(bool adaptiveColors, TColorScheme scheme, Rgb color) {
  return adaptiveColors ? SchemeColor(seBtnFace, scheme) : color;
}

Rgb GradientColor(Rgb window, Rgb fill, int offset, int length) {
  if (length <= 0) return fill;
  const double t = static_cast<double>(offset) / length;
  auto channel = [t](std::uint8_t from, std::uint8_t to) {
    return static_cast<std::uint8_t>(std::lround((1.0 - t) * from + t * to));
  };
  return {channel(window.red, fill.red), channel(window.green, fill.green),
          channel(window.blue, fill.blue)};
}

PanelRect AlignmentRect(const PanelRect& client, const TNxMargins& m) {
  return {client.left + m.Left, client.top + m.Top, client.right - m.Right, client.bottom - m.Bottom};
}

PanelSize AutoSizeFor(int captionWidth, int captionHeight, const TNxMargins& m) {
  return {captionWidth + m.Left + m.Right, captionHeight + m.Top + m.Bottom};
}

}  // namespace components
