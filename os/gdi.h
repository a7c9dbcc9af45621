// Owners of drawing resources (Windows build): fonts, bitmaps, brushes,
// pens, device contexts and the object a selection replaced each give
// themselves back when they go out of scope, early returns included.
#pragma once

#include "os/gui.h"
#include "os/unique.h"

namespace os {

template <typename Object>
struct GdiObjectKind {
  using Value = Object;
  static Value Empty() { return nullptr; }
  static bool Holds(Value object) { return object != nullptr; }
  static void Release(Value object) { Gui().DeleteObject(object); }
};

struct MemoryDCKind {
  using Value = HDC;
  static Value Empty() { return nullptr; }
  static bool Holds(Value dc) { return dc != nullptr; }
  static void Release(Value dc) { Gui().DeleteDC(dc); }
};

using UniqueFont = Unique<GdiObjectKind<HFONT>>;      // DeleteObject
using UniqueBitmap = Unique<GdiObjectKind<HBITMAP>>;  // DeleteObject
using UniqueBrush = Unique<GdiObjectKind<HBRUSH>>;    // DeleteObject
using UniquePen = Unique<GdiObjectKind<HPEN>>;        // DeleteObject
using UniqueMemoryDC = Unique<MemoryDCKind>;          // DeleteDC

// A window's device context, or the screen's (null window), from GetDC.
class WindowDC {
 public:
  explicit WindowDC(HWND window = nullptr) : window_(window), dc_(Gui().GetDC(window)) {}
  ~WindowDC() {
    if (dc_) Gui().ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context until the end of the scope,
// then the one it replaced again.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(Gui().SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_) Gui().SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace os
