// How the window adapts to a screen density other than 96 pixels per inch.
#pragma once

#include "ui/layout.h"

namespace ui {

// The font height for the screen's pixels per inch: -11 * dpi / 96, rounded.
int ScaledFontHeight(int pixelsPerInch);

// Whether the measured height of "0" asks for the layout to be scaled.
bool NeedsScaling(int zeroHeight);

// One length scaled by zeroHeight / 13, rounded half away from zero.
int ScaleLength(int length, int zeroHeight);

// Each of left, top, width and height scaled on its own.
Rect ScaleRect(const Rect& rect, int zeroHeight);

}  // namespace ui
