#include "ui/scaling.h"

namespace ui {
namespace {

int RoundedQuotient(long long numerator, long long denominator) {
  const long long half = denominator / 2;
  return static_cast<int>(numerator >= 0 ? (numerator + half) / denominator
                                         : -((-numerator + half) / denominator));
}

}  // namespace

int ScaledFontHeight(int pixelsPerInch) {
  return RoundedQuotient(static_cast<long long>(kFontHeight) * pixelsPerInch, 96);
}

bool NeedsScaling(int zeroHeight) { return zeroHeight > 0 && zeroHeight != kDesignZeroHeight; }

int ScaleLength(int length, int zeroHeight) {
  if (!NeedsScaling(zeroHeight)) return length;
  return RoundedQuotient(static_cast<long long>(length) * zeroHeight, kDesignZeroHeight);
}

Rect ScaleRect(const Rect& rect, int zeroHeight) {
  return {ScaleLength(rect.left, zeroHeight), ScaleLength(rect.top, zeroHeight),
          ScaleLength(rect.width, zeroHeight), ScaleLength(rect.height, zeroHeight)};
}

}  // namespace ui
